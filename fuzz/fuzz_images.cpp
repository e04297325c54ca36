// The BMP and PNG readers on arbitrary bytes; the first byte chooses the reader. A bitmap that
// loads is read back pixel by pixel.
#include <cstdint>
#include <span>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::span<const std::uint8_t> bytes(data + 1, size - 1);
    gdi::Bitmap mask;
    gdi::Bitmap bitmap =
        (data[0] & 1) ? gdi::LoadPngFromBytes(bytes, &mask) : gdi::LoadBitmapFromBytes(bytes);
    if (!bitmap) return 0;
    std::uint64_t sum = 0;
    for (int y = 0; y < bitmap.Height(); y += 3)
        for (int x = 0; x < bitmap.Width(); x += 3)
            sum += bitmap.GetPixel(x, y);
    return sum == 1 ? 0 : 0;
}
