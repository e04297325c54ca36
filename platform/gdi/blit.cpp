#include "platform/gdi/blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/surface.h"

namespace gdi {

namespace {

constexpr std::uint32_t ColourMask = 0x00FFFFFF;

// A raster operation's truth table (bits 16-23 of its code).
constexpr std::uint8_t Ternary(DWORD rop) {
    return static_cast<std::uint8_t>(rop >> 16);
}

bool UsesSource(std::uint8_t code) {
    return (((code >> 2) ^ code) & 0x33) != 0;
}
bool UsesPattern(std::uint8_t code) {
    return (((code >> 4) ^ code) & 0x0F) != 0;
}

std::uint32_t Rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1)) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

template <typename F>
void Apply(std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* p, int n, F f) {
    for (int i = 0; i < n; ++i)
        d[i] = f(p ? p[i] : 0, s ? s[i] : 0, d[i]);
}

// One row: d := rop(p, s, d), then kept to the target's format by `keep`.
void ApplyRow(std::uint8_t code, std::uint32_t* d, const std::uint32_t* s, const std::uint32_t* p,
              int n) {
    switch (code) {
        case Ternary(SRCCOPY):
            std::memcpy(d, s, static_cast<std::size_t>(n) * 4);
            break;
        case Ternary(SRCAND):
            Apply(d, s, p, n, [](auto, auto s, auto d) { return s & d; });
            break;
        case Ternary(SRCPAINT):
            Apply(d, s, p, n, [](auto, auto s, auto d) { return s | d; });
            break;
        case Ternary(SRCINVERT):
            Apply(d, s, p, n, [](auto, auto s, auto d) { return s ^ d; });
            break;
        case Ternary(NOTSRCCOPY):
            Apply(d, s, p, n, [](auto, auto s, auto) { return ~s; });
            break;
        case Ternary(SRCERASE):
            Apply(d, s, p, n, [](auto, auto s, auto d) { return s & ~d; });
            break;
        case 0x22:  // DSna, a code without a name
            Apply(d, s, p, n, [](auto, auto s, auto d) { return ~s & d; });
            break;
        case Ternary(MERGEPAINT):
            Apply(d, s, p, n, [](auto, auto s, auto d) { return ~s | d; });
            break;
        case Ternary(NOTSRCERASE):
            Apply(d, s, p, n, [](auto, auto s, auto d) { return ~(s | d); });
            break;
        case Ternary(PATCOPY):
            std::memcpy(d, p, static_cast<std::size_t>(n) * 4);
            break;
        case Ternary(PATINVERT):
            Apply(d, s, p, n, [](auto p, auto, auto d) { return p ^ d; });
            break;
        case Ternary(MERGECOPY):
            Apply(d, s, p, n, [](auto p, auto s, auto) { return p & s; });
            break;
        case Ternary(DSTINVERT):
            Apply(d, s, p, n, [](auto, auto, auto d) { return ~d; });
            break;
        case Ternary(BLACKNESS):
            std::fill(d, d + n, 0u);
            break;
        case Ternary(WHITENESS):
            std::fill(d, d + n, ~0u);
            break;
        default:
            Apply(d, s, p, n, [code](auto p, auto s, auto d) { return Rop3(code, p, s, d); });
            break;
    }
}

bool IsBright(COLORREF c) {
    return GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 >= 128 * 100;
}

// Where each destination column and row takes its source pixel from (-1: nowhere).
struct SourceMap {
    const Surface* surface = nullptr;
    COLORREF srcBkColour = 0;  // for colour to monochrome
    std::vector<int> columns;  // indexed from the destination rectangle's left
    bool direct = false;       // columns run one by one upwards (no scaling, no mirroring)
    std::vector<int> rows;     // indexed from its top
};

struct Operation {
    DC* dest = nullptr;
    RECT rect{};  // target coordinates, not yet clipped
    std::uint8_t code = 0;
    const Brush* brush = nullptr;
    const SourceMap* source = nullptr;
};

int FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return static_cast<int>(q);
}

// Where a target pixel samples a source of `scale` times fewer pixels, smoothly: target pixel
// i of the run starting at `from` lies at source position (i + ½) / scale − ½; the tap below
// it, the one above and the weight (0-256) of the one above.
struct Tap {
    int low;
    int high;
    std::uint32_t weight;
};

