#include <gtest/gtest.h>

#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

std::string Name(UINT m) {
    switch (m) {
        case WM_MOUSEMOVE:
            return "move";
        case WM_LBUTTONDOWN:
            return "down";
        case WM_LBUTTONUP:
            return "up";
        case WM_LBUTTONDBLCLK:
            return "dblclk";
        case WM_MOUSELEAVE:
            return "leave";
        case WM_MOUSEWHEEL:
            return "wheel";
        case WM_SETFOCUS:
            return "setfocus";
        case WM_KILLFOCUS:
            return "killfocus";
        case WM_KEYDOWN:
            return "keydown";
        case WM_CHAR:
            return "char";
        case WM_CAPTURECHANGED:
            return "capturechanged";
        case WM_NCLBUTTONDOWN:
            return "ncdown";
        case WM_ACTIVATE:
            return "activate";
        default:
            return "?";
    }
}

// Records the pointer, focus and key messages it gets, with client points.
class Probe : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log* log = nullptr;
    std::string name;
    LRESULT hitCode = HTCLIENT;
    bool captureOnDown = false;
    bool trackOnMove = false;
    bool wheelHandled = true;

    void Note(UINT m, const std::string& extra = "") {
        log->push_back(name + " " + Name(m) + extra);
    }
    LRESULT OnPointer(WPARAM, LPARAM l) {
        const MSG* m = CurrentMessage();
        Note(m->message,
             " " + std::to_string(GET_X_LPARAM(l)) + "," + std::to_string(GET_Y_LPARAM(l)));
        if (m->message == WM_LBUTTONDOWN && captureOnDown) SetCapture();
        if (m->message == WM_LBUTTONUP && captureOnDown && GetCapture() == GetSafeHwnd())
            ReleaseCapture();
        if (m->message == WM_MOUSEMOVE && trackOnMove) {
            TRACKMOUSEEVENT tme;
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = GetSafeHwnd();
            _TrackMouseEvent(&tme);
        }
        return 0;
    }
    LRESULT OnPlain(WPARAM w, LPARAM) {
        const UINT m = CurrentMessage()->message;
        Note(m, m == WM_KEYDOWN || m == WM_CHAR ? " " + std::to_string(w) : "");
        return 0;
    }
    LRESULT OnWheel(WPARAM w, LPARAM) {
        Note(WM_MOUSEWHEEL, " " + std::to_string(GET_WHEEL_DELTA_WPARAM(w)));
        return wheelHandled ? 0 : Default();
    }
    LRESULT OnHitTest(WPARAM, LPARAM) { return hitCode; }
    bool handCursor = false;
    LRESULT OnSetCursor(WPARAM, LPARAM) {
        if (!handCursor) return Default();
        App()->SetCursor(StandardCursor::Hand);
        return 1;
    }
};

const MessageMap Probe::messageMap{&Window::messageMap,
                                   {
                                       OnMessage<&Probe::OnPointer>(WM_MOUSEMOVE),
                                       OnMessage<&Probe::OnPointer>(WM_LBUTTONDOWN),
                                       OnMessage<&Probe::OnPointer>(WM_LBUTTONUP),
                                       OnMessage<&Probe::OnPointer>(WM_LBUTTONDBLCLK),
                                       OnMessage<&Probe::OnPlain>(WM_MOUSELEAVE),
                                       OnMessage<&Probe::OnPlain>(WM_SETFOCUS),
                                       OnMessage<&Probe::OnPlain>(WM_KILLFOCUS),
                                       OnMessage<&Probe::OnPlain>(WM_KEYDOWN),
                                       OnMessage<&Probe::OnPlain>(WM_CHAR),
                                       OnMessage<&Probe::OnPlain>(WM_CAPTURECHANGED),
                                       OnMessage<&Probe::OnWheel>(WM_MOUSEWHEEL),
                                       OnMessage<&Probe::OnHitTest>(WM_NCHITTEST),
                                       OnMessage<&Probe::OnSetCursor>(WM_SETCURSOR),
                                   }};

// A top-level window at (100, 100) of 300 × 200 with two children side by side.
struct Scene : Fixture {
    Log log;
    Probe top, left, right;
    Scene() {
        top.log = left.log = right.log = &log;
        top.name = "top";
        left.name = "left";
        right.name = "right";
        MakeTop(app, top, RECT{100, 100, 400, 300});
        MakeChild(app, left, top, RECT{10, 10, 60, 40}, 1);
        MakeChild(app, right, top, RECT{100, 10, 150, 40}, 2);
        app.PumpMessages();
        log.clear();
    }
};

TEST(Input, PointerMessagesGoToTheWindowUnderThePointerInItsCoordinates) {
    Scene s;
    s.backend.MouseMove(s.top.GetSafeHwnd(), POINT{15, 20});
    s.backend.MouseMove(s.top.GetSafeHwnd(), POINT{200, 150});
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left move 5,10", "top move 200,150"}));
}

