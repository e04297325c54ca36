#include "platform/gdi/text.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/blit.h"

namespace {

using namespace gdi;

constexpr COLORREF White = RGB(255, 255, 255);

struct Page {
    Bitmap bitmap;
    DC dc;
    explicit Page(int w = 400, int h = 80) : bitmap(CreateDIBSection32(w, -h)) {
        dc = DC::ForSurface(bitmap, POINT{});
        FillRect(dc, RECT{0, 0, w, h}, CreateSolidBrush(White));
        dc.SetBkMode(TRANSPARENT);
    }
    // Bounding box of every pixel that is not white; empty when there is none.
    RECT Ink() const {
        RECT box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                if (bitmap.GetPixel(x, y) == White) continue;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
        return box.left == INT32_MAX ? RECT{} : box;
    }
    bool SamePixels(const Page& other) const {
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                if (bitmap.GetPixel(x, y) != other.bitmap.GetPixel(x, y)) return false;
            }
        }
        return true;
    }
};

int Extent(DC& dc, std::u16string_view s) {
    SIZE size;
    EXPECT_TRUE(GetTextExtentPoint32(dc, s, size));
    return size.cx;
}

Font Arial(LONG height, LONG weight = FW_NORMAL) {
    Font f = CreateFontSimple(height, weight, u"Arial");
    EXPECT_TRUE(f);
    return f;
}

TEST(Fonts, FacesResolveToTheExpectedFiles) {
    EXPECT_NE(Arial(-15).File().find("LiberationSans-Regular"), std::string::npos);
    EXPECT_NE(Arial(-15, FW_BOLD).File().find("LiberationSans-Bold"), std::string::npos);
    Font dialog = CreateFontSimple(-11, FW_NORMAL, u"MS Sans Serif");
    ASSERT_TRUE(dialog);
    EXPECT_NE(dialog.File().find("Sans"), std::string::npos);
    EXPECT_TRUE(CreateFontIndirect(DefaultGuiLogFont()));
    EXPECT_EQ(AddFontResource(u"arial.ttf"), 1);
    EXPECT_EQ(AddFontResource(u"no-such-font.ttf"), 0);
    EXPECT_EQ(AddFontResource(u""), 0);
}

TEST(Fonts, HeightRuleAndMetrics) {
    Page page;
    page.dc.SelectObject(Arial(-15));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(page.dc, tm));
    // Negative: the character (em) height; the cell adds the internal leading.
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 15);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    page.dc.SelectObject(Arial(20));
    ASSERT_TRUE(GetTextMetrics(page.dc, tm));
    EXPECT_NEAR(tm.tmHeight, 20, 1);  // positive: the cell height
    SIZE size;
    GetTextExtentPoint32(page.dc, u"x", size);
    EXPECT_EQ(size.cy, tm.tmHeight);
    // The measured width of the bold pronunciation text on these machines.
    page.dc.SelectObject(Arial(-15, FW_BOLD));
    EXPECT_EQ(Extent(page.dc, u"Wo ist der Bahnhof?"), 144);
}

TEST(Text, ExtentsAddUpAndBoldIsWider) {
    Page page;
    page.dc.SelectObject(Arial(-15));
    int whole = Extent(page.dc, u"Guten Tag");
    EXPECT_EQ(whole, Extent(page.dc, u"Guten") + Extent(page.dc, u" Tag"));
    EXPECT_EQ(Extent(page.dc, u""), 0);
    page.dc.SelectObject(Arial(-15, FW_BOLD));
    EXPECT_GT(Extent(page.dc, u"Guten Tag"), whole);
    // Characters outside the basic plane and lone surrogates do not break measuring.
    EXPECT_GT(Extent(page.dc, u"\U0001F600 \xD800x"), 0);
}

TEST(Text, TextOutInksInTheTextColourAndOpaqueFillsTheCell) {
    Page page;
    page.dc.SelectObject(Arial(-15));
    page.dc.SetTextColor(RGB(0, 0, 255));
    ASSERT_TRUE(TextOut(page.dc, 10, 5, u"Hallo"));
    RECT ink = page.Ink();
    ASSERT_FALSE(IsRectEmpty(ink));
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 10 + Extent(page.dc, u"Hallo") + 1);
    bool solid = false;
    for (int y = ink.top; y < ink.bottom; ++y) {
        for (int x = ink.left; x < ink.right; ++x) {
            COLORREF c = page.bitmap.GetPixel(x, y);
            EXPECT_EQ(GetBValue(c), 255);  // only blends of white and blue
            EXPECT_EQ(GetRValue(c), GetGValue(c));
            solid |= c == RGB(0, 0, 255);
        }
    }
    EXPECT_TRUE(solid);

    Page opaque;
    opaque.dc.SelectObject(Arial(-15));
    opaque.dc.SetBkMode(OPAQUE);
    opaque.dc.SetBkColor(RGB(255, 0, 0));
    TextOut(opaque.dc, 3, 4, u"Hi");
    TEXTMETRIC tm;
    GetTextMetrics(opaque.dc, tm);
    EXPECT_EQ(opaque.Ink(), (RECT{3, 4, 3 + Extent(opaque.dc, u"Hi"), 4 + tm.tmHeight}));
}

