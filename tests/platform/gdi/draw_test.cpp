#include "platform/gdi/draw.h"

#include <gtest/gtest.h>

#include "platform/gdi/blit.h"
#include "platform/gdi/icon.h"
#include "tests/platform/gdi/bmpfile.h"

namespace {

using namespace gdi;

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);

struct Canvas {
    Bitmap bitmap;
    DC dc;
    Canvas(int w, int h, COLORREF fill = White) : bitmap(CreateDIBSection32(w, -h)) {
        dc = DC::ForSurface(bitmap, POINT{});
        FillRect(dc, RECT{0, 0, w, h}, CreateSolidBrush(fill));
    }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x)
                n += bitmap.GetPixel(x, y) == c;
        }
        return n;
    }
};

TEST(Lines, EndPointsAreExcluded) {
    Canvas c(10, 10);
    c.dc.SelectObject(CreatePen(PS_SOLID, 1, Red));
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 6, 1);
    EXPECT_EQ(c.bitmap.GetPixel(1, 1), Red);
    EXPECT_EQ(c.bitmap.GetPixel(5, 1), Red);
    EXPECT_EQ(c.bitmap.GetPixel(6, 1), White);
    EXPECT_EQ(c.dc.GetCurrentPosition(), (POINT{6, 1}));
    LineTo(c.dc, 6, 4);  // continues down from the current position
    EXPECT_EQ(c.bitmap.GetPixel(6, 1), Red);
    EXPECT_EQ(c.bitmap.GetPixel(6, 3), Red);
    EXPECT_EQ(c.bitmap.GetPixel(6, 4), White);
    EXPECT_EQ(c.Count(Red), 8);

    Canvas d(10, 10);
    d.dc.SelectObject(CreatePen(PS_SOLID, 1, Red));
    MoveToEx(d.dc, 8, 8, nullptr);
    LineTo(d.dc, 4, 4);  // diagonal, backwards
    EXPECT_EQ(d.Count(Red), 4);
    EXPECT_EQ(d.bitmap.GetPixel(8, 8), Red);
    EXPECT_EQ(d.bitmap.GetPixel(5, 5), Red);
    EXPECT_EQ(d.bitmap.GetPixel(4, 4), White);

    Canvas p(10, 10);
    p.dc.SelectObject(CreatePen(PS_SOLID, 1, Red));
    const POINT corner[] = {{1, 8}, {1, 1}, {8, 1}};
    ASSERT_TRUE(Polyline(p.dc, corner, 3));
    EXPECT_EQ(p.Count(Red), 14);
    EXPECT_EQ(p.bitmap.GetPixel(1, 1), Red);
    EXPECT_EQ(p.bitmap.GetPixel(8, 1), White);
    EXPECT_EQ(p.dc.GetCurrentPosition(), (POINT{0, 0}));
    p.dc.SelectObject(GetStockPen(NULL_PEN));
    LineTo(p.dc, 5, 5);
    EXPECT_EQ(p.Count(Red), 14);
}

