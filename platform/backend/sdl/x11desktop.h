// What an X11 desktop offers our windows, and their shapes there.
//
// With a compositing manager (an owner of the _NET_WM_CM_S<screen> selection, or any XWayland
// server, whose Wayland compositor always composites) a window can be transparent: it is made
// with a 32-bit ARGB visual, draws fully transparent pixels outside its shape and keeps its
// shape only as the region that takes clicks. Compositors differ in whether they honour a
// bounding shape (weston does not), but every one blends by alpha. Without a compositor the
// X server itself cuts the window to its bounding shape.
#pragma once

#include <string>

struct SDL_Window;

namespace gdi {
class Region;
}

namespace backend {

struct X11Desktop {
    bool composited = false;  // a compositing manager draws the windows
    bool xwayland = false;    // the X server is XWayland (then also composited)
    std::string argbVisual;   // the id of a 32-bit ARGB visual ("0x…"); empty: none
};

// Asks the X server named by DISPLAY (over a connection of its own, closed again). All false
// and empty when it cannot be reached.
X11Desktop ProbeX11Desktop();

// Whether SDL made `window` with a 32-bit visual (its framebuffer then carries alpha).
bool HasArgbVisual(SDL_Window* window);

enum class ShapeUse { Bounding, Input };
// Sets the bounding shape (what is drawn, without a compositor) or the input shape (what takes
// clicks) of an X11 window to `shape` in window pixels; null: the whole window. False when the
// window is not an X11 window or the server has no shape extension.
bool SetX11Shape(SDL_Window* window, ShapeUse use, const gdi::Region* shape);

}  // namespace backend
