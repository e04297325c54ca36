// Input routing: pointer events to the window under the pointer (or the capture), hit
// testing, double clicks, leave tracking, dragging by the caption; keys to the focus.
#include <cstdlib>

#include "platform/ui/application.h"
#include "platform/ui/window.h"

namespace ui {

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        default:
            return gdi::GetSystemMetrics(index);
    }
}

void Application::DispatchInput(const InputEvent& device) {
    if (scale_ > 1) {
        DispatchEvent(FromDevice(device));
    } else {
        DispatchEvent(device);
    }
}

void Application::DispatchEvent(const InputEvent& e) {
    switch (e.type) {
        case InputEvent::Type::MouseMove:
        case InputEvent::Type::MouseDown:
        case InputEvent::Type::MouseUp:
        case InputEvent::Type::MouseWheel:
        case InputEvent::Type::MouseLeave:
            RouteMouse(e);
            break;
        case InputEvent::Type::KeyDown:
        case InputEvent::Type::KeyUp:
        case InputEvent::Type::Text:
            RouteKey(e);
            break;
        case InputEvent::Type::Stalled:
            PostQuitMessage(-1);
            break;
        case InputEvent::Type::Quit:
            PostQuitMessage(0);
            break;
        default:
            HandleWindowEvent(e);
            break;
    }
}

void Application::HandleWindowEvent(const InputEvent& e) {
    WindowNode* n = Node(e.window);
    if (n == nullptr || n->IsChild()) return;
    switch (e.type) {
        case InputEvent::Type::Close:
            PostMessage(e.window, WM_CLOSE);
            break;
        case InputEvent::Type::Activate:
            if ((n->exStyle & WS_EX_TOOLWINDOW) != 0) break;  // never the active window
            if (IsWindowEnabled(e.window)) {
                Activate(e.window, false);
            } else {
                // A window disabled by a modal dialog hands the activation to that dialog.
                for (const HWND top : topLevels_) {
                    const WindowNode* t = Node(top);
                    if (t != nullptr && t->owner == e.window && t->shown) {
                        backend_.FocusWindow(top);
                        break;
                    }
                }
            }
            break;
        case InputEvent::Type::Deactivate:
            break;
        case InputEvent::Type::Minimized:
            if (!n->minimized) {
                n->minimized = true;
                n->style |= WS_MINIMIZE;
                if (dragWindow_ == e.window) dragWindow_ = nullptr;
                SendMessage(e.window, WM_SIZE, SIZE_MINIMIZED, 0);
            }
            break;
        case InputEvent::Type::Restored:
            if (n->minimized) {
                n->minimized = false;
                n->style &= ~WS_MINIMIZE;
                SendMessage(e.window, WM_SIZE, SIZE_RESTORED,
                            MAKELPARAM(static_cast<unsigned>(n->Width()),
                                       static_cast<unsigned>(n->Height())));
                if ((n = Node(e.window)) != nullptr) {
                    AddUpdate(*n, gdi::Region(GetClientRect(e.window)), true, true);
                }
            }
            break;
        case InputEvent::Type::Moved:
            // While we move the window ourselves, late reports of earlier places are stale.
            if (dragWindow_ == e.window) break;
            if (n->rect.left != e.screen.x || n->rect.top != e.screen.y) {
                n->rect =
                    RECT{e.screen.x, e.screen.y, e.screen.x + n->Width(), e.screen.y + n->Height()};
                SendMessage(e.window, WM_MOVE, 0,
                            MAKELPARAM(static_cast<unsigned>(e.screen.x),
                                       static_cast<unsigned>(e.screen.y)));
            }
            break;
        case InputEvent::Type::Exposed:
            if (n->frame) {
                n->dirty = gdi::Region(GetClientRect(e.window));
                Present(*n);
            }
            break;
        default:
            break;
    }
}

WPARAM Application::MouseKeyFlags() const {
    WPARAM flags = 0;
    if (buttons_[1]) flags |= MK_LBUTTON;
    if (buttons_[2]) flags |= MK_MBUTTON;
    if (buttons_[3]) flags |= MK_RBUTTON;
    if (shift_) flags |= MK_SHIFT;
    if (control_) flags |= MK_CONTROL;
    return flags;
}

