// Window state and geometry: rectangles and coordinate mapping, showing, enabling, styles,
// text, icons, position, z-order and window regions.
#include <algorithm>

#include "platform/ui/application.h"
#include "platform/ui/window.h"

namespace ui {

RECT Application::GetWindowRect(HWND hwnd) const {
    const WindowNode* n = Node(hwnd);
    if (n == nullptr) return {};
    const POINT origin = ClientToScreen(hwnd, POINT{0, 0});
    return RECT{origin.x, origin.y, origin.x + n->Width(), origin.y + n->Height()};
}

RECT Application::GetClientRect(HWND hwnd) const {
    const WindowNode* n = Node(hwnd);
    return n != nullptr ? RECT{0, 0, n->Width(), n->Height()} : RECT{};
}

POINT Application::ClientToScreen(HWND hwnd, POINT p) const {
    for (const WindowNode* n = Node(hwnd); n != nullptr; n = ParentNode(*n)) {
        p.x += n->rect.left;
        p.y += n->rect.top;
    }
    return p;
}

POINT Application::ScreenToClient(HWND hwnd, POINT p) const {
    const POINT origin = ClientToScreen(hwnd, POINT{0, 0});
    return POINT{p.x - origin.x, p.y - origin.y};
}

POINT Application::OriginInTopLevel(HWND hwnd) const {
    POINT p{};
    for (const WindowNode* n = Node(hwnd); n != nullptr && n->IsChild(); n = ParentNode(*n)) {
        p.x += n->rect.left;
        p.y += n->rect.top;
    }
    return p;
}

bool Application::IsWindowVisible(HWND hwnd) const {
    for (const WindowNode* n = Node(hwnd); n != nullptr; n = ParentNode(*n)) {
        if ((n->style & WS_VISIBLE) == 0) return false;
        if (!n->IsChild()) return true;
    }
    return false;
}

bool Application::EnableWindow(HWND hwnd, bool enable) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    const bool wasDisabled = (n->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) {
        n->style &= ~WS_DISABLED;
    } else {
        n->style |= WS_DISABLED;
        if (capture_ == hwnd) ReleaseCapture();
        if (focus_ == hwnd) SetFocus(nullptr);
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool Application::IsWindowEnabled(HWND hwnd) const {
    const WindowNode* n = Node(hwnd);
    return n != nullptr && (n->style & WS_DISABLED) == 0;
}

void Application::SetWindowStyle(HWND hwnd, Style style, Style exStyle) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    const bool wasVisible = (n->style & WS_VISIBLE) != 0;
    const bool visible = (style & WS_VISIBLE) != 0;
    n->style = (style & ~WS_VISIBLE) | (n->style & WS_VISIBLE);
    n->exStyle = exStyle;
    if (visible != wasVisible) ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void Application::SetWindowText(HWND hwnd, std::u16string_view text) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    n->text = std::u16string(text);
    if (n->native) backend_.SetWindowTitle(hwnd, n->text);
}

void Application::SetIcon(HWND hwnd, const gdi::Icon& icon, bool big) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return;
    (big ? n->iconBig : n->iconSmall) = icon;
    if (n->native) backend_.SetWindowIcon(hwnd, n->iconBig ? n->iconBig : n->iconSmall);
}

bool Application::ShowWindow(HWND hwnd, int command) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    const bool wasVisible = (n->style & WS_VISIBLE) != 0;
    switch (command) {
        case SW_HIDE:
            if (!wasVisible) return false;
            SendMessage(hwnd, WM_SHOWWINDOW, 0, 0);
            if ((n = Node(hwnd)) == nullptr) return true;
            if (n->IsChild()) InvalidateBehind(*n);
            n->style &= ~WS_VISIBLE;
            if (!n->IsChild() && n->native) {
                backend_.ShowWindow(hwnd, SW_HIDE);
                n->shown = false;
            }
            return true;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            // The backend reports the change when the window system made it.
            if (!n->IsChild() && n->native) backend_.ShowWindow(hwnd, SW_MINIMIZE);
            return wasVisible;
        case SW_RESTORE:
            if (!n->IsChild() && n->native && n->minimized) backend_.ShowWindow(hwnd, SW_RESTORE);
            if (wasVisible) return true;
            break;
        default:
            break;
    }
    if (wasVisible) return true;
    SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
    if ((n = Node(hwnd)) == nullptr) return false;
    n->style |= WS_VISIBLE;
    if (!n->IsChild()) {
        EnsureFrame(*n);
        if (n->native) backend_.ShowWindow(hwnd, SW_SHOW);
        n->shown = true;
        AddUpdate(*n, gdi::Region(GetClientRect(hwnd)), true, true);
        const bool tool = (n->exStyle & WS_EX_TOOLWINDOW) != 0;
        if (command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !tool) {
            // Activated while still hidden (the focus went to a control during start-up): the
            // window system learns of it now.
            if (active_ == hwnd) {
                if (n->native) backend_.FocusWindow(hwnd);
            } else {
                SetActiveWindow(hwnd);
            }
        }
    } else {
        AddUpdate(*n, gdi::Region(GetClientRect(hwnd)), true, true);
    }
    return false;
}