// Tap of target pixel t relative to a source origin `origin` (in source pixels), wrapping into
// [0, period).
Tap WrappedTap(int t, int scale, int origin, int period) {
    const long long num = 2LL * t + 1 - scale - 2LL * scale * origin;
    const int low = FloorDiv(num, 2LL * scale);
    const long long frac = num - static_cast<long long>(low) * 2 * scale;
    const int a = ((low % period) + period) % period;
    return Tap{a, a + 1 == period ? 0 : a + 1,
               static_cast<std::uint32_t>(frac * 256 / (2 * scale))};
}

// a + (b − a) · w / 256 for each colour channel, rounded.
std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    const std::uint32_t rb =
        (((a & 0xFF00FF) * (256 - w) + (b & 0xFF00FF) * w + 0x800080) >> 8) & 0xFF00FF;
    const std::uint32_t g = (((a & 0xFF00) * (256 - w) + (b & 0xFF00) * w + 0x8000) >> 8) & 0xFF00;
    return rb | g;
}

// The colour between four pixels: rows a and b at columns tx, weighted by ty between the rows.
std::uint32_t Bilinear(const std::uint32_t* a, const std::uint32_t* b, const Tap& tx,
                       std::uint32_t rowWeight) {
    return Lerp(Lerp(a[tx.low], a[tx.high], tx.weight), Lerp(b[tx.low], b[tx.high], tx.weight),
                rowWeight);
}

// A row of a pattern brush on a scaled target: a colour pattern is sampled smoothly (it tiles,
// so its edges blend into its other side); a monochrome one keeps its pixels whole.
void PatternRow(const Surface& pattern, int scale, POINT brushOrg, int left, int y, bool mono,
                std::uint32_t textPix, std::uint32_t bkPix, std::uint32_t* out, int count) {
    const int pw = pattern.width;
    const int ph = pattern.height;
    if (pattern.bitsPixel == 1 || mono) {
        const int py = ((FloorDiv(y, scale) - brushOrg.y) % ph + ph) % ph;
        for (int i = 0; i < count; ++i) {
            const int px = ((FloorDiv(left + i, scale) - brushOrg.x) % pw + pw) % pw;
            std::uint32_t v;
            if (pattern.bitsPixel == 32) {
                v = IsBright(ColorFromPixel(pattern.Row(py)[px])) ? ~0u : 0u;
            } else {
                const bool white = pattern.MonoRow(py)[px] != 0;
                v = mono ? (white ? ~0u : 0u) : (white ? bkPix : textPix);
            }
            out[i] = v;
        }
        return;
    }
    const Tap ty = WrappedTap(y, scale, brushOrg.y, ph);
    const std::uint32_t* above = pattern.Row(ty.low);
    const std::uint32_t* below = pattern.Row(ty.high);
    for (int i = 0; i < count; ++i) {
        out[i] = Bilinear(above, below, WrappedTap(left + i, scale, brushOrg.x, pw), ty.weight);
    }
}

