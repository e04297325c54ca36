#include "platform/gdi/brush.h"

namespace gdi {

Brush Brush::Solid(COLORREF colour) {
    Brush b;
    b.style_ = Style::Solid;
    b.colour_ = colour & 0xFFFFFF;
    return b;
}

Brush Brush::Pattern(const Bitmap& pattern) {
    Brush b;
    if (!pattern) return b;
    b.style_ = Style::Pattern;
    b.pattern_ = pattern.Clone();
    return b;
}

Brush Brush::Hollow() {
    Brush b;
    b.style_ = Style::Hollow;
    return b;
}

Brush CreateSolidBrush(COLORREF colour) {
    return Brush::Solid(colour);
}
Brush CreatePatternBrush(const Bitmap& pattern) {
    return Brush::Pattern(pattern);
}
Brush GetSysColorBrush(int index) {
    return Brush::Solid(GetSysColor(index));
}

Brush GetStockBrush(int object) {
    switch (object) {
        case WHITE_BRUSH:
            return Brush::Solid(RGB(255, 255, 255));
        case LTGRAY_BRUSH:
            return Brush::Solid(RGB(192, 192, 192));
        case GRAY_BRUSH:
            return Brush::Solid(RGB(128, 128, 128));
        case DKGRAY_BRUSH:
            return Brush::Solid(RGB(64, 64, 64));
        case BLACK_BRUSH:
            return Brush::Solid(RGB(0, 0, 0));
        case NULL_BRUSH:
            return Brush::Hollow();
        default:
            return {};
    }
}

Pen CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL) return {};
    return Pen(style, width, colour & 0xFFFFFF);
}

Pen GetStockPen(int object) {
    switch (object) {
        case WHITE_PEN:
            return Pen(PS_SOLID, 1, RGB(255, 255, 255));
        case BLACK_PEN:
            return Pen(PS_SOLID, 1, 0);
        case NULL_PEN:
            return Pen(PS_NULL, 1, 0);
        default:
            return {};
    }
}

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        case COLOR_BTNSHADOW:
            return RGB(160, 160, 160);
        case COLOR_GRAYTEXT:
            return RGB(109, 109, 109);
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT:
            return RGB(255, 255, 255);
        case COLOR_3DDKSHADOW:
            return RGB(105, 105, 105);
        case COLOR_3DLIGHT:
            return RGB(227, 227, 227);
        case COLOR_INFOTEXT:
            return RGB(0, 0, 0);
        case COLOR_INFOBK:
            return RGB(255, 255, 225);
        default:
            return RGB(0, 0, 0);
    }
}

}  // namespace gdi
