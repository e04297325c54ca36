#include "platform/gdi/icon.h"

#include <cstdlib>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"

namespace gdi {

namespace {

std::uint32_t U16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One image of an .ico file: a packed DIB of twice the height (image rows, then mask rows).
Icon DecodeDibImage(std::span<const std::uint8_t> data) {
    if (data.size() < 40) return {};
    std::uint32_t headerSize = U32(data.data());
    if (headerSize < 40 || headerSize > data.size()) return {};
    const int width = static_cast<std::int32_t>(U32(data.data() + 4));
    const int doubled = static_cast<std::int32_t>(U32(data.data() + 8));
    const int bits = static_cast<int>(U16(data.data() + 14));
    if (width <= 0 || width > 1024 || doubled <= 0 || doubled > 2048) return {};
    const int height = doubled / 2;
    if (height <= 0) return {};
    std::vector<std::uint8_t> packed(data.begin(), data.end());
    packed[8] = static_cast<std::uint8_t>(height);
    packed[9] = static_cast<std::uint8_t>(height >> 8);
    packed[10] = packed[11] = 0;
    Bitmap colour = LoadBitmapFromBytes(packed);
    if (!colour) return {};

    std::uint32_t colours = U32(data.data() + 32);
    std::size_t palette = bits <= 8 ? (colours ? colours : (1u << bits)) * 4 : 0;
    std::size_t xorStride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::size_t xorAt = headerSize + palette;
    std::size_t andAt = xorAt + xorStride * height;
    std::size_t andStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;

    Bitmap mask = CreateBitmap(width, height, 1, 1);
    if (!mask) return {};
    bool haveAnd = data.size() >= andAt + andStride * height;
    bool alpha = false;
    if (bits == 32) {
        for (int y = 0; y < height && !alpha; ++y) {
            for (int x = 0; x < width; ++x) {
                if (data[xorAt + y * xorStride + 4 * x + 3] != 0) {
                    alpha = true;
                    break;
                }
            }
        }
    }
    for (int row = 0; row < height; ++row) {
        int y = height - 1 - row;  // bottom-up rows
        for (int x = 0; x < width; ++x) {
            bool clear = false;
            if (alpha) {
                clear = data[xorAt + row * xorStride + 4 * x + 3] < 128;
            } else if (haveAnd) {
                clear = (data[andAt + row * andStride + x / 8] >> (7 - x % 8)) & 1;
            }
            if (clear) {
                mask.Get()->MonoRow(y)[x] = 1;
                if (alpha) colour.SetPixel(x, y, 0);
            }
        }
    }
    return Icon(colour, mask);
}

Icon Scaled(const Icon& icon, int width, int height) {
    if (!icon || (icon.Width() == width && icon.Height() == height)) return icon;
    Bitmap colour = CreateDIBSection32(width, -height);
    Bitmap mask = CreateBitmap(width, height, 1, 1);
    if (!colour || !mask) return {};
    DC to = DC::Memory();
    DC from = DC::Memory();
    to.SelectObject(colour);
    from.SelectObject(icon.Colour());
    StretchBlt(to, 0, 0, width, height, &from, 0, 0, icon.Width(), icon.Height(), SRCCOPY);
    to.SelectObject(mask);
    from.SelectObject(icon.Mask());
    StretchBlt(to, 0, 0, width, height, &from, 0, 0, icon.Width(), icon.Height(), SRCCOPY);
    return Icon(colour, mask);
}

// The dark shape of an image drawn on white, as a monochrome bitmap (black = shape).
Bitmap Shape(const Bitmap& image, const Bitmap* mask, int width, int height) {
    Bitmap canvas = CreateDIBSection32(width, -height);
    Bitmap shape = CreateBitmap(width, height, 1, 1);
    if (!canvas || !shape) return {};
    DC c = DC::Memory();
    c.SelectObject(canvas);
    PatBlt(c, 0, 0, width, height, WHITENESS);
    DC src = DC::Memory();
    if (mask) {
        src.SelectObject(*mask);
        StretchBlt(c, 0, 0, width, height, &src, 0, 0, mask->Width(), mask->Height(), SRCAND);
        src.SelectObject(image);
        StretchBlt(c, 0, 0, width, height, &src, 0, 0, image.Width(), image.Height(), SRCINVERT);
    } else {
        src.SelectObject(image);
        StretchBlt(c, 0, 0, width, height, &src, 0, 0, image.Width(), image.Height(), SRCCOPY);
    }
    // Light pixels count as background: the shape is what is darker than light grey.
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = canvas.Row(y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = row[x];
            int luma = (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
            shape.Get()->MonoRow(y)[x] = luma >= 192 ? 1 : 0;
        }
    }
    return shape;
}

void Emboss(DC& dc, const Bitmap& shape, int x, int y) {
    DC src = DC::Memory();
    src.SelectObject(shape);
    COLORREF text = dc.SetTextColor(0);
    COLORREF bk = dc.SetBkColor(RGB(255, 255, 255));
    // Shape pixels (black) take the brush; others keep the destination.
    Brush previous = dc.SelectObject(Brush::Solid(GetSysColor(COLOR_3DHILIGHT)));
    BitBlt(dc, x + 1, y + 1, shape.Width(), shape.Height(), &src, 0, 0, PSDPxax);
    dc.SelectObject(Brush::Solid(GetSysColor(COLOR_3DSHADOW)));
    BitBlt(dc, x, y, shape.Width(), shape.Height(), &src, 0, 0, PSDPxax);
    dc.SelectObject(previous);
    dc.SetTextColor(text);
    dc.SetBkColor(bk);
}

}  // namespace

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        default:
            return 0;
    }
}

