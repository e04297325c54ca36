#include "platform/ui/theme.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/gdi/blit.h"
#include "platform/gdi/draw.h"

namespace ui {

namespace {

using gdi::COLORREF;

// The palette: the platform's system colours, taken once.
struct Palette {
    std::array<COLORREF, gdi::COLOR_INFOBK + 1> colours{};
    Palette() {
        for (std::size_t i = 0; i < colours.size(); ++i)
            colours[i] = gdi::GetSysColor(static_cast<int>(i));
    }
};

const Palette& ThePalette() {
    static const Palette palette;
    return palette;
}

}  // namespace

const Theme& Theme::Standard() {
    static const Theme theme;
    return theme;
}

COLORREF Theme::Colour(int sysColour) const {
    const auto& c = ThePalette().colours;
    if (sysColour < 0 || sysColour >= static_cast<int>(c.size())) return 0;
    return c[static_cast<std::size_t>(sysColour)];
}

void Theme::Fill(gdi::DC& dc, const RECT& rect, int sysColour) const {
    if (gdi::IsRectEmpty(rect)) return;
    gdi::FillRect(dc, rect, Brush(sysColour));
}

void Theme::Frame(gdi::DC& dc, const RECT& r, int sysColour) const {
    if (gdi::IsRectEmpty(r)) return;
    Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, sysColour);
    Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, sysColour);
    Fill(dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, sysColour);
    Fill(dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, sysColour);
}

void Theme::DrawButtonFace(gdi::DC& dc, const RECT& rect, const ButtonLook& look) const {
    RECT r = rect;
    if (look.disabled) {
        Fill(dc, r, gdi::COLOR_BTNFACE);
        Frame(dc, r, gdi::COLOR_BTNSHADOW);
        return;
    }
    const int face = look.pressed ? gdi::COLOR_3DLIGHT
                     : look.hot   ? gdi::COLOR_WINDOW
                                  : gdi::COLOR_BTNFACE;
    Fill(dc, r, face);
    if (look.isDefault || look.focused) {
        Frame(dc, r, gdi::COLOR_HIGHLIGHT);
        gdi::InflateRect(r, -1, -1);
        if (look.isDefault) Frame(dc, r, gdi::COLOR_HIGHLIGHT);
    } else {
        Frame(dc, r, look.pressed ? gdi::COLOR_3DDKSHADOW : gdi::COLOR_BTNSHADOW);
    }
}

void Theme::DrawCheckMark(gdi::DC& dc, const RECT& box, bool checked, bool pressed,
                          bool disabled) const {
    Fill(dc, box, disabled ? gdi::COLOR_BTNFACE : pressed ? gdi::COLOR_3DLIGHT : gdi::COLOR_WINDOW);
    Frame(dc, box, disabled ? gdi::COLOR_BTNSHADOW : gdi::COLOR_3DDKSHADOW);
    if (!checked) return;
    // A tick: a short stroke down to the right, then a long one up to the right, 2 px thick.
    const int ink = disabled ? gdi::COLOR_GRAYTEXT : gdi::COLOR_WINDOWTEXT;
    const int w = box.Width();
    const int x0 = box.left + w / 4 - 1;
    const int yMid = box.top + w / 2;
    const int turnX = box.left + w / 2 - 1;
    const int yTurn = yMid + (turnX - x0);
    for (int x = x0; x <= turnX; ++x) {
        const int y = yMid + (x - x0);
        Fill(dc, RECT{x, y - 1, x + 1, y + 1}, ink);
    }
    for (int x = turnX + 1; x <= box.right - 4; ++x) {
        const int y = yTurn - (x - turnX);
        if (y - 1 <= box.top + 2) break;
        Fill(dc, RECT{x, y - 1, x + 1, y + 1}, ink);
    }
}

void Theme::DrawRadioMark(gdi::DC& dc, const RECT& box, bool checked, bool pressed,
                          bool disabled) const {
    const int size = std::min(box.Width(), box.Height());
    const double radius = size / 2.0;
    const double cx = box.left + size / 2.0;
    const double cy = box.top + size / 2.0;
    // One span per row; the ring is the outer disc less the inner one.
    auto span = [&](double r, int y, int& left, int& right) {
        const double dy = y + 0.5 - cy;
        if (std::abs(dy) >= r) return false;
        const double dx = std::sqrt(r * r - dy * dy);
        left = static_cast<int>(std::lround(cx - dx));
        right = static_cast<int>(std::lround(cx + dx));
        return right > left;
    };
    const int ring = disabled ? gdi::COLOR_BTNSHADOW : gdi::COLOR_3DDKSHADOW;
    const int face = disabled  ? gdi::COLOR_BTNFACE
                     : pressed ? gdi::COLOR_3DLIGHT
                               : gdi::COLOR_WINDOW;
    const int ink = disabled ? gdi::COLOR_GRAYTEXT : gdi::COLOR_WINDOWTEXT;
    for (int y = box.top; y < box.top + size; ++y) {
        int l = 0;
        int r = 0;
        if (span(radius, y, l, r)) Fill(dc, RECT{l, y, r, y + 1}, ring);
        if (span(radius - 1.2, y, l, r)) Fill(dc, RECT{l, y, r, y + 1}, face);
        if (checked && span(radius / 2.4, y, l, r)) Fill(dc, RECT{l, y, r, y + 1}, ink);
    }
}

