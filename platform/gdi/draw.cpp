#include "platform/gdi/draw.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/blit.h"

namespace gdi {

namespace {

RECT ToTarget(const DC& dc, RECT r) {
    return dc.TargetRect(r);
}

// The pen's square at (x, y), in logical coordinates.
void Plot(DC& dc, int x, int y, const Pen& pen) {
    int w = pen.Width();
    int x0 = x - (w - 1) / 2;
    int y0 = y - (w - 1) / 2;
    detail::FillTargetRect(dc, ToTarget(dc, RECT{x0, y0, x0 + w, y0 + w}), pen.Colour());
}

void Segment(DC& dc, POINT from, POINT to) {
    Pen pen = dc.CurrentPen() ? dc.CurrentPen() : GetStockPen(BLACK_PEN);
    if (pen.Style() == PS_NULL || from == to) return;
    const int w = pen.Width();
    const int lead = (w - 1) / 2;
    if (from.y == to.y) {
        int l = from.x < to.x ? from.x : to.x + 1;
        int r = from.x < to.x ? to.x : from.x + 1;
        detail::FillTargetRect(dc, ToTarget(dc, RECT{l, from.y - lead, r, from.y - lead + w}),
                               pen.Colour());
        return;
    }
    if (from.x == to.x) {
        int t = from.y < to.y ? from.y : to.y + 1;
        int b = from.y < to.y ? to.y : from.y + 1;
        detail::FillTargetRect(dc, ToTarget(dc, RECT{from.x - lead, t, from.x - lead + w, b}),
                               pen.Colour());
        return;
    }
    // Bresenham, stopping before the end point.
    int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int err = dx + dy;
    int x = from.x, y = from.y;
    while (x != to.x || y != to.y) {
        Plot(dc, x, y, pen);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void HLine(DC& dc, int left, int right, int y, COLORREF c) {
    detail::FillTargetRect(dc, ToTarget(dc, RECT{left, y, right, y + 1}), c);
}
void VLine(DC& dc, int x, int top, int bottom, COLORREF c) {
    detail::FillTargetRect(dc, ToTarget(dc, RECT{x, top, x + 1, bottom}), c);
}

}  // namespace

bool FrameRect(DC& dc, const RECT& rect, const Brush& brush) {
    if (!dc || !brush) return false;
    if (IsRectEmpty(rect)) return true;
    FillRect(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, brush);
    FillRect(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush);
    FillRect(dc, RECT{rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, brush);
    FillRect(dc, RECT{rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, brush);
    return true;
}

bool Rectangle(DC& dc, int left, int top, int right, int bottom) {
    if (!dc) return false;
    const Brush& brush = dc.CurrentBrush() ? dc.CurrentBrush() : GetStockBrush(WHITE_BRUSH);
    FillRect(dc, RECT{left + 1, top + 1, right - 1, bottom - 1}, brush);
    Pen pen = dc.CurrentPen() ? dc.CurrentPen() : GetStockPen(BLACK_PEN);
    if (pen.Style() != PS_NULL)
        FrameRect(dc, RECT{left, top, right, bottom}, Brush::Solid(pen.Colour()));
    return true;
}

bool MoveToEx(DC& dc, int x, int y, POINT* previous) {
    if (!dc) return false;
    POINT old = dc.MoveTo(x, y);
    if (previous) *previous = old;
    return true;
}

bool LineTo(DC& dc, int x, int y) {
    if (!dc) return false;
    Segment(dc, dc.GetCurrentPosition(), POINT{x, y});
    dc.MoveTo(x, y);
    return true;
}

bool Polyline(DC& dc, const POINT* points, int count) {
    if (!dc || !points || count < 2) return false;
    for (int i = 0; i + 1 < count; ++i)
        Segment(dc, points[i], points[i + 1]);
    return true;
}

bool DrawEdge(DC& dc, RECT& rect, UINT edge, UINT flags) {
    if (!dc) return false;
    struct Ring {
        UINT raised;
        UINT sunken;
        int raisedTopLeft, raisedBottomRight, sunkenTopLeft, sunkenBottomRight;
    };
    const Ring rings[] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DSHADOW,
         COLOR_3DHILIGHT},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW,
         COLOR_3DLIGHT},
    };
    RECT r = rect;
    for (const Ring& ring : rings) {
        bool raised = edge & ring.raised;
        bool sunken = edge & ring.sunken;
        if (!raised && !sunken) continue;
        if (IsRectEmpty(r)) break;
        COLORREF tl = GetSysColor(raised ? ring.raisedTopLeft : ring.sunkenTopLeft);
        COLORREF br = GetSysColor(raised ? ring.raisedBottomRight : ring.sunkenBottomRight);
        if (flags & BF_TOP) HLine(dc, r.left, r.right, r.top, tl);
        if (flags & BF_LEFT) VLine(dc, r.left, r.top, r.bottom, tl);
        if (flags & BF_BOTTOM) HLine(dc, r.left, r.right, r.bottom - 1, br);
        if (flags & BF_RIGHT) VLine(dc, r.right - 1, r.top, r.bottom, br);
        if (flags & BF_TOP) ++r.top;
        if (flags & BF_LEFT) ++r.left;
        if (flags & BF_BOTTOM) --r.bottom;
        if (flags & BF_RIGHT) --r.right;
    }
    if (flags & BF_ADJUST) rect = r;
    return true;
}

bool DrawFocusRect(DC& dc, const RECT& rect) {
    if (!dc) return false;
    if (IsRectEmpty(rect)) return true;
    auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0) detail::InvertTargetRect(dc, ToTarget(dc, RECT{x, y, x + 1, y + 1}));
    };
    for (int x = rect.left; x < rect.right; ++x) {
        dot(x, rect.top);
        if (rect.bottom - 1 > rect.top) dot(x, rect.bottom - 1);
    }
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        dot(rect.left, y);
        if (rect.right - 1 > rect.left) dot(rect.right - 1, y);
    }
    return true;
}

}  // namespace gdi
