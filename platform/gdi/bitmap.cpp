#include "platform/gdi/bitmap.h"

#include <cstring>

#include "platform/gdi/surface.h"

namespace gdi {

namespace {

constexpr long long MaxPixels = 1LL << 26;  // 64 Mpixel: far beyond any window

std::shared_ptr<Surface> NewSurface(int width, int height, int bitsPixel, bool topDown) {
    if (width <= 0 || height <= 0) return nullptr;
    if (static_cast<long long>(width) * height > MaxPixels) return nullptr;
    auto s = std::make_shared<Surface>();
    s->width = width;
    s->height = height;
    s->bitsPixel = bitsPixel;
    s->topDown = topDown;
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (bitsPixel == 1) {
        s->mono.assign(count, 0);
    } else {
        s->pixels.assign(count, 0);
    }
    return s;
}

}  // namespace

int Bitmap::Width() const {
    return surface_ ? surface_->width : 0;
}
int Bitmap::Height() const {
    return surface_ ? surface_->height : 0;
}
int Bitmap::Scale() const {
    return surface_ ? surface_->scale : 1;
}
int Bitmap::BitsPixel() const {
    return surface_ ? surface_->bitsPixel : 0;
}
bool Bitmap::IsTopDown() const {
    return surface_ && surface_->topDown;
}
int Bitmap::Stride() const {
    if (!surface_) return 0;
    return surface_->bitsPixel == 1 ? ((surface_->width + 15) / 16) * 2 : surface_->width * 4;
}
std::uint32_t* Bitmap::Bits() const {
    return surface_ && surface_->bitsPixel == 32 ? surface_->pixels.data() : nullptr;
}
std::uint32_t* Bitmap::Row(int y) const {
    if (!surface_ || surface_->bitsPixel != 32 || y < 0 || y >= surface_->height) return nullptr;
    return surface_->Row(y);
}

COLORREF Bitmap::GetPixel(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= surface_->width || y >= surface_->height) {
        return CLR_INVALID;
    }
    if (surface_->bitsPixel == 1) return surface_->MonoRow(y)[x] ? 0xFFFFFF : 0;
    return ColorFromPixel(surface_->Row(y)[x] & 0xFFFFFF);
}

void Bitmap::SetPixel(int x, int y, COLORREF colour) {
    if (!surface_ || x < 0 || y < 0 || x >= surface_->width || y >= surface_->height) return;
    if (surface_->bitsPixel == 1) {
        surface_->MonoRow(y)[x] = (colour & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
    } else {
        surface_->Row(y)[x] = PixelFromColor(colour);
    }
}

Bitmap Bitmap::Clone() const {
    if (!surface_) return {};
    return Bitmap(std::make_shared<Surface>(*surface_));
}

Bitmap CreateDIBSection32(int width, int height) {
    auto s = NewSurface(width, height < 0 ? -height : height, 32, height < 0);
    if (!s) return {};
    s->dibSection = true;
    return Bitmap(std::move(s));
}

Bitmap CreateScaledDIBSection32(int width, int height, int scale) {
    if (scale < 1 || scale > 3 || width <= 0 || height <= 0) return {};
    Bitmap b = CreateDIBSection32(width * scale, -height * scale);
    if (b) b.Get()->scale = scale;
    return b;
}

Bitmap CreateDIBSection(const BITMAPINFOHEADER& header, UINT usage, void** bits) {
    if (bits) *bits = nullptr;
    if (header.biSize < 40 || header.biPlanes != 1 || header.biBitCount != 32 ||
        header.biCompression != BI_RGB || usage != DIB_RGB_COLORS) {
        return {};
    }
    Bitmap b = CreateDIBSection32(header.biWidth, header.biHeight);
    if (b && bits) *bits = b.Bits();
    return b;
}

Bitmap CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return {};
    auto s = NewSurface(width, height, static_cast<int>(bitsPerPixel), true);
    if (!s) return {};
    if (bits) {
        const auto* in = static_cast<const std::uint8_t*>(bits);
        if (bitsPerPixel == 1) {
            std::size_t stride = static_cast<std::size_t>((width + 15) / 16) * 2;
            for (int y = 0; y < height; ++y) {
                const std::uint8_t* row = in + static_cast<std::size_t>(y) * stride;
                for (int x = 0; x < width; ++x) {
                    s->MonoRow(y)[x] = (row[x / 8] >> (7 - x % 8)) & 1;
                }
            }
        } else {
            std::memcpy(s->pixels.data(), in, s->pixels.size() * 4);
        }
    }
    return Bitmap(std::move(s));
}

bool GetObject(const Bitmap& bitmap, BITMAP& out) {
    if (!bitmap) return false;
    out = BITMAP{};
    out.bmWidth = bitmap.Width() / bitmap.Scale();
    out.bmHeight = bitmap.Height() / bitmap.Scale();
    out.bmWidthBytes = bitmap.Stride();
    out.bmBitsPixel = static_cast<std::uint16_t>(bitmap.BitsPixel());
    out.bmBits = bitmap.Get()->dibSection ? bitmap.Bits() : nullptr;
    return true;
}

}  // namespace gdi
