// Skinned windows: the window region made from a skin bitmap (pixels of the key colour lie
// outside the window) and the skin painted as the window's background.
#pragma once

#include <optional>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"

// Tolerances of the skinned windows: the main window keys exact black, the about box every
// colour whose three bytes are all at most 16.
inline constexpr gdi::COLORREF SkinToleranceExact = 0x000000;
inline constexpr gdi::COLORREF SkinToleranceAbout = 0x101010;

// Rectangles are gathered in a buffer that grows by RectGrowStep and is handed to the region
// code in pieces of RectBatchLimit.
inline constexpr int RectGrowStep = 100;
inline constexpr int RectBatchLimit = 3000;

// The region of the bitmap's pixels that are not of the key colour, in bitmap coordinates
// ((0, 0) the image's top-left pixel). A channel of a pixel matches the key within the
// tolerance's byte for that channel; keys other than black and white always use 17 per
// channel. collectOpaque chooses the scan (runs of window pixels, or runs of key pixels
// inverted against the bitmap's rectangle); both give the same region. Nothing for a null
// bitmap or when the work cannot be set up; nothing is left allocated then.
std::optional<gdi::Region> RegionFromBitmap(const gdi::Bitmap& bitmap, gdi::COLORREF key,
                                            bool collectOpaque, gdi::COLORREF tolerance);

// Draws the skin at (0, 0) of the target at its own size. False when there is no skin or the
// copy cannot be set up: the caller then erases the default way.
bool PaintSkinBackground(gdi::DC& target, const gdi::Bitmap& skin);
