#include "platform/backend/headless/headlessbackend.h"

#include <algorithm>

#include "platform/gdi/png.h"
#include "platform/ui/application.h"
#include "platform/ui/messages.h"

namespace backend {

bool HeadlessBackend::WaitEvent(ui::InputEvent& out, std::optional<std::uint64_t> deadline) {
    if (quitRequested_.exchange(false)) {
        out = ui::InputEvent{};
        out.type = ui::InputEvent::Type::Quit;
        out.time = now_;
        return true;
    }
    for (;;) {
        if (!events_.empty()) {
            out = std::move(events_.front());
            events_.pop_front();
            return true;
        }
        if (deadline && *deadline <= now_) return false;
        if (idle_.empty()) break;
        std::function<void()> step = std::move(idle_.front());
        idle_.pop_front();
        step();
        if (events_.empty()) return false;  // the step may have moved the clock instead
    }
    out = ui::InputEvent{};
    out.type = ui::InputEvent::Type::Stalled;
    out.time = now_;
    return true;
}

bool HeadlessBackend::OpenWindow(HWND window, const RECT& screenRect, std::u16string_view title,
                                 bool tool) {
    if (refuseWindows_) return false;
    WindowState& s = windows_[window.id];
    s = WindowState{};
    s.tool = tool;
    s.rect = screenRect;
    s.title = std::u16string(title);
    return true;
}

void HeadlessBackend::CloseWindow(HWND window) {
    windows_.erase(window.id);
    if (focused_ == window) focused_ = nullptr;
}

void HeadlessBackend::SetWindowTitle(HWND window, std::u16string_view title) {
    if (auto it = windows_.find(window.id); it != windows_.end()) it->second.title = title;
}

void HeadlessBackend::MoveWindow(HWND window, const RECT& screenRect) {
    auto it = windows_.find(window.id);
    if (it == windows_.end()) return;
    const RECT old = it->second.rect;
    it->second.rect = screenRect;
    if (old.left != screenRect.left || old.top != screenRect.top) {
        // Only the latest place is reported: an earlier report still queued would be stale.
        std::erase_if(events_, [&](const ui::InputEvent& queued) {
            return queued.type == ui::InputEvent::Type::Moved && queued.window == window;
        });
        ui::InputEvent e;
        e.type = ui::InputEvent::Type::Moved;
        e.window = window;
        e.screen = POINT{screenRect.left, screenRect.top};
        e.time = now_;
        Push(e);
    }
}

void HeadlessBackend::ShowWindow(HWND window, int command) {
    auto it = windows_.find(window.id);
    if (it == windows_.end()) return;
    WindowState& s = it->second;
    using Type = ui::InputEvent::Type;
    switch (command) {
        case ui::SW_HIDE:
            s.visible = false;
            if (focused_ == window) MoveFocus(nullptr);
            break;
        case ui::SW_MINIMIZE:
            if (!s.minimized) {
                s.minimized = true;
                PushWindowEvent(Type::Minimized, window);
                if (focused_ == window) MoveFocus(nullptr);
            }
            break;
        case ui::SW_RESTORE:
            if (s.minimized) {
                s.minimized = false;
                PushWindowEvent(Type::Restored, window);
                PushWindowEvent(Type::Exposed, window);
            }
            break;
        default:
            if (!s.visible) {
                s.visible = true;
                PushWindowEvent(Type::Exposed, window);
            }
            break;
    }
}

void HeadlessBackend::SetWindowShape(HWND window, const gdi::Region* shape) {
    auto it = windows_.find(window.id);
    if (it == windows_.end()) return;
    if (shape != nullptr) {
        it->second.shape = *shape;
    } else {
        it->second.shape.reset();
    }
}

void HeadlessBackend::Present(HWND window, const gdi::Bitmap& frame, const gdi::Region& dirty) {
    auto it = windows_.find(window.id);
    if (it == windows_.end() || !frame) return;
    WindowState& s = it->second;
    if (!s.shown || s.shown.Width() != frame.Width() || s.shown.Height() != frame.Height()) {
        s.shown = gdi::CreateDIBSection32(frame.Width(), -frame.Height());
    }
    for (const RECT& r : dirty.Rects()) {
        const int left = std::max(r.left, 0);
        const int right = std::min(r.right, frame.Width());
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, frame.Height()); ++y) {
            if (right > left)
                std::copy(frame.Row(y) + left, frame.Row(y) + right, s.shown.Row(y) + left);
        }
    }
    s.lastPresent = dirty;
    ++s.presents;
}

void HeadlessBackend::SetWindowIcon(HWND window, const gdi::Icon& icon) {
    if (auto it = windows_.find(window.id); it != windows_.end()) it->second.icon = icon;
}

void HeadlessBackend::FocusWindow(HWND window) {
    auto it = windows_.find(window.id);
    if (it == windows_.end()) return;
    ++it->second.focusRequests;
    if (!it->second.tool) MoveFocus(window);
}

void HeadlessBackend::Activate(HWND topLevel) {
    FocusWindow(topLevel);
}

