// The test backend: windows that exist only in memory, a clock that moves only when told,
// input made up by the test and sound captured for inspection. Like a window system it keeps
// one window that has the keyboard focus, and reports what the SDL backend reports: activation
// and its loss, moves, lost pixels (on showing and restoring), minimising and restoring. What a
// window "shows" is what was presented to it, so tests see exactly what a user would, and can save
// it as an image.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region.h"
#include "platform/media/capturewaveout.h"
#include "platform/media/fedwavein.h"
#include "platform/ui/backend.h"

namespace backend {

using ui::HWND;
using ui::POINT;
using ui::RECT;

class HeadlessBackend : public ui::Backend {
public:
    struct WindowState {
        RECT rect{};
        bool visible = false;
        bool minimized = false;
        bool tool = false;
        std::u16string title;
        std::optional<gdi::Region> shape;
        gdi::Bitmap shown;  // the pixels presented so far
        gdi::Region lastPresent;
        int presents = 0;
        gdi::Icon icon;
        int focusRequests = 0;
    };

    // A screen of `screen` device pixels with `scale` (1 to 3) of them to each of the
    // framework's pixels, as on a high-density display.
    explicit HeadlessBackend(ui::SIZE screen = {1280, 1024}, int scale = 1)
        : screen_(screen), scale_(scale) {}
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // ui::Backend
    ui::BackendCaps Caps() const override { return {false, true, true}; }
    int Scale() const override { return scale_; }
    ui::SIZE ScreenSize() const override { return screen_; }
    std::uint64_t Now() const override { return now_; }
    bool WaitEvent(ui::InputEvent& out, std::optional<std::uint64_t> deadline) override;
    void RequestQuit() override { quitRequested_ = true; }
    bool OpenWindow(HWND window, const RECT& screenRect, std::u16string_view title,
                    bool tool) override;
    void CloseWindow(HWND window) override;
    void SetWindowTitle(HWND window, std::u16string_view title) override;
    void MoveWindow(HWND window, const RECT& screenRect) override;
    void ShowWindow(HWND window, int command) override;
    void SetWindowShape(HWND window, const gdi::Region* shape) override;
    void Present(HWND window, const gdi::Bitmap& frame, const gdi::Region& dirty) override;
    void SetWindowIcon(HWND window, const gdi::Icon& icon) override;
    void FocusWindow(HWND window) override;
    void SetCursor(ui::StandardCursor cursor) override { cursor_ = cursor; }
    bool SetClipboardText(std::u16string_view text) override;
    std::u16string GetClipboardText() override { return clipboard_; }
    media::WaveOutDriver& WaveOutDriver() override { return audio_; }
    media::WaveInDriver& WaveInDriver() override { return microphone_; }

    // What the program wrote to its wave-out devices.
    media::CaptureWaveOutDriver& Audio() { return audio_; }
    // What the program's capture devices hear.
    media::FedWaveInDriver& Microphone() { return microphone_; }

    // The clock.
    void Advance(std::uint64_t milliseconds) { now_ += milliseconds; }
    // Makes OpenWindow fail from now on, as a window system that refuses windows would.
    void RefuseWindows(bool refuse) { refuseWindows_ = refuse; }

    // Input at a point of any window, in that window's client coordinates (the framework's
    // pixels); the event goes to its top-level window in device pixels, as the window system
    // would send it.
    void MouseMove(HWND window, POINT client);
    void MouseDown(HWND window, POINT client, int button = 1);
    void MouseUp(HWND window, POINT client, int button = 1);
    void Click(HWND window, POINT client, int button = 1);
    void Wheel(HWND window, POINT client, int notches);
    void MouseLeave(HWND topLevel);
    void KeyDown(ui::UINT vk);
    void KeyUp(ui::UINT vk);
    void Key(ui::UINT vk);  // down and up
    void Text(std::u16string_view text);
    void CloseRequest(HWND topLevel);
    // The user gives the window the focus through the window system (a click on its task-bar
    // entry): the focused window is deactivated, this one activated.
    void Activate(HWND topLevel);
    // The window that has the window system's focus (null: none).
    HWND Focused() const { return focused_; }
    void Event(ui::InputEvent event);

    // Steps a waiting message loop runs, one each time it has nothing else to do. When none
    // is left, a waiting loop gets Stalled (the program is told to quit) rather than hanging.
    void WhenIdle(std::function<void()> step) { idle_.push_back(std::move(step)); }

    const WindowState* State(HWND window) const;
    ui::StandardCursor Cursor() const { return cursor_; }
    // What the window shows (device pixels): presented pixels, black outside its shape.
    gdi::Bitmap Screenshot(HWND window) const;
    bool SavePng(HWND window, const std::string& path) const;

private:
    // A key going down or up, with the shift and control state it leaves.
    void KeyEvent(ui::InputEvent::Type type, ui::UINT vk, bool down);
    ui::InputEvent Pointer(ui::InputEvent::Type type, HWND window, POINT client);
    void Push(ui::InputEvent event);
    void PushWindowEvent(ui::InputEvent::Type type, HWND window);
    // Moves the window system's focus to window (null: nowhere), reporting the change.
    void MoveFocus(HWND window);

    // First member: destroyed last, after whatever the test kept open on it.
    media::CaptureWaveOutDriver audio_;
    media::FedWaveInDriver microphone_;
    ui::SIZE screen_;
    int scale_ = 1;
    std::uint64_t now_ = 1000;
    bool refuseWindows_ = false;
    std::atomic<bool> quitRequested_{false};
    std::deque<ui::InputEvent> events_;
    std::deque<std::function<void()>> idle_;
    std::map<std::uint32_t, WindowState> windows_;
    ui::StandardCursor cursor_ = ui::StandardCursor::Arrow;
    std::u16string clipboard_;
    HWND focused_;
    bool shift_ = false;
    bool control_ = false;
};

}  // namespace backend
