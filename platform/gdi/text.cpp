#include "platform/gdi/text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/fontface.h"
#include "platform/gdi/surface.h"

namespace gdi {

namespace {

std::u32string Decode(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        out.push_back(c);
    }
    return out;
}

// One line of laid-out text; underline holds indices of characters marked by a "&" prefix.
struct Line {
    std::u32string text;
    std::vector<std::size_t> underline;
};

class Layout {
public:
    Layout(FontFace& face, UINT format) : face_(face), format_(format) {
        tabWidth_ = 8 * std::max(1, static_cast<int>(face.Metrics().tmAveCharWidth));
    }

    int Width(const std::u32string& s, std::size_t from = 0,
              std::size_t to = std::u32string::npos) {
        to = std::min(to, s.size());
        int w = 0;
        for (std::size_t i = from; i < to; ++i)
            w = Advance(s[i], w);
        return w;
    }

    // The pen position after c when it starts at x.
    int Advance(char32_t c, int x) {
        if (c == U'\t') {
            if (format_ & DT_EXPANDTABS) return (x / tabWidth_ + 1) * tabWidth_;
            return x + face_.Advance(U' ');
        }
        return x + face_.Advance(c);
    }

private:
    FontFace& face_;
    UINT format_;
    int tabWidth_;
};

const std::u32string Dots = U"...";

// Shortens a line that is wider than `width` by the ellipsis style of `format`.
void Ellipsize(Layout& layout, Line& line, int width, UINT format) {
    if (layout.Width(line.text) <= width) return;
    const int dots = layout.Width(Dots);
    auto endEllipsis = [&](const std::u32string& s) {
        std::size_t keep = s.size();
        while (keep > 0 && layout.Width(s, 0, keep) + dots > width)
            --keep;
        return s.substr(0, keep) + Dots;
    };
    std::u32string out;
    std::size_t sep = line.text.find_last_of(U"\\/");
    if ((format & DT_PATH_ELLIPSIS) && sep != std::u32string::npos && sep > 0) {
        // Keep the last path element; take characters away before it.
        std::u32string tail = line.text.substr(sep);
        int tailWidth = layout.Width(tail);
        if (tailWidth + dots <= width) {
            std::size_t keep = sep;
            while (keep > 0 && layout.Width(line.text, 0, keep) + dots + tailWidth > width)
                --keep;
            out = line.text.substr(0, keep) + Dots + tail;
        } else {
            out = endEllipsis(Dots + tail);
        }
        line.underline.clear();
    } else {
        out = endEllipsis(line.text);
        std::size_t kept = out.size() - Dots.size();
        std::erase_if(line.underline, [kept](std::size_t i) { return i >= kept; });
    }
    line.text = std::move(out);
}

std::vector<Line> Lines(Layout& layout, std::u16string_view text, int width, UINT format) {
    std::u32string all = Decode(text);
    // Prefixes: "&x" underlines x, "&&" is one "&".
    std::u32string plain;
    std::vector<std::size_t> marks;
    if (format & DT_NOPREFIX) {
        plain = std::move(all);
    } else {
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i] == U'&') {
                if (i + 1 >= all.size()) break;
                ++i;
                if (all[i] != U'&') marks.push_back(plain.size());
            }
            plain.push_back(all[i]);
        }
    }

    // Paragraphs.
    std::vector<Line> paragraphs;
    Line current;
    auto markOf = [&](std::size_t i) {
        return std::find(marks.begin(), marks.end(), i) != marks.end();
    };
    for (std::size_t i = 0; i < plain.size(); ++i) {
        char32_t c = plain[i];
        if (c == U'\r' || c == U'\n') {
            if (format & DT_SINGLELINE) continue;
            if (c == U'\r' && i + 1 < plain.size() && plain[i + 1] == U'\n') ++i;
            paragraphs.push_back(std::move(current));
            current = Line{};
            continue;
        }
        if (markOf(i)) current.underline.push_back(current.text.size());
        current.text.push_back(c);
    }
    paragraphs.push_back(std::move(current));

    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    std::vector<Line> lines;
    for (Line& p : paragraphs) {
        if (!wrap || layout.Width(p.text) <= width) {
            lines.push_back(std::move(p));
            continue;
        }
        // Greedy breaking at spaces; a word wider than the rectangle stands on its own line.
        std::size_t start = 0;
        const std::u32string& s = p.text;
        while (start < s.size()) {
            std::size_t end = start;  // end of the last word that fits
            std::size_t i = start;
            while (i < s.size()) {
                std::size_t wordEnd = i;
                while (wordEnd < s.size() && s[wordEnd] != U' ')
                    ++wordEnd;
                if (end > start && layout.Width(s, start, wordEnd) > width) break;
                end = wordEnd;
                i = wordEnd;
                while (i < s.size() && s[i] == U' ')
                    ++i;
                if (layout.Width(s, start, end) > width) break;
            }
            Line line;
            line.text = s.substr(start, end - start);
            for (std::size_t m : p.underline) {
                if (m >= start && m < end) line.underline.push_back(m - start);
            }
            lines.push_back(std::move(line));
            start = end;
            while (start < s.size() && s[start] == U' ')
                ++start;
        }
    }
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (Line& line : lines)
            Ellipsize(layout, line, width, format);
    }
    return lines;
}

