// The pixel store behind a Bitmap (private to the graphics layer).
#pragma once

#include <cstdint>
#include <vector>

namespace gdi {

struct Surface {
    int width = 0;
    int height = 0;
    int bitsPixel = 32;    // 32 or 1
    bool topDown = false;  // memory order of colour rows
    bool dibSection = false;
    int scale = 1;                      // device pixels to each logical pixel, across and down
    std::vector<std::uint32_t> pixels;  // colour: width × height, memory order
    std::vector<std::uint8_t> mono;     // monochrome: 0 or 1 per pixel, top row first

    std::uint32_t* Row(int y) {
        return pixels.data() + static_cast<std::size_t>(topDown ? y : height - 1 - y) *
                                   static_cast<std::size_t>(width);
    }
    const std::uint32_t* Row(int y) const { return const_cast<Surface*>(this)->Row(y); }
    std::uint8_t* MonoRow(int y) {
        return mono.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    }
    const std::uint8_t* MonoRow(int y) const { return const_cast<Surface*>(this)->MonoRow(y); }
};

}  // namespace gdi
