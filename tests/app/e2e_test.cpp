// End to end: the real program on an Xvfb display of its own, driven by xdotool, and
// `make run`'s script on a machine without a display. Skips when the X tools are missing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "platform/gdi/bmp.h"
#include "platform/gdi/png.h"
#include "res/bitmaptable.h"
#include "res/dialogs.h"
#include "res/layout.h"
#include "res/programresources.h"
#include "runfolder.h"
#include "tests/support/process.h"
#include "tests/support/runfolder.h"

namespace {

using namespace apptest;
using namespace testing_support;

bool HaveXTools() {
    return OnPath("Xvfb") && OnPath("xdotool") && OnPath("xwininfo") && OnPath("xdpyinfo") &&
           OnPath("import") && OnPath("convert");
}

gdi::Bitmap MainSkin() {
    return gdi::LoadBitmap(res::ProgramResources(), res::MainSkinBitmap);
}

// A point of the skin that is not black and lies under no control of the template.
gdi::POINT BareSkinPoint(const gdi::Bitmap& skin) {
    for (int y = 200; y < 540; y += 5) {
        for (int x = 20; x < 660; x += 5) {
            const gdi::COLORREF c = skin.GetPixel(x, y);
            if (c == 0 || c == gdi::CLR_INVALID) continue;
            bool underControl = false;
            for (const ui::DialogItemTemplate& item : res::detail::MainDialogItems) {
                const res::PixelRect r = res::ItemPixels(item);
                if (x >= r.left - 2 && x < r.right + 2 && y >= r.top - 2 && y < r.bottom + 2)
                    underControl = true;
            }
            if (!underControl) return {x, y};
        }
    }
    return {-1, -1};
}

// A pixel of the skin that is pure black, outside the window's shape.
gdi::POINT BlackSkinPoint(const gdi::Bitmap& skin) {
    return skin.GetPixel(1, 1) == 0 ? gdi::POINT{1, 1} : gdi::POINT{-1, -1};
}

std::filesystem::path ProgramPath() {
    return TOLKARA_PATH;
}

// Under the leak checker, SDL's D-Bus allocations that live until exit are not reported.
std::string LeakCheckOptions() {
    return "suppressions=" +
           (std::filesystem::path(PHRASEBOOK_SOURCE_DIR) / "tests/app/lsan-suppressions.txt")
               .string();
}

TEST(AppEndToEnd, StartsInARunFolderShowsTheShapedWindowDragsAndEndsOnEscape) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    VirtualDisplay display;
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    RunFolder folder;
    folder.WriteTextFiles();

    Child program({ProgramPath().string()},
                  {{"DISPLAY", display.Name()},
                   {"SDL_AUDIODRIVER", "dummy"},
                   {"LSAN_OPTIONS", LeakCheckOptions()}},
                  folder.Path(), true);
    ASSERT_TRUE(program.Started());
    std::string id;
    ASSERT_TRUE(PollFor([&] {
        std::istringstream ids(RunX(display.Name(), "xdotool search --name '^Tolkara_German$'"));
        return static_cast<bool>(ids >> id) || !program.Running();
    }));
    ASSERT_FALSE(id.empty()) << "the window did not appear";
    std::optional<Geometry> g;
    ASSERT_TRUE(PollFor([&] { return (g = WindowGeometry(display.Name(), id)).has_value(); }));
    EXPECT_EQ(g->w, 684);
    EXPECT_EQ(g->h, 559);

