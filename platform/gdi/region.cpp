#include "platform/gdi/region.h"

#include <algorithm>
#include <cstring>

namespace gdi {

namespace {

struct Span {
    LONG left;
    LONG right;
};

// Appends one band to a region under construction, merging it into the band above when
// that one touches it and has the same spans.
class BandWriter {
public:
    explicit BandWriter(std::vector<RECT>& out) : out_(out) {}

    void Add(LONG top, LONG bottom, const std::vector<Span>& spans) {
        if (spans.empty() || top >= bottom) return;
        if (lastBottom_ == top && lastCount_ == spans.size()) {
            bool same = true;
            for (std::size_t i = 0; i < spans.size(); ++i) {
                const RECT& r = out_[lastStart_ + i];
                if (r.left != spans[i].left || r.right != spans[i].right) {
                    same = false;
                    break;
                }
            }
            if (same) {
                for (std::size_t i = 0; i < spans.size(); ++i)
                    out_[lastStart_ + i].bottom = bottom;
                lastBottom_ = bottom;
                return;
            }
        }
        lastStart_ = out_.size();
        lastCount_ = spans.size();
        lastBottom_ = bottom;
        for (const Span& s : spans)
            out_.push_back(RECT{s.left, top, s.right, bottom});
    }

private:
    std::vector<RECT>& out_;
    std::size_t lastStart_ = 0;
    std::size_t lastCount_ = 0;
    LONG lastBottom_ = 0;
};

bool Inside(int mode, bool a, bool b) {
    switch (mode) {
        case RGN_AND:
            return a && b;
        case RGN_OR:
            return a || b;
        case RGN_XOR:
            return a != b;
        case RGN_DIFF:
            return a && !b;
        default:
            return a;
    }
}

// The spans of one band combined by mode; both inputs sorted and disjoint.
void CombineSpans(const RECT* a, std::size_t na, const RECT* b, std::size_t nb, int mode,
                  std::vector<Span>& out) {
    out.clear();
    std::size_t ia = 0;  // edge index: 2k = left of span k, 2k+1 = its right
    std::size_t ib = 0;
    bool inA = false;
    bool inB = false;
    bool in = false;
    LONG start = 0;
    auto edge = [](const RECT* r, std::size_t i) { return i % 2 ? r[i / 2].right : r[i / 2].left; };
    while (ia < 2 * na || ib < 2 * nb) {
        LONG x =
            std::min(ia < 2 * na ? edge(a, ia) : INT32_MAX, ib < 2 * nb ? edge(b, ib) : INT32_MAX);
        while (ia < 2 * na && edge(a, ia) == x) {
            inA = !inA;
            ++ia;
        }
        while (ib < 2 * nb && edge(b, ib) == x) {
            inB = !inB;
            ++ib;
        }
        bool now = Inside(mode, inA, inB);
        if (now && !in) start = x;
        if (!now && in) out.push_back(Span{start, x});
        in = now;
    }
}

struct Band {
    std::size_t start;
    std::size_t count;
    LONG top;
    LONG bottom;
};

std::vector<Band> BandsOf(const std::vector<RECT>& rects) {
    std::vector<Band> bands;
    for (std::size_t i = 0; i < rects.size();) {
        std::size_t j = i;
        while (j < rects.size() && rects[j].top == rects[i].top)
            ++j;
        bands.push_back(Band{i, j - i, rects[i].top, rects[i].bottom});
        i = j;
    }
    return bands;
}

RECT BoundsOf(const std::vector<RECT>& rects) {
    if (rects.empty()) return RECT{};
    RECT b{INT32_MAX, rects.front().top, INT32_MIN, rects.back().bottom};
    for (const RECT& r : rects) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
    }
    return b;
}

}  // namespace

Region::Region(const RECT& rect) {
    RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
           std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    if (!IsRectEmpty(r)) {
        rects_.push_back(r);
        bounds_ = r;
    }
}

Region Region::FromBands(std::vector<RECT> rects) {
    Region region;
    region.rects_ = std::move(rects);
    region.bounds_ = BoundsOf(region.rects_);
    return region;
}

Region Region::FromRects(const RECT* rects, std::size_t count) {
    std::vector<RECT> sorted;
    sorted.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsRectEmpty(rects[i])) sorted.push_back(rects[i]);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const RECT& a, const RECT& b) { return a.top < b.top; });
    std::vector<LONG> edges;
    edges.reserve(sorted.size() * 2);
    for (const RECT& r : sorted) {
        edges.push_back(r.top);
        edges.push_back(r.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<RECT> out;
    BandWriter writer(out);
    std::vector<const RECT*> active;
    std::vector<Span> spans;
    std::vector<Span> merged;
    std::size_t next = 0;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        LONG y0 = edges[e];
        LONG y1 = edges[e + 1];
        std::erase_if(active, [y0](const RECT* r) { return r->bottom <= y0; });
        while (next < sorted.size() && sorted[next].top <= y0)
            active.push_back(&sorted[next++]);
        if (active.empty()) continue;
        spans.clear();
        for (const RECT* r : active)
            spans.push_back(Span{r->left, r->right});
        std::sort(spans.begin(), spans.end(),
                  [](const Span& a, const Span& b) { return a.left < b.left; });
        merged.clear();
        for (const Span& s : spans) {
            if (!merged.empty() && s.left <= merged.back().right) {
                merged.back().right = std::max(merged.back().right, s.right);
            } else {
                merged.push_back(s);
            }
        }
        writer.Add(y0, y1, merged);
    }
    return FromBands(std::move(out));
}

