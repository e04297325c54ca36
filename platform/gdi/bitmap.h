// Bitmaps: 32-bit device-independent sections (rows top-down or bottom-up in memory, with
// their stride and pixel pointer) and monochrome bitmaps for masks. A Bitmap is a handle:
// copies share the same pixels, and the pixels live as long as some handle (or a device
// context that has them selected) refers to them. A default-constructed Bitmap is null.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/types.h"

namespace gdi {

struct Surface;

class Bitmap {
public:
    Bitmap() = default;
    explicit Bitmap(std::shared_ptr<Surface> surface) : surface_(std::move(surface)) {}

    explicit operator bool() const { return surface_ != nullptr; }
    friend bool operator==(const Bitmap& a, const Bitmap& b) { return a.surface_ == b.surface_; }

    // In pixels of the bitmap (device pixels for a scaled one).
    int Width() const;
    int Height() const;
    // Device pixels to each logical pixel, across and down: 1, or 2 or 3 for a window's
    // framebuffer on a high-density display and the bitmaps made compatible with it. A device
    // context draws on a scaled bitmap in logical coordinates.
    int Scale() const;
    // 32 for colour bitmaps, 1 for monochrome ones.
    int BitsPixel() const;
    bool IsMonochrome() const { return BitsPixel() == 1; }
    // Rows of a colour bitmap lie top row first in memory (false: bottom row first).
    bool IsTopDown() const;
    // Bytes from one row to the next in memory (colour bitmaps: width × 4).
    int Stride() const;
    // The first row in memory of a colour bitmap (the bottom row when bottom-up); null for
    // monochrome bitmaps, whose storage is private.
    std::uint32_t* Bits() const;
    // Row y counted from the top of the image, for colour bitmaps.
    std::uint32_t* Row(int y) const;

    // One pixel by image coordinates; monochrome pixels read 0 (black) or 0xFFFFFF (white).
    // Outside the bitmap GetPixel gives CLR_INVALID and SetPixel does nothing.
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);

    // A new bitmap with the same pixels and layout.
    Bitmap Clone() const;

    Surface* Get() const { return surface_.get(); }
    const std::shared_ptr<Surface>& Shared() const { return surface_; }
    void Reset() { surface_.reset(); }

private:
    std::shared_ptr<Surface> surface_;
};

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// A 32-bit section of that size; a positive height gives bottom-up rows, a negative one
// top-down rows. Zero-filled (black). Null when a side is 0 or the size is unreasonable.
Bitmap CreateDIBSection32(int width, int height);
// The platform call: only 32-bit BI_RGB headers are supported; *bits receives the pixels.
Bitmap CreateDIBSection(const BITMAPINFOHEADER& header, UINT usage, void** bits);
// A monochrome (1 bit per pixel, all black) or 32-bit bitmap. bits, when given, holds the
// rows top-down: 1-bit rows padded to 16 bits (most significant bit first, 1 = white),
// 32-bit rows as pixels.
Bitmap CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                    const void* bits = nullptr);

// A 32-bit top-down section of width × height logical pixels at `scale` (1 to 3) device
// pixels each; null as CreateDIBSection32 or for another scale.
Bitmap CreateScaledDIBSection32(int width, int height, int scale);

// The size (logical pixels) and format of a bitmap; false for a null one.
bool GetObject(const Bitmap& bitmap, BITMAP& out);

}  // namespace gdi
