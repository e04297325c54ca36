#include <gtest/gtest.h>

#include <thread>

#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

class Recorder : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log* log = nullptr;
    std::string name;
    int ticks = 0;
    std::thread::id tickThread;
    std::function<void(WPARAM)> onUser;

    LRESULT OnUser(WPARAM w, LPARAM) {
        log->push_back(name + " " + std::to_string(w));
        if (onUser) onUser(w);
        return 0;
    }
    LRESULT OnTimer(WPARAM id, LPARAM) {
        ++ticks;
        tickThread = std::this_thread::get_id();
        log->push_back(name + " tick " + std::to_string(id));
        return 0;
    }
};

const MessageMap Recorder::messageMap{&Window::messageMap,
                                      {
                                          OnMessage<&Recorder::OnUser>(WM_USER),
                                          OnMessage<&Recorder::OnTimer>(WM_TIMER),
                                      }};

TEST(MessageLoop, SentRunsNowPostedRunsLaterInOrder) {
    Fixture f;
    Log log;
    Recorder w;
    w.log = &log;
    w.name = "w";
    MakeTop(f.app, w);
    w.PostMessage(WM_USER, 1);
    w.PostMessage(WM_USER, 2);
    w.SendMessage(WM_USER, 3);
    EXPECT_EQ(log, (Log{"w 3"}));
    f.app.PumpMessages();
    EXPECT_EQ(log, (Log{"w 3", "w 1", "w 2"}));

    // A handler that posts and sends: the sent one runs inside it, the posted one after it.
    log.clear();
    w.onUser = [&](WPARAM v) {
        if (v == 10) {
            w.PostMessage(WM_USER, 11);
            w.SendMessage(WM_USER, 12);
        }
    };
    w.PostMessage(WM_USER, 10);
    f.app.PumpMessages();
    EXPECT_EQ(log, (Log{"w 10", "w 12", "w 11"}));
}

TEST(MessageLoop, MessagesToDestroyedWindowsAreDropped) {
    Fixture f;
    Log log;
    Recorder w;
    w.log = &log;
    MakeTop(f.app, w);
    const HWND hwnd = w.GetSafeHwnd();
    w.PostMessage(WM_USER, 1);
    w.DestroyWindow();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, WM_USER, 2));
    EXPECT_EQ(SendMessage(hwnd, WM_USER, 3), 0);
    f.app.PumpMessages();
    EXPECT_TRUE(log.empty());
}

TEST(MessageLoop, NestedModalLoopsReturnTheirOwnResults) {
    Fixture f;
    Log log;
    Recorder outer, inner;
    outer.log = inner.log = &log;
    outer.name = "outer";
    inner.name = "inner";
    MakeTop(f.app, outer);
    MakeTop(f.app, inner);
    int innerResult = 0;
    outer.onUser = [&](WPARAM v) {
        if (v == 1) {
            innerResult = f.app.RunModalLoop(inner.GetSafeHwnd());
            log.push_back("inner returned " + std::to_string(innerResult));
        }
    };
    inner.onUser = [&](WPARAM v) {
        // Ending the outer loop first does not end the inner one.
        if (v == 2) f.app.EndModalLoop(outer.GetSafeHwnd(), 5);
        if (v == 3) f.app.EndModalLoop(inner.GetSafeHwnd(), 7);
    };
    outer.PostMessage(WM_USER, 1);
    f.backend.WhenIdle([&] { inner.PostMessage(WM_USER, 2); });
    f.backend.WhenIdle([&] { inner.PostMessage(WM_USER, 3); });
    const int outerResult = f.app.RunModalLoop(outer.GetSafeHwnd());
    EXPECT_EQ(innerResult, 7);
    EXPECT_EQ(outerResult, 5);
    EXPECT_EQ(log, (Log{"outer 1", "inner 2", "inner 3", "inner returned 7"}));
}

TEST(MessageLoop, LoopThatCanNeverEndIsToldToQuit) {
    Fixture f;
    Recorder w;
    Log log;
    w.log = &log;
    MakeTop(f.app, w);
    // Nothing will ever end this loop: the headless backend stalls and the loop gives up.
    EXPECT_EQ(f.app.RunModalLoop(w.GetSafeHwnd()), -1);
    EXPECT_FALSE(f.app.PumpMessages());  // the quit stays pending for outer loops
}

TEST(MessageLoop, TimerFiresOnTheGuiThreadAndStopsWhenKilled) {
    Fixture f;
    Log log;
    Recorder w;
    w.log = &log;
    w.name = "w";
    MakeTop(f.app, w);
    EXPECT_EQ(w.SetTimer(100, 1000), 100u);
    f.backend.Advance(999);
    f.app.PumpMessages();
    EXPECT_EQ(w.ticks, 0);
    f.backend.Advance(1);
    f.app.PumpMessages();
    EXPECT_EQ(w.ticks, 1);
    EXPECT_EQ(w.tickThread, std::this_thread::get_id());
    // Ticks merge: a long wait gives one tick, not one per period.
    f.backend.Advance(5000);
    f.app.PumpMessages();
    EXPECT_EQ(w.ticks, 2);
    EXPECT_TRUE(w.KillTimer(100));
    EXPECT_FALSE(w.KillTimer(100));
    f.backend.Advance(5000);
    f.app.PumpMessages();
    EXPECT_EQ(w.ticks, 2);
    EXPECT_EQ(log, (Log{"w tick 100", "w tick 100"}));
}

TEST(MessageLoop, TimersTickInsideAModalLoopAndPostedMessagesComeFirst) {
    Fixture f;
    Log log;
    Recorder w;
    w.log = &log;
    w.name = "w";
    MakeTop(f.app, w);
    w.SetTimer(1, 100);
    w.SetTimer(2, 250);
    for (int i = 0; i < 6; ++i)
        f.backend.WhenIdle([&] { f.backend.Advance(50); });
    f.backend.WhenIdle([&] { f.app.EndModalLoop(w.GetSafeHwnd(), 0); });
    w.PostMessage(WM_USER, 9);
    f.backend.Advance(100);  // timer 1 is due, but the posted message goes first
    EXPECT_EQ(f.app.RunModalLoop(w.GetSafeHwnd()), 0);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "w 9");
    EXPECT_EQ(log[1], "w tick 1");
    // 400 ms in all: timer 1 at 100, 200, 300, 400; timer 2 at 250.
    EXPECT_EQ(std::count(log.begin(), log.end(), "w tick 1"), 4);
    EXPECT_EQ(std::count(log.begin(), log.end(), "w tick 2"), 1);
}

TEST(MessageLoop, DestroyingAWindowStopsItsTimers) {
    Fixture f;
    Log log;
    Recorder w;
    w.log = &log;
    MakeTop(f.app, w);
    w.SetTimer(1, 10);
    w.DestroyWindow();
    f.backend.Advance(100);
    f.app.PumpMessages();
    EXPECT_EQ(w.ticks, 0);
}

}  // namespace
