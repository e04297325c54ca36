#include "controls/skinregion.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "platform/gdi/blit.h"

namespace {

using gdi::Bitmap;
using gdi::COLORREF;
using gdi::RECT;
using gdi::RGB;

// A bitmap from rows of characters: '.' black, '#' grey, 'w' white, others by the map.
Bitmap FromPicture(const std::vector<std::string>& rows, bool bottomUp = true) {
    int h = static_cast<int>(rows.size());
    int w = static_cast<int>(rows[0].size());
    Bitmap b = gdi::CreateDIBSection32(w, bottomUp ? h : -h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            char c = rows[y][x];
            b.SetPixel(x, y,
                       c == '.'   ? RGB(0, 0, 0)
                       : c == 'w' ? RGB(255, 255, 255)
                                  : RGB(128, 128, 128));
        }
    }
    return b;
}

// The region as the brute-force model expects it: every pixel that is not of the key.
void ExpectExact(const gdi::Region& region, const Bitmap& b,
                 const std::function<bool(COLORREF)>& isKey) {
    for (int y = -1; y <= b.Height(); ++y) {
        for (int x = -1; x <= b.Width(); ++x) {
            bool inside =
                x >= 0 && y >= 0 && x < b.Width() && y < b.Height() && !isKey(b.GetPixel(x, y));
            ASSERT_EQ(gdi::PtInRegion(region, x, y), inside) << x << "," << y;
        }
    }
}

bool IsBlack(COLORREF c) {
    return c == 0;
}

TEST(RegionFromBitmap, HolesAndIslandsAreExactToThePixelWithBothScans) {
    Bitmap b = FromPicture({
        "....######....",
        "..##########..",
        ".####..####.#.",
        ".####..####...",
        "..##########..",
        "....######..#.",
        "#............#",
    });
    for (bool collectOpaque : {false, true}) {
        auto region = RegionFromBitmap(b, 0, collectOpaque, SkinToleranceExact);
        ASSERT_TRUE(region);
        ExpectExact(*region, b, IsBlack);
    }
    EXPECT_EQ(*RegionFromBitmap(b, 0, false, 0), *RegionFromBitmap(b, 0, true, 0));
    // Row order of the source does not matter.
    Bitmap topDown = FromPicture({"..#", "#..", "..."}, false);
    auto region = RegionFromBitmap(topDown, 0, false, 0);
    ASSERT_TRUE(region);
    ExpectExact(*region, topDown, IsBlack);
}

TEST(RegionFromBitmap, ExactBlackAgainstToleranceSixteen) {
    Bitmap b = gdi::CreateDIBSection32(6, 1);
    b.SetPixel(0, 0, RGB(0, 0, 0));
    b.SetPixel(1, 0, RGB(1, 1, 1));
    b.SetPixel(2, 0, RGB(16, 16, 16));
    b.SetPixel(3, 0, RGB(17, 0, 0));
    b.SetPixel(4, 0, RGB(0, 16, 17));
    b.SetPixel(5, 0, RGB(16, 0, 16));
    auto exact = RegionFromBitmap(b, 0, false, SkinToleranceExact);
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->Rects(), (std::vector<RECT>{RECT{1, 0, 6, 1}}));
    auto about = RegionFromBitmap(b, 0, false, SkinToleranceAbout);
    ASSERT_TRUE(about);
    EXPECT_EQ(about->Rects(), (std::vector<RECT>{RECT{3, 0, 5, 1}}));
    // Tolerance byte k applies to byte k of the pixel in memory: byte 0 is blue.
    auto blueOnly = RegionFromBitmap(b, 0, true, 0x000010);
    ASSERT_TRUE(blueOnly);
    EXPECT_FALSE(gdi::PtInRegion(*blueOnly, 0, 0));
    EXPECT_TRUE(gdi::PtInRegion(*blueOnly, 2, 0));
}

