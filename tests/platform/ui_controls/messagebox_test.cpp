#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/text.h"

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
