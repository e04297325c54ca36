// Lines, frames, 3-D edges and focus rectangles.
#pragma once

#include "platform/gdi/dc.h"

namespace gdi {

// A one-pixel frame in the brush; a hollow brush draws nothing.
bool FrameRect(DC& dc, const RECT& rect, const Brush& brush);
// Outline in the selected pen, filled with the selected brush.
bool Rectangle(DC& dc, int left, int top, int right, int bottom);

bool MoveToEx(DC& dc, int x, int y, POINT* previous);
// A line in the selected pen from the current position to (x, y), the end point excluded;
// (x, y) becomes the current position.
bool LineTo(DC& dc, int x, int y);
// Lines through the points, the last point excluded; the current position is not used.
bool Polyline(DC& dc, const POINT* points, int count);

// Draws the edges of `edge` (EDGE_RAISED, EDGE_SUNKEN, ... or BDR_ bits) on the sides named
// by `flags` (BF_LEFT, BF_TOP, BF_RIGHT, BF_BOTTOM, BF_RECT) in the system's 3-D colours.
// With BF_ADJUST the rectangle shrinks by what was drawn.
bool DrawEdge(DC& dc, RECT& rect, UINT edge, UINT flags);
// A dotted frame drawn by inverting pixels: drawing it twice restores the picture.
bool DrawFocusRect(DC& dc, const RECT& rect);

}  // namespace gdi