// Runs one operation over the clipped parts of its rectangle.
void Run(const Operation& op) {
    Surface* target = op.dest->Target();
    if (!target) return;
    const bool mono = target->bitsPixel == 1;
    const bool needS = UsesSource(op.code) && op.source;
    const bool needP = UsesPattern(op.code);
    const std::uint32_t textPix = PixelFromColor(op.dest->GetTextColor());
    const std::uint32_t bkPix = PixelFromColor(op.dest->GetBkColor());

    std::uint32_t solid = 0;
    const Surface* pattern = nullptr;
    if (needP) {
        const Brush* b = op.brush;
        if (!b || b->GetStyle() == Brush::Style::Null || b->GetStyle() == Brush::Style::Hollow) {
            solid = mono ? ~0u : 0xFFFFFF;  // no brush: white, as the default stock brush
        } else if (b->GetStyle() == Brush::Style::Solid) {
            solid = mono ? (IsBright(b->Colour()) ? ~0u : 0u) : PixelFromColor(b->Colour());
        } else {
            pattern = b->PatternBitmap().Get();
        }
    }
    const POINT brushOrg = op.dest->BrushOrigin();
    const int scale = op.dest->Scale();
    const std::uint32_t srcBkPix =
        op.source ? PixelFromColor(op.source->srcBkColour) & ColourMask : 0;

    // Overlapping copies within one surface go bottom to top when moving down.
    bool upward = false;
    if (op.source && op.source->surface == target && !op.source->rows.empty() &&
        op.source->rows.front() >= 0 && op.source->rows.front() < op.rect.top) {
        upward = true;
    }

    std::vector<std::uint32_t> sRow;
    std::vector<std::uint32_t> pRow;
    std::vector<std::uint32_t> dRow;
    for (const RECT& clip : op.dest->ClipRects()) {
        RECT r;
        if (!IntersectRect(r, clip, op.rect)) continue;
        const int n = r.Width();
        sRow.resize(static_cast<std::size_t>(n));
        pRow.resize(static_cast<std::size_t>(n));
        dRow.resize(static_cast<std::size_t>(n));
        for (int k = 0; k < r.Height(); ++k) {
            const int y = upward ? r.bottom - 1 - k : r.top + k;
            int first = 0;
            int last = n;  // the columns this row may write: those with a source pixel
            const std::uint32_t* sStart = nullptr;  // source values from column `first` on
            if (needS) {
                const SourceMap& m = *op.source;
                int sy = m.rows[static_cast<std::size_t>(y - op.rect.top)];
                if (sy < 0) continue;
                const Surface& s = *m.surface;
                const int base = r.left - op.rect.left;
                while (first < n && m.columns[static_cast<std::size_t>(base + first)] < 0)
                    ++first;
                while (last > first && m.columns[static_cast<std::size_t>(base + last - 1)] < 0) {
                    --last;
                }
                if (first >= last) continue;
                if (s.bitsPixel == 32 && m.direct && !mono) {
                    const std::uint32_t* in =
                        s.Row(sy) + m.columns[static_cast<std::size_t>(base + first)];
                    if (op.code == Ternary(SRCCOPY)) {
                        std::memmove(target->Row(y) + r.left + first, in,
                                     static_cast<std::size_t>(last - first) * 4);
                        continue;
                    }
                    if (&s != target) {
                        sStart = in;
                    } else {
                        std::copy(in, in + (last - first), sRow.begin() + first);
                    }
                } else if (s.bitsPixel == 32) {
                    const std::uint32_t* in = s.Row(sy);
                    for (int i = first; i < last; ++i) {
                        std::uint32_t v = in[m.columns[static_cast<std::size_t>(base + i)]];
                        sRow[i] = mono ? ((v & ColourMask) == srcBkPix ? ~0u : 0u) : v;
                    }
                } else {
                    const std::uint8_t* in = s.MonoRow(sy);
                    for (int i = first; i < last; ++i) {
                        bool white = in[m.columns[static_cast<std::size_t>(base + i)]] != 0;
                        sRow[i] = mono ? (white ? ~0u : 0u) : (white ? bkPix : textPix);
                    }
                }
            }
            const int count = last - first;
            if (!sStart) sStart = sRow.data() + first;
            if (needP) {
                if (pattern && scale > 1) {
                    PatternRow(*pattern, scale, brushOrg, r.left + first, y, mono, textPix, bkPix,
                               pRow.data() + first, count);
                } else if (pattern) {
                    const int pw = pattern->width;
                    const int ph = pattern->height;
                    int py = ((y - brushOrg.y) % ph + ph) % ph;
                    for (int i = first; i < last; ++i) {
                        int px = ((r.left + i - brushOrg.x) % pw + pw) % pw;
                        std::uint32_t v;
                        if (pattern->bitsPixel == 32) {
                            v = pattern->Row(py)[px];
                            if (mono) v = IsBright(ColorFromPixel(v)) ? ~0u : 0u;
                        } else {
                            bool white = pattern->MonoRow(py)[px] != 0;
                            v = mono ? (white ? ~0u : 0u) : (white ? bkPix : textPix);
                        }
                        pRow[i] = v;
                    }
                } else {
                    std::fill(pRow.begin() + first, pRow.begin() + last, solid);
                }
            }
            if (mono) {
                std::uint8_t* out = target->MonoRow(y) + r.left;
                for (int i = first; i < last; ++i)
                    dRow[i] = out[i] ? ~0u : 0u;
                ApplyRow(op.code, dRow.data() + first, sStart, pRow.data() + first, count);
                for (int i = first; i < last; ++i)
                    out[i] = dRow[i] & 1;
            } else {
                std::uint32_t* out = target->Row(y) + r.left;
                if (op.code == Ternary(SRCCOPY)) {
                    std::memcpy(out + first, sStart, static_cast<std::size_t>(count) * 4);
                    continue;
                }
                ApplyRow(op.code, out + first, sStart, pRow.data() + first, count);
                for (int i = first; i < last; ++i)
                    out[i] &= ColourMask;
            }
        }
    }
}