// Blends a glyph's coverage into the target at (x, y) of its top-left, clipped.
void DrawGlyph(DC& dc, const FontFace::Glyph& g, int x, int y, COLORREF colour) {
    Surface* s = dc.Target();
    if (!s || g.width == 0) return;
    const RECT box{x, y, x + g.width, y + g.height};
    const std::uint32_t tr = GetRValue(colour), tg = GetGValue(colour), tb = GetBValue(colour);
    const std::uint32_t solid = PixelFromColor(colour);
    const bool bright = tr * 30 + tg * 59 + tb * 11 >= 128 * 100;
    for (const RECT& clip : dc.ClipRects()) {
        RECT r;
        if (!IntersectRect(r, clip, box)) continue;
        for (int py = r.top; py < r.bottom; ++py) {
            const std::uint8_t* cov =
                g.coverage.data() + static_cast<std::size_t>(py - y) * g.width - x;
            if (s->bitsPixel == 1) {
                std::uint8_t* out = s->MonoRow(py);
                for (int px = r.left; px < r.right; ++px) {
                    if (cov[px] >= 128) out[px] = bright ? 1 : 0;
                }
                continue;
            }
            std::uint32_t* out = s->Row(py);
            for (int px = r.left; px < r.right; ++px) {
                const std::uint32_t a = cov[px];
                if (a == 0) continue;
                if (a == 255) {
                    out[px] = solid;
                    continue;
                }
                const std::uint32_t d = out[px];
                const std::uint32_t ia = 255 - a;
                const std::uint32_t b = (((d & 0xFF) * ia + tb * a + 127) / 255);
                const std::uint32_t gg = ((((d >> 8) & 0xFF) * ia + tg * a + 127) / 255);
                const std::uint32_t rr = ((((d >> 16) & 0xFF) * ia + tr * a + 127) / 255);
                out[px] = b | (gg << 8) | (rr << 16);
            }
        }
    }
}

