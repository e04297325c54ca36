// Device contexts: a drawing target (the bitmap selected into a memory DC, or a window's
// framebuffer with the window's origin and visible region) plus the drawing state the
// platform's calls read: selected font, brush and pen, text and background colours and
// background mode, clip region, viewport and brush origins, current position.
//
// Coordinates: logical = device + viewport origin offset; device (0, 0) is the DC's origin in
// its target (a child window's top-left corner in its top-level window's framebuffer). Clip
// regions are given in device coordinates. On a scaled target (Bitmap::Scale) all of these
// count logical pixels, and drawing lands on Scale() × Scale() target pixels for each.
#pragma once

#include <optional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/font.h"
#include "platform/gdi/region.h"
#include "platform/gdi/types.h"

namespace gdi {

struct Surface;

class DC {
public:
    DC() = default;  // null
    DC(DC&&) noexcept = default;
    DC& operator=(DC&&) noexcept = default;
    DC(const DC&) = delete;
    DC& operator=(const DC&) = delete;

    // A memory DC; it starts with a 1 × 1 monochrome bitmap selected, as on Windows.
    static DC Memory();
    // A DC drawing into `target` with device (0, 0) at `origin`, limited to `visible` (target
    // coordinates, logical on a scaled target) when given. The window framework makes these for its
    // windows.
    static DC ForSurface(Bitmap target, POINT origin, std::optional<Region> visible = {});

    explicit operator bool() const { return valid_; }
    bool IsMemory() const { return memory_; }

    // Selection answers the previous object. Bitmaps can only be selected into memory DCs;
    // a null object is refused (a null result, nothing changes). Fonts differ: the previous
    // font is null while the DC's default font is in use, and selecting a null font goes back
    // to the default, so a font handed back restores what was there.
    Bitmap SelectObject(const Bitmap& bitmap);
    Font SelectObject(const Font& font);
    Brush SelectObject(const Brush& brush);
    Pen SelectObject(const Pen& pen);
    const Bitmap& CurrentBitmap() const { return target_; }
    // The selected font, or the DC's default GUI font when none was selected.
    const Font& CurrentFont() const;
    const Brush& CurrentBrush() const { return state_.brush; }
    const Pen& CurrentPen() const { return state_.pen; }

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return state_.textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return state_.bkColour; }
    int SetBkMode(int mode);  // TRANSPARENT or OPAQUE; answers the previous mode, 0 on error
    int GetBkMode() const { return state_.bkMode; }

    // Clip region in device coordinates; nullptr removes it. Answers the kind of the
    // resulting clip (RGN_ERROR on failure).
    int SelectClipRgn(const Region* region);
    int IntersectClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(int left, int top, int right, int bottom);
    // The clip region in logical coordinates (the whole target when none is set).
    int GetClipBox(RECT& out) const;

    POINT SetViewportOrg(int x, int y);
    POINT GetViewportOrg() const { return state_.viewportOrg; }
    POINT OffsetViewportOrg(int dx, int dy);
    POINT SetBrushOrg(int x, int y);
    POINT GetCurrentPosition() const { return state_.position; }
    POINT MoveTo(int x, int y);

    // Saves the state (selections, colours, modes, clip, origins); answers its level.
    int SaveDC();
    // Restores level n (negative: relative to the top); false when there is no such level.
    bool RestoreDC(int level);

    // For the drawing calls.
    Surface* Target() const { return target_.Get(); }
    // Target pixels to each logical pixel: the target's scale.
    int Scale() const { return target_.Scale(); }
    // Logical (0, 0) in target coordinates before scaling.
    POINT Offset() const;
    // A logical rectangle in target pixels.
    RECT TargetRect(const RECT& logical) const;
    // Device (0, 0) plus the brush origin, in target coordinates before scaling.
    POINT BrushOrigin() const;
    // Where drawing may land, in target pixels: the target's bounds cut by the visible
    // region and the clip region.
    const std::vector<RECT>& ClipRects() const;

private:
    struct State {
        Font font;
        Brush brush;
        Pen pen;
        COLORREF textColour = 0;
        COLORREF bkColour = 0xFFFFFF;
        int bkMode = OPAQUE;
        std::optional<Region> clip;
        POINT viewportOrg{};
        POINT brushOrg{};
        POINT position{};
        Bitmap bitmap;  // memory DCs: the selected bitmap at the time of saving
    };

    void Invalidate() { clipValid_ = false; }

    bool valid_ = false;
    bool memory_ = false;
    Bitmap target_;
    POINT origin_{};
    std::optional<Region> visible_;
    State state_;
    std::vector<State> saved_;
    mutable Font defaultFont_;
    mutable bool clipValid_ = false;
    mutable std::vector<RECT> clipRects_;
};

// Restores a DC's state when it leaves scope.
class SavedDC {
public:
    explicit SavedDC(DC& dc) : dc_(dc), level_(dc.SaveDC()) {}
    ~SavedDC() { dc_.RestoreDC(level_); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    DC& dc_;
    int level_;
};

// A memory DC compatible with dc (or with the screen when null).
DC CreateCompatibleDC(const DC* dc);
// A bitmap in the format of dc's current target: monochrome when that is monochrome (a fresh
// memory DC's), else a 32-bit colour bitmap at the target's scale. With dc null: a colour
// bitmap.
Bitmap CreateCompatibleBitmap(const DC* dc, int width, int height);
int GetDeviceCaps(const DC& dc, int index);
COLORREF GetPixel(const DC& dc, int x, int y);
COLORREF SetPixel(DC& dc, int x, int y, COLORREF colour);

}  // namespace gdi