// Destination pixel i of `extent` pixels maps to source pixel from + floor((i + ½) · srcExtent
// / extent), or its mirror; -1 outside [0, limit).
std::vector<int> Mapping(int extent, int from, int srcExtent, bool mirror, int limit) {
    std::vector<int> map(static_cast<std::size_t>(extent));
    for (int i = 0; i < extent; ++i) {
        long long offset = (2LL * i + 1) * srcExtent / (2LL * extent);
        long long v = mirror ? from + srcExtent - 1 - offset : from + offset;
        map[static_cast<std::size_t>(i)] = v < 0 || v >= limit ? -1 : static_cast<int>(v);
    }
    return map;
}

// Smooth (bilinear) taps along one axis: target pixel i of `extent` lies at source position
// from + (i + ½) · srcExtent / extent − ½, read within [from, from + srcExtent) ∩ [0, limit).
// A pixel whose nearest source pixel lies outside the bitmap has low −1, as Mapping says.
std::vector<Tap> SmoothMapping(int extent, int from, int srcExtent, bool mirror, int limit) {
    std::vector<Tap> taps(static_cast<std::size_t>(extent));
    const int lo = std::max(from, 0);
    const int hi = std::min(from + srcExtent, limit) - 1;
    for (int i = 0; i < extent; ++i) {
        const long long num = (2LL * i + 1) * srcExtent - extent;
        const int low = FloorDiv(num, 2LL * extent);
        const long long frac = num - static_cast<long long>(low) * 2 * extent;
        std::uint32_t weight = static_cast<std::uint32_t>((frac * 256 + extent) / (2LL * extent));
        int a = from + low;
        int b = a + 1;
        if (mirror) {
            // Mirrored, the source runs the other way: the tap above is the nearer start.
            a = from + srcExtent - 1 - low;
            b = a - 1;
        }
        const long long nearest = (2LL * i + 1) * srcExtent / (2LL * extent);
        const long long n = mirror ? from + srcExtent - 1 - nearest : from + nearest;
        Tap& t = taps[static_cast<std::size_t>(i)];
        if (n < 0 || n >= limit || lo > hi) {
            t = Tap{-1, -1, 0};
            continue;
        }
        t = Tap{std::clamp(a, lo, hi), std::clamp(b, lo, hi), weight};
    }
    return taps;
}

// A colour copy that scales smoothly: bitmaps drawn larger on a scaled target.
void SmoothCopy(DC& dest, const RECT& rect, const Surface& source, const std::vector<Tap>& columns,
                const std::vector<Tap>& rows) {
    Surface* target = dest.Target();
    std::vector<std::uint32_t> upper;
    std::vector<std::uint32_t> lower;
    for (const RECT& clip : dest.ClipRects()) {
        RECT r;
        if (!IntersectRect(r, clip, rect)) continue;
        const int n = r.Width();
        upper.resize(static_cast<std::size_t>(n));
        lower.resize(static_cast<std::size_t>(n));
        const Tap* cols = columns.data() + (r.left - rect.left);
        for (int y = r.top; y < r.bottom; ++y) {
            const Tap& ty = rows[static_cast<std::size_t>(y - rect.top)];
            if (ty.low < 0) continue;
            const std::uint32_t* a = source.Row(ty.low);
            const std::uint32_t* b = source.Row(ty.high);
            std::uint32_t* out = target->Row(y) + r.left;
            for (int i = 0; i < n; ++i) {
                const Tap& tx = cols[i];
                if (tx.low < 0) continue;
                out[i] = Bilinear(a, b, tx, ty.weight);
            }
        }
    }
}

