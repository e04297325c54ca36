// The skin button on the headless backend, driven by pointer and key input and checked on the
// screen against the program's own artwork.
#include "controls/xskinbutton.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/controls/controlstest.h"

namespace {

using namespace controlstest;

// The Basic category button's artwork: normal 161, down 235, over 160 (126 × 34).
constexpr int BasicNormal = 161, BasicDown = 235, BasicOver = 160;

struct ButtonScene : SkinFixture {
    Button plain;  // the template's button, before the skin class binds to it
    CXSkinButton skin;
    ButtonScene(Style style = BS_PUSHBUTTON, RECT rect = {40, 40, 166, 74}, int id = 1003) {
        Make(plain, ButtonClass, u"Basic", style, rect, id);
        plain.UnsubclassWindow();
        EXPECT_TRUE(skin.SubclassDlgItem(id, host));
    }
    void Move(POINT p) {
        backend.MouseMove(Top(), At(skin, p));
        Pump();
    }
};

TEST(SkinButton, FacesFollowHoverPressAndDragAndOnlyAReleaseOnTheButtonClicks) {
    ButtonScene s;
    s.skin.ApplySkin(BasicNormal, BasicDown, BasicOver, BasicNormal, 0, 0, 0, 0, 0);
    s.skin.SetTip(u"General");
    const gdi::Bitmap normal = s.Art(BasicNormal), down = s.Art(BasicDown), over = s.Art(BasicOver);
    EXPECT_EQ(s.skin.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(s.skin.Kind(), CXSkinButton::ButtonKind::Push);
    EXPECT_TRUE(s.Shows(s.skin, normal));
    s.Save("skinbutton-normal");

    // Hover shows the over face and, after the delay, the tip.
    s.Move(POINT{60, 17});
    EXPECT_TRUE(s.Shows(s.skin, over));
    s.backend.Advance(600);
    s.Pump();
    ASSERT_NE(s.skin.Tip(), nullptr);
    EXPECT_TRUE(s.skin.Tip()->IsShowing());
    EXPECT_EQ(s.skin.Tip()->GetText(s.skin), u"General");
    s.Save("skinbutton-over");

    // Pressed; dragged off the right, the left and the top edge (negative coordinates): the
    // normal face; back on: the pressed face; released outside: no click.
    s.backend.MouseDown(s.Top(), s.At(s.skin, POINT{60, 17}));
    s.Pump();
    EXPECT_FALSE(s.skin.Tip()->IsShowing());
    EXPECT_TRUE(s.Shows(s.skin, down));
    s.Save("skinbutton-down");
    for (const POINT off : {POINT{140, 17}, POINT{-6, 17}, POINT{60, -4}, POINT{-1, -1}}) {
        s.Move(off);
        EXPECT_EQ(s.skin.GetState() & BST_PUSHED, 0u) << off.x << "," << off.y;
        EXPECT_TRUE(s.Shows(s.skin, normal)) << off.x << "," << off.y;
        s.Move(POINT{0, 0});
        EXPECT_TRUE(s.Shows(s.skin, down)) << "back from " << off.x << "," << off.y;
    }
    s.Move(POINT{-6, 17});
    s.backend.MouseUp(s.Top(), s.At(s.skin, POINT{-6, 17}));
    s.Pump();
    EXPECT_TRUE(s.host.log.empty());
    EXPECT_FALSE(s.skin.GetCapture());

    // Back over and released on it: one click, and the over face returns with the next move.
    s.Move(POINT{30, 10});
    s.backend.MouseDown(s.Top(), s.At(s.skin, POINT{30, 10}));
    s.backend.MouseUp(s.Top(), s.At(s.skin, POINT{30, 10}));
    s.Pump();
    EXPECT_EQ(s.host.log, (Log{"1003:0"}));
    s.Move(POINT{31, 10});
    EXPECT_TRUE(s.Shows(s.skin, over));

    // A quick second click counts as a press too.
    s.host.log.clear();
    s.backend.Advance(600);
    s.backend.Click(s.Top(), s.At(s.skin, POINT{30, 10}));
    s.backend.Click(s.Top(), s.At(s.skin, POINT{30, 10}));
    s.Pump();
    EXPECT_EQ(s.host.log, (Log{"1003:0", "1003:0"}));

    // Leaving shows the normal face again.
    s.backend.MouseMove(s.Top(), POINT{380, 280});
    s.Pump();
    EXPECT_TRUE(s.Shows(s.skin, normal));
}

TEST(SkinButton, MissingBitmapsFallBackToNormalOrTheFaceColour) {
    ButtonScene s;
    // No over, focus or disabled bitmap; a down id that is not there.
    s.skin.ApplySkin(BasicNormal, 9999, 0, 0, 0, 0, 0, 0, -3);
    EXPECT_EQ(s.skin.FocusMargin(), 0);
    const gdi::Bitmap normal = s.Art(BasicNormal);
    s.skin.SetFocus();
    s.Move(POINT{60, 17});
    EXPECT_TRUE(s.Shows(s.skin, normal));  // hovered and focused: normal, no focus frame
    s.backend.MouseDown(s.Top(), s.At(s.skin, POINT{60, 17}));
    s.Pump();
    const gdi::COLORREF face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    EXPECT_TRUE(s.Filled(s.skin, RECT{0, 0, 126, 34}, face));
    s.Save("skinbutton-missing-down");
    s.backend.MouseUp(s.Top(), s.At(s.skin, POINT{60, 17}));
    s.Pump();
    s.host.SetFocus();
    s.skin.EnableWindow(false);
    EXPECT_TRUE(s.Shows(s.skin, normal));  // disabled: the normal bitmap again
    s.Save("skinbutton-disabled");

    // No normal bitmap at all: the face colour.
    s.skin.EnableWindow(true);
    s.skin.ApplySkin(0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(s.Filled(s.skin, RECT{0, 0, 126, 34}, face));
}

TEST(SkinButton, CopyNeverReadsOutsideItsBitmapStretchFillsTileRepeats) {
    // The ABOUT link's 65 × 15 artwork on a button twice as large each way.
    ButtonScene s(BS_PUSHBUTTON, RECT{40, 40, 170, 70}, 1041);
    const gdi::Bitmap about = s.Art(306);
    const gdi::COLORREF face = gdi::GetSysColor(gdi::COLOR_BTNFACE);

    s.skin.ApplySkin(306, 296, 297, 306, 0, 0, -1);  // −1 is Copy
    EXPECT_EQ(s.skin.GetDrawMode(), CXSkinButton::Copy);
    EXPECT_TRUE(s.Shows(s.skin, about));
    EXPECT_TRUE(s.Filled(s.skin, RECT{65, 0, 130, 30}, face));
    EXPECT_TRUE(s.Filled(s.skin, RECT{0, 15, 65, 30}, face));
    s.Save("skinbutton-copy-small-bitmap");

    s.skin.ApplySkin(306, 296, 297, 306, 0, 0, 1);
    s.app.UpdateAllWindows();
    const gdi::Bitmap shot = s.backend.Screenshot(s.Top());
    for (const POINT p : {POINT{0, 0}, POINT{64, 14}, POINT{20, 7}, POINT{37, 3}}) {
        const POINT at = s.At(s.skin, POINT{2 * p.x + 1, 2 * p.y + 1});
        EXPECT_EQ(shot.GetPixel(at.x, at.y) & 0xFFFFFF, about.GetPixel(p.x, p.y) & 0xFFFFFF);
    }
    s.Save("skinbutton-stretch");

    s.skin.ApplySkin(306, 296, 297, 306, 0, 0, 5);  // 5 is Tile
    EXPECT_EQ(s.skin.GetDrawMode(), CXSkinButton::Tile);
    EXPECT_TRUE(s.Shows(s.skin, about, POINT{0, 0}));
    EXPECT_TRUE(s.Shows(s.skin, about, POINT{65, 15}));
    s.Save("skinbutton-tile");

    // A larger bitmap is cut at the button's edge.
    ButtonScene small(BS_PUSHBUTTON, RECT{40, 40, 80, 50}, 1041);
    small.skin.ApplySkin(306, 0, 0, 0, 0, 0);
    EXPECT_TRUE(small.Shows(small.skin, about, POINT{0, 0}, POINT{0, 0}, SIZE{40, 10}));
}

TEST(SkinButton, CheckAndRadioKindsKeepTheirOwnState) {
    SkinFixture f;
    Button templ[5];
    CXSkinButton check, a, b, hidden, c;
    const Style radio = BS_AUTORADIOBUTTON;
    f.Make(templ[0], ButtonClass, u"", BS_AUTOCHECKBOX | WS_GROUP, RECT{10, 10, 136, 44}, 1);
    f.Make(templ[1], ButtonClass, u"", radio | WS_GROUP, RECT{10, 50, 136, 84}, 2);
    f.Make(templ[2], ButtonClass, u"", radio, RECT{10, 90, 136, 124}, 3);
    f.Make(templ[3], ButtonClass, u"", radio, RECT{10, 130, 136, 164}, 4);
    f.Make(templ[4], ButtonClass, u"", radio, RECT{10, 170, 136, 204}, 5);
    CXSkinButton* skins[] = {&check, &a, &b, &hidden, &c};
    for (int i = 0; i < 5; ++i) {
        templ[i].UnsubclassWindow();
        ASSERT_TRUE(skins[i]->SubclassDlgItem(i + 1, f.host));
        skins[i]->ApplySkin(BasicNormal, BasicDown, BasicOver, 0, 0, 0);
    }
    EXPECT_EQ(check.Kind(), CXSkinButton::ButtonKind::Check);
    EXPECT_EQ(a.Kind(), CXSkinButton::ButtonKind::Radio);

    // A check button shows the down face while checked; clicks and space invert it.
    f.Click(check, POINT{20, 10});
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    f.backend.MouseMove(f.Top(), POINT{390, 290});
    f.Pump();
    EXPECT_TRUE(f.Shows(check, f.Art(BasicDown)));
    check.SetFocus();
    f.backend.Key(VK_SPACE);
    f.Pump();
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    EXPECT_TRUE(f.Shows(check, f.Art(BasicNormal)));

    // Radio buttons: setting one clears the rest of its group.
    f.Click(a, POINT{20, 10});
    f.Click(c, POINT{20, 10});
    EXPECT_EQ(a.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(c.GetCheck(), BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);  // another group
    b.SetFocus();
    f.backend.Key(VK_SPACE);
    f.Pump();
    EXPECT_EQ(b.GetCheck(), BST_CHECKED);
    EXPECT_EQ(c.GetCheck(), BST_UNCHECKED);

    // From a hidden (or disabled) radio button the group walk never comes back to it: it
    // stops at the first window it has met before instead of going round for ever.
    hidden.ShowWindow(SW_HIDE);
    hidden.SetCheck(BST_CHECKED);
    f.Pump();
    EXPECT_EQ(hidden.GetCheck(), BST_CHECKED);
    EXPECT_EQ(a.GetCheck() | b.GetCheck() | c.GetCheck(), BST_UNCHECKED);
    b.SetCheck(BST_CHECKED);
    f.Pump();
    c.EnableWindow(false);
    c.SetCheck(BST_CHECKED);
    f.Pump();
    EXPECT_EQ(b.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(c.GetCheck(), BST_CHECKED);

    // A push button keeps no check state.
    CXSkinButton push;
    Button plain;
    f.Make(plain, ButtonClass, u"", BS_PUSHBUTTON, RECT{200, 10, 326, 44}, 9);
    plain.UnsubclassWindow();
    push.SubclassDlgItem(9, f.host);
    push.SetCheck(BST_CHECKED);
    EXPECT_EQ(push.GetCheck(), BST_UNCHECKED);

    // The template's button type gives the kind: only the automatic check box and radio button
    // check themselves when clicked; every other type, one that is owner-drawn already
    // included, is a push button.
    using Kind = CXSkinButton::ButtonKind;
    const std::pair<Style, Kind> types[] = {
        {BS_PUSHBUTTON, Kind::Push},       {BS_DEFPUSHBUTTON, Kind::Push},
        {BS_CHECKBOX, Kind::Push},         {BS_AUTOCHECKBOX, Kind::Check},
        {BS_AUTORADIOBUTTON, Kind::Radio}, {BS_OWNERDRAW, Kind::Push},
    };
    int row = 0;
    for (const auto& [type, kind] : types) {
        Button typed;
        CXSkinButton skin;
        const int id = 20 + row;
        f.Make(typed, ButtonClass, u"", type | WS_GROUP,
               RECT{200, 50 + 24 * row, 326, 70 + 24 * row}, id);
        typed.UnsubclassWindow();
        ASSERT_TRUE(skin.SubclassDlgItem(id, f.host)) << type;
        skin.ApplySkin(BasicNormal, BasicDown, BasicOver, 0, 0, 0);
        EXPECT_EQ(skin.Kind(), kind) << type;
        f.Click(skin, POINT{20, 10});
        EXPECT_EQ(skin.GetCheck(), kind == Kind::Push ? BST_UNCHECKED : BST_CHECKED) << type;
        ++row;
    }
}

TEST(SkinButton, MaskShapesTheButtonAndLeavesTheBackgroundInItsWhitePart) {
    // Black left half, white right half, and a white right-most column.
    gdi::Bitmap mask = gdi::CreateDIBSection32(8, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 8; ++x)
            mask.SetPixel(x, y, x < 4 ? 0x000000 : 0xFFFFFF);
    }
    mask.SetPixel(6, 1, 0x000000);
    const std::optional<gdi::Region> outline = MaskRegion(mask, 0xFFFFFF);
    ASSERT_TRUE(outline);
    EXPECT_TRUE(outline->Contains(0, 0));
    EXPECT_TRUE(outline->Contains(3, 2));
    EXPECT_FALSE(outline->Contains(4, 0));
    EXPECT_TRUE(outline->Contains(6, 1));
    EXPECT_FALSE(outline->Contains(7, 1));
    EXPECT_EQ(outline->Bounds(), (RECT{0, 0, 7, 3}));
    EXPECT_FALSE(MaskRegion(gdi::Bitmap{}, 0xFFFFFF));
}

}  // namespace
