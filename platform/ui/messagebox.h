// Message boxes: a modal box drawn by the framework with a caption bar, the text (wrapped) and
// one OK button, centred on its owner, which takes no input until the box is closed. Enter,
// Escape, Space and a click on OK close it. With no caption given the box is captioned with
// the program's name (the application's name, else the executable's base name).
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/window.h"

namespace ui {

inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_ICONERROR = 0x0010;
inline constexpr UINT MB_ICONWARNING = 0x0030;
inline constexpr UINT MB_ICONINFORMATION = 0x0040;

// Shows the box and answers when it was closed: IDOK, or 0 when no box could be shown.
// owner: the window the box belongs to (its top-level window is disabled meanwhile); null:
// the application's active window, else its main window.
int MessageBox(Application& app, HWND owner, std::u16string_view text,
               std::u16string_view caption = {}, UINT type = MB_OK);
int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption = {},
               UINT type = MB_OK);

// The executable's file name without its folder (and without an extension).
std::u16string ExecutableBaseName();

}  // namespace ui