RECT Theme::DrawFieldFrame(gdi::DC& dc, const RECT& rect, bool focused, bool disabled) const {
    Frame(dc, rect,
          disabled  ? gdi::COLOR_BTNSHADOW
          : focused ? gdi::COLOR_HIGHLIGHT
                    : gdi::COLOR_3DDKSHADOW);
    RECT inner = rect;
    gdi::InflateRect(inner, -1, -1);
    return inner;
}

// direction: 0 up, 1 down, 2 left, 3 right.
void Theme::Arrow(gdi::DC& dc, const RECT& rect, int direction, bool disabled) const {
    const int ink = disabled ? gdi::COLOR_GRAYTEXT : gdi::COLOR_BTNTEXT;
    const int half = std::max(2, std::min(rect.Width(), rect.Height()) / 4);
    const int cx = rect.left + rect.Width() / 2;
    const int cy = rect.top + rect.Height() / 2;
    for (int i = 0; i < half; ++i) {
        const int extent = half - i;  // half-length of this line of the triangle
        switch (direction) {
            case 0:
                Fill(dc,
                     RECT{cx - extent, cy - half / 2 + half - 1 - i, cx + extent,
                          cy - half / 2 + half - i},
                     ink);
                break;
            case 1:
                Fill(dc, RECT{cx - extent, cy - half / 2 + i, cx + extent, cy - half / 2 + i + 1},
                     ink);
                break;
            case 2:
                Fill(dc,
                     RECT{cx - half / 2 + half - 1 - i, cy - extent, cx - half / 2 + half - i,
                          cy + extent},
                     ink);
                break;
            default:
                Fill(dc, RECT{cx - half / 2 + i, cy - extent, cx - half / 2 + i + 1, cy + extent},
                     ink);
                break;
        }
    }
}

void Theme::DrawDownArrow(gdi::DC& dc, const RECT& rect, bool disabled) const {
    Arrow(dc, rect, 1, disabled);
}

RECT Theme::ScrollThumb(const RECT& rect, bool vertical, const ScrollState& s) const {
    if (!s.Scrollable() || s.range <= 0) return RECT{};
    const int button = ScrollBarSize();
    const int length = (vertical ? rect.Height() : rect.Width()) - 2 * button;
    if (length <= 8) return RECT{};
    const int thumb = std::clamp(length * std::max(s.page, 1) / s.range, 8, length);
    const int travel = length - thumb;
    const int maxPos = s.range - s.page;
    const int offset = maxPos > 0 ? travel * std::clamp(s.pos, 0, maxPos) / maxPos : 0;
    if (vertical) {
        const int top = rect.top + button + offset;
        return RECT{rect.left, top, rect.right, top + thumb};
    }
    const int left = rect.left + button + offset;
    return RECT{left, rect.top, left + thumb, rect.bottom};
}

ScrollPart Theme::HitScrollBar(const RECT& rect, bool vertical, const ScrollState& s,
                               POINT p) const {
    if (!gdi::PtInRect(rect, p)) return ScrollPart::None;
    const int button = ScrollBarSize();
    const int along = vertical ? p.y : p.x;
    const int start = vertical ? rect.top : rect.left;
    const int end = vertical ? rect.bottom : rect.right;
    if (along < start + button) return ScrollPart::LineUp;
    if (along >= end - button) return ScrollPart::LineDown;
    const RECT thumb = ScrollThumb(rect, vertical, s);
    if (gdi::IsRectEmpty(thumb)) return ScrollPart::None;
    const int thumbStart = vertical ? thumb.top : thumb.left;
    const int thumbEnd = vertical ? thumb.bottom : thumb.right;
    if (along < thumbStart) return ScrollPart::PageUp;
    if (along >= thumbEnd) return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

void Theme::DrawScrollBar(gdi::DC& dc, const RECT& rect, bool vertical, const ScrollState& s,
                          bool enabled) const {
    Fill(dc, rect, gdi::COLOR_BTNFACE);
    const int button = ScrollBarSize();
    const bool active = enabled && s.Scrollable();
    RECT first = rect;
    RECT last = rect;
    if (vertical) {
        first.bottom = std::min(rect.bottom, rect.top + button);
        last.top = std::max(rect.top, rect.bottom - button);
    } else {
        first.right = std::min(rect.right, rect.left + button);
        last.left = std::max(rect.left, rect.right - button);
    }
    Arrow(dc, first, vertical ? 0 : 2, !active);
    Arrow(dc, last, vertical ? 1 : 3, !active);
    if (!active) return;
    RECT thumb = ScrollThumb(rect, vertical, s);
    if (vertical) {
        gdi::InflateRect(thumb, -3, 0);
    } else {
        gdi::InflateRect(thumb, 0, -3);
    }
    Fill(dc, thumb, gdi::COLOR_BTNSHADOW);
}

void Theme::DrawScrollCorner(gdi::DC& dc, const RECT& rect) const {
    Fill(dc, rect, gdi::COLOR_BTNFACE);
}

void Theme::DrawFocus(gdi::DC& dc, const RECT& rect) const {
    gdi::DrawFocusRect(dc, rect);
}

}  // namespace ui
