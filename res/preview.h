// Pictures of the program's resources for checking the artwork by eye: the main window and the
// about box as their skins and buttons compose them, and a contact sheet of every bitmap.
#pragma once

#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/shell/resources.h"

namespace res {

// Outline colours of the areas that the preview marks (0x00BBGGRR).
inline constexpr std::uint32_t ListOutline = 0x00FF00FF;           // magenta
inline constexpr std::uint32_t PronunciationOutline = 0x0000FFFF;  // yellow
inline constexpr std::uint32_t LabelOutline = 0x00FFFF00;          // cyan

// Skin 140 with each visible button's normal bitmap at its control's rectangle (drawn as the
// buttons draw it: from the bitmap's top-left corner, cut to the control), and the phrase
// list and the pronunciation line outlined. Null when the skin is missing.
gdi::Bitmap ComposeMainWindow(const shell::ResourceBundle& bundle, std::uint16_t language);
// Skin 307 with the Cancel button's normal bitmap and the four text lines outlined.
gdi::Bitmap ComposeAboutBox(const shell::ResourceBundle& bundle);
// Every button's normal, over and down bitmaps side by side, one button a row, then the
// bitmaps that have no states (the skins shrunk by half, the pattern tiled, the German close
// bitmap).
gdi::Bitmap ComposeContactSheet(const shell::ResourceBundle& bundle);

}  // namespace res
