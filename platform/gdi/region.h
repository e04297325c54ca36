// Regions: sets of pixels kept in the platform's banded form, a list of rectangles sorted
// top to bottom and left to right, where rectangles of one band share top and bottom, do not
// touch or overlap, and neighbouring bands with the same spans are merged. Two equal pixel
// sets therefore have equal rectangle lists. A Region is a value; copying copies the set.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/gdi/types.h"

namespace gdi {

class Region {
public:
    Region() = default;  // empty
    explicit Region(const RECT& rect);

    // Takes rectangles that are already in banded form (as Rects() gives them).
    static Region FromBands(std::vector<RECT> rects);
    // The union of any rectangles; empty ones are ignored.
    static Region FromRects(const RECT* rects, std::size_t count);

    const std::vector<RECT>& Rects() const { return rects_; }
    bool IsEmpty() const { return rects_.empty(); }
    // The smallest rectangle holding the region; all zeros when empty.
    RECT Bounds() const { return bounds_; }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    bool Contains(int x, int y) const;
    void Offset(int dx, int dy);
    // Every coordinate multiplied by factor (≥ 1): each pixel becomes a factor × factor block.
    void Scale(int factor);

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<RECT> rects_;
    RECT bounds_{};
};

// The platform's region-data block: this header followed by nCount RECTs.
struct RGNDATAHEADER {
    DWORD dwSize = 32;
    DWORD iType = RDH_RECTANGLES;
    DWORD nCount = 0;
    DWORD nRgnSize = 0;
    RECT rcBound{};
};
static_assert(sizeof(RGNDATAHEADER) == 32);
static_assert(sizeof(RECT) == 16);

struct XFORM;  // transformations are not supported: pass nullptr

Region CreateRectRgn(int left, int top, int right, int bottom);
Region CreateRectRgnIndirect(const RECT& rect);
// A region from a region-data block of `bytes` bytes. Nothing when the block is malformed
// (wrong header size or type, more rectangles than the block holds) or a transformation is
// asked for.
std::optional<Region> ExtCreateRegion(const XFORM* xform, DWORD bytes, const void* data);
// dest := src1 op src2 (RGN_COPY: src1). dest may be one of the sources. Answers the kind of
// the result, or RGN_ERROR for an unknown mode (dest then stays as it was).
int CombineRgn(Region& dest, const Region& src1, const Region& src2, int mode);
bool PtInRegion(const Region& region, int x, int y);
bool RectInRegion(const Region& region, const RECT& rect);
int OffsetRgn(Region& region, int dx, int dy);
int GetRgnBox(const Region& region, RECT& out);
bool EqualRgn(const Region& a, const Region& b);
// With data null: the bytes a block for the region needs. Otherwise writes the block and
// answers its size, or 0 when `bytes` is too small.
DWORD GetRegionData(const Region& region, DWORD bytes, void* data);

}  // namespace gdi