void HeadlessBackend::MoveFocus(HWND window) {
    if (focused_ == window) return;
    const HWND old = focused_;
    focused_ = window;
    // Reports of earlier focus changes still queued are stale: only the latest one is told.
    std::erase_if(events_, [](const ui::InputEvent& queued) {
        return queued.type == ui::InputEvent::Type::Activate ||
               queued.type == ui::InputEvent::Type::Deactivate;
    });
    if (old && windows_.contains(old.id)) PushWindowEvent(ui::InputEvent::Type::Deactivate, old);
    if (window) PushWindowEvent(ui::InputEvent::Type::Activate, window);
}

bool HeadlessBackend::SetClipboardText(std::u16string_view text) {
    clipboard_ = std::u16string(text);
    return true;
}

const HeadlessBackend::WindowState* HeadlessBackend::State(HWND window) const {
    const auto it = windows_.find(window.id);
    return it != windows_.end() ? &it->second : nullptr;
}

gdi::Bitmap HeadlessBackend::Screenshot(HWND window) const {
    const WindowState* s = State(window);
    if (s == nullptr || !s->shown) return {};
    gdi::Bitmap shot = s->shown.Clone();
    if (s->shape) {
        for (int y = 0; y < shot.Height(); ++y) {
            for (int x = 0; x < shot.Width(); ++x) {
                if (!s->shape->Contains(x, y)) shot.Row(y)[x] = 0;
            }
        }
    }
    return shot;
}

bool HeadlessBackend::SavePng(HWND window, const std::string& path) const {
    const gdi::Bitmap shot = Screenshot(window);
    return shot && gdi::SavePng(shot, path);
}

void HeadlessBackend::Push(ui::InputEvent event) {
    events_.push_back(std::move(event));
}

void HeadlessBackend::PushWindowEvent(ui::InputEvent::Type type, HWND window) {
    ui::InputEvent e;
    e.type = type;
    e.window = window;
    e.time = now_;
    Push(e);
}

void HeadlessBackend::Event(ui::InputEvent event) {
    Push(std::move(event));
}

ui::InputEvent HeadlessBackend::Pointer(ui::InputEvent::Type type, HWND window, POINT client) {
    ui::InputEvent e;
    e.type = type;
    e.time = now_;
    e.shift = shift_;
    e.control = control_;
    ui::Application* app = window.app;
    if (app != nullptr && app->IsWindow(window)) {
        const HWND top = app->GetTopLevel(window);
        const POINT screen = app->ClientToScreen(window, client);
        const POINT origin = app->ClientToScreen(top, POINT{0, 0});
        e.window = top;
        e.pt = POINT{(screen.x - origin.x) * scale_, (screen.y - origin.y) * scale_};
    } else {
        e.window = window;
        e.pt = client;
    }
    return e;
}

void HeadlessBackend::MouseMove(HWND window, POINT client) {
    Push(Pointer(ui::InputEvent::Type::MouseMove, window, client));
}

void HeadlessBackend::MouseDown(HWND window, POINT client, int button) {
    ui::InputEvent e = Pointer(ui::InputEvent::Type::MouseDown, window, client);
    e.button = button;
    Push(e);
}

void HeadlessBackend::MouseUp(HWND window, POINT client, int button) {
    ui::InputEvent e = Pointer(ui::InputEvent::Type::MouseUp, window, client);
    e.button = button;
    Push(e);
}

void HeadlessBackend::Click(HWND window, POINT client, int button) {
    MouseMove(window, client);
    MouseDown(window, client, button);
    MouseUp(window, client, button);
}

void HeadlessBackend::Wheel(HWND window, POINT client, int notches) {
    ui::InputEvent e = Pointer(ui::InputEvent::Type::MouseWheel, window, client);
    e.wheel = notches;
    Push(e);
}

void HeadlessBackend::MouseLeave(HWND topLevel) {
    PushWindowEvent(ui::InputEvent::Type::MouseLeave, topLevel);
}

void HeadlessBackend::KeyEvent(ui::InputEvent::Type type, ui::UINT vk, bool down) {
    if (vk == ui::VK_SHIFT) shift_ = down;
    if (vk == ui::VK_CONTROL) control_ = down;
    ui::InputEvent e;
    e.type = type;
    e.vk = vk;
    e.shift = shift_;
    e.control = control_;
    e.time = now_;
    Push(e);
}

void HeadlessBackend::KeyDown(ui::UINT vk) {
    KeyEvent(ui::InputEvent::Type::KeyDown, vk, true);
}

void HeadlessBackend::KeyUp(ui::UINT vk) {
    KeyEvent(ui::InputEvent::Type::KeyUp, vk, false);
}

void HeadlessBackend::Key(ui::UINT vk) {
    KeyDown(vk);
    KeyUp(vk);
}

void HeadlessBackend::Text(std::u16string_view text) {
    ui::InputEvent e;
    e.type = ui::InputEvent::Type::Text;
    e.text = std::u16string(text);
    e.shift = shift_;
    e.control = control_;
    e.time = now_;
    Push(e);
}

void HeadlessBackend::CloseRequest(HWND topLevel) {
    PushWindowEvent(ui::InputEvent::Type::Close, topLevel);
}

}  // namespace backend
