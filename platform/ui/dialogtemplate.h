// A dialog template as plain data: the dialog's window styles, size, caption and font, and one
// entry per control. Positions and sizes are in dialog units; the dialog maps them to pixels
// with its font's base units.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ui/styles.h"
#include "platform/ui/types.h"

namespace ui {

// Window class names of the standard controls, as templates name them.
inline constexpr std::u16string_view ButtonClass = u"Button";
inline constexpr std::u16string_view StaticClass = u"Static";
inline constexpr std::u16string_view EditClass = u"Edit";
inline constexpr std::u16string_view ListBoxClass = u"ListBox";
inline constexpr std::u16string_view ComboBoxClass = u"ComboBox";

struct DialogItemTemplate {
    int id;
    std::u16string_view className;
    std::u16string_view caption;  // empty when the control has none
    Style style;                  // WS_CHILD and the control's own bits; WS_VISIBLE unless hidden
    Style exStyle;
    int x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
    Style style;
    Style exStyle;
    int x, y, cx, cy;  // dialog units
    std::u16string_view caption;
    std::u16string_view fontFace;  // used when style has DS_SETFONT
    int fontPointSize;
    std::span<const DialogItemTemplate> items;
};

// Dialog base units: 1 horizontal unit is BaseUnitX / 4 pixels, 1 vertical unit
// BaseUnitY / 8 pixels.
inline constexpr int BaseUnitX = 6;
inline constexpr int BaseUnitY = 13;
// Dialog units to pixels (left, top, right and bottom each rounded).
constexpr RECT MapDialogRect(const RECT& u) {
    return RECT{gdi::MulDiv(u.left, BaseUnitX, 4), gdi::MulDiv(u.top, BaseUnitY, 8),
                gdi::MulDiv(u.right, BaseUnitX, 4), gdi::MulDiv(u.bottom, BaseUnitY, 8)};
}

}  // namespace ui