TEST(Frames, FrameRectEdgesAndFocusRectangles) {
    Canvas c(6, 5);
    FrameRect(c.dc, RECT{1, 1, 5, 4}, CreateSolidBrush(Red));
    EXPECT_EQ(c.Count(Red), 10);
    EXPECT_EQ(c.bitmap.GetPixel(2, 2), White);
    EXPECT_EQ(c.bitmap.GetPixel(4, 3), Red);

    Canvas e(6, 6);
    RECT r{0, 0, 6, 6};
    DrawEdge(e.dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, (RECT{2, 2, 4, 4}));
    EXPECT_EQ(e.bitmap.GetPixel(0, 3), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(e.bitmap.GetPixel(1, 3), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(e.bitmap.GetPixel(5, 3), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(e.bitmap.GetPixel(4, 3), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(e.bitmap.GetPixel(3, 3), White);
    r = RECT{0, 0, 6, 6};
    DrawEdge(e.dc, r, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(r, (RECT{0, 0, 6, 6}));
    EXPECT_EQ(e.bitmap.GetPixel(3, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(e.bitmap.GetPixel(3, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(e.bitmap.GetPixel(3, 5), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(e.bitmap.GetPixel(3, 4), GetSysColor(COLOR_3DLIGHT));

    Canvas f(8, 8, RGB(10, 200, 30));
    DrawFocusRect(f.dc, RECT{1, 1, 7, 7});
    EXPECT_GT(f.Count(RGB(245, 55, 225)), 0);
    EXPECT_EQ(f.bitmap.GetPixel(3, 3), RGB(10, 200, 30));
    DrawFocusRect(f.dc, RECT{1, 1, 7, 7});
    EXPECT_EQ(f.Count(RGB(10, 200, 30)), 64);
}

TEST(DeviceContext, SaveAndRestoreStateAndSelections) {
    Canvas c(4, 4);
    c.dc.SetTextColor(Red);
    Brush blue = CreateSolidBrush(RGB(0, 0, 255));
    int level = c.dc.SaveDC();
    EXPECT_EQ(level, 1);
    c.dc.SetTextColor(0);
    c.dc.SelectObject(blue);
    c.dc.IntersectClipRect(0, 0, 1, 1);
    c.dc.SetViewportOrg(2, 2);
    ASSERT_TRUE(c.dc.RestoreDC(-1));
    EXPECT_EQ(c.dc.GetTextColor(), Red);
    EXPECT_NE(c.dc.CurrentBrush(), blue);
    RECT box;
    c.dc.GetClipBox(box);
    EXPECT_EQ(box, (RECT{0, 0, 4, 4}));
    EXPECT_EQ(c.dc.GetViewportOrg(), (POINT{0, 0}));
    EXPECT_FALSE(c.dc.RestoreDC(1));
    {
        SavedDC guard(c.dc);
        c.dc.SetBkMode(TRANSPARENT);
    }
    EXPECT_EQ(c.dc.GetBkMode(), OPAQUE);

    // Selecting answers the previous object; bitmaps only go into memory DCs.
    DC memory = CreateCompatibleDC(&c.dc);
    Bitmap a = CreateDIBSection32(2, 2);
    Bitmap first = memory.SelectObject(a);
    EXPECT_TRUE(first.IsMonochrome());
    EXPECT_EQ(memory.SelectObject(first), a);
    EXPECT_FALSE(c.dc.SelectObject(a));
    EXPECT_FALSE(memory.SelectObject(Bitmap()));
    // The viewport origin moves logical coordinates.
    c.dc.SetViewportOrg(1, 2);
    FillRect(c.dc, RECT{0, 0, 1, 1}, CreateSolidBrush(Red));
    EXPECT_EQ(c.bitmap.GetPixel(1, 2), Red);
    EXPECT_EQ(GetPixel(c.dc, 0, 0), Red);
}

// A 4 × 4 icon file: 24-bit image, AND mask transparent on the left half.
std::vector<std::uint8_t> IconFile() {
    std::vector<std::uint8_t> dib;
    gditest::Put32(dib, 40);
    gditest::Put32(dib, 4);
    gditest::Put32(dib, 8);
    gditest::Put16(dib, 1);
    gditest::Put16(dib, 24);
    for (int i = 0; i < 6; ++i)
        gditest::Put32(dib, 0);
    for (int row = 0; row < 4; ++row) {
        for (int x = 0; x < 4; ++x) {
            std::uint32_t c = x < 2 ? 0x000000 : 0x0000FF;  // blue on the right
            dib.push_back(static_cast<std::uint8_t>(c));
            dib.push_back(static_cast<std::uint8_t>(c >> 8));
            dib.push_back(static_cast<std::uint8_t>(c >> 16));
        }
    }
    for (int row = 0; row < 4; ++row)
        gditest::Put32(dib, 0xC0);  // bits 0, 1 set: transparent
    std::vector<std::uint8_t> file;
    gditest::Put16(file, 0);
    gditest::Put16(file, 1);
    gditest::Put16(file, 1);
    file.push_back(4);
    file.push_back(4);
    file.push_back(0);
    file.push_back(0);
    gditest::Put16(file, 1);
    gditest::Put16(file, 24);
    gditest::Put32(file, static_cast<std::uint32_t>(dib.size()));
    gditest::Put32(file, 22);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

TEST(Icons, MaskKeepsTheBackgroundAndImagesScale) {
    auto bytes = IconFile();
    Icon icon = LoadIconFromBytes(bytes, 4, 4);
    ASSERT_TRUE(icon);
    Canvas c(4, 4, Red);
    c.dc.SetTextColor(RGB(0, 255, 0));  // drawing must not depend on the DC's colours
    ASSERT_TRUE(DrawIcon(c.dc, 0, 0, icon));
    EXPECT_EQ(c.bitmap.GetPixel(0, 0), Red);
    EXPECT_EQ(c.bitmap.GetPixel(1, 3), Red);
    EXPECT_EQ(c.bitmap.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(c.bitmap.GetPixel(3, 3), RGB(0, 0, 255));

    Icon big = LoadIconFromBytes(bytes);  // the system size
    ASSERT_TRUE(big);
    EXPECT_EQ(big.Width(), 32);
    Canvas b(32, 32, Red);
    DrawIcon(b.dc, 0, 0, big);
    EXPECT_EQ(b.Count(Red), 16 * 32);

    const shell::Resource table[] = {
        {shell::ResourceType::Icon, 128, shell::LangNeutral, bytes.data(), bytes.size()}};
    shell::ResourceBundle bundle(table);
    EXPECT_TRUE(LoadIcon(bundle, 128, 16, 16));
    EXPECT_FALSE(LoadIcon(bundle, 129));
    auto broken = bytes;
    broken.resize(40);
    EXPECT_FALSE(LoadIconFromBytes(broken));
}

TEST(Icons, DisabledDrawingEmbossesTheDarkShape) {
    Bitmap image = CreateDIBSection32(3, -3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            image.SetPixel(x, y, White);
    }
    image.SetPixel(1, 1, RGB(0, 0, 0));
    Canvas c(5, 5, Red);
    ASSERT_TRUE(DrawState(c.dc, image, 1, 1, 0, 0, DSS_DISABLED));
    EXPECT_EQ(c.bitmap.GetPixel(2, 2), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(c.bitmap.GetPixel(3, 3), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(c.Count(Red), 23);
    Canvas n(5, 5, Red);
    ASSERT_TRUE(DrawState(n.dc, image, 1, 1, 0, 0, DSS_NORMAL));
    EXPECT_EQ(n.Count(White), 8);
}

}  // namespace
