// The about box on the headless backend with the program's resources: shape, skin, labels,
// the Cancel skin, dragging and modality.
#include "app/aboutdlg.h"

#include <gtest/gtest.h>

#include "controls/label.h"
#include "res/bitmaptable.h"
#include "res/controlids.h"
#include "tests/controls/controlstest.h"

namespace {

using namespace controlstest;

// A control of the box, as its class.
template <typename T>
T& Control(const CAboutDlg& about, int id) {
    return *dynamic_cast<T*>(about.GetDlgItemWindow(id));
}

TEST(AboutBox, SkinnedShapedBlueLabelsAndACancelSkinThatCloses) {
    SkinFixture f;
    CAboutDlg about(f.app, &f.host);
    const gdi::Bitmap skin = f.Art(res::AboutSkinBitmap);
    ASSERT_TRUE(skin);
    f.backend.WhenIdle([&] {
        f.app.UpdateAllWindows();
        // The near-black outside (every channel at most 16) lies outside the window.
        gdi::Region shape;
        ASSERT_NE(about.GetWindowRgn(shape), gdi::RGN_ERROR);
        int outside = 0, nearBlackOutside = 0;
        for (int y = 0; y < skin.Height(); y += 3) {
            for (int x = 0; x < skin.Width(); x += 3) {
                const gdi::COLORREF c = skin.GetPixel(x, y);
                const bool key =
                    (c & 0xFF) <= 16 && (c >> 8 & 0xFF) <= 16 && (c >> 16 & 0xFF) <= 16;
                EXPECT_EQ(shape.Contains(x, y), !key) << x << "," << y;
                outside += key ? 1 : 0;
                if (key && (c & 0xFFFFFF) != 0) ++nearBlackOutside;
            }
        }
        EXPECT_GT(outside, 0);
        EXPECT_GT(nearBlackOutside, 0);  // the artwork's anti-aliased rim
        EXPECT_TRUE(f.backend.State(about.GetSafeHwnd()) != nullptr);

        // The labels' looks.
        const CLabel& product = Control<CLabel>(about, ids::AboutTitleLabel);
        EXPECT_EQ(product.TextColour(), CAboutDlg::ProductColour);
        EXPECT_EQ(product.LogFont().lfHeight, -22);
        for (const int id :
             {ids::AboutVersionLabel, ids::AboutNoticeLabel, ids::AboutNoticeSecondLabel}) {
            const CLabel& line = Control<CLabel>(about, id);
            EXPECT_EQ(line.TextColour(), CAboutDlg::LineColour);
            EXPECT_EQ(line.LogFont().lfWeight, 700);
            EXPECT_EQ(line.LogFont().lfHeight, -14);
        }

        // The skin shows behind the labels: the pixel at a label's corner is the skin's.
        POINT corner{0, 0};
        Control<CLabel>(about, ids::AboutTitleLabel).ClientToScreen(corner);
        about.ScreenToClient(corner);
        const gdi::Bitmap shot = f.backend.Screenshot(about.GetSafeHwnd());
        EXPECT_EQ(shot.GetPixel(corner.x + 1, corner.y + 1) & 0xFFFFFF,
                  skin.GetPixel(corner.x + 1, corner.y + 1) & 0xFFFFFF);
        f.Save(about.GetSafeHwnd(), "aboutbox");

        // The Cancel skin: over 285, down 284.
        POINT button{0, 0};
        about.GetDlgItemWindow(IDCANCEL)->ClientToScreen(button);
        about.ScreenToClient(button);
        const POINT on{button.x + 60, button.y + 17};
        f.backend.MouseMove(about.GetSafeHwnd(), on);
    });
    f.backend.WhenIdle([&] {
        f.app.UpdateAllWindows();
        f.Save(about.GetSafeHwnd(), "aboutbox-cancel-over");
        POINT b{0, 0};
        about.GetDlgItemWindow(IDCANCEL)->ClientToScreen(b);
        about.ScreenToClient(b);
        const gdi::Bitmap shot = f.backend.Screenshot(about.GetSafeHwnd());
        const gdi::Bitmap over = f.Art(res::AboutCancelSkin.over);
        EXPECT_EQ(shot.GetPixel(b.x + 60, b.y + 17) & 0xFFFFFF, over.GetPixel(60, 17) & 0xFFFFFF);
        f.backend.MouseDown(about.GetSafeHwnd(), POINT{b.x + 60, b.y + 17});
    });
    f.backend.WhenIdle([&] {
        f.app.UpdateAllWindows();
        f.Save(about.GetSafeHwnd(), "aboutbox-cancel-down");
        POINT b{0, 0};
        about.GetDlgItemWindow(IDCANCEL)->ClientToScreen(b);
        about.ScreenToClient(b);
        const gdi::Bitmap shot = f.backend.Screenshot(about.GetSafeHwnd());
        const gdi::Bitmap down = f.Art(res::AboutCancelSkin.down);
        EXPECT_EQ(shot.GetPixel(b.x + 60, b.y + 17) & 0xFFFFFF, down.GetPixel(60, 17) & 0xFFFFFF);
        f.backend.MouseUp(about.GetSafeHwnd(), POINT{b.x + 60, b.y + 17});
    });
    EXPECT_EQ(about.DoModal(), IDCANCEL);
    EXPECT_FALSE(about.IsWindow());
}

TEST(AboutBox, BlocksTheMainWindowDragsFromALabelAndEscapeCloses) {
    SkinFixture f;
    f.app.SetMainWindow(&f.host);
    Button behind;
    f.Make(behind, ButtonClass, u"Behind", BS_PUSHBUTTON, RECT{5, 5, 60, 30}, 77);
    CAboutDlg about(f.app, &f.host);
    RECT before{};
    f.backend.WhenIdle([&] {
        EXPECT_FALSE(f.host.IsWindowEnabled());
        // A click on the main window does nothing while the box is open.
        f.backend.Click(f.Top(), POINT{20, 15});
    });
    f.backend.WhenIdle([&] {
        EXPECT_TRUE(f.host.log.empty());
        about.GetWindowRect(before);
        // Press on the product label and move: the whole box follows.
        POINT grab{20, 10};
        Control<CLabel>(about, ids::AboutTitleLabel).ClientToScreen(grab);
        about.ScreenToClient(grab);
        f.backend.MouseMove(about.GetSafeHwnd(), grab);
        f.backend.MouseDown(about.GetSafeHwnd(), grab);
        f.backend.MouseMove(about.GetSafeHwnd(), POINT{grab.x + 30, grab.y + 25});
        f.backend.MouseUp(about.GetSafeHwnd(), POINT{grab.x + 30, grab.y + 25});
    });
    f.backend.WhenIdle([&] {
        RECT after;
        about.GetWindowRect(after);
        EXPECT_EQ(after.left - before.left, 30);
        EXPECT_EQ(after.top - before.top, 25);
        f.backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(about.DoModal(), IDCANCEL);
    EXPECT_TRUE(f.host.IsWindowEnabled());
    f.app.SetMainWindow(nullptr);
}

}  // namespace
