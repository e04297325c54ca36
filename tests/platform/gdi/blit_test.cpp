#include "platform/gdi/blit.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/gdi/png.h"

namespace {

using namespace gdi;

// A memory DC with a fresh colour bitmap of the given size selected.
struct Canvas {
    Bitmap bitmap;
    DC dc;
    Canvas(int w, int h, bool mono = false)
        : bitmap(mono ? CreateBitmap(w, h, 1, 1) : CreateDIBSection32(w, -h)), dc(DC::Memory()) {
        dc.SelectObject(bitmap);
    }
};

TEST(Blit, RasterOperationTruthTablesOnColour) {
    struct Case {
        DWORD rop;
        std::function<std::uint32_t(std::uint32_t, std::uint32_t, std::uint32_t)> f;  // P, S, D
    };
    const Case cases[] = {
        {SRCCOPY, [](auto, auto s, auto) { return s; }},
        {SRCPAINT, [](auto, auto s, auto d) { return s | d; }},
        {SRCAND, [](auto, auto s, auto d) { return s & d; }},
        {SRCINVERT, [](auto, auto s, auto d) { return s ^ d; }},
        {SRCERASE, [](auto, auto s, auto d) { return s & ~d; }},
        {NOTSRCCOPY, [](auto, auto s, auto) { return ~s; }},
        {NOTSRCERASE, [](auto, auto s, auto d) { return ~(s | d); }},
        {MERGECOPY, [](auto p, auto s, auto) { return p & s; }},
        {MERGEPAINT, [](auto, auto s, auto d) { return ~s | d; }},
        {PATCOPY, [](auto p, auto, auto) { return p; }},
        {PATPAINT, [](auto p, auto s, auto d) { return p | ~s | d; }},
        {PATINVERT, [](auto p, auto, auto d) { return p ^ d; }},
        {DSTINVERT, [](auto, auto, auto d) { return ~d; }},
        {BLACKNESS, [](auto, auto, auto) { return 0u; }},
        {WHITENESS, [](auto, auto, auto) { return ~0u; }},
        {PSDPxax, [](auto p, auto s, auto d) { return (p & ~s) | (d & s); }},
    };
    std::mt19937 rng(7);
    const int w = 16;
    for (const Case& c : cases) {
        Canvas src(w, 1);
        Canvas dst(w, 1);
        std::vector<std::uint32_t> before(w);
        for (int x = 0; x < w; ++x) {
            src.bitmap.Row(0)[x] = rng() & 0xFFFFFF;
            before[x] = dst.bitmap.Row(0)[x] = rng() & 0xFFFFFF;
        }
        COLORREF brush = rng() & 0xFFFFFF;
        dst.dc.SelectObject(CreateSolidBrush(brush));
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, w, 1, &src.dc, 0, 0, c.rop));
        for (int x = 0; x < w; ++x) {
            std::uint32_t want =
                c.f(PixelFromColor(brush), src.bitmap.Row(0)[x], before[x]) & 0xFFFFFF;
            EXPECT_EQ(dst.bitmap.Row(0)[x] & 0xFFFFFF, want) << std::hex << c.rop << " x " << x;
        }
    }
}