bool Transfer(DC& dest, int x, int y, int width, int height, const DC* src, int srcX, int srcY,
              int srcWidth, int srcHeight, DWORD rop) {
    if (!dest || !dest.Target()) return false;
    const std::uint8_t code = Ternary(rop);
    const bool needS = UsesSource(code);
    if (needS && (!src || !*src || !src->Target())) return false;
    bool mirrorX = false;
    bool mirrorY = false;
    if (width < 0) {
        x += width + 1;
        width = -width;
        mirrorX = !mirrorX;
    }
    if (height < 0) {
        y += height + 1;
        height = -height;
        mirrorY = !mirrorY;
    }
    if (srcWidth < 0) {
        srcX += srcWidth + 1;
        srcWidth = -srcWidth;
        mirrorX = !mirrorX;
    }
    if (srcHeight < 0) {
        srcY += srcHeight + 1;
        srcHeight = -srcHeight;
        mirrorY = !mirrorY;
    }
    if (width == 0 || height == 0) return true;
    if (needS && (srcWidth == 0 || srcHeight == 0)) return true;

    Operation op;
    op.dest = &dest;
    op.rect = dest.TargetRect(RECT{x, y, x + width, y + height});
    op.code = code;
    op.brush = &dest.CurrentBrush();
    SourceMap map;
    if (needS && src) {
        const Surface* s = src->Target();
        // Both sides in their own pixels: a scaled target or source has more of them.
        const int ds = dest.Scale();
        const RECT from = src->TargetRect(RECT{srcX, srcY, srcX + srcWidth, srcY + srcHeight});
        const int tw = op.rect.Width();
        const int th = op.rect.Height();
        if (ds > 1 && code == Ternary(SRCCOPY) && s->bitsPixel == 32 &&
            dest.Target()->bitsPixel == 32 && s != dest.Target() &&
            (tw != from.Width() || th != from.Height())) {
            SmoothCopy(dest, op.rect, *s,
                       SmoothMapping(tw, from.left, from.Width(), mirrorX, s->width),
                       SmoothMapping(th, from.top, from.Height(), mirrorY, s->height));
            return true;
        }
        map.surface = s;
        map.srcBkColour = src->GetBkColor();
        map.columns = Mapping(tw, from.left, from.Width(), mirrorX, s->width);
        map.rows = Mapping(th, from.top, from.Height(), mirrorY, s->height);
        map.direct = tw == from.Width() && !mirrorX;
        op.source = &map;
    }
    Run(op);
    return true;
}

}  // namespace

bool BitBlt(DC& dest, int x, int y, int width, int height, const DC* src, int srcX, int srcY,
            DWORD rop) {
    return Transfer(dest, x, y, width, height, src, srcX, srcY, width, height, rop);
}

bool StretchBlt(DC& dest, int x, int y, int width, int height, const DC* src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
    return Transfer(dest, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

bool PatBlt(DC& dest, int x, int y, int width, int height, DWORD rop) {
    std::uint8_t code = Ternary(rop);
    if (UsesSource(code)) return false;
    return Transfer(dest, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

bool FillRect(DC& dest, const RECT& rect, const Brush& brush) {
    if (!dest || !brush) return false;
    if (brush.GetStyle() == Brush::Style::Hollow) return true;
    if (IsRectEmpty(rect)) return true;
    Operation op;
    op.dest = &dest;
    op.rect = dest.TargetRect(rect);
    op.code = Ternary(PATCOPY);
    op.brush = &brush;
    Run(op);
    return true;
}

bool InvertRect(DC& dest, const RECT& rect) {
    if (!dest || IsRectEmpty(rect)) return static_cast<bool>(dest);
    return PatBlt(dest, rect.left, rect.top, rect.Width(), rect.Height(), DSTINVERT);
}

bool FillRgn(DC& dest, const Region& region, const Brush& brush) {
    if (!dest || !brush) return false;
    for (const RECT& r : region.Rects())
        FillRect(dest, r, brush);
    return true;
}

bool RectVisible(const DC& dc, const RECT& rect) {
    const RECT r = dc.TargetRect(rect);
    RECT both;
    for (const RECT& clip : dc.ClipRects()) {
        if (IntersectRect(both, clip, r)) return true;
    }
    return false;
}

namespace detail {

void FillTargetRect(DC& dest, RECT rect, COLORREF colour) {
    Brush brush = Brush::Solid(colour);
    Operation op;
    op.dest = &dest;
    op.rect = rect;
    op.code = Ternary(PATCOPY);
    op.brush = &brush;
    if (!IsRectEmpty(rect)) Run(op);
}

void InvertTargetRect(DC& dest, RECT rect) {
    Operation op;
    op.dest = &dest;
    op.rect = rect;
    op.code = Ternary(DSTINVERT);
    if (!IsRectEmpty(rect)) Run(op);
}

}  // namespace detail

}  // namespace gdi
