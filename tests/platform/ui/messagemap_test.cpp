#include <gtest/gtest.h>

#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

class Base : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log log;
    LRESULT OnBaseUser(WPARAM, LPARAM) {
        log.push_back("base user");
        return 1;
    }
    LRESULT OnBaseUser2(WPARAM, LPARAM) {
        log.push_back("base user2");
        return 2;
    }
    void OnBaseClick() { log.push_back("base click"); }
};

const MessageMap Base::messageMap{&Window::messageMap,
                                  {
                                      OnMessage<&Base::OnBaseUser>(WM_USER),
                                      OnMessage<&Base::OnBaseUser2>(WM_USER + 2),
                                      OnCommand<&Base::OnBaseClick>(BN_CLICKED, 7),
                                  }};

class Derived : public Base {
    UI_DECLARE_MESSAGE_MAP()
public:
    LRESULT OnUserFirst(WPARAM, LPARAM) {
        log.push_back("derived user first");
        return 10;
    }
    LRESULT OnUserSecond(WPARAM, LPARAM) {
        log.push_back("derived user second");
        return 20;
    }
    void OnRange(int id) { log.push_back("range " + std::to_string(id)); }
    void OnSelChange() { log.push_back("selchange 5"); }
};

const MessageMap Derived::messageMap{&Base::messageMap,
                                     {
                                         OnMessage<&Derived::OnUserFirst>(WM_USER),
                                         OnMessage<&Derived::OnUserSecond>(WM_USER),
                                         OnCommandRange<&Derived::OnRange>(BN_CLICKED, 3, 8),
                                         OnCommand<&Derived::OnSelChange>(LBN_SELCHANGE, 5),
                                     }};

TEST(MessageMap, FirstMatchWinsAndBaseTablesAreChained) {
    Fixture f;
    Derived w;
    MakeTop(f.app, w);
    // The derived table's first entry answers; its second entry for the same message never runs.
    EXPECT_EQ(w.SendMessage(WM_USER), 10);
    // A message only the base table knows reaches it.
    EXPECT_EQ(w.SendMessage(WM_USER + 2), 2);
    // Unhandled messages go to default processing.
    EXPECT_EQ(w.SendMessage(WM_USER + 3), 0);
    EXPECT_EQ(w.SendMessage(WM_NCHITTEST), HTCLIENT);
    EXPECT_EQ(w.log, (Log{"derived user first", "base user2"}));
}

TEST(MessageMap, CommandsMatchCodeAndIdRange) {
    Fixture f;
    Derived w;
    MakeTop(f.app, w);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));     // the derived range comes first
    w.SendMessage(WM_COMMAND, MAKEWPARAM(9, BN_CLICKED));     // outside every entry
    w.SendMessage(WM_COMMAND, MAKEWPARAM(5, LBN_SELCHANGE));  // code and id
    w.SendMessage(WM_COMMAND, MAKEWPARAM(6, LBN_SELCHANGE));  // code right, id wrong
    w.SendMessage(WM_COMMAND, MAKEWPARAM(3, BN_DBLCLK));      // id right, code wrong
    EXPECT_EQ(w.log, (Log{"range 7", "selchange 5"}));
}

TEST(MessageMap, BaseObjectSeesOnlyItsOwnTable) {
    Fixture f;
    Base w;
    MakeTop(f.app, w);
    EXPECT_EQ(w.SendMessage(WM_USER), 1);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));
    EXPECT_EQ(w.log, (Log{"base user", "base click"}));
}

TEST(MessageMap, WindowTextAndStylesThroughMessages) {
    Fixture f;
    Window w;
    MakeTop(f.app, w);
    w.SetWindowText(u"Tolkara_German");
    EXPECT_EQ(w.GetWindowText(), u"Tolkara_German");
    EXPECT_EQ(w.GetWindowTextLength(), 14);
    EXPECT_EQ(f.backend.State(w.GetSafeHwnd())->title, u"Tolkara_German");
    EXPECT_TRUE(w.ModifyStyle(0, WS_TABSTOP));
    EXPECT_FALSE(w.ModifyStyle(0, WS_TABSTOP));  // nothing changed
    EXPECT_TRUE((w.GetStyle() & WS_TABSTOP) != 0);
    EXPECT_TRUE(w.ModifyStyleEx(0, WS_EX_STATICEDGE));
    EXPECT_EQ(w.GetExStyle(), WS_EX_STATICEDGE);
}

// Handlers in the natural shapes of their messages, listed by the same message numbers.
class Typed : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log log;
    gdi::Brush brush = gdi::Brush::Solid(gdi::RGB(1, 2, 3));
    void OnLButtonDown(UINT flags, POINT p) {
        log.push_back("down " + std::to_string(flags) + " " + std::to_string(p.x) + "," +
                      std::to_string(p.y));
    }
    void OnTimer(WPARAM id) { log.push_back("timer " + std::to_string(id)); }
    void OnDrawItem(DRAWITEMSTRUCT& dis) { log.push_back("draw " + std::to_string(dis.CtlID)); }
    const gdi::Brush* OnCtlColor(gdi::DC& dc, HWND control) {
        dc.SetTextColor(gdi::RGB(9, 9, 9));
        log.push_back(control == GetSafeHwnd() ? "colour self" : "colour other");
        return &brush;
    }
    bool OnUser() { return true; }
};

const MessageMap Typed::messageMap{&Window::messageMap,
                                   {
                                       OnMessage<&Typed::OnLButtonDown>(WM_LBUTTONDOWN),
                                       OnMessage<&Typed::OnTimer>(WM_TIMER),
                                       OnMessage<&Typed::OnDrawItem>(WM_DRAWITEM),
                                       OnMessage<&Typed::OnCtlColor>(WM_CTLCOLORSTATIC),
                                       OnMessage<&Typed::OnUser>(WM_USER),
                                   }};

TEST(MessageMap, HandlersTakeTheNaturalShapeOfTheirMessage) {
    Fixture f;
    Typed w;
    MakeTop(f.app, w);
    EXPECT_EQ(w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(POINT{-5, 7})), 0);
    EXPECT_EQ(w.SendMessage(WM_TIMER, 100), 0);
    DRAWITEMSTRUCT dis;
    dis.CtlID = 1022;
    EXPECT_EQ(w.SendMessage(WM_DRAWITEM, 1022, reinterpret_cast<LPARAM>(&dis)), 1);
    gdi::DC dc = gdi::DC::Memory();
    const LRESULT brush =
        w.SendMessage(WM_CTLCOLORSTATIC, DCToWParam(&dc), HandleToParam(w.GetSafeHwnd()));
    EXPECT_EQ(BrushFromResult(brush), &w.brush);
    EXPECT_EQ(dc.GetTextColor(), gdi::RGB(9, 9, 9));
    EXPECT_EQ(w.SendMessage(WM_CTLCOLORSTATIC, 0, 0), 0);  // no DC: nothing to answer with
    EXPECT_EQ(w.SendMessage(WM_USER), 1);
    EXPECT_EQ(w.log, (Log{"down 1 -5,7", "timer 100", "draw 1022", "colour self"}));
}

}  // namespace
