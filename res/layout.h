// Where a template's controls land in pixels, for checking the artwork against the templates.
// Dialog units map to pixels as the dialog does it for its font's base units (6 × 13 for the
// templates' font): each edge is scaled on its own and rounded to the nearest pixel.
#pragma once

#include "platform/ui/dialogtemplate.h"

namespace res {

inline constexpr int BaseUnitX = 6;
inline constexpr int BaseUnitY = 13;

struct PixelRect {
    int left, top, right, bottom;  // right and bottom exclusive
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

// value × numerator / denominator, rounded half away from zero (as MulDiv does).
constexpr int MulDivRound(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

constexpr int DialogXToPixels(int x) {
    return MulDivRound(x, BaseUnitX, 4);
}
constexpr int DialogYToPixels(int y) {
    return MulDivRound(y, BaseUnitY, 8);
}

constexpr PixelRect ItemPixels(const ui::DialogItemTemplate& item) {
    return {DialogXToPixels(item.x), DialogYToPixels(item.y), DialogXToPixels(item.x + item.cx),
            DialogYToPixels(item.y + item.cy)};
}

constexpr PixelRect DialogPixels(const ui::DialogTemplate& dialog) {
    return {0, 0, DialogXToPixels(dialog.cx), DialogYToPixels(dialog.cy)};
}

}  // namespace res
