// Test helper: a 24-bit BMP file's header fields and its pixels, read straight from the bytes,
// so that the artwork can be checked without the graphics layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace restest {

struct BmpImage {
    std::uint32_t infoHeaderSize = 0;
    int width = 0;
    int height = 0;  // as stored: positive for bottom-up rows
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Null when the bytes are not an uncompressed 24-bit BMP that holds all its rows.
std::optional<BmpImage> ReadBmp24(std::span<const std::uint8_t> bytes);

// Pixels that count as outside a skin: every channel at most `tolerance`.
inline bool IsKey(std::uint32_t rgb, int tolerance) {
    return static_cast<int>(rgb >> 16 & 0xFF) <= tolerance &&
           static_cast<int>(rgb >> 8 & 0xFF) <= tolerance &&
           static_cast<int>(rgb & 0xFF) <= tolerance;
}

}  // namespace restest
