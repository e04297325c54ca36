#include <gtest/gtest.h>

#include <numeric>
#include <optional>
#include <vector>

#include "controls/skinregion.h"
#include "platform/gdi/bmp.h"
#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/layout.h"
#include "res/programresources.h"

namespace {

// Number of pieces of a region whose rectangles touch along an edge (4-connectivity).
int Pieces(const gdi::Region& region) {
    const std::vector<gdi::RECT>& rects = region.Rects();
    std::vector<std::size_t> parent(rects.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](std::size_t i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    for (std::size_t i = 0; i < rects.size(); ++i)
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            const gdi::RECT& a = rects[i];
            const gdi::RECT& b = rects[j];
            bool stacked =
                (a.bottom == b.top || b.bottom == a.top) && a.left < b.right && b.left < a.right;
            bool sideBySide =
                a.top < b.bottom && b.top < a.bottom && (a.right == b.left || b.right == a.left);
            if (stacked || sideBySide) parent[find(i)] = find(j);
        }
    int pieces = 0;
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (find(i) == i) ++pieces;
    return pieces;
}

void CheckWindowRegion(int skinId, gdi::COLORREF tolerance, const ui::DialogTemplate& dialog) {
    gdi::Bitmap skin = gdi::LoadBitmap(res::ProgramResources(), skinId);
    ASSERT_TRUE(skin);
    std::optional<gdi::Region> region = RegionFromBitmap(skin, 0x000000, false, tolerance);
    ASSERT_TRUE(region.has_value());
    ASSERT_FALSE(region->IsEmpty());
    EXPECT_EQ(Pieces(*region), 1) << "the window is one shape";

    res::PixelRect window = res::DialogPixels(dialog);
    gdi::RECT bounds = region->Bounds();
    EXPECT_GE(bounds.left, 0);
    EXPECT_GE(bounds.top, 0);
    EXPECT_LE(bounds.right, window.right) << "the body lies within the dialog";
    EXPECT_LE(bounds.bottom, window.bottom);

    for (const ui::DialogItemTemplate& item : dialog.items) {
        if (!(item.style & ui::WS_VISIBLE)) continue;
        res::PixelRect r = res::ItemPixels(item);
        gdi::Region control = gdi::CreateRectRgn(r.left, r.top, r.right, r.bottom);
        gdi::Region inside;
        gdi::CombineRgn(inside, *region, control, gdi::RGN_AND);
        EXPECT_TRUE(gdi::EqualRgn(inside, control)) << "control " << item.id << " is cut";
    }
}

TEST(WindowRegion, MainSkinGivesOneShapeHoldingEveryVisibleControl) {
    CheckWindowRegion(res::MainSkinBitmap, SkinToleranceExact, res::MainDialog);
}

TEST(WindowRegion, AboutSkinGivesOneShapeHoldingEveryControl) {
    CheckWindowRegion(res::AboutSkinBitmap, SkinToleranceAbout, res::AboutDialog);
}

}  // namespace