// Draws one run with its top-left cell corner at logical (x, y); answers its width. The run is
// laid out in logical pixels; on a scaled target each glyph is rendered at the target's size
// and placed at its scaled pen position, so text is as sharp as the target allows and takes
// the same room as at scale 1.
int DrawRun(DC& dc, FontFace& face, Layout& layout, int x, int y, const std::u32string& text,
            const std::vector<std::size_t>& underline) {
    const TEXTMETRIC& tm = face.Metrics();
    const int width = layout.Width(text);
    const int s = dc.Scale();
    FontFace& glyphs = face.AtScale(s);
    const POINT o = dc.Offset();
    const int left = x + o.x;
    const int top = y + o.y;
    const int baseline = top + tm.tmAscent;
    const COLORREF colour = dc.GetTextColor();
    auto fill = [&](int l, int t, int r, int b, COLORREF c) {
        detail::FillTargetRect(dc, RECT{l * s, t * s, r * s, b * s}, c);
    };
    if (dc.GetBkMode() == OPAQUE) fill(left, top, left + width, top + tm.tmHeight, dc.GetBkColor());
    int pen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        int next = layout.Advance(c, pen);
        if (c != U'\t' && c != U' ') {
            const FontFace::Glyph& g = glyphs.GetGlyph(c);
            DrawGlyph(dc, g, (left + pen) * s + g.left, baseline * s - g.top, colour);
        }
        if (std::find(underline.begin(), underline.end(), i) != underline.end()) {
            int uy = baseline + face.UnderlineOffset();
            fill(left + pen, uy, left + next, uy + face.UnderlineThickness(), colour);
        }
        pen = next;
    }
    if (tm.tmUnderlined) {
        int uy = baseline + face.UnderlineOffset();
        fill(left, uy, left + width, uy + face.UnderlineThickness(), colour);
    }
    if (tm.tmStruckOut) {
        int sy = baseline + face.StrikeOffset();
        fill(left, sy, left + width, sy + face.StrikeThickness(), colour);
    }
    return width;
}

}  // namespace

bool GetTextMetrics(const DC& dc, TEXTMETRIC& out) {
    const Font& font = dc.CurrentFont();
    if (!dc || !font) return false;
    out = font.Face()->Metrics();
    return true;
}

bool GetTextExtentPoint32(const DC& dc, std::u16string_view text, SIZE& out) {
    const Font& font = dc.CurrentFont();
    if (!dc || !font) return false;
    Layout layout(*font.Face(), 0);
    out = SIZE{layout.Width(Decode(text)), font.Face()->Metrics().tmHeight};
    return true;
}

bool TextOut(DC& dc, int x, int y, std::u16string_view text) {
    const Font& font = dc.CurrentFont();
    if (!dc || !font) return false;
    Layout layout(*font.Face(), 0);
    DrawRun(dc, *font.Face(), layout, x, y, Decode(text), {});
    return true;
}

bool ExtTextOut(DC& dc, int x, int y, UINT options, const RECT* rect, std::u16string_view text) {
    const Font& font = dc.CurrentFont();
    if (!dc || !font) return false;
    std::optional<SavedDC> saved;
    if (rect && (options & ETO_OPAQUE)) FillRect(dc, *rect, Brush::Solid(dc.GetBkColor()));
    if (rect && (options & ETO_CLIPPED)) {
        saved.emplace(dc);
        dc.IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
    }
    Layout layout(*font.Face(), 0);
    DrawRun(dc, *font.Face(), layout, x, y, Decode(text), {});
    return true;
}

int DrawText(DC& dc, std::u16string_view text, RECT& rect, UINT format) {
    const Font& font = dc.CurrentFont();
    if (!dc || !font) return 0;
    FontFace& face = *font.Face();
    Layout layout(face, format);
    const int width = rect.right - rect.left;
    std::vector<Line> lines = Lines(layout, text, width, format);
    const int lineHeight = face.Metrics().tmHeight;
    const int total = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, layout.Width(line.text));
        const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
        rect.right = wrap ? std::max(rect.right, rect.left + widest) : rect.left + widest;
        rect.bottom = rect.top + total;
        return total;
    }

    int y = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            y = rect.top + (rect.bottom - rect.top - total) / 2;
        } else if (format & DT_BOTTOM) {
            y = rect.bottom - total;
        }
    }
    std::optional<SavedDC> saved;
    if (!(format & DT_NOCLIP)) {
        saved.emplace(dc);
        dc.IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom);
    }
    const int top = y;
    for (const Line& line : lines) {
        const int w = layout.Width(line.text);
        int x = rect.left;
        if (format & DT_CENTER) {
            x = rect.left + (width - w) / 2;
        } else if (format & DT_RIGHT) {
            x = rect.right - w;
        }
        DrawRun(dc, face, layout, x, y, line.text, line.underline);
        y += lineHeight;
    }
    if (format & (DT_VCENTER | DT_BOTTOM)) return top - rect.top + total;
    return total;
}

}  // namespace gdi
