// Pixels for a window whose framebuffer carries alpha (a 32-bit visual under a compositor):
// opaque where the window's shape holds them, fully transparent elsewhere, so the desktop
// shows around the shape whatever the compositor does with X11 shapes. Transparent pixels are
// all zero: compositors blend premultiplied colours.
#pragma once

#include <cstdint>

namespace gdi {
class Region;
}

namespace backend {

// Copies the pixels [left, right) of row y from `source` (0x00RRGGBB, the first at `left`) to
// `target` (0xAARRGGBB, likewise), through `shape` in window pixels; null: all opaque.
void CopyRowThroughShape(const gdi::Region* shape, int y, int left, int right,
                         const std::uint32_t* source, std::uint32_t* target);

}  // namespace backend