TEST(Input, CaptureKeepsThePointerUntilReleased) {
    Scene s;
    s.left.captureOnDown = true;
    const HWND top = s.top.GetSafeHwnd();
    s.backend.MouseMove(top, POINT{20, 20});
    s.backend.MouseDown(top, POINT{20, 20});
    s.backend.MouseMove(top, POINT{120, 20});  // over the right child, still the left's
    s.backend.MouseUp(top, POINT{120, 20});
    s.backend.MouseMove(top, POINT{121, 20});  // released: the right child again
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left move 10,10", "left down 10,10", "left move 110,10",
                          "left up 110,10", "left capturechanged", "right move 21,10"}));
    EXPECT_FALSE(s.app.GetCapture());
}

TEST(Input, LeaveTrackingSendsOneLeaveAndCanBeCancelled) {
    Scene s;
    s.left.trackOnMove = true;
    const HWND top = s.top.GetSafeHwnd();
    s.backend.MouseMove(top, POINT{20, 20});
    s.backend.MouseMove(top, POINT{21, 20});
    s.backend.MouseMove(top, POINT{200, 150});
    s.backend.MouseMove(top, POINT{201, 150});
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left move 10,10", "left move 11,10", "top move 200,150", "left leave",
                          "top move 201,150"}));

    // Cancelled tracking sends nothing.
    s.log.clear();
    s.left.trackOnMove = false;
    s.backend.MouseMove(top, POINT{20, 20});
    s.app.PumpMessages();
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = s.left.GetSafeHwnd();
    EXPECT_TRUE(_TrackMouseEvent(&tme));
    tme.dwFlags = TME_CANCEL | TME_LEAVE;
    EXPECT_TRUE(_TrackMouseEvent(&tme));
    s.backend.MouseMove(top, POINT{200, 150});
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left move 10,10", "top move 200,150"}));

    // Arming it while the pointer is elsewhere reports the leave at once.
    s.log.clear();
    tme.dwFlags = TME_LEAVE;
    EXPECT_TRUE(_TrackMouseEvent(&tme));
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left leave"}));

    // Leaving the whole window (or entering a hole of its shape) counts.
    s.log.clear();
    s.left.trackOnMove = true;
    s.backend.MouseMove(top, POINT{20, 20});
    s.backend.MouseLeave(top);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left move 10,10", "left leave"}));
}

TEST(Input, CaptionHitDragsTheTopLevelWindowUntilRelease) {
    Scene s;
    s.top.hitCode = HTCAPTION;
    const HWND top = s.top.GetSafeHwnd();
    s.backend.MouseMove(top, POINT{200, 150});
    s.backend.MouseDown(top, POINT{200, 150});
    // Each move is reported relative to where the window is at that moment.
    s.backend.Event([&] {
        InputEvent e;
        e.type = InputEvent::Type::MouseMove;
        e.window = top;
        e.pt = POINT{220, 165};
        return e;
    }());
    s.app.PumpMessages();
    RECT r;
    s.top.GetWindowRect(r);
    EXPECT_EQ(r, (RECT{120, 115, 420, 315}));
    EXPECT_EQ(s.backend.State(top)->rect, r);
    s.backend.MouseUp(top, POINT{200, 150});
    s.backend.MouseMove(top, POINT{250, 150});
    s.app.PumpMessages();
    s.top.GetWindowRect(r);
    EXPECT_EQ(r, (RECT{120, 115, 420, 315}));
    // The children still get their own presses: no drag there.
    s.log.clear();
    s.backend.MouseDown(top, POINT{20, 20});
    s.backend.MouseMove(top, POINT{40, 30});
    s.backend.MouseUp(top, POINT{40, 30});
    s.app.PumpMessages();
    s.top.GetWindowRect(r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(s.log.front(), "left down 10,10");
}

TEST(Input, TransparentHiddenAndDisabledChildrenLetThePointerThrough) {
    Scene s;
    const HWND top = s.top.GetSafeHwnd();
    s.left.hitCode = HTTRANSPARENT;
    s.backend.MouseDown(top, POINT{20, 20});
    s.right.EnableWindow(false);
    s.backend.MouseDown(top, POINT{120, 20});
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"top down 20,20", "top down 120,20"}));
    EXPECT_EQ(s.top.WindowFromPoint(POINT{120, 120}), s.top.GetSafeHwnd());
    s.right.EnableWindow(true);
    EXPECT_EQ(s.top.WindowFromPoint(POINT{220, 120}), s.right.GetSafeHwnd());
    s.right.ShowWindow(SW_HIDE);
    EXPECT_EQ(s.top.WindowFromPoint(POINT{220, 120}), s.top.GetSafeHwnd());
    EXPECT_FALSE(s.top.WindowFromPoint(POINT{50, 50}));
}

