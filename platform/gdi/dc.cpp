#include "platform/gdi/dc.h"

#include "platform/gdi/surface.h"

namespace gdi {

DC DC::Memory() {
    DC dc;
    dc.valid_ = true;
    dc.memory_ = true;
    dc.target_ = CreateBitmap(1, 1, 1, 1);
    return dc;
}

DC DC::ForSurface(Bitmap target, POINT origin, std::optional<Region> visible) {
    DC dc;
    if (!target) return dc;
    dc.valid_ = true;
    dc.target_ = std::move(target);
    dc.origin_ = origin;
    dc.visible_ = std::move(visible);
    return dc;
}

Bitmap DC::SelectObject(const Bitmap& bitmap) {
    if (!valid_ || !memory_ || !bitmap) return {};
    Bitmap previous = std::move(target_);
    target_ = bitmap;
    Invalidate();
    return previous;
}

Font DC::SelectObject(const Font& font) {
    // The default font is made only when text needs it, not to be handed back here.
    if (!valid_) return {};
    Font previous = state_.font;
    state_.font = font;
    return previous;
}

Brush DC::SelectObject(const Brush& brush) {
    if (!valid_ || !brush) return {};
    Brush previous = state_.brush ? state_.brush : GetStockBrush(WHITE_BRUSH);
    state_.brush = brush;
    return previous;
}

Pen DC::SelectObject(const Pen& pen) {
    if (!valid_ || !pen) return {};
    Pen previous = state_.pen ? state_.pen : GetStockPen(BLACK_PEN);
    state_.pen = pen;
    return previous;
}

const Font& DC::CurrentFont() const {
    if (state_.font) return state_.font;
    if (!defaultFont_) defaultFont_ = CreateFontIndirect(DefaultGuiLogFont());
    return defaultFont_;
}

COLORREF DC::SetTextColor(COLORREF colour) {
    COLORREF previous = state_.textColour;
    state_.textColour = colour & 0xFFFFFF;
    return previous;
}

COLORREF DC::SetBkColor(COLORREF colour) {
    COLORREF previous = state_.bkColour;
    state_.bkColour = colour & 0xFFFFFF;
    return previous;
}

int DC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    int previous = state_.bkMode;
    state_.bkMode = mode;
    return previous;
}

int DC::SelectClipRgn(const Region* region) {
    if (!valid_) return RGN_ERROR;
    if (region) {
        state_.clip = *region;
    } else {
        state_.clip.reset();
    }
    Invalidate();
    return state_.clip ? state_.clip->Kind() : SIMPLEREGION;
}

int DC::IntersectClipRect(int left, int top, int right, int bottom) {
    if (!valid_) return RGN_ERROR;
    Region rect(RECT{left + state_.viewportOrg.x, top + state_.viewportOrg.y,
                     right + state_.viewportOrg.x, bottom + state_.viewportOrg.y});
    if (state_.clip) {
        CombineRgn(*state_.clip, *state_.clip, rect, RGN_AND);
    } else {
        state_.clip = rect;
    }
    Invalidate();
    return state_.clip->Kind();
}

int DC::ExcludeClipRect(int left, int top, int right, int bottom) {
    if (!valid_) return RGN_ERROR;
    Region rect(RECT{left + state_.viewportOrg.x, top + state_.viewportOrg.y,
                     right + state_.viewportOrg.x, bottom + state_.viewportOrg.y});
    if (!state_.clip) {
        Region whole(RECT{-origin_.x, -origin_.y, target_.Width() / Scale() - origin_.x,
                          target_.Height() / Scale() - origin_.y});
        state_.clip = whole;
    }
    CombineRgn(*state_.clip, *state_.clip, rect, RGN_DIFF);
    Invalidate();
    return state_.clip->Kind();
}

