// The skin-region routine on random bitmaps: size, key colour, tolerance and scan taken from
// the first bytes, pixels from the rest; both scans must give the same region.
#include <cstdint>
#include <cstring>

#include "controls/skinregion.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 12) return 0;
    const int width = 1 + data[0] % 96;
    const int height = 1 + data[1] % 96;
    std::uint32_t key = 0;
    std::uint32_t tolerance = 0;
    std::memcpy(&key, data + 2, 4);
    std::memcpy(&tolerance, data + 6, 4);
    key &= 0xFFFFFF;
    tolerance &= 0xFFFFFF;
    if (data[10] & 1) key = (data[10] & 2) ? 0xFFFFFF : 0;
    gdi::Bitmap bitmap = gdi::CreateDIBSection32(width, height);
    if (!bitmap) return 0;
    std::uint32_t* bits = bitmap.Bits();
    const std::uint8_t* pixels = data + 11;
    const std::size_t available = size - 11;
    for (int i = 0; i < width * height; ++i) {
        std::uint32_t p = 0;
        for (int b = 0; b < 3; ++b)
            p |= std::uint32_t{pixels[(3 * static_cast<std::size_t>(i) + b) % available]}
                 << (8 * b);
        bits[i] = p;
    }
    auto opaque = RegionFromBitmap(bitmap, key, true, tolerance);
    auto keyed = RegionFromBitmap(bitmap, key, false, tolerance);
    if (opaque.has_value() != keyed.has_value()) __builtin_trap();
    if (opaque && !gdi::EqualRgn(*opaque, *keyed)) __builtin_trap();
    return 0;
}
