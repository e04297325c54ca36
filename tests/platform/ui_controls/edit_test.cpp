#include <gtest/gtest.h>

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

struct EditScene : Fixture {
    Edit edit;
    EditScene() {
        Make(edit, EditClass, u"", WS_BORDER | WS_TABSTOP, RECT{10, 10, 250, 34}, 1020);
        edit.SetFocus();
        Pump();
        host.log.clear();
    }
    void Keys(std::initializer_list<UINT> keys) {
        for (const UINT k : keys)
            backend.Key(k);
        Pump();
    }
    void Chord(UINT modifier, UINT key) {
        backend.KeyDown(modifier);
        backend.Key(key);
        backend.KeyUp(modifier);
        Pump();
    }
};

TEST(Edit, TypedTextComposedCharactersAndChangeNotifications) {
    EditScene s;
    s.backend.Text(u"Grüße €");
    s.Pump();
    EXPECT_EQ(s.edit.GetWindowText(), u"Grüße €");
    EXPECT_EQ(s.host.log.size(), 7u);  // one EN_CHANGE per character
    EXPECT_EQ(s.host.log.front(), "1020:768");
    s.host.log.clear();
    s.Keys({VK_BACK, VK_HOME, VK_DELETE});
    EXPECT_EQ(s.edit.GetWindowText(), u"rüße ");
    EXPECT_EQ(s.host.log.size(), 2u);
    // Setting the text reports a change too; reading it back gives it whole.
    s.host.log.clear();
    s.edit.SetWindowText(u"Bahnhof");
    EXPECT_EQ(s.host.log, (Log{"1020:768"}));
    EXPECT_EQ(s.edit.GetWindowTextLength(), 7);
}

TEST(Edit, SelectionByKeysAndMouseAndTheClipboard) {
    EditScene s;
    s.edit.SetWindowText(u"where is the station");
    s.Keys({VK_END});
    s.backend.KeyDown(VK_SHIFT);
    for (int i = 0; i < 7; ++i)
        s.backend.Key(VK_LEFT);
    s.backend.KeyUp(VK_SHIFT);
    s.Pump();
    int start = 0, end = 0;
    s.edit.GetSel(start, end);
    EXPECT_EQ(start, 13);
    EXPECT_EQ(end, 20);
    s.Chord(VK_CONTROL, 'C');
    EXPECT_EQ(s.backend.GetClipboardText(), u"station");
    s.Chord(VK_CONTROL, 'X');
    EXPECT_EQ(s.edit.GetWindowText(), u"where is the ");
    s.Keys({VK_HOME});
    s.Chord(VK_CONTROL, 'V');
    EXPECT_EQ(s.edit.GetWindowText(), u"stationwhere is the ");
    s.Chord(VK_CONTROL, 'A');
    s.edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 20);
    // A pasted line break ends what is taken.
    s.backend.SetClipboardText(u"one\r\ntwo");
    s.Chord(VK_CONTROL, 'V');
    EXPECT_EQ(s.edit.GetWindowText(), u"one");

    // The mouse: a press puts the caret, a drag selects.
    s.edit.SetWindowText(u"abcdefghij");
    s.backend.MouseMove(s.Top(), s.At(s.edit, POINT{3, 10}));
    s.backend.MouseDown(s.Top(), s.At(s.edit, POINT{3, 10}));
    s.backend.MouseMove(s.Top(), s.At(s.edit, POINT{236, 10}));
    s.backend.MouseUp(s.Top(), s.At(s.edit, POINT{236, 10}));
    s.Pump();
    s.edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 10);
}

TEST(Edit, LimitAndReadOnly) {
    EditScene s;
    s.edit.SetLimitText(5);
    s.backend.Text(u"abcdefgh");
    s.Pump();
    EXPECT_EQ(s.edit.GetWindowText(), u"abcde");
    EXPECT_EQ(s.host.log.size(), 5u);

    s.host.log.clear();
    s.edit.SetReadOnly(true);
    s.backend.Text(u"x");
    s.Keys({VK_BACK});
    s.Chord(VK_CONTROL, 'X');
    EXPECT_EQ(s.edit.GetWindowText(), u"abcde");
    EXPECT_TRUE(s.host.log.empty());
    // Read-only and disabled edits ask for the colours of a static.
    s.host.colourRequests.clear();
    s.edit.Invalidate();
    s.app.UpdateAllWindows();
    EXPECT_EQ(s.host.colourRequests.back(), WM_CTLCOLORSTATIC);
    s.edit.SetReadOnly(false);
    s.edit.Invalidate();
    s.app.UpdateAllWindows();
    EXPECT_EQ(s.host.colourRequests.back(), WM_CTLCOLOREDIT);
    s.edit.EnableWindow(false);
    s.app.UpdateAllWindows();
    EXPECT_EQ(s.host.colourRequests.back(), WM_CTLCOLORSTATIC);
}

TEST(Edit, HollowBrushLetsTheParentShowThrough) {
    EditScene s;
    s.edit.SetWindowText(u"x");
    s.edit.EnableWindow(false);
    s.host.brush = gdi::Brush::Hollow();
    s.host.Invalidate();
    EXPECT_EQ(s.PixelAt(s.edit, POINT{200, 12}), gdi::RGB(240, 240, 240));
}

}  // namespace