int DC::GetClipBox(RECT& out) const {
    const std::vector<RECT>& rects = ClipRects();
    if (rects.empty()) {
        out = RECT{};
        return NULLREGION;
    }
    RECT box = rects.front();
    for (const RECT& r : rects)
        UnionRect(box, box, r);
    if (const int s = Scale(); s > 1) {
        // Clip rectangles of a scaled target lie on whole logical pixels.
        box = RECT{box.left / s, box.top / s, box.right / s, box.bottom / s};
    }
    POINT o = Offset();
    OffsetRect(box, -o.x, -o.y);
    out = box;
    return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

POINT DC::SetViewportOrg(int x, int y) {
    POINT previous = state_.viewportOrg;
    state_.viewportOrg = POINT{x, y};
    return previous;
}

POINT DC::OffsetViewportOrg(int dx, int dy) {
    POINT previous = state_.viewportOrg;
    state_.viewportOrg.x += dx;
    state_.viewportOrg.y += dy;
    return previous;
}

POINT DC::SetBrushOrg(int x, int y) {
    POINT previous = state_.brushOrg;
    state_.brushOrg = POINT{x, y};
    return previous;
}

POINT DC::MoveTo(int x, int y) {
    POINT previous = state_.position;
    state_.position = POINT{x, y};
    return previous;
}

int DC::SaveDC() {
    if (!valid_) return 0;
    State copy = state_;
    copy.bitmap = target_;
    saved_.push_back(std::move(copy));
    return static_cast<int>(saved_.size());
}

bool DC::RestoreDC(int level) {
    if (!valid_) return false;
    int count = static_cast<int>(saved_.size());
    if (level < 0) level = count + 1 + level;
    if (level < 1 || level > count) return false;
    state_ = std::move(saved_[static_cast<std::size_t>(level - 1)]);
    saved_.resize(static_cast<std::size_t>(level - 1));
    if (memory_ && state_.bitmap) target_ = state_.bitmap;
    state_.bitmap.Reset();
    Invalidate();
    return true;
}

POINT DC::Offset() const {
    return POINT{origin_.x + state_.viewportOrg.x, origin_.y + state_.viewportOrg.y};
}

RECT DC::TargetRect(const RECT& logical) const {
    const POINT o = Offset();
    const int s = Scale();
    return RECT{(logical.left + o.x) * s, (logical.top + o.y) * s, (logical.right + o.x) * s,
                (logical.bottom + o.y) * s};
}

POINT DC::BrushOrigin() const {
    return POINT{origin_.x + state_.brushOrg.x, origin_.y + state_.brushOrg.y};
}

const std::vector<RECT>& DC::ClipRects() const {
    if (clipValid_) return clipRects_;
    clipValid_ = true;
    clipRects_.clear();
    if (!target_) return clipRects_;
    RECT bounds{0, 0, target_.Width(), target_.Height()};
    if (!visible_ && !state_.clip) {
        clipRects_.push_back(bounds);
        return clipRects_;
    }
    Region region(bounds);
    const int s = Scale();
    if (visible_) {
        if (s == 1) {
            CombineRgn(region, region, *visible_, RGN_AND);
        } else {
            Region visible = *visible_;
            visible.Scale(s);
            CombineRgn(region, region, visible, RGN_AND);
        }
    }
    if (state_.clip) {
        Region clip = *state_.clip;
        clip.Offset(origin_.x, origin_.y);
        clip.Scale(s);
        CombineRgn(region, region, clip, RGN_AND);
    }
    clipRects_ = region.Rects();
    return clipRects_;
}

DC CreateCompatibleDC(const DC*) {
    return DC::Memory();
}

Bitmap CreateCompatibleBitmap(const DC* dc, int width, int height) {
    if (dc && dc->CurrentBitmap().IsMonochrome()) return CreateBitmap(width, height, 1, 1);
    // What is drawn there at a scale keeps its detail when copied here and back.
    if (dc && dc->Scale() > 1) return CreateScaledDIBSection32(width, height, dc->Scale());
    return CreateBitmap(width, height, 1, 32);
}

int GetDeviceCaps(const DC&, int index) {
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return ScreenDpi;
        default:
            return 0;
    }
}

// On a scaled target a logical pixel is read at the top-left of its block and written to all
// of the block (clip rectangles never cut a block).
COLORREF GetPixel(const DC& dc, int x, int y) {
    const RECT block = dc.TargetRect(RECT{x, y, x + 1, y + 1});
    const POINT p{block.left, block.top};
    for (const RECT& r : dc.ClipRects()) {
        if (PtInRect(r, p)) return dc.CurrentBitmap().GetPixel(p.x, p.y);
    }
    return CLR_INVALID;
}

COLORREF SetPixel(DC& dc, int x, int y, COLORREF colour) {
    const RECT block = dc.TargetRect(RECT{x, y, x + 1, y + 1});
    const POINT p{block.left, block.top};
    for (const RECT& r : dc.ClipRects()) {
        if (PtInRect(r, p)) {
            Bitmap target = dc.CurrentBitmap();
            for (int ty = block.top; ty < block.bottom; ++ty)
                for (int tx = block.left; tx < block.right; ++tx)
                    target.SetPixel(tx, ty, colour);
            return target.GetPixel(p.x, p.y);
        }
    }
    return CLR_INVALID;
}

}  // namespace gdi
