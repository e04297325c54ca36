// Where a template's controls land in pixels, for checking the artwork against the templates:
// the dialog's own mapping of dialog units (ui::MapDialogRect).
#pragma once

#include "platform/ui/dialogtemplate.h"

namespace res {

struct PixelRect {
    int left, top, right, bottom;  // right and bottom exclusive
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

constexpr PixelRect ToPixels(const ui::RECT& units) {
    const ui::RECT r = ui::MapDialogRect(units);
    return {r.left, r.top, r.right, r.bottom};
}

constexpr int DialogXToPixels(int x) {
    return ui::MapDialogRect(ui::RECT{x, 0, x, 0}).left;
}
constexpr int DialogYToPixels(int y) {
    return ui::MapDialogRect(ui::RECT{0, y, 0, y}).top;
}

constexpr PixelRect ItemPixels(const ui::DialogItemTemplate& item) {
    return ToPixels(ui::RECT{item.x, item.y, item.x + item.cx, item.y + item.cy});
}

constexpr PixelRect DialogPixels(const ui::DialogTemplate& dialog) {
    return ToPixels(ui::RECT{0, 0, dialog.cx, dialog.cy});
}

}  // namespace res
