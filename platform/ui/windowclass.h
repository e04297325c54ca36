// A window class: a name that templates and Create calls use, its class styles, and the object
// that runs a window of that class when the caller brings none.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/types.h"

namespace ui {

class Window;

struct WindowClass {
    std::u16string name;  // matched without regard to ASCII case, as window classes are
    UINT style = 0;       // CS_DBLCLKS: the windows get double-click messages
    std::function<std::unique_ptr<Window>()> factory;  // null: a plain Window
};

}  // namespace ui
