// What the framework keeps of one window, whichever object runs it (private to the framework).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/font.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region.h"
#include "platform/ui/styles.h"
#include "platform/ui/types.h"

namespace ui {

class Window;

struct WindowNode {
    HWND handle;
    HWND parent;                    // child windows: the parent; top-level windows: null
    HWND owner;                     // top-level windows: the window they belong to, or null
    std::vector<HWND> children;     // z-order, top first
    Window* object = nullptr;       // runs the window's messages
    std::unique_ptr<Window> owned;  // the class's object, while no other object is attached
    std::u16string className;
    UINT classStyle = 0;
    std::u16string text;
    Style style = 0;
    Style exStyle = 0;
    int id = 0;
    RECT rect{};  // parent's client coordinates; screen coordinates for top-level windows
    std::optional<gdi::Region> windowRegion;  // window coordinates
    gdi::Region update;                       // client coordinates
    bool erasePending = false;
    gdi::Font font;
    gdi::Icon iconBig;
    gdi::Icon iconSmall;
    bool destroying = false;

    // Top-level windows only.
    gdi::Bitmap frame;  // the window's framebuffer; children draw into it
    gdi::Region dirty;  // framebuffer parts drawn since the last present
    bool native = false;
    bool minimized = false;
    bool shown = false;  // the backend shows it

    bool IsChild() const { return (style & WS_CHILD) != 0 && parent; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

}  // namespace ui
