#include <gtest/gtest.h>

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

TEST(Static, NotifyStyleMakesClicksCommandsAndOtherwiseTheMouseGoesThrough) {
    Fixture f;
    Static notifying, plain;
    f.Make(notifying, StaticClass, u"Pro", SS_CENTER | SS_NOTIFY | SS_CENTERIMAGE,
           RECT{10, 10, 200, 40}, 1022);
    f.Make(plain, StaticClass, u"Label", SS_LEFT, RECT{10, 50, 200, 70}, 1034);
    f.Click(notifying, POINT{50, 10});
    f.backend.Click(f.Top(), f.At(notifying, POINT{50, 10}));
    f.backend.Click(f.Top(), f.At(notifying, POINT{50, 10}));
    f.Pump();
    EXPECT_EQ(f.host.log, (Log{"1022:0", "1022:0", "1022:1"}));

    RECT r;
    plain.GetWindowRect(r);
    EXPECT_EQ(f.app.WindowFromPoint(POINT{r.left + 5, r.top + 5}), f.Top());
    notifying.GetWindowRect(r);
    EXPECT_EQ(f.app.WindowFromPoint(POINT{r.left + 5, r.top + 5}), notifying.GetSafeHwnd());
}

TEST(Static, StyleGivesTheTextLayout) {
    EXPECT_EQ(Static::DrawTextFlags(SS_LEFT), gdi::DT_WORDBREAK);
    EXPECT_EQ(Static::DrawTextFlags(SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX),
              gdi::DT_CENTER | gdi::DT_VCENTER | gdi::DT_SINGLELINE | gdi::DT_NOPREFIX);
    EXPECT_EQ(Static::DrawTextFlags(SS_RIGHT | SS_ENDELLIPSIS),
              gdi::DT_RIGHT | gdi::DT_END_ELLIPSIS | gdi::DT_SINGLELINE);
    EXPECT_EQ(Static::DrawTextFlags(SS_LEFTNOWORDWRAP), 0u);
}

TEST(Static, ParentChoosesBrushAndTextColourBeforeItDraws) {
    Fixture f;
    Static label;
    f.Make(label, StaticClass, u"WWWWWWWW", SS_LEFT, RECT{10, 10, 200, 40}, 5);
    f.host.brush = gdi::Brush::Solid(gdi::RGB(10, 20, 30));
    f.host.textColour = gdi::RGB(250, 250, 0);
    label.Invalidate();
    EXPECT_EQ(f.PixelAt(label, POINT{180, 25}), gdi::RGB(10, 20, 30));
    EXPECT_EQ(f.host.colourRequests.back(), WM_CTLCOLORSTATIC);
    // A hollow brush leaves the parent's background under the text.
    f.host.brush = gdi::Brush::Hollow();
    f.host.Invalidate();
    EXPECT_EQ(f.PixelAt(label, POINT{180, 25}), gdi::RGB(240, 240, 240));
}

}  // namespace
