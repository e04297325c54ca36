#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/gdi/text.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/quitsignals.h"

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

// What the test saw of the box while it was open.
struct Seen {
    bool shown = false;
    bool ownerEnabled = true;
    std::u16string title;
    RECT box{};
    RECT text{};
    int textLines = 0;
};

// Runs a message box over the host; `close` closes it once it is up.
int RunBox(Fixture& f, Seen& seen, std::u16string_view text, std::u16string_view caption,
           const std::function<void(HWND box)>& close) {
    f.backend.WhenIdle([&] {
        const HWND box = f.app.TopLevelWindows().front();
        seen.shown = box != f.Top() && f.app.IsWindowVisible(box);
        seen.ownerEnabled = f.host.IsWindowEnabled();
        seen.title = f.app.Node(box)->text;
        seen.box = f.app.GetWindowRect(box);
        if (Window* w = Window::FromHandle(box)) {
            if (Window* label = w->GetDlgItemWindow(0xFFFF)) {
                label->GetWindowRect(seen.text);
                gdi::DC dc = gdi::DC::Memory();
                const gdi::Font font = label->GetFont();
                if (font) dc.SelectObject(font);
                gdi::TEXTMETRIC tm;
                gdi::GetTextMetrics(dc, tm);
                seen.textLines = seen.text.Height() / std::max<int>(tm.tmHeight, 1);
            }
        }
        close(box);
    });
    return MessageBox(f.Top(), text, caption);
}

TEST(MessageBox, BlocksItsOwnerAndReturnsOnEnter) {
    Fixture f;
    Seen seen;
    const int result = RunBox(f, seen, u"One item has just been added to favorite",
                              u"Tolkara_German", [&](HWND) { f.backend.Key(VK_RETURN); });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(seen.shown);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(f.host.IsWindowEnabled());
    EXPECT_EQ(seen.title, u"Tolkara_German");
    EXPECT_EQ(f.app.TopLevelWindows().size(), 1u);  // the box is gone
    // Centred on its owner.
    RECT owner;
    f.host.GetWindowRect(owner);
    EXPECT_NEAR(seen.box.left + seen.box.Width() / 2, owner.left + owner.Width() / 2, 1);
    EXPECT_NEAR(seen.box.top + seen.box.Height() / 2, owner.top + owner.Height() / 2, 1);
}

TEST(MessageBox, EscapeSpaceAndAClickCloseIt) {
    Fixture f;
    Seen seen;
    EXPECT_EQ(
        RunBox(f, seen, u"No favourite phrase!", u"", [&](HWND) { f.backend.Key(VK_ESCAPE); }),
        IDOK);
    EXPECT_EQ(RunBox(f, seen, u"No favourite phrase!", u"", [&](HWND) { f.backend.Key(VK_SPACE); }),
              IDOK);
    const int clicked = RunBox(f, seen, u"No favourite phrase!", u"", [&](HWND box) {
        Window* ok = Window::FromHandle(box)->GetDlgItemWindow(IDOK);
        RECT r;
        ok->GetWindowRect(r);
        const RECT b = f.app.GetWindowRect(box);
        f.backend.Click(box, POINT{r.left - b.left + 5, r.top - b.top + 5});
    });
    EXPECT_EQ(clicked, IDOK);
    EXPECT_TRUE(f.host.IsWindowEnabled());
}

TEST(MessageBox, WithoutCaptionTheProgramsNameAndLongTextWraps) {
    Fixture f;
    Seen seen;
    RunBox(f, seen, u"No related phrase(s) found!", u"", [&](HWND) { f.backend.Key(VK_RETURN); });
    EXPECT_EQ(seen.title, ExecutableBaseName());
    EXPECT_EQ(seen.title, u"platform_ui_controls_tests");
    f.app.SetAppName(u"Phrasebook");
    RunBox(f, seen, u"x", u"", [&](HWND) { f.backend.Key(VK_RETURN); });
    EXPECT_EQ(seen.title, u"Phrasebook");

    std::u16string longText;
    for (int i = 0; i < 30; ++i)
        longText += u"Where is the station? ";
    RunBox(f, seen, longText, u"T", [&](HWND) { f.backend.Key(VK_RETURN); });
    EXPECT_GT(seen.textLines, 3);
    EXPECT_LE(seen.box.Width(), 480);
}

