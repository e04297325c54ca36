#include "platform/gdi/bmp.h"

#include <array>
#include <bit>

#include "platform/gdi/surface.h"

namespace gdi {

namespace {

constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;

std::uint32_t U16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The value of a bit field scaled to 8 bits.
std::uint32_t Channel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    int bits = std::popcount(mask);
    std::uint32_t v = (value & mask) >> shift;
    std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
}

}  // namespace

Bitmap LoadBitmapFromBytes(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t infoAt = 0;
    std::size_t bitsAt = 0;  // 0: right after the colour table
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        if (size < 14) return {};
        infoAt = 14;
        bitsAt = U32(data + 10);
    }
    if (size < infoAt + 12) return {};
    const std::uint8_t* info = data + infoAt;
    std::uint32_t headerSize = U32(info);
    long long width = 0;
    long long height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
    std::size_t paletteEntrySize = 4;
    std::array<std::uint32_t, 3> masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (headerSize == 12) {
        width = U16(info + 4);
        height = static_cast<std::int16_t>(U16(info + 6));
        if (U16(info + 8) != 1) return {};
        bitCount = U16(info + 10);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && size >= infoAt + headerSize) {
        width = static_cast<std::int32_t>(U32(info + 4));
        height = static_cast<std::int32_t>(U32(info + 8));
        if (U16(info + 12) != 1) return {};
        bitCount = U16(info + 14);
        compression = U32(info + 16);
        coloursUsed = U32(info + 32);
    } else {
        return {};
    }
    if (compression == BI_RLE8 || compression == BI_RLE4) return {};
    if (compression != BI_RGB && compression != BI_BITFIELDS) return {};
    if (compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32) return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return {};
    }
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return {};

    std::size_t afterHeader = infoAt + headerSize;
    if (compression == BI_BITFIELDS) {
        if (headerSize == 40) {  // the masks follow the header
            if (size < afterHeader + 12) return {};
            for (int i = 0; i < 3; ++i)
                masks[i] = U32(data + afterHeader + 4 * i);
            afterHeader += 12;
        } else if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = U32(info + 40 + 4 * i);
        }
    } else if (bitCount == 16) {
        masks = {0x7C00, 0x03E0, 0x001F};
    }

    std::array<std::uint32_t, 256> palette{};
    if (bitCount <= 8) {
        std::uint32_t entries = coloursUsed ? coloursUsed : (1u << bitCount);
        if (entries > (1u << bitCount)) entries = 1u << bitCount;
        if (size < afterHeader + entries * paletteEntrySize) return {};
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = data + afterHeader + i * paletteEntrySize;
            palette[i] = e[0] | (e[1] << 8) | (e[2] << 16);
        }
        if (bitsAt == 0) bitsAt = afterHeader + entries * paletteEntrySize;
    } else if (bitsAt == 0) {
        bitsAt = afterHeader;
    }

    std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    std::size_t need = stride * static_cast<std::size_t>(height);
    if (bitsAt > size || size - bitsAt < need) return {};

    Bitmap bitmap = CreateDIBSection32(
        static_cast<int>(width), topDown ? -static_cast<int>(height) : static_cast<int>(height));
    if (!bitmap) return {};
    Surface& s = *bitmap.Get();
    const int w = static_cast<int>(width);
    for (int memRow = 0; memRow < s.height; ++memRow) {
        const std::uint8_t* in = data + bitsAt + stride * static_cast<std::size_t>(memRow);
        std::uint32_t* out = s.pixels.data() + static_cast<std::size_t>(memRow) * s.width;
        switch (bitCount) {
            case 1:
                for (int x = 0; x < w; ++x)
                    out[x] = palette[(in[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                for (int x = 0; x < w; ++x)
                    out[x] = palette[(in[x / 2] >> (x % 2 ? 0 : 4)) & 15];
                break;
            case 8:
                for (int x = 0; x < w; ++x)
                    out[x] = palette[in[x]];
                break;
            case 16:
                for (int x = 0; x < w; ++x) {
                    std::uint32_t v = U16(in + 2 * x);
                    out[x] = (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) |
                             Channel(v, masks[2]);
                }
                break;
            case 24:
                for (int x = 0; x < w; ++x) {
                    const std::uint8_t* p = in + 3 * x;
                    out[x] = p[0] | (p[1] << 8) | (p[2] << 16);
                }
                break;
            case 32:
                for (int x = 0; x < w; ++x) {
                    std::uint32_t v = U32(in + 4 * x);
                    out[x] = compression == BI_BITFIELDS
                                 ? (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) |
                                       Channel(v, masks[2])
                                 : (v & 0xFFFFFF);
                }
                break;
        }
    }
    return bitmap;
}

Bitmap LoadBitmap(const shell::ResourceBundle& bundle, int id, std::uint16_t language) {
    const shell::Resource* r = bundle.Find(shell::ResourceType::Bitmap, id, language);
    if (!r || !r->data) return {};
    return LoadBitmapFromBytes({static_cast<const std::uint8_t*>(r->data), r->size});
}

Bitmap LoadBitmap(const shell::ResourceBundle& bundle, int id) {
    return LoadBitmap(bundle, id, shell::UserLanguage());
}

}  // namespace gdi