Application::Hit Application::HitTestChildren(HWND hwnd, POINT inWindow, POINT screen) {
    const WindowNode* n = Node(hwnd);
    if (n == nullptr) return {};
    const std::vector<HWND> children = n->children;
    for (const HWND child : children) {
        const WindowNode* c = Node(child);
        // Hidden and disabled windows are not hit: the window below or the parent is.
        if (c == nullptr || (c->style & WS_VISIBLE) == 0 || (c->style & WS_DISABLED) != 0) continue;
        if (!gdi::PtInRect(c->rect, inWindow)) continue;
        const POINT inChild{inWindow.x - c->rect.left, inWindow.y - c->rect.top};
        if (c->windowRegion && !c->windowRegion->Contains(inChild.x, inChild.y)) continue;
        const Hit hit = HitTestChildren(child, inChild, screen);
        if (hit.hwnd) return hit;
    }
    const LRESULT code = SendMessage(hwnd, WM_NCHITTEST, 0, PointToLParam(screen));
    if (code == HTTRANSPARENT || code == HTNOWHERE) return {};
    return Hit{hwnd, code};
}

Application::Hit Application::HitTest(HWND top, POINT client) {
    const WindowNode* n = Node(top);
    if (n == nullptr || (n->style & WS_VISIBLE) == 0 || n->minimized) return {};
    if (!gdi::PtInRect(GetClientRect(top), client)) return {};
    if (n->windowRegion && !n->windowRegion->Contains(client.x, client.y)) return {};
    return HitTestChildren(top, client, ClientToScreen(top, client));
}

HWND Application::WindowFromPoint(POINT screen) {
    const std::vector<HWND> tops = topLevels_;
    for (const HWND top : tops) {
        const WindowNode* n = Node(top);
        if (n == nullptr || (n->style & WS_VISIBLE) == 0 || n->minimized) continue;
        if (!gdi::PtInRect(n->rect, screen)) continue;
        const POINT client{screen.x - n->rect.left, screen.y - n->rect.top};
        if (n->windowRegion && !n->windowRegion->Contains(client.x, client.y)) continue;
        const Hit hit = HitTest(top, client);
        if (hit.hwnd) return hit.hwnd;
    }
    return nullptr;
}

void Application::UpdateTracking(HWND under) {
    under_ = under;
    if (tracked_ && tracked_ != under) {
        const HWND left = tracked_;
        tracked_ = nullptr;
        PostMessage(left, WM_MOUSELEAVE);
    }
}