bool Application::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                               UINT flags) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    if ((flags & SWP_NOZORDER) == 0) {
        std::vector<HWND>& siblings = n->IsChild() ? Node(n->parent)->children : topLevels_;
        std::erase(siblings, hwnd);
        if (insertAfter == HWND_BOTTOM) {
            siblings.push_back(hwnd);
        } else {
            auto at = std::find(siblings.begin(), siblings.end(), insertAfter);
            siblings.insert(at == siblings.end() ? siblings.begin() : at + 1, hwnd);
        }
        if (n->IsChild() && (n->style & WS_VISIBLE) != 0 && (flags & SWP_NOREDRAW) == 0) {
            AddUpdate(*n, gdi::Region(GetClientRect(hwnd)), true, true);
        }
    }
    RECT r = n->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        r = RECT{x, y, x + n->Width(), y + n->Height()};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    if (!(r == n->rect)) {
        const bool moved = r.left != n->rect.left || r.top != n->rect.top;
        const bool resized = r.right - r.left != n->Width() || r.bottom - r.top != n->Height();
        const bool redraw = (flags & SWP_NOREDRAW) == 0 && (n->style & WS_VISIBLE) != 0;
        if (n->IsChild()) {
            if (redraw) InvalidateBehind(*n);
            n->rect = r;
            if (redraw) AddUpdate(*n, gdi::Region(GetClientRect(hwnd)), true, true);
        } else {
            n->rect = r;
            if (n->native) backend_.MoveWindow(hwnd, ToDevice(r));
            if (resized) {
                EnsureFrame(*n);
                AddUpdate(*n, gdi::Region(GetClientRect(hwnd)), true, true);
            }
        }
        if (moved)
            SendMessage(hwnd, WM_MOVE, 0,
                        MAKELPARAM(static_cast<unsigned>(r.left), static_cast<unsigned>(r.top)));
        if (resized && Node(hwnd) != nullptr) {
            SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                        MAKELPARAM(static_cast<unsigned>(r.right - r.left),
                                   static_cast<unsigned>(r.bottom - r.top)));
        }
    }
    if ((flags & SWP_SHOWWINDOW) != 0) ShowWindow(hwnd, SW_SHOWNA);
    if ((flags & SWP_HIDEWINDOW) != 0) ShowWindow(hwnd, SW_HIDE);
    if ((flags & SWP_FRAMECHANGED) != 0 && (flags & SWP_NOREDRAW) == 0) {
        InvalidateRect(hwnd, nullptr, true);
    }
    return true;
}

bool Application::SetWindowRgn(HWND hwnd, std::optional<gdi::Region> region, bool redraw) {
    WindowNode* n = Node(hwnd);
    if (n == nullptr) return false;
    if (n->IsChild() && redraw && (n->style & WS_VISIBLE) != 0) InvalidateBehind(*n);
    n->windowRegion = std::move(region);
    if (!n->IsChild() && n->native) {
        if (n->windowRegion && scale_ > 1) {
            gdi::Region shape = *n->windowRegion;
            shape.Scale(scale_);
            backend_.SetWindowShape(hwnd, &shape);
        } else {
            backend_.SetWindowShape(hwnd, n->windowRegion ? &*n->windowRegion : nullptr);
        }
    }
    if (redraw) AddUpdate(*n, gdi::Region(GetClientRect(hwnd)), true, true);
    return true;
}

void Application::BeginMoveDrag(HWND hwnd, POINT grab) {
    const WindowNode* n = Node(hwnd);
    if (n == nullptr || n->IsChild() || n->minimized || !buttons_[1]) return;
    dragWindow_ = hwnd;
    dragGrab_ = grab;
}

}  // namespace ui