TEST(Input, WindowRegionShapesHitTesting) {
    Scene s;
    s.left.SetWindowRgn(gdi::Region(RECT{0, 0, 10, 10}), false);  // only the top-left corner
    s.top.SetWindowRgn(gdi::Region(RECT{0, 0, 250, 200}), false);
    const HWND top = s.top.GetSafeHwnd();
    s.backend.MouseDown(top, POINT{15, 15});   // inside the left child's shape
    s.backend.MouseDown(top, POINT{40, 30});   // inside its rectangle, outside its shape
    s.backend.MouseDown(top, POINT{280, 30});  // outside the top-level shape: nobody
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left down 5,5", "top down 40,30"}));
}

TEST(Input, DoubleClicksOnlyForClassesThatAskWithinTimeAndDistance) {
    Fixture f;
    Log log;
    f.app.RegisterClass(WindowClass{u"DoubleClicks", CS_DBLCLKS, nullptr});
    Probe top, dbl, plain;
    top.log = dbl.log = plain.log = &log;
    dbl.name = "dbl";
    plain.name = "plain";
    MakeTop(f.app, top);
    dbl.Create(f.app, u"doubleclicks", u"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50},
               top.GetSafeHwnd(), 1);
    MakeChild(f.app, plain, top, RECT{100, 0, 150, 50}, 2);
    const HWND t = top.GetSafeHwnd();
    auto press = [&](POINT p) {
        f.backend.MouseDown(t, p);
        f.backend.MouseUp(t, p);
    };
    press({10, 10});
    press({11, 11});  // within 500 ms and 2 pixels: a double click
    press({11, 11});  // a third press starts over
    f.backend.Advance(501);
    press({11, 11});  // too late
    press({14, 11});  // too far
    press({110, 10});
    press({110, 10});  // this class did not ask
    f.app.PumpMessages();
    Log downs;
    for (const std::string& l : log) {
        if (l.find(" up ") == std::string::npos && l.find("focus") == std::string::npos) {
            downs.push_back(l);
        }
    }
    EXPECT_EQ(downs, (Log{"dbl down 10,10", "dbl dblclk 11,11", "dbl down 11,11", "dbl down 11,11",
                          "dbl down 14,11", "plain down 10,10", "plain down 10,10"}));
}

TEST(Input, WheelGoesUnderThePointerAndUpToTheParent) {
    Scene s;
    const HWND top = s.top.GetSafeHwnd();
    s.backend.Wheel(top, POINT{20, 20}, 1);
    s.app.PumpMessages();
    s.left.wheelHandled = false;
    s.backend.Wheel(top, POINT{20, 20}, -2);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"left wheel 120", "left wheel -240", "top wheel -240"}));
}

TEST(Input, FocusMovesWithMessagesAndKeysGoToTheFocus) {
    Scene s;
    s.left.SetFocus();
    s.right.SetFocus();
    s.backend.Key('A');
    s.backend.Text(u"ä");
    s.backend.Key(VK_RETURN);
    s.app.PumpMessages();
    EXPECT_EQ(s.app.GetFocus(), s.right.GetSafeHwnd());
    EXPECT_EQ(s.log,
              (Log{"top killfocus", "left setfocus", "left killfocus", "right setfocus",
                   "right keydown 65", "right char 228", "right keydown 13", "right char 13"}));
    // A destroyed focus window leaves no focus behind.
    s.right.DestroyWindow();
    EXPECT_FALSE(s.app.GetFocus());
}

TEST(Input, SetCursorAsksTheParentFirstThenTheWindow) {
    Scene s;
    const HWND top = s.top.GetSafeHwnd();
    s.left.handCursor = true;
    s.backend.MouseMove(top, POINT{20, 20});
    s.app.PumpMessages();
    EXPECT_EQ(s.backend.Cursor(), StandardCursor::Hand);
    s.backend.MouseMove(top, POINT{120, 20});
    s.app.PumpMessages();
    EXPECT_EQ(s.backend.Cursor(), StandardCursor::Arrow);
    // The parent answers for its children when it wants to.
    s.left.handCursor = false;
    s.top.handCursor = true;
    s.backend.MouseMove(top, POINT{121, 20});
    s.app.PumpMessages();
    EXPECT_EQ(s.backend.Cursor(), StandardCursor::Hand);
}

TEST(Input, MinimiseAndRestoreFollowTheBackend) {
    Scene s;
    EXPECT_FALSE(s.top.IsIconic());
    s.top.ShowWindow(SW_MINIMIZE);
    s.app.PumpMessages();
    EXPECT_TRUE(s.top.IsIconic());
    EXPECT_TRUE((s.top.GetStyle() & WS_MINIMIZE) != 0);
    EXPECT_TRUE(s.backend.State(s.top.GetSafeHwnd())->minimized);
    // A minimised window takes no pointer input.
    s.backend.MouseDown(s.top.GetSafeHwnd(), POINT{20, 20});
    s.top.ShowWindow(SW_RESTORE);
    s.app.PumpMessages();
    EXPECT_FALSE(s.top.IsIconic());
    EXPECT_TRUE(s.log.empty());
}

}  // namespace
