// How many device pixels the program draws for each of its own (1 to 3): the `--scale N`
// option beats the TOLKARA_SCALE environment value, which beats the display's density
// (192 dpi and more: 2; 288 and more: 3). A scale taken from the density never makes the main
// window larger than the screen.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/types.h"

// "1", "2" or "3"; nothing for anything else.
std::optional<int> ParseScale(std::string_view text);

// The scale for a display of `dpi` dots per inch and `screen` device pixels, for a window of
// `window` pixels.
int ScaleForDisplay(float dpi, ui::SIZE screen, ui::SIZE window);

// The option when given, else a valid environment value (null: none; invalid ones are
// ignored), else the display's scale.
int ChooseScale(std::optional<int> option, const char* environment, float dpi, ui::SIZE screen,
                ui::SIZE window);

// Why the window does not fit the screen at `scale`, as a line for standard error; empty when
// it fits. The window is then placed with its top edge and close button on the screen.
std::string ScaleMisfit(int scale, ui::SIZE screen, ui::SIZE window);