int Region::Kind() const {
    if (rects_.empty()) return NULLREGION;
    return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(int x, int y) const {
    if (rects_.empty() || !PtInRect(bounds_, POINT{x, y})) return false;
    // First rectangle whose band reaches below y.
    auto it = std::lower_bound(rects_.begin(), rects_.end(), y,
                               [](const RECT& r, int yy) { return r.bottom <= yy; });
    for (; it != rects_.end() && it->top <= y; ++it) {
        if (x < it->left) return false;
        if (x < it->right) return true;
    }
    return false;
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects_)
        OffsetRect(r, dx, dy);
    if (!rects_.empty()) OffsetRect(bounds_, dx, dy);
}

Region CreateRectRgn(int left, int top, int right, int bottom) {
    return Region(RECT{left, top, right, bottom});
}

Region CreateRectRgnIndirect(const RECT& rect) {
    return Region(rect);
}

std::optional<Region> ExtCreateRegion(const XFORM* xform, DWORD bytes, const void* data) {
    if (xform || !data || bytes < sizeof(RGNDATAHEADER)) return std::nullopt;
    RGNDATAHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES) {
        return std::nullopt;
    }
    if (header.nCount > (bytes - sizeof(RGNDATAHEADER)) / sizeof(RECT)) return std::nullopt;
    std::vector<RECT> rects(header.nCount);
    if (header.nCount) {
        std::memcpy(rects.data(), static_cast<const std::uint8_t*>(data) + sizeof(RGNDATAHEADER),
                    header.nCount * sizeof(RECT));
    }
    return Region::FromRects(rects.data(), rects.size());
}

int CombineRgn(Region& dest, const Region& src1, const Region& src2, int mode) {
    if (mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    if (mode == RGN_COPY) {
        dest = src1;
        return dest.Kind();
    }
    const std::vector<RECT>& a = src1.Rects();
    const std::vector<RECT>& b = src2.Rects();
    std::vector<Band> bandsA = BandsOf(a);
    std::vector<Band> bandsB = BandsOf(b);
    std::vector<LONG> edges;
    edges.reserve(2 * (bandsA.size() + bandsB.size()));
    for (const Band& band : bandsA) {
        edges.push_back(band.top);
        edges.push_back(band.bottom);
    }
    for (const Band& band : bandsB) {
        edges.push_back(band.top);
        edges.push_back(band.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<RECT> out;
    BandWriter writer(out);
    std::vector<Span> spans;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        LONG y0 = edges[e];
        LONG y1 = edges[e + 1];
        while (ia < bandsA.size() && bandsA[ia].bottom <= y0)
            ++ia;
        while (ib < bandsB.size() && bandsB[ib].bottom <= y0)
            ++ib;
        bool hasA = ia < bandsA.size() && bandsA[ia].top <= y0;
        bool hasB = ib < bandsB.size() && bandsB[ib].top <= y0;
        CombineSpans(hasA ? &a[bandsA[ia].start] : nullptr, hasA ? bandsA[ia].count : 0,
                     hasB ? &b[bandsB[ib].start] : nullptr, hasB ? bandsB[ib].count : 0, mode,
                     spans);
        writer.Add(y0, y1, spans);
    }
    dest = Region::FromBands(std::move(out));
    return dest.Kind();
}

bool PtInRegion(const Region& region, int x, int y) {
    return region.Contains(x, y);
}

bool RectInRegion(const Region& region, const RECT& rect) {
    Region both;
    CombineRgn(both, region, Region(rect), RGN_AND);
    return !both.IsEmpty();
}

void Region::Scale(int factor) {
    if (factor == 1) return;
    auto scale = [factor](RECT& r) {
        r = RECT{r.left * factor, r.top * factor, r.right * factor, r.bottom * factor};
    };
    // Multiplying keeps the order and the separation of bands and spans: still banded.
    for (RECT& r : rects_)
        scale(r);
    if (!rects_.empty()) scale(bounds_);
}

int OffsetRgn(Region& region, int dx, int dy) {
    region.Offset(dx, dy);
    return region.Kind();
}

int GetRgnBox(const Region& region, RECT& out) {
    out = region.Bounds();
    return region.Kind();
}

bool EqualRgn(const Region& a, const Region& b) {
    return a == b;
}

DWORD GetRegionData(const Region& region, DWORD bytes, void* data) {
    const std::vector<RECT>& rects = region.Rects();
    DWORD need = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data) return need;
    if (bytes < need) return 0;
    RGNDATAHEADER header;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header.rcBound = region.Bounds();
    std::memcpy(data, &header, sizeof header);
    if (!rects.empty()) {
        std::memcpy(static_cast<std::uint8_t*>(data) + sizeof header, rects.data(),
                    rects.size() * sizeof(RECT));
    }
    return need;
}

}  // namespace gdi
