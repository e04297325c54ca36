// What a backend reports: its native events translated, at one place, into these records.
// Everything downstream of the backend works on them only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/types.h"

namespace ui {

struct InputEvent {
    enum class Type {
        MouseMove,
        MouseDown,
        MouseUp,
        MouseWheel,
        MouseLeave,  // the pointer left the top-level window (or entered a hole of its shape)
        KeyDown,
        KeyUp,
        Text,      // typed text, after keyboard layout and composition
        Close,     // the user asked the window system to close the window
        Activate,  // the window got the keyboard focus of the window system
        Deactivate,
        Minimized,
        Restored,
        Moved,    // the window system moved the window to `screen`
        Exposed,  // the window system lost the window's pixels: present them again
        Stalled,  // a test backend has nothing more to deliver, ever
        Quit,     // the program is asked to end (a signal, the session ending)
    };

    Type type = Type::MouseMove;
    HWND window;         // the top-level window the event belongs to
    POINT pt{};          // pointer position in that window's client coordinates
    POINT screen{};      // Moved: the window's new top-left corner
    int button = 0;      // 1 left, 2 middle, 3 right
    int wheel = 0;       // notches, positive away from the user
    UINT vk = 0;         // virtual key of key events
    bool shift = false;  // modifier state at the event
    bool control = false;
    std::u16string text;     // Text events
    std::uint64_t time = 0;  // backend clock, milliseconds
};

}  // namespace ui
