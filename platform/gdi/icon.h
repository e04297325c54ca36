// Icons: a colour image and a monochrome mask (white = transparent), read from .ico files,
// and their drawing, plain or embossed as the platform draws disabled images.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/shell/resources.h"

namespace gdi {

// The colour image is black wherever the mask is white, so that drawing it as the platform
// does (mask with SRCAND, then image with SRCINVERT) leaves the background there.
class Icon {
public:
    Icon() = default;  // null
    Icon(Bitmap colour, Bitmap mask) : colour_(std::move(colour)), mask_(std::move(mask)) {}

    explicit operator bool() const { return colour_ && mask_; }
    int Width() const { return colour_.Width(); }
    int Height() const { return colour_.Height(); }
    const Bitmap& Colour() const { return colour_; }
    const Bitmap& Mask() const { return mask_; }

private:
    Bitmap colour_;
    Bitmap mask_;
};

inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
// Icon sizes of this platform: 32 × 32, small 16 × 16.
int GetSystemMetrics(int index);

// The image of an .ico file closest to width × height (0: the system icon size), scaled to
// that size when none has it; PNG and BMP images, 1 to 32 bits. Null when malformed.
Icon LoadIconFromBytes(std::span<const std::uint8_t> bytes, int width = 0, int height = 0);
// Icon resource `id` of the bundle; null when missing or unreadable.
Icon LoadIcon(const shell::ResourceBundle& bundle, int id, int width = 0, int height = 0);

// Draws the icon at (x, y) at width × height (0: its own size); DI_MASK, DI_IMAGE, DI_NORMAL.
bool DrawIconEx(DC& dc, int x, int y, const Icon& icon, int width, int height, UINT flags);
bool DrawIcon(DC& dc, int x, int y, const Icon& icon);

// Draws an icon or a bitmap, plain (DSS_NORMAL) or embossed (DSS_DISABLED): the image's dark
// shape once in the 3-D highlight colour one pixel down and right, then in the 3-D shadow
// colour in place. width and height 0 mean the image's own size.
bool DrawState(DC& dc, const Icon& icon, int x, int y, int width, int height, UINT flags);
bool DrawState(DC& dc, const Bitmap& bitmap, int x, int y, int width, int height, UINT flags);

}  // namespace gdi