TEST(DrawText, AlignmentFollowsTheMeasuredExtent) {
    const std::u16string text = u"Wo ist der Bahnhof?";
    const RECT box{20, 10, 320, 70};
    Page left, centre, right;
    for (Page* p : {&left, &centre, &right})
        p->dc.SelectObject(Arial(-15, FW_BOLD));
    const int w = Extent(left.dc, text);
    TEXTMETRIC tm;
    GetTextMetrics(left.dc, tm);
    RECT r = box;
    DrawText(left.dc, text, r, DT_LEFT | DT_SINGLELINE);
    r = box;
    int h = DrawText(centre.dc, text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    r = box;
    DrawText(right.dc, text, r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    RECT a = left.Ink(), b = centre.Ink(), c = right.Ink();
    const int free = box.right - box.left - w;
    EXPECT_EQ(b.left - a.left, free / 2);
    EXPECT_EQ(c.left - a.left, free);
    const int vfree = box.bottom - box.top - tm.tmHeight;
    EXPECT_EQ(b.top - a.top, vfree / 2);
    EXPECT_EQ(c.top - a.top, vfree);
    EXPECT_EQ(h, vfree / 2 + tm.tmHeight);
    EXPECT_GE(a.left, box.left);
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
    Page page;
    page.dc.SelectObject(Arial(-15));
    TEXTMETRIC tm;
    GetTextMetrics(page.dc, tm);
    RECT r{5, 5, 6, 6};
    int h = DrawText(page.dc, u"Guten Morgen", r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(h, tm.tmHeight);
    EXPECT_EQ(r, (RECT{5, 5, 5 + Extent(page.dc, u"Guten Morgen"), 5 + tm.tmHeight}));
    EXPECT_TRUE(IsRectEmpty(page.Ink()));

    // Word breaking: every line fits, except a word that is wider on its own.
    const int width = Extent(page.dc, u"Guten Morgen") + 2;
    r = RECT{0, 0, width, 0};
    h = DrawText(page.dc, u"Guten Morgen, wie geht es Ihnen heute?", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h % tm.tmHeight, 0);
    EXPECT_GE(h / tm.tmHeight, 3);
    EXPECT_EQ(r.right, width);
    r = RECT{0, 0, 10, 0};
    h = DrawText(page.dc, u"Bahnhofsgaststätte ja", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 2 * tm.tmHeight);
    EXPECT_EQ(r.right, Extent(page.dc, u"Bahnhofsgaststätte"));
    // Explicit line ends count unless single-line.
    r = RECT{0, 0, 300, 0};
    EXPECT_EQ(DrawText(page.dc, u"a\r\nb\nc", r, DT_CALCRECT), 3 * tm.tmHeight);
    r = RECT{0, 0, 300, 0};
    EXPECT_EQ(DrawText(page.dc, u"a\r\nb", r, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
}

TEST(DrawText, PrefixesUnderlineAndNoPrefixKeepsTheAmpersand) {
    Page page;
    page.dc.SelectObject(Arial(-15));
    RECT r{0, 0, 300, 0};
    DrawText(page.dc, u"&File && more", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, Extent(page.dc, u"File & more"));
    r = RECT{0, 0, 300, 0};
    DrawText(page.dc, u"&File", r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.right, Extent(page.dc, u"&File"));

    Page plain, marked;
    plain.dc.SelectObject(Arial(-15));
    marked.dc.SelectObject(Arial(-15));
    r = RECT{0, 0, 300, 40};
    DrawText(plain.dc, u"File", r, DT_SINGLELINE);
    r = RECT{0, 0, 300, 40};
    DrawText(marked.dc, u"&File", r, DT_SINGLELINE);
    EXPECT_GT(marked.Ink().bottom, plain.Ink().bottom);  // the underline below the baseline
}

// Draws `expected` plainly and `text` with the ellipsis flag in the same box: same pixels.
void ExpectEllipsis(std::u16string_view text, UINT flag, int width,
                    const std::function<std::u16string(DC&)>& expected) {
    Page cut, model;
    cut.dc.SelectObject(Arial(-15));
    model.dc.SelectObject(Arial(-15));
    RECT r{10, 10, 10 + width, 40};
    DrawText(cut.dc, text, r, DT_SINGLELINE | DT_NOPREFIX | flag);
    std::u16string want = expected(model.dc);
    r = RECT{10, 10, 10 + width, 40};
    DrawText(model.dc, want, r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_TRUE(cut.SamePixels(model)) << std::string(want.begin(), want.end());
    EXPECT_LE(Extent(model.dc, want), width);
    EXPECT_LE(cut.Ink().right, 10 + width);
}

TEST(DrawText, EllipsesKeepAsMuchAsFits) {
    const std::u16string text = u"Entschuldigung, wo ist die Toilette?";
    for (UINT flag : {DT_END_ELLIPSIS, DT_WORD_ELLIPSIS}) {
        ExpectEllipsis(text, flag, 120, [&](DC& dc) {
            std::size_t keep = text.size();
            while (keep > 0 && Extent(dc, text.substr(0, keep) + u"...") > 120)
                --keep;
            return text.substr(0, keep) + u"...";
        });
    }
    const std::u16string path = u"C:\\Programme\\Tolkara\\German\\Help.chm";
    ExpectEllipsis(path, DT_PATH_ELLIPSIS, 150, [&](DC& dc) {
        std::u16string tail = u"\\Help.chm";
        std::size_t keep = path.size() - tail.size();
        while (keep > 0 && Extent(dc, path.substr(0, keep) + u"..." + tail) > 150)
            --keep;
        return path.substr(0, keep) + u"..." + tail;
    });
    // Text that fits is left alone.
    ExpectEllipsis(u"Ja", DT_END_ELLIPSIS, 120, [](DC&) { return u"Ja"; });
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip) {
    Page clipped, free;
    clipped.dc.SelectObject(Arial(-15));
    free.dc.SelectObject(Arial(-15));
    RECT r{10, 10, 40, 30};
    DrawText(clipped.dc, u"Wo ist der Bahnhof?", r, DT_SINGLELINE);
    EXPECT_LE(clipped.Ink().right, 40);
    r = RECT{10, 10, 40, 30};
    DrawText(free.dc, u"Wo ist der Bahnhof?", r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(free.Ink().right, 40);
    // The DC's own clip is restored afterwards.
    RECT box;
    clipped.dc.GetClipBox(box);
    EXPECT_EQ(box, (RECT{0, 0, 400, 80}));
}

}  // namespace

namespace {

TEST(Fonts, StockFontMulDivAndExtTextOut) {
    using namespace gdi;
    Font gui = GetStockFont(DEFAULT_GUI_FONT);
    LOGFONT lf;
    ASSERT_TRUE(GetObject(gui, lf));
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_FALSE(GetStockFont(0));
    // The list font: 13 points at 96 pixels per inch.
    EXPECT_EQ(MulDiv(13, 96, 72), 17);
    EXPECT_EQ(MulDiv(-7, 3, 2), -11);  // -10.5 rounds away from zero
    EXPECT_EQ(MulDiv(1, 2, 0), -1);

    Page page;
    page.dc.SelectObject(Arial(-15));
    page.dc.SetBkColor(RGB(0, 255, 0));
    RECT box{10, 10, 30, 40};
    ExtTextOut(page.dc, 12, 12, ETO_OPAQUE | ETO_CLIPPED, &box, u"Wo ist der Bahnhof?");
    EXPECT_EQ(page.Ink(), box);
    EXPECT_EQ(page.bitmap.GetPixel(10, 39), RGB(0, 255, 0));
}

}  // namespace

namespace {

TEST(Fonts, UnderlineStrikeOutItalicAndExtremeHeights) {
    using namespace gdi;
    auto inkOf = [](const Font& font) {
        Page page;
        page.dc.SelectObject(font);
        TextOut(page.dc, 10, 10, u"ace");
        return page.Ink();
    };
    RECT plain = inkOf(CreateFontSimple(-15, FW_NORMAL, u"Arial"));
    RECT under = inkOf(CreateFontSimple(-15, FW_NORMAL, u"Arial", false, true));
    EXPECT_GT(under.bottom, plain.bottom);
    Page struck, normal;
    struck.dc.SelectObject(CreateFontSimple(-15, FW_NORMAL, u"Arial", false, false, true));
    normal.dc.SelectObject(CreateFontSimple(-15, FW_NORMAL, u"Arial"));
    TextOut(struck.dc, 10, 10, u"ace");
    TextOut(normal.dc, 10, 10, u"ace");
    EXPECT_FALSE(struck.SamePixels(normal));
    EXPECT_EQ(struck.Ink().bottom,
              normal.Ink().bottom);  // the stroke lies inside the letters' height
    Font italic = CreateFontSimple(-15, FW_NORMAL, u"Arial", true);
    ASSERT_TRUE(italic);
    EXPECT_NE(italic.File(), normal.dc.CurrentFont().File());
    Page slanted;
    slanted.dc.SelectObject(italic);
    TextOut(slanted.dc, 10, 10, u"ace");
    EXPECT_FALSE(slanted.SamePixels(normal));
    // Absurd heights neither fail nor overflow.
    EXPECT_TRUE(CreateFontSimple(INT32_MIN, FW_NORMAL, u"Arial"));
    EXPECT_TRUE(CreateFontSimple(INT32_MAX, FW_NORMAL, u"Arial"));
}

}  // namespace
