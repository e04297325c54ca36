// Block transfers with the platform's raster operations. Every operation of the three-operand
// table works (pattern = the brush, source, destination); SRCCOPY, SRCAND, SRCPAINT,
// SRCINVERT, PATCOPY and their relatives have fast paths.
//
// Mixing formats follows the platform's rules: a monochrome source drawn onto colour turns
// its black bits into the destination's text colour and its white bits into the
// destination's background colour; a colour source drawn onto monochrome gives white where a
// pixel equals the source DC's background colour and black elsewhere. A monochrome pattern
// brush takes the destination's text and background colours; a colour brush on a monochrome
// target becomes black or white by brightness.
//
// On a scaled target (a window's framebuffer on a high-density display) a colour copy
// (SRCCOPY) of a colour bitmap with fewer pixels is scaled smoothly (bilinear, within the
// source rectangle), and so is a colour pattern brush; other operations and monochrome
// images repeat each pixel, so masks and their images stay in register.
#pragma once

#include "platform/gdi/dc.h"

namespace gdi {

// Parts of the source rectangle outside the source bitmap are not drawn. Coordinates are
// logical on either side. False when a DC is
// null or the operation needs a source and none is given.
bool BitBlt(DC& dest, int x, int y, int width, int height, const DC* src, int srcX, int srcY,
            DWORD rop);
// Nearest-pixel scaling. A negative extent mirrors: (x, width −w) covers x − w + 1 … x.
bool StretchBlt(DC& dest, int x, int y, int width, int height, const DC* src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop);
// The selected brush combined with the destination.
bool PatBlt(DC& dest, int x, int y, int width, int height, DWORD rop);
// The rectangle filled with `brush` (not the selected one); a hollow brush paints nothing.
bool FillRect(DC& dest, const RECT& rect, const Brush& brush);
bool InvertRect(DC& dest, const RECT& rect);
// The region (logical coordinates) filled with `brush`.
bool FillRgn(DC& dest, const Region& region, const Brush& brush);
// Whether any pixel of the rectangle (logical coordinates) may be drawn.
bool RectVisible(const DC& dc, const RECT& rect);

namespace detail {
// Fills a rectangle given in target pixels (DC::TargetRect) with one colour, clipped; the building
// block of lines and frames.
void FillTargetRect(DC& dest, RECT rect, COLORREF colour);
// Inverts the pixels of a rectangle in target pixels, clipped.
void InvertTargetRect(DC& dest, RECT rect);
}  // namespace detail

}  // namespace gdi