TEST(RegionFromBitmap, OtherKeysUseSeventeenAndWhiteCountsDown) {
    Bitmap b = gdi::CreateDIBSection32(5, 1);
    b.SetPixel(0, 0, RGB(100, 100, 100));
    b.SetPixel(1, 0, RGB(117, 83, 100));
    b.SetPixel(2, 0, RGB(118, 100, 100));
    b.SetPixel(3, 0, RGB(100, 82, 100));
    b.SetPixel(4, 0, RGB(255, 255, 255));
    auto grey = RegionFromBitmap(b, RGB(100, 100, 100), false, 0);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->Rects(), (std::vector<RECT>{RECT{2, 0, 5, 1}}));
    b.SetPixel(0, 0, RGB(250, 245, 255));
    auto white = RegionFromBitmap(b, RGB(255, 255, 255), true, 0x0A0A0A);
    ASSERT_TRUE(white);
    EXPECT_EQ(white->Rects(), (std::vector<RECT>{RECT{1, 0, 4, 1}}));
}

TEST(RegionFromBitmap, RunsReachingTheRightEdgeAndSinglePixels) {
    Bitmap b = FromPicture({"..#.##", "#....."});
    for (bool collectOpaque : {false, true}) {
        auto region = RegionFromBitmap(b, 0, collectOpaque, 0);
        ASSERT_TRUE(region);
        EXPECT_EQ(region->Rects(),
                  (std::vector<RECT>{RECT{2, 0, 3, 1}, RECT{4, 0, 6, 1}, RECT{0, 1, 1, 2}}));
    }
}

TEST(RegionFromBitmap, AllKeyNoKeyAndNullBitmaps) {
    Bitmap none = FromPicture({"###", "###"});
    auto full = RegionFromBitmap(none, 0, false, 0);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->Kind(), gdi::SIMPLEREGION);
    EXPECT_EQ(full->Bounds(), (RECT{0, 0, 3, 2}));
    Bitmap all = FromPicture({"...", "..."});
    for (bool collectOpaque : {false, true}) {
        auto empty = RegionFromBitmap(all, 0, collectOpaque, 0);
        ASSERT_TRUE(empty);
        EXPECT_EQ(empty->Kind(), gdi::NULLREGION);
    }
    EXPECT_FALSE(RegionFromBitmap(Bitmap(), 0, false, 0));
}

TEST(RegionFromBitmap, MoreThanOneBatchEqualsTheOnePieceResult) {
    // Alternating pixels: 150 × 50 gives 75 runs a row, 3750 in all for either scan.
    std::mt19937 rng(3);
    Bitmap b = gdi::CreateDIBSection32(150, 50);
    std::vector<RECT> runs;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 150; ++x) {
            bool key = ((x + y) % 2 == 0) || (rng() % 7 == 0);
            b.SetPixel(x, y, key ? 0 : RGB(1 + rng() % 200, 50, 60));
            if (!key) runs.push_back(RECT{x, y, x + 1, y + 1});
        }
    }
    gdi::Region model = gdi::Region::FromRects(runs.data(), runs.size());
    for (bool collectOpaque : {false, true}) {
        auto region = RegionFromBitmap(b, 0, collectOpaque, 0);
        ASSERT_TRUE(region);
        EXPECT_EQ(*region, model) << collectOpaque;
    }
}

TEST(PaintSkinBackground, DrawsTheSkinAtItsOwnSize) {
    Bitmap skin = FromPicture({"#w", "w#"});
    Bitmap frame = gdi::CreateDIBSection32(4, -4);
    gdi::DC target = gdi::DC::ForSurface(frame, gdi::POINT{});
    gdi::FillRect(target, RECT{0, 0, 4, 4}, gdi::CreateSolidBrush(RGB(1, 2, 3)));
    ASSERT_TRUE(PaintSkinBackground(target, skin));
    EXPECT_EQ(frame.GetPixel(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(frame.GetPixel(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(frame.GetPixel(1, 1), RGB(128, 128, 128));
    EXPECT_EQ(frame.GetPixel(2, 2), RGB(1, 2, 3));
    EXPECT_FALSE(PaintSkinBackground(target, Bitmap()));
}

}  // namespace