    // The record files were built in the run folder.
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "English.dat"), 782u * 116u);
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "Chinese.dat"), 782u * 140u);

    // The screen shows the skin where it is not black and the white root window where it is.
    const gdi::Bitmap skin = MainSkin();
    const gdi::POINT bare = BareSkinPoint(skin);
    const gdi::POINT black = BlackSkinPoint(skin);
    ASSERT_NE(bare.x, -1);
    ASSERT_NE(black.x, -1);
    const std::filesystem::path shotPath = folder.Path() / "e2e-screen.png";
    gdi::Bitmap shot;
    ASSERT_TRUE(PollFor([&] {
        RunX(display.Name(), "import -window root " + shotPath.string());
        shot = gdi::LoadPng(shotPath.string());
        return shot && shot.GetPixel(g->x + bare.x, g->y + bare.y) == skin.GetPixel(bare.x, bare.y);
    })) << "no screenshot with the skin in it";
    EXPECT_EQ(shot.GetPixel(g->x + black.x, g->y + black.y), gdi::RGB(255, 255, 255));
    EXPECT_EQ(shot.GetPixel(g->x + 683, g->y + 558), gdi::RGB(255, 255, 255));

    // A press on the bare skin drags the window.
    const int fromX = g->x + bare.x;
    const int fromY = g->y + bare.y;
    RunX(display.Name(), "xdotool mousemove " + std::to_string(fromX) + " " +
                             std::to_string(fromY) + " mousedown 1 mousemove " +
                             std::to_string(fromX + 40) + " " + std::to_string(fromY + 25) +
                             " mouseup 1");
    const Geometry before = *g;
    EXPECT_TRUE(PollFor([&] {
        g = WindowGeometry(display.Name(), id);
        return g && g->x == before.x + 40 && g->y == before.y + 25;
    })) << "the window did not move with the pointer";

    // Enter leaves it open; Escape ends the program with exit code 0.
    RunX(display.Name(), "xdotool key Return");
    RunX(display.Name(), "xdotool search --name '^Tolkara_German$'");  // a round trip
    EXPECT_TRUE(program.Running());
    RunX(display.Name(), "xdotool key Escape");
    EXPECT_EQ(program.Wait(), 0) << program.ReadAll(1s);
}

TEST(AppEndToEnd, MakeRunWithoutADisplayTakesAScreenshotAndClosesTheProgram) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    // A build folder of our own: the program and a run folder with the bundled files.
    RunFolder build;
    std::filesystem::create_directories(build.Path() / "bin");
    std::filesystem::create_directories(build.Path() / "run");
    std::filesystem::create_symlink(ProgramPath(), build.Path() / "bin" / "tolkara-german");
    for (const char* name : {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"})
        std::filesystem::create_symlink(bundled / name, build.Path() / "run" / name);

    const std::filesystem::path script =
        std::filesystem::path(PHRASEBOOK_SOURCE_DIR) / "scripts" / "run";
    Child run({script.string(), build.Path().string()},
              {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"LSAN_OPTIONS", LeakCheckOptions()}}, {},
              true);
    ASSERT_TRUE(run.Started());
    const std::string output = run.ReadAll();
    EXPECT_EQ(run.Wait(), 0) << output;
    EXPECT_NE(output.find("no display"), std::string::npos) << output;
    const std::filesystem::path shotPath = build.Path() / "run" / "screenshot.png";
    EXPECT_NE(output.find(shotPath.string()), std::string::npos) << output;

    // The screenshot is the window: the skin, black outside its shape.
    const gdi::Bitmap shot = gdi::LoadPng(shotPath.string());
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot.Width(), 684);
    EXPECT_EQ(shot.Height(), 559);
    const gdi::Bitmap skin = MainSkin();
    const gdi::POINT bare = BareSkinPoint(skin);
    EXPECT_EQ(shot.GetPixel(bare.x, bare.y), skin.GetPixel(bare.x, bare.y));
    EXPECT_EQ(shot.GetPixel(1, 1), 0u);
    EXPECT_EQ(shot.GetPixel(683, 558), 0u);
}

TEST(AppEndToEnd, WithoutADisplayTheProgramSaysSoAndFails) {
    RunFolder folder;
    Child program({ProgramPath().string()},
                  {{"DISPLAY", ""},
                   {"WAYLAND_DISPLAY", ""},
                   {"SDL_VIDEODRIVER", ""},
                   {"LSAN_OPTIONS", LeakCheckOptions()}},
                  folder.Path(), true);
    ASSERT_TRUE(program.Started());
    const std::string output = program.ReadAll();
    const std::optional<int> code = program.Wait();
    ASSERT_TRUE(code.has_value());
    EXPECT_NE(*code, 0);
    EXPECT_NE(output.find("cannot open a window"), std::string::npos) << output;
}

}  // namespace