TEST(Blit, MonochromeSourceTakesTheTargetsTextAndBackgroundColours) {
    Canvas mask(4, 1, true);
    mask.bitmap.SetPixel(1, 0, RGB(255, 255, 255));
    mask.bitmap.SetPixel(3, 0, RGB(255, 255, 255));
    Canvas dst(4, 1);
    dst.dc.SetTextColor(RGB(255, 0, 0));
    dst.dc.SetBkColor(RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 1, &mask.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.bitmap.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dst.bitmap.GetPixel(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(dst.bitmap.GetPixel(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(dst.bitmap.GetPixel(3, 0), RGB(0, 0, 255));
}

TEST(Blit, ColourSourceOnMonochromeIsWhiteWhereItMatchesTheSourceBackground) {
    Canvas src(4, 1);
    src.bitmap.SetPixel(0, 0, RGB(0, 255, 0));
    src.bitmap.SetPixel(1, 0, RGB(0, 254, 0));
    src.bitmap.SetPixel(2, 0, RGB(0, 255, 0));
    src.bitmap.SetPixel(3, 0, RGB(255, 255, 255));
    src.dc.SetBkColor(RGB(0, 255, 0));
    Canvas mono(4, 1, true);
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 4, 1, &src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(mono.bitmap.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(mono.bitmap.GetPixel(1, 0), 0u);
    EXPECT_EQ(mono.bitmap.GetPixel(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(mono.bitmap.GetPixel(3, 0), 0u);
    // A compatible bitmap of a fresh memory DC is monochrome, of a colour target colour.
    DC fresh = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(CreateCompatibleBitmap(&fresh, 2, 2).IsMonochrome());
    EXPECT_FALSE(CreateCompatibleBitmap(&src.dc, 2, 2).IsMonochrome());
}

TEST(Blit, SkinButtonMaskCompositionAndTransparentBitmapDrawing) {
    const COLORREF bg = RGB(10, 20, 30);
    const COLORREF skin = RGB(200, 100, 50);
    // Invert, and-mask, invert: black mask pixels show the skin, white ones the background.
    Canvas target(2, 1);
    target.bitmap.SetPixel(0, 0, bg);
    target.bitmap.SetPixel(1, 0, bg);
    Canvas face(2, 1);
    face.bitmap.SetPixel(0, 0, skin);
    face.bitmap.SetPixel(1, 0, skin);
    Canvas mask(2, 1);
    mask.bitmap.SetPixel(0, 0, RGB(0, 0, 0));
    mask.bitmap.SetPixel(1, 0, RGB(255, 255, 255));
    BitBlt(target.dc, 0, 0, 2, 1, &face.dc, 0, 0, SRCINVERT);
    BitBlt(target.dc, 0, 0, 2, 1, &mask.dc, 0, 0, SRCAND);
    BitBlt(target.dc, 0, 0, 2, 1, &face.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(target.bitmap.GetPixel(0, 0), skin);
    EXPECT_EQ(target.bitmap.GetPixel(1, 0), bg);

    // A monochrome mask made from the transparent colour, the image's transparent pixels
    // blacked out, then mask SRCAND and image SRCPAINT with a white background colour.
    const COLORREF key = RGB(255, 0, 255);
    Canvas image(3, 1);
    image.bitmap.SetPixel(0, 0, key);
    image.bitmap.SetPixel(1, 0, skin);
    image.bitmap.SetPixel(2, 0, key);
    Canvas monoMask(3, 1, true);
    image.dc.SetBkColor(key);
    BitBlt(monoMask.dc, 0, 0, 3, 1, &image.dc, 0, 0, SRCCOPY);
    image.dc.SetTextColor(RGB(255, 255, 255));
    image.dc.SetBkColor(RGB(0, 0, 0));
    BitBlt(image.dc, 0, 0, 3, 1, &monoMask.dc, 0, 0, SRCAND);  // the mask inverted by colours
    EXPECT_EQ(image.bitmap.GetPixel(0, 0), 0u);
    EXPECT_EQ(image.bitmap.GetPixel(1, 0), skin);
    Canvas out(3, 1);
    for (int x = 0; x < 3; ++x)
        out.bitmap.SetPixel(x, 0, bg);
    out.dc.SetBkColor(RGB(255, 255, 255));
    out.dc.SetTextColor(RGB(0, 0, 0));
    BitBlt(out.dc, 0, 0, 3, 1, &monoMask.dc, 0, 0, SRCAND);
    BitBlt(out.dc, 0, 0, 3, 1, &image.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(out.bitmap.GetPixel(0, 0), bg);
    EXPECT_EQ(out.bitmap.GetPixel(1, 0), skin);
    EXPECT_EQ(out.bitmap.GetPixel(2, 0), bg);
}

TEST(Blit, OriginClipAndPatternBrushAlignment) {
    Bitmap frame = CreateDIBSection32(20, -20);
    Region visible(RECT{5, 5, 15, 15});
    DC child = DC::ForSurface(frame, POINT{10, 10}, visible);
    ASSERT_TRUE(FillRect(child, RECT{-10, -10, 30, 30}, CreateSolidBrush(RGB(255, 0, 0))));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 5 && x < 15 && y >= 5 && y < 15;
            EXPECT_EQ(frame.GetPixel(x, y), inside ? RGB(255, 0, 0) : 0u) << x << "," << y;
        }
    }
    // A clip region in the child's coordinates narrows further.
    Region clip(RECT{0, 0, 2, 1});
    child.SelectClipRgn(&clip);
    FillRect(child, RECT{0, 0, 5, 5}, CreateSolidBrush(RGB(0, 255, 0)));
    EXPECT_EQ(frame.GetPixel(10, 10), RGB(0, 255, 0));
    EXPECT_EQ(frame.GetPixel(11, 10), RGB(0, 255, 0));
    EXPECT_EQ(frame.GetPixel(12, 10), RGB(255, 0, 0));
    EXPECT_EQ(frame.GetPixel(10, 11), RGB(255, 0, 0));
    child.SelectClipRgn(nullptr);

    // A pattern starts at the child's own origin, whatever the viewport offset.
    Bitmap pattern = CreateDIBSection32(2, -2);
    pattern.SetPixel(0, 0, RGB(1, 1, 1));
    pattern.SetPixel(1, 0, RGB(2, 2, 2));
    pattern.SetPixel(0, 1, RGB(3, 3, 3));
    pattern.SetPixel(1, 1, RGB(4, 4, 4));
    Brush tiles = CreatePatternBrush(pattern);
    pattern.SetPixel(0, 0, RGB(9, 9, 9));  // the brush keeps its own copy
    FillRect(child, RECT{0, 0, 5, 5}, tiles);
    EXPECT_EQ(frame.GetPixel(10, 10), RGB(1, 1, 1));
    EXPECT_EQ(frame.GetPixel(11, 10), RGB(2, 2, 2));
    EXPECT_EQ(frame.GetPixel(10, 11), RGB(3, 3, 3));
    EXPECT_EQ(frame.GetPixel(13, 13), RGB(4, 4, 4));
    EXPECT_TRUE(RectVisible(child, RECT{4, 4, 6, 6}));
    EXPECT_FALSE(RectVisible(child, RECT{5, 0, 9, 9}));
    Region two;
    CombineRgn(two, Region(RECT{0, 0, 1, 1}), Region(RECT{2, 2, 3, 3}), RGN_OR);
    FillRgn(child, two, CreateSolidBrush(RGB(7, 7, 7)));
    EXPECT_EQ(frame.GetPixel(10, 10), RGB(7, 7, 7));
    EXPECT_EQ(frame.GetPixel(12, 12), RGB(7, 7, 7));
    EXPECT_EQ(frame.GetPixel(11, 11), RGB(4, 4, 4));
    FillRect(child, RECT{0, 0, 5, 5}, tiles);
    // Hollow fills nothing; a null brush fails.
    EXPECT_TRUE(FillRect(child, RECT{0, 0, 5, 5}, GetStockBrush(HOLLOW_BRUSH)));
    EXPECT_FALSE(FillRect(child, RECT{0, 0, 5, 5}, Brush()));
    EXPECT_EQ(frame.GetPixel(10, 10), RGB(1, 1, 1));
}

TEST(Blit, StretchScalesMirrorsAndSourceOutsideIsNotDrawn) {
    Canvas src(2, 1);
    src.bitmap.SetPixel(0, 0, RGB(255, 0, 0));
    src.bitmap.SetPixel(1, 0, RGB(0, 0, 255));
    Canvas dst(4, 2);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 2, &src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.bitmap.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.bitmap.GetPixel(2, 0), RGB(0, 0, 255));
    ASSERT_TRUE(StretchBlt(dst.dc, 3, 0, -4, 1, &src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.bitmap.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dst.bitmap.GetPixel(3, 0), RGB(255, 0, 0));

    Canvas white(4, 1);
    PatBlt(white.dc, 0, 0, 4, 1, WHITENESS);
    ASSERT_TRUE(BitBlt(white.dc, 0, 0, 4, 1, &src.dc, -1, 0, SRCCOPY));
    EXPECT_EQ(white.bitmap.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(white.bitmap.GetPixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(white.bitmap.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(white.bitmap.GetPixel(3, 0), RGB(255, 255, 255));
    EXPECT_FALSE(BitBlt(white.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

TEST(Blit, OverlappingCopyWithinOneBitmapMovesThePicture) {
    Canvas c(3, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 3; ++x)
            c.bitmap.SetPixel(x, y, RGB(x, y, 0));
    }
    BitBlt(c.dc, 0, 1, 3, 3, &c.dc, 0, 0, SRCCOPY);  // down by one
    for (int y = 1; y < 4; ++y)
        EXPECT_EQ(c.bitmap.GetPixel(2, y), RGB(2, y - 1, 0));
    BitBlt(c.dc, 1, 0, 2, 4, &c.dc, 0, 0, SRCCOPY);  // right by one
    EXPECT_EQ(c.bitmap.GetPixel(2, 3), RGB(1, 2, 0));
}

TEST(Png, SavedImageReadsBackExactly) {
    Canvas c(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            c.bitmap.SetPixel(x, y, RGB(x * 50, y * 80, 7));
    }
    std::string path = ::testing::TempDir() + "gdi_png_test.png";
    ASSERT_TRUE(SavePng(c.bitmap, path));
    Bitmap back = LoadPng(path);
    ASSERT_TRUE(back);
    ASSERT_EQ(back.Width(), 5);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.GetPixel(x, y), c.bitmap.GetPixel(x, y));
    }
    EXPECT_FALSE(SavePng(Bitmap(), path));
    EXPECT_FALSE(SavePng(c.bitmap, "/nonexistent-dir/x.png"));
}

}  // namespace

namespace {

// A DC on a target at scale 2: logical drawing lands on 2 × 2 blocks, a colour copy is
// enlarged smoothly within its source rectangle, a mask and its image stay in register,
// clipping and pixels read back in logical units.
TEST(Blit, ScaledTargetDrawsLogicalPixelsAsBlocksAndEnlargesCopiesSmoothly) {
    Bitmap frame = CreateScaledDIBSection32(8, 4, 2);
    ASSERT_EQ(frame.Width(), 16);
    ASSERT_EQ(frame.Scale(), 2);
    DC dc = DC::ForSurface(frame, POINT{1, 0}, Region(RECT{0, 0, 8, 4}));
    ASSERT_EQ(dc.Scale(), 2);
    RECT box;
    dc.IntersectClipRect(0, 0, 6, 3);
    EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 6, 3}));
    FillRect(dc, RECT{0, 0, 1, 1}, Brush::Solid(RGB(255, 0, 0)));
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x)
            EXPECT_EQ(frame.GetPixel(x, y), RGB(255, 0, 0)) << x << "," << y;
    EXPECT_EQ(frame.GetPixel(1, 0), 0u);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));

    // Two pixels, black and white, then a red one that is not part of the copy.
    Canvas source(3, 1);
    source.bitmap.SetPixel(1, 0, RGB(255, 255, 255));
    source.bitmap.SetPixel(2, 0, RGB(255, 0, 0));
    BitBlt(dc, 1, 1, 2, 1, &source.dc, 0, 0, SRCCOPY);
    const int row = 2;  // device row of logical row 1
    const COLORREF expected[] = {0, RGB(64, 64, 64), RGB(191, 191, 191), RGB(255, 255, 255)};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(frame.GetPixel(4 + i, row), expected[i]) << i;
    // Outside the clip (logical column 6 is device 14) nothing lands.
    BitBlt(dc, 5, 0, 2, 1, &source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(frame.GetPixel(14, 0), 0u);

    // SRCAND repeats pixels: the white mask pixel keeps exactly its block.
    FillRect(dc, RECT{0, 2, 4, 3}, Brush::Solid(RGB(0, 0, 255)));
    BitBlt(dc, 0, 2, 2, 1, &source.dc, 0, 0, SRCAND);
    EXPECT_EQ(frame.GetPixel(3, 4), 0u);
    EXPECT_EQ(frame.GetPixel(4, 5), RGB(0, 0, 255));
    EXPECT_EQ(frame.GetPixel(5, 5), RGB(0, 0, 255));
}

}  // namespace
