// What the program's windows tell a screen reader beyond what the framework sees in their
// classes: the names of buttons that show pictures (their tooltips), which category is
// current, the pronunciation line as text announced when it changes, the word picker as a
// pop-up list, the names of the main window, the about box and the practice card (whose Show
// and grades are buttons).
#pragma once

#include "platform/a11y/description.h"

// The name the desktop shows for the program.
inline constexpr std::u16string_view AccessibleAppName = u"Tolkara German";

// The program's refinement of the framework's description of one of its windows.
void DescribeProgramWindow(const ui::Application& app, ui::HWND hwnd, a11y::Description& d);
