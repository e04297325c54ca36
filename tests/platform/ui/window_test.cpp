#include <gtest/gtest.h>

#include "platform/gdi/icon.h"
#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

// Records show, activation and size messages.
class Watcher : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log* log = nullptr;
    std::string name;
    LRESULT OnShowWindow(WPARAM w, LPARAM) {
        log->push_back(name + (w != 0 ? " show" : " hide"));
        return 0;
    }
    LRESULT OnActivate(WPARAM w, LPARAM) {
        log->push_back(name + (LOWORD(w) == WA_INACTIVE ? " inactive" : " active"));
        return Default();
    }
    LRESULT OnSize(WPARAM, LPARAM l) {
        log->push_back(name + " size " + std::to_string(LOWORD(static_cast<std::uintptr_t>(l))) +
                       "x" + std::to_string(HIWORD(static_cast<std::uintptr_t>(l))));
        return 0;
    }
};

const MessageMap Watcher::messageMap{&Window::messageMap,
                                     {
                                         OnMessage<&Watcher::OnShowWindow>(WM_SHOWWINDOW),
                                         OnMessage<&Watcher::OnActivate>(WM_ACTIVATE),
                                         OnMessage<&Watcher::OnSize>(WM_SIZE),
                                     }};

TEST(Windows, ShowingActivatesAndToolWindowsNeverTakeTheActivation) {
    Fixture f;
    Log log;
    Watcher a, b, tip;
    a.log = b.log = tip.log = &log;
    a.name = "a";
    b.name = "b";
    tip.name = "tip";
    MakeTop(f.app, a);
    MakeTop(f.app, b);
    tip.Create(f.app, u"Tip", u"", WS_POPUP, RECT{0, 0, 50, 20}, a.GetSafeHwnd(), 0,
               WS_EX_TOOLWINDOW);
    tip.ShowWindow(SW_SHOW);
    f.backend.Click(tip.GetSafeHwnd(), POINT{5, 5});
    f.app.PumpMessages();
    tip.ShowWindow(SW_HIDE);
    EXPECT_EQ(log, (Log{"a show", "a active", "b show", "a inactive", "b active", "tip show",
                        "tip hide"}));
    EXPECT_EQ(f.app.GetActiveWindow(), b.GetSafeHwnd());
    EXPECT_TRUE(f.backend.State(tip.GetSafeHwnd())->tool);
    // Owned windows go with their owner.
    a.DestroyWindow();
    EXPECT_FALSE(tip.IsWindow());
}

// The headless window system reports activation, moves and lost pixels as the real one does,
// so that activation, a disabled owner handing it to its dialog and repainting run here.
TEST(Windows, TheWindowSystemReportsActivationMovesAndExposure) {
    Fixture f;
    Log log;
    Watcher a, dialog, other;
    a.log = dialog.log = other.log = &log;
    a.name = "a";
    dialog.name = "dialog";
    other.name = "other";
    MakeTop(f.app, a);
    MakeTop(f.app, other, RECT{500, 100, 600, 200});
    dialog.Create(f.app, u"Test", u"", WS_POPUP | WS_VISIBLE, RECT{150, 150, 250, 250},
                  a.GetSafeHwnd(), 0);
    a.EnableWindow(false);  // as a modal dialog leaves its owner
    f.app.PumpMessages();
    EXPECT_EQ(f.backend.Focused(), dialog.GetSafeHwnd());

    log.clear();
    f.backend.Activate(other.GetSafeHwnd());  // the user turns to another window
    f.app.PumpMessages();
    EXPECT_EQ(f.app.GetActiveWindow(), other.GetSafeHwnd());
    f.backend.Activate(a.GetSafeHwnd());  // and back to the disabled owner
    f.app.PumpMessages();
    EXPECT_EQ(f.app.GetActiveWindow(), dialog.GetSafeHwnd());
    EXPECT_EQ(f.backend.Focused(), dialog.GetSafeHwnd());
    EXPECT_EQ(log, (Log{"dialog inactive", "other active", "other inactive", "dialog active"}));

    // Two moves before the loop runs: the window stays at the last place.
    other.MoveWindow(520, 110, 100, 100);
    other.MoveWindow(540, 120, 100, 100);
    f.app.PumpMessages();
    RECT r;
    other.GetWindowRect(r);
    EXPECT_EQ(r, (RECT{540, 120, 640, 220}));

    // Restored from the task bar: the window system asks for all of its pixels again.
    other.ShowWindow(SW_MINIMIZE);
    f.app.PumpMessages();
    other.ShowWindow(SW_RESTORE);
    f.app.PumpMessages();
    EXPECT_EQ(f.backend.State(other.GetSafeHwnd())->lastPresent, gdi::Region(RECT{0, 0, 100, 100}));
}

