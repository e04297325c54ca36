// The contract between the window framework and a backend: a clock, events, top-level windows
// with a framebuffer and a shape, cursors, the clipboard and the wave-out driver. The framework
// never asks which backend it runs on; what a backend cannot do it says in its capabilities.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/region.h"
#include "platform/media/waveindevice.h"
#include "platform/media/waveoutdevice.h"
#include "platform/ui/inputevent.h"
#include "platform/ui/types.h"

namespace ui {

struct BackendCaps {
    bool display = false;        // windows can be seen by a user
    bool shapedWindows = false;  // SetWindowShape changes the visible shape
    bool minimise = false;       // ShowWindow(SW_MINIMIZE) has an effect
};

enum class StandardCursor { Arrow, Hand, IBeam, Wait, SizeAll, No, Cross };

class Backend {
public:
    virtual ~Backend() = default;

    virtual BackendCaps Caps() const = 0;
    // Device pixels to each pixel of the framework (1 to 3), fixed for the backend's life.
    // Every coordinate of this contract (screen size, window rectangles, shapes, framebuffers,
    // presented areas, the points of events) counts device pixels; the framework works in its
    // own pixels and converts at this boundary.
    virtual int Scale() const { return 1; }
    virtual SIZE ScreenSize() const = 0;
    // The screen (monitor) that shows most of the window, in screen coordinates; by default
    // the one screen of ScreenSize.
    virtual RECT DisplayBounds(HWND /*window*/) {
        const SIZE s = ScreenSize();
        return RECT{0, 0, s.cx, s.cy};
    }

    // Milliseconds of a monotonic clock.
    virtual std::uint64_t Now() const = 0;
    // The next event, waiting at most until the clock reaches `deadline` (forever without one).
    // False when the deadline passed with no event.
    virtual bool WaitEvent(InputEvent& out, std::optional<std::uint64_t> deadline) = 0;
    // Safe from any thread: a WaitEvent soon reports Quit (a waiting one wakes for it).
    virtual void RequestQuit() = 0;

    // A top-level window at `screenRect`, hidden until ShowWindow. False on failure. A tool
    // window (tooltips, drop-down lists) stays out of the task bar, floats above the others and
    // never takes the keyboard focus from them.
    virtual bool OpenWindow(HWND window, const RECT& screenRect, std::u16string_view title,
                            bool tool) = 0;
    virtual void CloseWindow(HWND window) = 0;
    virtual void SetWindowTitle(HWND window, std::u16string_view title) = 0;
    virtual void MoveWindow(HWND window, const RECT& screenRect) = 0;
    // SW_HIDE, SW_SHOW (also SW_SHOWNA, SW_SHOWNOACTIVATE), SW_MINIMIZE, SW_RESTORE.
    virtual void ShowWindow(HWND window, int command) = 0;
    // The visible and clickable part of the window, in window coordinates; null: all of it.
    virtual void SetWindowShape(HWND window, const gdi::Region* shape) = 0;
    // Puts the parts `dirty` (window coordinates) of `frame` on the screen.
    virtual void Present(HWND window, const gdi::Bitmap& frame, const gdi::Region& dirty) = 0;
    // The image the window system shows for the window (task bar, switcher); null: none.
    virtual void SetWindowIcon(HWND window, const gdi::Icon& icon) = 0;
    // Gives the window the keyboard focus of the window system.
    virtual void FocusWindow(HWND window) = 0;

    virtual void SetCursor(StandardCursor cursor) = 0;
    virtual bool SetClipboardText(std::u16string_view text) = 0;
    virtual std::u16string GetClipboardText() = 0;

    // The driver of the sound output that belongs with this backend's display (the system's
    // audio, or a recording one in tests). It lives as long as the backend.
    virtual media::WaveOutDriver& WaveOutDriver() = 0;
    // The driver of the sound input (the system's default microphone, or a fed one in tests).
    // It lives as long as the backend.
    virtual media::WaveInDriver& WaveInDriver() = 0;
};

}  // namespace ui
