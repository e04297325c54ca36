// End to end: a real SDL window on its own Xvfb display, driven by xdotool. Skips when Xvfb,
// xdotool or ImageMagick's import are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/png.h"
#include "tests/support/process.h"

namespace {

using namespace testing_support;

// The demo's environment: our display, no sound, and what SDL's D-Bus use keeps until exit
// left out of the leak checker (it is not ours to free).
std::map<std::string, std::string> DemoEnvironment(const std::string& display) {
    std::map<std::string, std::string> env{{"DISPLAY", display}, {"SDL_AUDIODRIVER", "dummy"}};
    const std::filesystem::path suppressions =
        std::filesystem::temp_directory_path() / "uidemo-lsan-suppressions.txt";
    if (FILE* f = std::fopen(suppressions.c_str(), "w")) {
        std::fputs("leak:libdbus-1.so\n", f);
        std::fclose(f);
        env["LSAN_OPTIONS"] = "suppressions=" + suppressions.string();
    }
    return env;
}

// A display of our own with the demo program on it.
class SdlEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("Xvfb") || !OnPath("xdotool") || !OnPath("xwininfo") || !OnPath("import") ||
            !OnPath("xdpyinfo")) {
            GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
        }
        xvfb = std::make_unique<VirtualDisplay>();
        ASSERT_TRUE(xvfb->Up()) << "Xvfb did not start";
        display = xvfb->Name();
    }
    void TearDown() override {
        demo.reset();
        if (windowManager) windowManager->Terminate(5s);
        xvfb.reset();
    }

    void StartDemo() {
        const std::string title = "uidemo-e2e-" + std::to_string(getpid());
        demo = std::make_unique<Child>(std::vector<std::string>{UIDEMO_PATH, title},
                                       DemoEnvironment(display), std::filesystem::path{}, true);
        ASSERT_TRUE(demo->Started());
        ASSERT_TRUE(demo->Expect("READY", Generous)) << "the demo window did not come up";
        ASSERT_TRUE(PollFor(
            [&] {
                std::istringstream ids(RunX(display, "xdotool search --name " + title));
                return static_cast<bool>(ids >> id);
            },
            Generous));
        std::optional<Geometry> g;
        ASSERT_TRUE(
            PollFor([&] { return (g = WindowGeometry(display, id)) && g->w == 300 && g->h == 260; },
                    Generous));
        geometry = *g;
    }

    std::unique_ptr<VirtualDisplay> xvfb;
    std::string display;
    std::unique_ptr<Child> windowManager;
    std::unique_ptr<Child> demo;
    std::string id;
    Geometry geometry;
};

TEST_F(SdlEndToEnd, ShapedWindowClickAndEscape) {
    StartDemo();
    const Geometry g = geometry;
    // The window's shape: the skin's black corners are outside it (the white root shows
    // there), its body is inside.
    const std::filesystem::path shotPath =
        std::filesystem::temp_directory_path() / ("uidemo-" + std::to_string(getpid()) + ".png");
    gdi::Bitmap shot;
    const gdi::COLORREF skin = gdi::RGB(40, 120, 200);
    ASSERT_TRUE(PollFor(
        [&] {
            RunX(display, "import -window root " + shotPath.string());
            shot = gdi::LoadPng(shotPath.string());
            return shot && shot.GetPixel(g.x + 150, g.y + 10) == skin;
        },
        Generous))
        << "no screenshot with the skin in it";
    std::filesystem::remove(shotPath);
    EXPECT_EQ(shot.GetPixel(g.x + 2, g.y + 2), gdi::RGB(255, 255, 255));
    EXPECT_EQ(shot.GetPixel(g.x + 297, g.y + 257), gdi::RGB(255, 255, 255));
    EXPECT_EQ(shot.GetPixel(g.x + 20, g.y + 130), skin);
    EXPECT_EQ(shot.GetPixel(g.x + 150, g.y + 130), gdi::RGB(250, 200, 30));  // the button

    // A click on the button reaches it (its middle: dialog units 100, 75 → 150, 122 px).
    RunX(display, "xdotool mousemove --window " + id + " 150 122 click 1");
    EXPECT_TRUE(demo->Expect("CLICK 1001", Generous));

    // Typed text reaches the focused control as characters, also letters without a key of
    // their own; the wheel reaches the window under the pointer.
    RunX(display, "xdotool type --delay 50 \"aü\"");
    EXPECT_TRUE(demo->Expect("CHAR 97", Generous));
    EXPECT_TRUE(demo->Expect("CHAR 252", Generous));
    RunX(display, "xdotool mousemove --window " + id + " 30 130 click 5");
    EXPECT_TRUE(demo->Expect("WHEEL -120", Generous));

    // Enter does nothing here; Escape closes the window.
    RunX(display, "xdotool key Return");
    EXPECT_TRUE(demo->Expect("OK", Generous));
    RunX(display, "xdotool key Escape");
    EXPECT_TRUE(demo->Expect("CANCEL", Generous));
    EXPECT_TRUE(demo->Expect("END 2", Generous));
    EXPECT_EQ(demo->Wait(Generous), 0);
}

TEST_F(SdlEndToEnd, PressOnTheSkinDragsTheWindow) {
    StartDemo();
    const Geometry g = geometry;
    RunX(display, "xdotool mousemove --window " + id + " 30 130 mousedown 1");
    RunX(display, "xdotool mousemove_relative -- 40 30");
    RunX(display, "xdotool mouseup 1");
    std::optional<Geometry> now;
    EXPECT_TRUE(PollFor(
        [&] {
            return (now = WindowGeometry(display, id)) && now->x == g.x + 40 && now->y == g.y + 30;
        },
        Generous))
        << "the window is at " << (now ? now->x : -1) << ", " << (now ? now->y : -1)
        << " after starting at " << g.x << ", " << g.y;
    // Still responsive where it went.
    RunX(display, "xdotool mousemove --window " + id + " 150 122 click 1");
    EXPECT_TRUE(demo->Expect("CLICK 1001", Generous));
}

TEST_F(SdlEndToEnd, MinimiseButtonIconifiesUnderAWindowManager) {
    if (!OnPath("openbox") || !OnPath("xprop")) GTEST_SKIP() << "openbox or xprop is not installed";
    windowManager =
        std::make_unique<Child>(std::vector<std::string>{"openbox"},
                                std::map<std::string, std::string>{{"DISPLAY", display}});
    ASSERT_TRUE(PollFor(
        [&] {
            return RunX(display, "xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") !=
                   std::string::npos;
        },
        Generous))
        << "openbox did not start";
    StartDemo();
    // The minimise button: dialog units 150, 20, 12 × 10 → its middle at 234, 41 px.
    RunX(display, "xdotool mousemove --window " + id + " 234 41 click 1");
    EXPECT_TRUE(demo->Expect("MINIMIZE", Generous));
    EXPECT_TRUE(PollFor(
        [&] { return RunX(display, "xwininfo -id " + id).find("IsUnMapped") != std::string::npos; },
        Generous));
}

}  // namespace