Icon LoadIconFromBytes(std::span<const std::uint8_t> bytes, int width, int height) {
    if (width <= 0) width = GetSystemMetrics(SM_CXICON);
    if (height <= 0) height = GetSystemMetrics(SM_CYICON);
    if (bytes.size() < 6 || U16(bytes.data()) != 0 || U16(bytes.data() + 2) != 1) return {};
    const std::size_t count = U16(bytes.data() + 4);
    if (count == 0 || bytes.size() < 6 + 16 * count) return {};
    // Best entry: the exact size with the most bits, else the nearest size.
    std::size_t best = count;
    long bestScore = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = bytes.data() + 6 + 16 * i;
        int w = e[0] ? e[0] : 256;
        int h = e[1] ? e[1] : 256;
        int bits = static_cast<int>(U16(e + 6));
        long score = -(std::labs(w - width) + std::labs(h - height)) * 1000L + bits;
        if (best == count || score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    const std::uint8_t* e = bytes.data() + 6 + 16 * best;
    std::size_t size = U32(e + 8);
    std::size_t offset = U32(e + 12);
    if (offset > bytes.size() || size > bytes.size() - offset) return {};
    std::span<const std::uint8_t> image = bytes.subspan(offset, size);
    Icon icon;
    static const std::uint8_t pngMagic[] = {0x89, 'P', 'N', 'G'};
    if (image.size() >= 4 && std::equal(pngMagic, pngMagic + 4, image.begin())) {
        Bitmap mask;
        Bitmap colour = LoadPngFromBytes(image, &mask);
        if (!colour || !mask) return {};
        for (int y = 0; y < colour.Height(); ++y) {
            for (int x = 0; x < colour.Width(); ++x) {
                if (mask.GetPixel(x, y)) colour.SetPixel(x, y, 0);
            }
        }
        icon = Icon(colour, mask);
    } else {
        icon = DecodeDibImage(image);
    }
    return Scaled(icon, width, height);
}

Icon LoadIcon(const shell::ResourceBundle& bundle, int id, int width, int height) {
    const shell::Resource* r = bundle.Find(shell::ResourceType::Icon, id);
    if (!r || !r->data) return {};
    return LoadIconFromBytes({static_cast<const std::uint8_t*>(r->data), r->size}, width, height);
}

bool DrawIconEx(DC& dc, int x, int y, const Icon& icon, int width, int height, UINT flags) {
    if (!dc || !icon) return false;
    if (width <= 0) width = icon.Width();
    if (height <= 0) height = icon.Height();
    DC src = DC::Memory();
    COLORREF text = dc.SetTextColor(0);
    COLORREF bk = dc.SetBkColor(RGB(255, 255, 255));
    if (flags & DI_MASK) {
        src.SelectObject(icon.Mask());
        StretchBlt(dc, x, y, width, height, &src, 0, 0, icon.Width(), icon.Height(),
                   (flags & DI_IMAGE) ? SRCAND : SRCCOPY);
    }
    if (flags & DI_IMAGE) {
        src.SelectObject(icon.Colour());
        StretchBlt(dc, x, y, width, height, &src, 0, 0, icon.Width(), icon.Height(),
                   (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
    }
    dc.SetTextColor(text);
    dc.SetBkColor(bk);
    return true;
}

bool DrawIcon(DC& dc, int x, int y, const Icon& icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, DI_NORMAL);
}

bool DrawState(DC& dc, const Icon& icon, int x, int y, int width, int height, UINT flags) {
    if (!dc || !icon) return false;
    if (width <= 0) width = icon.Width();
    if (height <= 0) height = icon.Height();
    if (!(flags & DSS_DISABLED)) return DrawIconEx(dc, x, y, icon, width, height, DI_NORMAL);
    Bitmap shape = Shape(icon.Colour(), &icon.Mask(), width, height);
    if (!shape) return false;
    Emboss(dc, shape, x, y);
    return true;
}

bool DrawState(DC& dc, const Bitmap& bitmap, int x, int y, int width, int height, UINT flags) {
    if (!dc || !bitmap) return false;
    if (width <= 0) width = bitmap.Width();
    if (height <= 0) height = bitmap.Height();
    if (!(flags & DSS_DISABLED)) {
        DC src = DC::Memory();
        src.SelectObject(bitmap);
        return BitBlt(dc, x, y, width, height, &src, 0, 0, SRCCOPY);
    }
    Bitmap shape = Shape(bitmap, nullptr, width, height);
    if (!shape) return false;
    Emboss(dc, shape, x, y);
    return true;
}

}  // namespace gdi