TEST(MessageBox, WithoutAnOwnerItCentresOnTheScreen) {
    backend::HeadlessBackend backend(SIZE{800, 600});
    Application app{backend};
    RegisterStandardControls(app);
    RECT box{};
    backend.WhenIdle([&] {
        box = app.GetWindowRect(app.TopLevelWindows().front());
        backend.Key(VK_RETURN);
    });
    EXPECT_EQ(MessageBox(app, HWND{}, u"Can't read map file"), IDOK);
    EXPECT_NEAR(box.left + box.Width() / 2, 400, 1);
    EXPECT_NEAR(box.top + box.Height() / 2, 300, 1);
}

}  // namespace

namespace {

TEST(MessageBox, DraggedByItsCaptionBar) {
    Fixture f;
    RECT before{};
    RECT after{};
    f.backend.WhenIdle([&] {
        const HWND box = f.app.TopLevelWindows().front();
        before = f.app.GetWindowRect(box);
        f.backend.MouseMove(box, POINT{30, 10});
        f.backend.MouseDown(box, POINT{30, 10});
        f.backend.MouseMove(box, POINT{70, 30});
        f.backend.MouseUp(box, POINT{70, 30});
    });
    f.backend.WhenIdle([&] {
        after = f.app.GetWindowRect(f.app.TopLevelWindows().front());
        f.backend.Key(VK_RETURN);
    });
    EXPECT_EQ(MessageBox(f.Top(), u"Can't find data file!"), IDOK);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 20);
}

// Opens a message box from a message of its own, so that the box's loop runs inside the
// window's modal loop, as the program's boxes run inside its window's.
class BoxOpener : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    int boxResult = -2;
    LRESULT OnUser(WPARAM, LPARAM) {
        boxResult = MessageBox(GetSafeHwnd(), u"No favourite phrase!");
        return 0;
    }
};

const MessageMap BoxOpener::messageMap{&Window::messageMap,
                                       {OnMessage<&BoxOpener::OnUser>(WM_USER)}};

// A logout (SIGTERM, SIGHUP) or Ctrl+C (SIGINT) while a box is open: the box closes, the loop
// around it ends, and the program ends as after its close button, with exit code 0.
TEST(MessageBox, AStopSignalClosesAnOpenBoxAndEndsTheLoopsAroundIt) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        Fixture f;
        QuitSignals quitSignals(f.backend);
        ASSERT_TRUE(quitSignals.Watching());
        BoxOpener window;
        window.Create(f.app, u"Opener", u"opener", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200},
                      nullptr, 0);
        window.PostMessage(WM_USER);
        bool boxOpen = false;
        f.backend.WhenIdle([&] {
            boxOpen = !window.IsWindowEnabled();
            kill(getpid(), signal);  // as a session or a terminal sends it: to the process
        });
        // The box waits for its user meanwhile; a loop still running after them stalls.
        int waits = 0;
        for (int i = 0; i < 300; ++i) {
            f.backend.WhenIdle([&] {
                ++waits;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            });
        }
        EXPECT_EQ(f.app.RunModalLoop(window.GetSafeHwnd()), -1);
        EXPECT_TRUE(boxOpen);
        EXPECT_EQ(window.boxResult, 0);  // closed, not answered
        EXPECT_LT(waits, 300) << "the loops ran on until nothing was left to do";
        EXPECT_TRUE(window.IsWindowEnabled());
        EXPECT_EQ(f.app.TopLevelWindows().size(), 2u);  // the box is gone
        EXPECT_EQ(f.app.ExitInstance(), 0);
    }
}

}  // namespace