TEST(Windows, ZOrderDecidesWhichSiblingIsHitAndPaintedLast) {
    Fixture f;
    Window top, first, second;
    MakeTop(f.app, top);
    MakeChild(f.app, first, top, RECT{0, 0, 50, 50}, 1);
    MakeChild(f.app, second, top, RECT{25, 25, 75, 75}, 2);
    // Earlier siblings lie above later ones, as the controls of a template do.
    EXPECT_EQ(top.ChildWindowFromPoint(POINT{30, 30}), first.GetSafeHwnd());
    second.SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(top.ChildWindowFromPoint(POINT{30, 30}), second.GetSafeHwnd());
    EXPECT_EQ(top.WindowFromPoint(POINT{130, 130}), second.GetSafeHwnd());
    second.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(top.ChildWindowFromPoint(POINT{30, 30}), first.GetSafeHwnd());
    EXPECT_EQ(top.ChildWindowFromPoint(POINT{200, 150}), top.GetSafeHwnd());
    EXPECT_FALSE(top.ChildWindowFromPoint(POINT{-1, 0}));
}

TEST(Windows, GeometryMapsBetweenScreenAndClient) {
    Fixture f;
    Log log;
    Watcher top, child;
    top.log = child.log = &log;
    child.name = "child";
    MakeTop(f.app, top, RECT{100, 50, 400, 250});
    MakeChild(f.app, child, top, RECT{10, 20, 40, 60}, 7);
    POINT p{5, 5};
    child.ClientToScreen(p);
    EXPECT_EQ(p, (POINT{115, 75}));
    child.ScreenToClient(p);
    EXPECT_EQ(p, (POINT{5, 5}));
    RECT r;
    child.GetWindowRect(r);
    EXPECT_EQ(r, (RECT{110, 70, 140, 110}));
    child.GetClientRect(r);
    EXPECT_EQ(r, (RECT{0, 0, 30, 40}));
    log.clear();
    child.MoveWindow(0, 0, 12, 8);
    EXPECT_EQ(log, (Log{"child size 12x8"}));
    EXPECT_EQ(top.GetDlgItem(7), child.GetSafeHwnd());
    EXPECT_EQ(child.GetDlgCtrlID(), 7);
    EXPECT_EQ(child.GetParent(), top.GetSafeHwnd());
    EXPECT_FALSE(top.GetParent());
}

TEST(Windows, IconsReachTheWindowSystem) {
    Fixture f;
    Window top;
    MakeTop(f.app, top);
    const gdi::Icon big(gdi::CreateDIBSection32(32, 32), gdi::CreateBitmap(32, 32, 1, 1));
    const gdi::Icon small(gdi::CreateDIBSection32(16, 16), gdi::CreateBitmap(16, 16, 1, 1));
    top.SetIcon(small, false);
    EXPECT_EQ(f.backend.State(top.GetSafeHwnd())->icon.Width(), 16);
    top.SetIcon(big, true);
    EXPECT_EQ(f.backend.State(top.GetSafeHwnd())->icon.Width(), 32);
    EXPECT_EQ(top.GetIcon(false).Width(), 16);
    EXPECT_EQ(top.GetIcon(true).Width(), 32);
}

TEST(Windows, ClassObjectsRunTemplateWindowsUntilAnObjectBinds) {
    Fixture f;
    f.app.RegisterClass(WindowClass{u"Watched", 0, [] { return std::make_unique<Watcher>(); }});
    Window top;
    MakeTop(f.app, top);
    const HWND child = f.app.CreateWindowEx(0, u"WATCHED", u"x", WS_CHILD, RECT{0, 0, 5, 5},
                                            top.GetSafeHwnd(), 3, nullptr);
    ASSERT_TRUE(child);
    EXPECT_NE(dynamic_cast<Watcher*>(f.app.FromHandle(child)), nullptr);
    Window binder;
    EXPECT_TRUE(binder.SubclassWindow(child));
    EXPECT_EQ(f.app.FromHandle(child), &binder);
    Window second;
    EXPECT_FALSE(second.SubclassWindow(child));  // already bound
    EXPECT_EQ(binder.UnsubclassWindow(), child);
    EXPECT_NE(dynamic_cast<Watcher*>(f.app.FromHandle(child)), nullptr);
    // An object that goes takes its window with it.
    {
        Window temporary;
        ASSERT_TRUE(temporary.SubclassWindow(child));
    }
    EXPECT_FALSE(IsWindow(child));
}

}  // namespace