void Application::RouteMouse(const InputEvent& e) {
    WindowNode* top = Node(e.window);
    if (top == nullptr) return;
    using Type = InputEvent::Type;

    if (e.type == Type::MouseLeave) {
        UpdateTracking(nullptr);
        return;
    }
    const POINT screen{top->rect.left + e.pt.x, top->rect.top + e.pt.y};
    cursorScreen_ = screen;
    shift_ = e.shift;
    control_ = e.control;
    const int button = e.button >= 1 && e.button <= 3 ? e.button : 0;
    if (e.type == Type::MouseDown && button != 0) buttons_[button] = true;
    if (e.type == Type::MouseUp && button != 0) buttons_[button] = false;

    // Moving a window by its caption: the window follows the pointer until the button is up.
    if (dragWindow_) {
        if (dragWindow_ == e.window && e.type == Type::MouseMove && buttons_[1]) {
            SetWindowPos(e.window, nullptr, top->rect.left + e.pt.x - dragGrab_.x,
                         top->rect.top + e.pt.y - dragGrab_.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
        if (e.type == Type::MouseUp && button == 1) {
            dragWindow_ = nullptr;
            return;
        }
        if (!buttons_[1]) dragWindow_ = nullptr;
    }

    const Hit under = HitTest(e.window, e.pt);
    UpdateTracking(under.hwnd);
    // A window disabled by a modal dialog takes no pointer input.
    if (!IsWindowEnabled(e.window) && !capture_) return;

    if (e.type == Type::MouseWheel) {
        const HWND target = under.hwnd ? under.hwnd : focus_;
        if (!target) return;
        MSG msg{target,
                WM_MOUSEWHEEL,
                MAKEWPARAM(static_cast<unsigned>(MouseKeyFlags()),
                           static_cast<unsigned>(e.wheel * WHEEL_DELTA)),
                PointToLParam(screen),
                static_cast<DWORD>(e.time),
                screen};
        DeliverMessage(msg);
        return;
    }

    const Hit hit = capture_ ? Hit{capture_, HTCLIENT} : under;
    if (!hit.hwnd) return;

    UINT message = WM_MOUSEMOVE;
    if (e.type == Type::MouseDown || e.type == Type::MouseUp) {
        static constexpr UINT downs[] = {0, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
        static constexpr UINT ups[] = {0, WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
        if (button == 0) return;
        message = e.type == Type::MouseDown ? downs[button] : ups[button];
    }

    if (!capture_ && (e.type == Type::MouseMove || e.type == Type::MouseDown)) {
        SendMessage(hit.hwnd, WM_SETCURSOR, hit.hwnd.id,
                    MAKELPARAM(static_cast<unsigned>(hit.code), message));
        if (Node(hit.hwnd) == nullptr) return;
    }

    const bool client = hit.code == HTCLIENT;
    if (e.type == Type::MouseDown) {
        // A second press of the same button on the same window, soon and near enough, is a
        // double click for windows whose class asks for them (and always on the frame).
        const WindowNode* target = Node(hit.hwnd);
        const bool wantsDouble = !client || (target->classStyle & CS_DBLCLKS) != 0;
        const bool isDouble =
            wantsDouble && lastClick_.hwnd == hit.hwnd && lastClick_.message == message &&
            e.time - lastClick_.time <= GetDoubleClickTime() &&
            std::abs(screen.x - lastClick_.screen.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(screen.y - lastClick_.screen.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (isDouble) {
            lastClick_ = ClickMemory{};
            message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        } else {
            lastClick_ = ClickMemory{hit.hwnd, message, e.time, screen};
        }
        // Tool windows (tooltips, drop-down lists) never take the activation.
        const HWND hitTop = GetTopLevel(hit.hwnd);
        const WindowNode* topNode = Node(hitTop);
        if (hitTop != active_ && topNode != nullptr && (topNode->exStyle & WS_EX_TOOLWINDOW) == 0) {
            SetActiveWindow(hitTop);
        }
        if (Node(hit.hwnd) == nullptr) return;
    }

    MSG msg{hit.hwnd, message, MouseKeyFlags(), 0, static_cast<DWORD>(e.time), screen};
    if (client) {
        msg.lParam = PointToLParam(ScreenToClient(hit.hwnd, screen));
    } else {
        msg.message = message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        msg.wParam = static_cast<WPARAM>(hit.code);
        msg.lParam = PointToLParam(screen);
    }
    DeliverMessage(msg);
}

void Application::RouteKey(const InputEvent& e) {
    shift_ = e.shift;
    control_ = e.control;
    if (e.type == InputEvent::Type::KeyDown && e.vk == VK_SHIFT) shift_ = true;
    if (e.type == InputEvent::Type::KeyUp && e.vk == VK_SHIFT) shift_ = false;
    if (e.type == InputEvent::Type::KeyDown && e.vk == VK_CONTROL) control_ = true;
    if (e.type == InputEvent::Type::KeyUp && e.vk == VK_CONTROL) control_ = false;
    const HWND target = focus_ ? focus_ : active_;
    if (!target) return;
    if (e.type == InputEvent::Type::Text) {
        for (const char16_t unit : e.text) {
            MSG msg{target, WM_CHAR, unit, 1, static_cast<DWORD>(e.time), cursorScreen_};
            DeliverMessage(msg);
        }
        return;
    }
    MSG msg{target,
            e.type == InputEvent::Type::KeyDown ? WM_KEYDOWN : WM_KEYUP,
            e.vk,
            e.type == InputEvent::Type::KeyDown ? 1 : static_cast<LPARAM>(0xC0000001u),
            static_cast<DWORD>(e.time),
            cursorScreen_};
    DeliverMessage(msg);
}

}  // namespace ui
