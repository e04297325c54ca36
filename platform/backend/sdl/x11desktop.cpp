#include "platform/backend/sdl/x11desktop.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/region.h"

namespace backend {

namespace {

struct CloseDisplay {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct FreeScreenResources {
    void operator()(XRRScreenResources* resources) const { XRRFreeScreenResources(resources); }
};
struct FreeOutputInfo {
    void operator()(XRROutputInfo* info) const { XRRFreeOutputInfo(info); }
};

bool CompositingManagerRuns(Display* display, int screen) {
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    const Atom selection = XInternAtom(display, name.c_str(), False);
    return selection != None && XGetSelectionOwner(display, selection) != None;
}

// XWayland names its outputs XWAYLAND0, XWAYLAND1, …
bool IsXWayland(Display* display, int screen) {
    int eventBase = 0;
    int errorBase = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) == 0) return false;
    const std::unique_ptr<XRRScreenResources, FreeScreenResources> resources(
        XRRGetScreenResourcesCurrent(display, RootWindow(display, screen)));
    if (!resources) return false;
    for (int i = 0; i < resources->noutput; ++i) {
        const std::unique_ptr<XRROutputInfo, FreeOutputInfo> output(
            XRRGetOutputInfo(display, resources.get(), resources->outputs[i]));
        if (output && std::strncmp(output->name, "XWAYLAND", 8) == 0) return true;
    }
    return false;
}

// A TrueColor visual of depth 32 whose colour channels leave the top byte to alpha: SDL then
// gives the window an ARGB8888 framebuffer.
std::string ArgbVisual(Display* display, int screen) {
    XVisualInfo info;
    if (XMatchVisualInfo(display, screen, 32, TrueColor, &info) == 0) return {};
    if (info.red_mask != 0xFF0000 || info.green_mask != 0xFF00 || info.blue_mask != 0xFF) return {};
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(info.visualid));
    return id;
}

bool X11Handles(SDL_Window* window, Display*& display, ::Window& xwindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return display != nullptr;
}

}  // namespace

X11Desktop ProbeX11Desktop() {
    X11Desktop desktop;
    const std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
    if (!display) return desktop;
    const int screen = DefaultScreen(display.get());
    desktop.xwayland = IsXWayland(display.get(), screen);
    desktop.composited = desktop.xwayland || CompositingManagerRuns(display.get(), screen);
    desktop.argbVisual = ArgbVisual(display.get(), screen);
    return desktop;
}

bool HasArgbVisual(SDL_Window* window) {
    Display* display = nullptr;
    ::Window xwindow = 0;
    XWindowAttributes attributes;
    return X11Handles(window, display, xwindow) &&
           XGetWindowAttributes(display, xwindow, &attributes) != 0 && attributes.depth == 32;
}

bool SetX11Shape(SDL_Window* window, ShapeUse use, const gdi::Region* shape) {
    Display* display = nullptr;
    ::Window xwindow = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (!X11Handles(window, display, xwindow) ||
        XShapeQueryExtension(display, &eventBase, &errorBase) == 0) {
        return false;
    }
    const int kind = use == ShapeUse::Bounding ? ShapeBounding : ShapeInput;
    if (shape == nullptr) {
        XShapeCombineMask(display, xwindow, kind, 0, 0, None, ShapeSet);
    } else {
        std::vector<XRectangle> rects;
        rects.reserve(shape->Rects().size());
        for (const gdi::RECT& r : shape->Rects()) {
            rects.push_back(XRectangle{static_cast<short>(r.left), static_cast<short>(r.top),
                                       static_cast<unsigned short>(r.Width()),
                                       static_cast<unsigned short>(r.Height())});
        }
        XShapeCombineRectangles(display, xwindow, kind, 0, 0, rects.data(),
                                static_cast<int>(rects.size()), ShapeSet, YXBanded);
    }
    XFlush(display);
    return true;
}

}  // namespace backend
