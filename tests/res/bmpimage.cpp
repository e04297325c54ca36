#include "tests/res/bmpimage.h"

namespace restest {
namespace {

std::uint32_t Read32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

}  // namespace

std::optional<BmpImage> ReadBmp24(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    BmpImage image;
    std::uint32_t offset = Read32(bytes, 10);
    image.infoHeaderSize = Read32(bytes, 14);
    image.width = static_cast<std::int32_t>(Read32(bytes, 18));
    image.height = static_cast<std::int32_t>(Read32(bytes, 22));
    image.bitCount = bytes[28] | bytes[29] << 8;
    image.compression = Read32(bytes, 30);
    if (image.bitCount != 24 || image.compression != 0 || image.width <= 0 || image.height == 0)
        return std::nullopt;
    int rows = image.height < 0 ? -image.height : image.height;
    std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    if (offset + stride * rows > bytes.size()) return std::nullopt;
    image.pixels.resize(static_cast<std::size_t>(image.width) * rows);
    for (int y = 0; y < rows; ++y) {
        std::size_t row = image.height > 0 ? rows - 1 - y : y;
        const std::uint8_t* p = bytes.data() + offset + row * stride;
        for (int x = 0; x < image.width; ++x, p += 3)
            image.pixels[static_cast<std::size_t>(y) * image.width + x] =
                p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16;
    }
    return image;
}

}  // namespace restest
