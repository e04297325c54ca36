// End to end: the real program on an Xvfb display of its own, driven by xdotool, on a Wayland
// desktop (weston, headless, with XWayland), and `make run`'s script on a machine without a
// display. Skips when the X tools (or weston) are missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/audioplayer.h"
#include "audio/comparison.h"
#include "catalogue/archive.h"
#include "catalogue/phrasemap.h"
#include "catalogue/practiceschedule.h"
#include "catalogue/practicestore.h"
#include "catalogue/pronunciation.h"
#include "catalogue/search.h"
#include "catalogue/stdfile.h"
#include "catalogue/subcategories.h"
#include "catalogue/textconvert.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/png.h"
#include "platform/gdi/text.h"
#include "platform/media/capturewaveout.h"
#include "platform/shell/codepage.h"
#include "res/bitmaptable.h"
#include "res/controlids.h"
#include "res/dialogs.h"
#include "res/layout.h"
#include "res/programresources.h"
#include "runfolder.h"
#include "tests/support/process.h"
#include "tests/support/runfolder.h"
#include "tests/support/westondesktop.h"

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

// Whether a point of the main window lies under (or within 2 pixels of) a control.
bool UnderControl(int x, int y) {
    for (const ui::DialogItemTemplate& item : res::detail::MainDialogItems) {
        const res::PixelRect r = res::ItemPixels(item);
        if (x >= r.left - 2 && x < r.right + 2 && y >= r.top - 2 && y < r.bottom + 2) return true;
    }
    return false;
}

// A point of the skin that is not black and lies under no control of the template.
gdi::POINT BareSkinPoint(const gdi::Bitmap& skin) {
    for (int y = 200; y < 540; y += 5) {
        for (int x = 20; x < 660; x += 5) {
            const gdi::COLORREF c = skin.GetPixel(x, y);
            if (c == 0 || c == gdi::CLR_INVALID) continue;
            if (!UnderControl(x, y)) return {x, y};
        }
    }
    return {-1, -1};
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

// --- The walk through the main views: helpers ---------------------------------------------

// Where the e2e walk leaves its screenshots: build/screenshots/e2e/.
// Waits for the program's visible window on `display`: its id and geometry, or nothing when
// it did not appear (or the program ended first).
std::optional<std::pair<std::string, Geometry>> AwaitWindow(const std::string& display,
                                                            Child& program) {
    std::string id;
    PollFor([&] {
        std::istringstream ids(
            RunX(display, "xdotool search --onlyvisible --name '^Tolkara_German$'"));
        return static_cast<bool>(ids >> id) || !program.Running();
    });
    if (id.empty()) return std::nullopt;
    std::optional<Geometry> g;
    if (!PollFor([&] { return (g = WindowGeometry(display, id)).has_value(); }))
        return std::nullopt;
    return std::pair{id, *g};
}

std::filesystem::path ScreenshotFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = exe.parent_path().parent_path() / "screenshots" / "e2e";
    std::filesystem::create_directories(folder, error);
    return folder;
}

res::PixelRect ControlPixels(int id) {
    for (const ui::DialogItemTemplate& item : res::detail::MainDialogItems) {
        if (item.id == id) return res::ItemPixels(item);
    }
    return {0, 0, 0, 0};
}

gdi::POINT CentreOf(int id) {
    const res::PixelRect r = ControlPixels(id);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The PCM our player hands the device for a phrase of the bundled archive: opened, cued and
// played as the window does it, captured.
std::vector<std::uint8_t> DecodedClip(const std::filesystem::path& folder, PhraseNo phrase) {
    catalogue::ClipFetch fetch =
        catalogue::ReadClip(folder / "data.dat", folder / "data.idx", phrase);
    if (fetch.outcome != catalogue::ClipFetch::Outcome::Clip) return {};
    media::CaptureWaveOutDriver driver;
    std::vector<std::uint8_t> pcm;
    {
        CAudioPlayer player(driver);
        player.Open(std::move(fetch.clip));
        player.Cue(0, 400000);
        player.Play();
        const auto writes = driver.Writes();
        if (writes.size() == 1) pcm = writes.front();
        player.Close();
    }
    return pcm;
}

// Where `pcm` lies in the captured sound as one uninterrupted run, searching from `from`.
std::optional<std::size_t> FindRun(const std::vector<std::uint8_t>& captured,
                                   const std::vector<std::uint8_t>& pcm, std::size_t from = 0) {
    if (pcm.empty() || from > captured.size()) return std::nullopt;
    const auto at =
        std::search(captured.begin() + static_cast<std::ptrdiff_t>(from), captured.end(),
                    std::boyer_moore_horspool_searcher(pcm.begin(), pcm.end()));
    if (at == captured.end()) return std::nullopt;
    return static_cast<std::size_t>(at - captured.begin());
}

// The first and one past the last non-zero byte at or after `from` (equal: silence only).
std::pair<std::size_t, std::size_t> SoundingStretch(const std::vector<std::uint8_t>& captured,
                                                    std::size_t from = 0) {
    std::size_t first = captured.size();
    std::size_t last = captured.size();
    for (std::size_t i = from; i < captured.size(); ++i) {
        if (captured[i] != 0) {
            if (first == captured.size()) first = i;
            last = i + 1;
        }
    }
    return {first, first == captured.size() ? first : last};
}

// One run of the real program in a run folder, with its window driven in window pixels and
// its sound captured by SDL's disk driver.
class ProgramRun {
public:
    // microphone: a raw file (16-bit mono, 16 kHz) the capture device reads, if any.
    ProgramRun(const std::string& display, const std::filesystem::path& folder,
               const std::filesystem::path& capture, const std::filesystem::path& microphone = {})
        : display_(display),
          capture_(capture),
          child_({ProgramPath().string()},
                 {{"DISPLAY", display},
                  {"SDL_AUDIODRIVER", "disk"},
                  {"SDL_DISKAUDIOFILE", capture.string()},
                  {"SDL_DISKAUDIOFILEIN", microphone.string()},
                  {"LSAN_OPTIONS", LeakCheckOptions()}},
                 folder, true) {}

    // Waits for the window and its place on the screen.
    bool Up() {
        if (!child_.Started()) return false;
        const auto window = AwaitWindow(display_, child_);
        if (!window) return false;
        id_ = window->first;
        const Geometry& g = window->second;
        origin_ = {g.x, g.y};
        return g.w == 684 && g.h == 559;
    }

    void MoveTo(gdi::POINT p) {
        RunX(display_, "xdotool mousemove " + std::to_string(origin_.x + p.x) + " " +
                           std::to_string(origin_.y + p.y));
    }
    void Click(gdi::POINT p) {
        MoveTo(p);
        RunX(display_, "xdotool click 1");
    }
    void DoubleClick(gdi::POINT p) {
        MoveTo(p);
        RunX(display_, "xdotool click --repeat 2 --delay 60 1");
    }
    void ClickControl(int id) { Click(CentreOf(id)); }
    void Keys(const std::string& keys) { RunX(display_, "xdotool key " + keys); }
    void Type(const std::string& text) { RunX(display_, "xdotool type '" + text + "'"); }
    // What the display's clipboard holds (xclip).
    std::string Clipboard() { return RunX(display_, "xclip -o -selection clipboard"); }

    // The program's visible top-level windows: the main window, and a message box or the
    // about box while one is open.
    int VisibleWindows() {
        std::istringstream ids(
            RunX(display_, "xdotool search --onlyvisible --class tolkara-german"));
        int n = 0;
        for (std::string id; ids >> id;)
            ++n;
        return n;
    }

    // The window's pixels now, saved as `name`.png among the screenshots.
    gdi::Bitmap Shot(const std::string& name) {
        const std::filesystem::path path = ScreenshotFolder() / (name + ".png");
        RunX(display_, "import -window root -crop 684x559+" + std::to_string(origin_.x) + "+" +
                           std::to_string(origin_.y) + " +repage " + path.string());
        return gdi::LoadPng(path.string());
    }
    // The whole screen (for the windows above the main one), saved as `name`.png.
    void ScreenShot(const std::string& name) {
        RunX(display_, "import -window root " + (ScreenshotFolder() / (name + ".png")).string());
    }
    // Polls screenshots until `ready` holds for one; that one is kept as `name`.png.
    gdi::Bitmap ShotWhen(const std::string& name,
                         const std::function<bool(const gdi::Bitmap&)>& ready) {
        gdi::Bitmap shot;
        PollFor([&] {
            shot = Shot(name);
            return shot && ready(shot);
        });
        return shot;
    }

    std::vector<std::uint8_t> Captured() const { return FileBytes(capture_); }
    Child& Process() { return child_; }

private:
    std::string display_;
    std::filesystem::path capture_;
    Child child_;
    std::string id_;
    gdi::POINT origin_{0, 0};
};

// The phrase list as it shows on a screenshot: rows of `rowHeight` pixels below the border,
// the selected one filled with `highlight`.
struct ListLook {
    res::PixelRect rows = ControlPixels(ids::PhraseList);
    int rowHeight = 0;
    gdi::COLORREF highlight = 0;
    static constexpr gdi::COLORREF Background = gdi::RGB(55, 125, 88);

    int Top() const { return rows.top + 1; }
    int Left() const { return rows.left + 1; }
    // Left of the vertical scroll bar, with a margin.
    int Right() const { return rows.right - 24; }
    gdi::POINT RowPoint(int row, int x) const {
        return {x, Top() + row * rowHeight + rowHeight / 2};
    }

    // Reads the row height and the highlight from a list whose row 0 is selected.
    bool Calibrate(const gdi::Bitmap& shot) {
        const int x = Right() - 4;
        highlight = shot.GetPixel(x, Top() + 3);
        if (highlight == Background) return false;
        int y = Top() + 3;
        while (y < rows.bottom && shot.GetPixel(x, y) == highlight)
            ++y;
        // The band may start above where it was sampled.
        int top = Top() + 3;
        while (top > rows.top && shot.GetPixel(x, top - 1) == highlight)
            --top;
        rowHeight = y - top;
        return rowHeight >= 14 && rowHeight <= 30;
    }
    bool Selected(const gdi::Bitmap& shot, int row) const {
        int filled = 0, all = 0;
        for (int x = Left() + 2; x < Right(); x += 2, ++all) {
            if (shot.GetPixel(x, RowPoint(row, 0).y) == highlight) ++filled;
        }
        return filled * 2 > all;
    }
    // Pixels of a row that are neither the list's background nor the highlight: its text.
    int TextPixels(const gdi::Bitmap& shot, int row) const {
        int n = 0;
        const int top = Top() + row * rowHeight + 2;
        for (int y = top; y < top + rowHeight - 4; ++y) {
            for (int x = Left() + 2; x < Right(); ++x) {
                const gdi::COLORREF c = shot.GetPixel(x, y);
                if (c != Background && c != highlight) ++n;
            }
        }
        return n;
    }
    // How many rows from the top show text, up to the last one wholly in view.
    int RowsWithText(const gdi::Bitmap& shot) const {
        int n = 0;
        while (Top() + (n + 1) * rowHeight <= rows.bottom - 20 && TextPixels(shot, n) > 20)
            ++n;
        return n;
    }
};

// Dark pixels of the pronunciation line: its German text.
int LineTextPixels(const gdi::Bitmap& shot) {
    const res::PixelRect r = ControlPixels(ids::PronunciationLine);
    int n = 0;
    for (int y = r.top + 4; y < r.bottom - 4; ++y) {
        for (int x = r.left + 4; x < r.right - 4; ++x) {
            const gdi::COLORREF c = shot.GetPixel(x, y);
            if (gdi::GetRValue(c) + gdi::GetGValue(c) + gdi::GetBValue(c) < 150) ++n;
        }
    }
    return n;
}

int DifferingPixels(const gdi::Bitmap& a, const gdi::Bitmap& b, const res::PixelRect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (a.GetPixel(x, y) != b.GetPixel(x, y)) ++n;
        }
    }
    return n;
}

// Where the first bracketed word of a row's text lies, in list pixels from the text's start:
// measured with the list's font (Arial, 13 points at 96 pixels per inch).
int BracketedWordMiddle(const std::u16string& text) {
    gdi::LOGFONT lf;
    lf.lfHeight = -17;
    lf.lfWeight = gdi::FW_NORMAL;
    gdi::SetFaceName(lf, u"Arial");
    const gdi::Font font = gdi::CreateFontIndirect(lf);
    gdi::DC dc = gdi::CreateCompatibleDC(nullptr);
    dc.SelectObject(font);
    gdi::SIZE open{}, close{};
    gdi::GetTextExtentPoint32(dc, text.substr(0, text.find(u'[') + 1), open);
    gdi::GetTextExtentPoint32(dc, text.substr(0, text.find(u']')), close);
    return (open.cx + close.cx) / 2;
}

// The text a row shows once its first slot reads its last alternative.
std::u16string WithLastAlternative(const CItem& item) {
    const std::size_t rawOpen = item.raw.find(u'[');
    const std::size_t rawClose = item.raw.find(u']', rawOpen);
    const std::u16string slot = item.raw.substr(rawOpen + 1, rawClose - rawOpen - 1);
    const std::u16string last = slot.substr(slot.rfind(u'|') + 1);
    const std::size_t open = item.display.find(u'[');
    const std::size_t close = item.display.find(u']', open);
    return item.display.substr(0, open + 1) + last + item.display.substr(close);
}

int AlternativeCount(const CItem& item) {
    const std::size_t open = item.raw.find(u'[');
    const std::size_t close = item.raw.find(u']', open);
    return 1 + static_cast<int>(std::count(item.raw.begin() + static_cast<std::ptrdiff_t>(open),
                                           item.raw.begin() + static_cast<std::ptrdiff_t>(close),
                                           u'|'));
}

// What a desktop shows of the main window: the skin's pixels not under a control, and the
// pixels where the skin is black (its rounded corners and margins, outside the window's shape).
struct DesktopLook {
    int outside = 0;       // skin pixels outside the shape
    int desktopShown = 0;  // of those, showing the desktop
    int blackShown = 0;    // of those, black
    int inside = 0;        // skin pixels inside the shape and under no control
    int skinShown = 0;     // of those, showing the skin

    bool Right() const { return desktopShown == outside && skinShown == inside; }
};

DesktopLook LookAt(const gdi::Bitmap& shot, gdi::POINT origin, gdi::COLORREF desktop) {
    const gdi::Bitmap skin = MainSkin();
    DesktopLook look;
    // The window's pixels: the skin reaches past its right edge and ends above its bottom.
    for (int y = 0; y < 559; ++y) {
        for (int x = 0; x < 684; ++x) {
            const gdi::COLORREF want =
                y < skin.Height() && x < skin.Width() ? skin.GetPixel(x, y) : 0;
            const gdi::COLORREF seen = shot.GetPixel(origin.x + x, origin.y + y);
            if (want == 0) {
                ++look.outside;
                look.desktopShown += seen == desktop ? 1 : 0;
                look.blackShown += seen == 0 ? 1 : 0;
            } else if (!UnderControl(x, y)) {
                ++look.inside;
                look.skinShown += seen == want ? 1 : 0;
            }
        }
    }
    return look;
}

std::ostream& operator<<(std::ostream& out, const DesktopLook& l) {
    return out << "outside the skin " << l.desktopShown << " of " << l.outside
               << " pixels show the desktop, " << l.blackShown << " black; inside " << l.skinShown
               << " of " << l.inside << " show the skin";
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
    const auto window = AwaitWindow(display.Name(), program);
    ASSERT_TRUE(window) << "the window did not appear";
    const std::string id = window->first;
    std::optional<Geometry> g = window->second;
    EXPECT_EQ(g->w, 684);
    EXPECT_EQ(g->h, 559);

    // The record files were built in the run folder.
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "English.dat"), 782u * 116u);
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "Chinese.dat"), 782u * 140u);

    // Without a compositor the X server cuts the window to its shape: the screen shows the
    // skin where it is not black and the white root window where it is.
    const std::filesystem::path shotPath = ScreenshotFolder() / "desktop-xvfb.png";
    DesktopLook look;
    PollFor([&] {
        RunX(display.Name(), "import -window root " + shotPath.string());
        const gdi::Bitmap shot = gdi::LoadPng(shotPath.string());
        if (shot) look = LookAt(shot, {g->x, g->y}, gdi::RGB(255, 255, 255));
        return shot && look.Right();
    });
    EXPECT_GT(look.outside, 10000);
    EXPECT_GT(look.inside, 100000);
    EXPECT_TRUE(look.Right()) << look;
    const gdi::POINT bare = BareSkinPoint(MainSkin());
    ASSERT_NE(bare.x, -1);

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
    RunX(display.Name(), "xdotool search --onlyvisible --name '^Tolkara_German$'");  // a round trip
    EXPECT_TRUE(program.Running());
    RunX(display.Name(), "xdotool key Escape");
    EXPECT_EQ(program.Wait(), 0) << program.ReadAll(1s);
}

// The window on a Wayland desktop: weston (headless, with XWayland) does not cut X11 windows
// to their bounding shape, so the program draws the pixels outside its skin transparent. Even
// when asked for SDL's Wayland driver it shows the window through XWayland.
TEST(AppEndToEnd, OnWestonTheDesktopShowsAroundTheSkin) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    WestonDesktop weston;
    if (!weston.Failure().empty()) GTEST_SKIP() << weston.Failure();
    RunFolder folder;
    folder.WriteTextFiles();
    // Without XWayland the program says why it cannot show a window.
    std::map<std::string, std::string> environment = weston.Environment();
    environment["SDL_VIDEODRIVER"] = "wayland";
    environment["SDL_AUDIODRIVER"] = "dummy";
    environment["LSAN_OPTIONS"] = LeakCheckOptions();
    {
        Child refused({ProgramPath().string()}, environment, folder.Path(), true);
        ASSERT_TRUE(refused.Started());
        const std::string output = refused.ReadAll();
        EXPECT_EQ(refused.Wait(), 1) << output;
        EXPECT_NE(output.find("no XWayland"), std::string::npos) << output;
    }
    environment["DISPLAY"] = weston.Display();
    Child program({ProgramPath().string()}, environment, folder.Path(), true);
    ASSERT_TRUE(program.Started());
    const auto window = AwaitWindow(weston.Display(), program);
    ASSERT_TRUE(window) << "the window did not appear: " << program.ReadAll(1s);
    EXPECT_EQ(window->second.w, 684);
    EXPECT_EQ(window->second.h, 559);
    // The window manager places the window once it is shown.
    DesktopLook look;
    PollFor([&] {
        const std::optional<Geometry> g = WindowGeometry(weston.Display(), window->first);
        const gdi::Bitmap shot = weston.Screenshot(ScreenshotFolder() / "desktop-weston.png");
        if (g && shot) look = LookAt(shot, {g->x, g->y}, WestonDesktop::Background);
        return g && shot && look.Right();
    });
    EXPECT_GT(look.outside, 10000);
    EXPECT_GT(look.inside, 100000);
    EXPECT_TRUE(look.Right()) << look;
    // Headless weston has no seat to type or click with; a request to end closes the window.
    kill(program.Pid(), SIGTERM);
    EXPECT_EQ(program.Wait(), 0) << program.ReadAll(1s);
}

// On a high-density display: twice the size, the same shape, sharp text; a wrong scale is
// refused before any window opens.
TEST(AppEndToEnd, ScaleTwoDrawsTheWindowTwiceAsLargeInItsShape) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    RunFolder folder;
    for (const char* name : {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"})
        std::filesystem::create_symlink(bundled / name, folder.Path() / name);

    Child refused({ProgramPath().string(), "--scale", "4"},
                  {{"DISPLAY", ""}, {"LSAN_OPTIONS", LeakCheckOptions()}}, folder.Path(), true);
    ASSERT_TRUE(refused.Started());
    const std::string complaint = refused.ReadAll();
    EXPECT_EQ(refused.Wait(), 2);
    EXPECT_NE(complaint.find("--scale takes 1, 2 or 3, not '4'"), std::string::npos) << complaint;

    VirtualDisplay display("1600x1200x24");
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    Child program({ProgramPath().string(), "--scale", "2"},
                  {{"DISPLAY", display.Name()},
                   {"SDL_AUDIODRIVER", "dummy"},
                   {"TOLKARA_SCALE", "1"},  // the option wins
                   {"LSAN_OPTIONS", LeakCheckOptions()}},
                  folder.Path(), true);
    ASSERT_TRUE(program.Started());
    const auto window = AwaitWindow(display.Name(), program);
    ASSERT_TRUE(window) << "the window did not appear";
    const std::string id = window->first;
    std::optional<Geometry> g = window->second;
    EXPECT_EQ(g->w, 2 * 684);
    EXPECT_EQ(g->h, 2 * 559);

    // The screen shows the skin where it is not black and the white root window where it is:
    // checked on a grid, away from the shape's edges and from the controls. Device pixel
    // (2x + 1, 2y + 1) lies a quarter pixel right of and below the skin's pixel (x, y), so the
    // smooth enlargement blends it with its neighbours there.
    const gdi::Bitmap skin = MainSkin();
    auto blend = [&](int x, int y) {
        auto channel = [&](int shift) {
            auto at = [&](int dx, int dy) {
                return static_cast<int>((skin.GetPixel(x + dx, y + dy) >> shift) & 0xFF);
            };
            return (9 * at(0, 0) + 3 * at(1, 0) + 3 * at(0, 1) + at(1, 1) + 8) / 16;
        };
        return gdi::RGB(channel(0), channel(8), channel(16));
    };
    auto close = [](gdi::COLORREF a, gdi::COLORREF b) {
        return std::abs(gdi::GetRValue(a) - gdi::GetRValue(b)) <= 3 &&
               std::abs(gdi::GetGValue(a) - gdi::GetGValue(b)) <= 3 &&
               std::abs(gdi::GetBValue(a) - gdi::GetBValue(b)) <= 3;
    };
    int outside = 0;
    int inside = 0;
    std::vector<gdi::POINT> wrong;
    auto check = [&](const gdi::Bitmap& shot) {
        outside = inside = 0;
        wrong.clear();
        for (int y = 1; y + 1 < 559; y += 3) {
            for (int x = 1; x + 1 < 684; x += 3) {
                int black = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        black += skin.GetPixel(x + dx, y + dy) == 0 ? 1 : 0;
                const gdi::COLORREF seen = shot.GetPixel(2 * x + 1, 2 * y + 1);
                if (black == 9) {
                    ++outside;
                    if (seen != gdi::RGB(255, 255, 255)) wrong.push_back({x, y});
                } else if (black == 0 && !UnderControl(x, y)) {
                    ++inside;
                    if (!close(seen, blend(x, y))) wrong.push_back({x, y});
                }
            }
        }
        return wrong.empty();
    };
    const std::filesystem::path shotPath = ScreenshotFolder() / "scale-2.png";
    gdi::Bitmap shot;
    PollFor([&] {
        RunX(display.Name(), "import -window root -crop " + std::to_string(g->w) + "x" +
                                 std::to_string(g->h) + "+" + std::to_string(g->x) + "+" +
                                 std::to_string(g->y) + " +repage " + shotPath.string());
        shot = gdi::LoadPng(shotPath.string());
        return shot && shot.Width() == 2 * 684 && check(shot);
    });
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot.Width(), 2 * 684);
    EXPECT_GT(outside, 50);
    EXPECT_GT(inside, 1000);
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " points differ, the first at " << wrong[0].x
                               << "," << wrong[0].y;

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

// The main views as a traveller walks them, in the bundled phrasebook: start-up, a subcategory,
// speaking, a word choice, search, related phrases, a favourite kept across a restart and
// removed, the about box, and the end. Screenshots of every step go to build/screenshots/e2e/.
TEST(AppEndToEnd, WalksTheMainViewsWithTheBundledPhrasebook) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    VirtualDisplay display;
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    RunFolder folder;
    for (const char* name : {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"})
        std::filesystem::create_symlink(bundled / name, folder.Path() / name);
    const auto show = [](std::u16string_view) {};

    ListLook list;
    gdi::Bitmap shot;
    {
        ProgramRun run(display.Name(), folder.Path(), folder.Path() / "sound-1.raw");
        ASSERT_TRUE(run.Up()) << run.Process().ReadAll(1s);

        // Start: Basic / "All", row 0 selected, its German line shown; nothing sounds.
        shot = run.ShotWhen("01-start", [&](const gdi::Bitmap& s) {
            return list.Calibrate(s) && LineTextPixels(s) > 30;
        });
        ASSERT_TRUE(list.Calibrate(shot)) << "row 0 is not shown selected";
        EXPECT_TRUE(list.Selected(shot, 0));
        EXPECT_FALSE(list.Selected(shot, 1));
        EXPECT_GT(list.TextPixels(shot, 1), 20);
        EXPECT_GT(LineTextPixels(shot), 30);
        EXPECT_TRUE(std::filesystem::exists(folder.Path() / "favorite.dat"));

        // The phrase numbers behind the rows, as the catalogue lists them.
        catalogue::PhraseMap phrases;
        ASSERT_TRUE(catalogue::LoadAllPhrases(folder.Path() / "English.dat", phrases));
        const auto numberOf = [&](const std::u16string& text) {
            const auto at = phrases.find(text);
            return at == phrases.end() ? 0 : catalogue::ParseDecimal(at->second);
        };

        // Travel, then "Signs" (entry 5): the phrases 252–277.
        catalogue::ListRows signs;
        ASSERT_TRUE(
            catalogue::ListSpecRange(folder.Path() / "MapEngSpec.data", 252, 277, signs, show));
        ASSERT_GE(signs.size(), 3u);
        run.ClickControl(ids::TravelButton);
        const gdi::Bitmap travel = run.ShotWhen("02-travel", [&](const gdi::Bitmap& s) {
            return DifferingPixels(s, shot, list.rows) > 500 && list.Selected(s, 0);
        });
        // The combo's template height includes its drop-down list: its face is the top. Once
        // the list has dropped down over the phrases, the keys choose entry 5.
        const res::PixelRect combo = ControlPixels(ids::SubcategoryCombo);
        run.Click({(combo.left + combo.right) / 2, combo.top + 9});
        const gdi::Bitmap dropped = run.ShotWhen("03-subcategories", [&](const gdi::Bitmap& s) {
            return DifferingPixels(s, travel,
                                   {combo.left, combo.top + 22, combo.right, combo.bottom}) > 500;
        });
        // Its entries' height from the highlighted entry 0, then a click on entry 5.
        const int x = combo.left + 100;
        int entryTop = combo.top + 15;
        int entryHeight = 0;
        for (int y = entryTop; y < combo.bottom && entryHeight < 8; y += entryHeight + 1) {
            entryTop = y;
            entryHeight = 0;
            while (dropped.GetPixel(x, entryTop + entryHeight) == list.highlight)
                ++entryHeight;
        }
        ASSERT_GE(entryHeight, 8) << "no open drop-down list";
        run.Click({x, entryTop + 5 * entryHeight + entryHeight / 2});
        shot = run.ShotWhen("04-travel-signs", [&](const gdi::Bitmap& s) {
            return DifferingPixels(s, travel, list.rows) > 500 && list.Selected(s, 0);
        });
        EXPECT_TRUE(list.Selected(shot, 0));
        EXPECT_EQ(list.RowsWithText(shot),
                  std::min<int>(static_cast<int>(signs.size()),
                                (list.rows.bottom - 20 - list.Top()) / list.rowHeight));

        // Selecting only cues: the capture is silence so far.
        const std::vector<std::uint8_t> before = run.Captured();
        EXPECT_FALSE(before.empty());
        EXPECT_EQ(SoundingStretch(before).first, before.size()) << "something sounded unasked";

        // A double click on row 2 speaks that phrase: its decoded clip, whole, in the capture,
        // and nothing else sounding.
        const PhraseNo signPhrase = numberOf(signs[2].text);
        ASSERT_GE(signPhrase, 252);
        ASSERT_LE(signPhrase, 277);
        const std::vector<std::uint8_t> signClip = DecodedClip(bundled, signPhrase);
        ASSERT_FALSE(signClip.empty());
        run.DoubleClick(list.RowPoint(2, list.Right() - 10));
        std::optional<std::size_t> at;
        std::vector<std::uint8_t> captured;
        EXPECT_TRUE(PollFor([&] {
            captured = run.Captured();
            return (at = FindRun(captured, signClip)).has_value();
        })) << "the capture never held phrase "
            << signPhrase << "'s clip";
        if (at) {
            const auto [first, last] = SoundingStretch(captured);
            EXPECT_GE(first, *at);
            EXPECT_LE(last, *at + signClip.size());
        }
        shot = run.ShotWhen("05-signs-spoken",
                            [&](const gdi::Bitmap& s) { return list.Selected(s, 2); });
        EXPECT_TRUE(list.Selected(shot, 2));
        const std::size_t spokenUpTo = captured.size();

        // Basic again; a click on the bracketed word of its first row with one opens the
        // picker; the last alternative replaces the word, and the German line follows.
        catalogue::ListRows basic;
        ASSERT_TRUE(
            catalogue::ListSpecRange(folder.Path() / "MapEngSpec.data", 1, 155, basic, show));
        std::size_t slotRow = 0;
        while (slotRow < basic.size() &&
               (basic[slotRow].item == nullptr ||
                basic[slotRow].item->display.find(u'[') == std::u16string::npos))
            ++slotRow;
        ASSERT_LT(slotRow, 8u) << "no row with a word choice in view";
        const CItem& slotItem = *basic[slotRow].item;
        const PhraseNo changedPhrase = numberOf(WithLastAlternative(slotItem));
        ASSERT_GT(changedPhrase, 0);
        ASSERT_NE(changedPhrase, numberOf(slotItem.display));

        run.ClickControl(ids::BasicButton);
        const gdi::Bitmap basicShot = run.ShotWhen("06-basic", [&](const gdi::Bitmap& s) {
            return list.Selected(s, 0) && DifferingPixels(s, shot, list.rows) > 500;
        });
        const int slotRowIndex = static_cast<int>(slotRow);
        run.Click(
            list.RowPoint(slotRowIndex, list.Left() + 2 + BracketedWordMiddle(slotItem.display)));
        // The picker's open list covers the rows below with its own white.
        const res::PixelRect below{list.Left(), list.Top() + (slotRowIndex + 1) * list.rowHeight,
                                   list.Right(), list.rows.bottom - 20};
        const gdi::Bitmap picker = run.ShotWhen("07-word-picker", [&](const gdi::Bitmap& s) {
            int white = 0;
            for (int y = below.top; y < below.bottom; ++y)
                for (int x = below.left; x < below.right; ++x)
                    white += s.GetPixel(x, y) == gdi::RGB(255, 255, 255) ? 1 : 0;
            return white > 300;
        });
        std::string keys;
        for (int i = 1; i < AlternativeCount(slotItem); ++i)
            keys += "Down ";
        run.Keys(keys + "Return");
        shot = run.ShotWhen("08-word-picked", [&](const gdi::Bitmap& s) {
            return DifferingPixels(s, basicShot, ControlPixels(ids::PronunciationLine)) > 30 &&
                   DifferingPixels(s, picker, below) > 300;
        });
        EXPECT_TRUE(list.Selected(shot, slotRowIndex));
        EXPECT_GT(DifferingPixels(shot, basicShot, ControlPixels(ids::PronunciationLine)), 30)
            << "the German line did not change";
        EXPECT_GT(LineTextPixels(shot), 30);
        // The changed row now speaks its own phrase.
        const std::vector<std::uint8_t> changedClip = DecodedClip(bundled, changedPhrase);
        run.DoubleClick(list.RowPoint(slotRowIndex, list.Right() - 10));
        EXPECT_TRUE(PollFor([&] {
            return FindRun(run.Captured(), changedClip, spokenUpTo).has_value();
        })) << "the changed row did not speak phrase "
            << changedPhrase;

        // Search "ticket": the matching rows, the first selected.
        catalogue::ListRows tickets;
        catalogue::SearchPhrases(folder.Path() / "MapEngSpec.data", u"ticket", false, tickets,
                                 show);
        catalogue::RemoveDuplicateRows(tickets);
        ASSERT_GE(tickets.size(), 2u);
        run.ClickControl(ids::SearchViewButton);
        shot = run.ShotWhen("09-search-view", [&](const gdi::Bitmap& s) {
            return list.RowsWithText(s) == 0 && LineTextPixels(s) == 0;
        });
        EXPECT_EQ(list.RowsWithText(shot), 0);
        run.Type("ticket");
        run.ClickControl(ids::RunSearchButton);
        shot = run.ShotWhen("10-search-ticket", [&](const gdi::Bitmap& s) {
            return list.Selected(s, 0) && LineTextPixels(s) > 30;
        });
        EXPECT_TRUE(list.Selected(shot, 0));
        EXPECT_EQ(list.RowsWithText(shot),
                  std::min<int>(static_cast<int>(tickets.size()),
                                (list.rows.bottom - 20 - list.Top()) / list.rowHeight));

        // Ctrl+C puts the selected row and its German line on the clipboard.
        if (OnPath("xclip")) {
            const PhraseNo ticket = numberOf(tickets[0].text);
            catalogue::StdFile lines =
                catalogue::StdFile::Open(folder.Path() / "Chinese.dat", "rb");
            const std::string expected =
                shell::Utf16ToUtf8(tickets[0].text + u" \u2014 " +
                                   catalogue::PronunciationDisplayText(
                                       catalogue::ReadPronunciation(lines, ticket), ticket));
            run.Keys("ctrl+c");
            EXPECT_TRUE(PollFor([&] { return run.Clipboard() == expected; }))
                << "the clipboard holds \"" << run.Clipboard() << "\", not \"" << expected << "\"";
        }

        // Relate on "Hello." (Basic, row 0): its related phrases, 4 then 2.
        run.ClickControl(ids::BasicButton);
        const gdi::Bitmap hello = run.ShotWhen("11-basic-again", [&](const gdi::Bitmap& s) {
            return list.Selected(s, 0) && list.RowsWithText(s) > 5;
        });
        run.ClickControl(ids::RelateButton);
        shot = run.ShotWhen("12-related", [&](const gdi::Bitmap& s) {
            return list.Selected(s, 0) && list.RowsWithText(s) == 2;
        });
        EXPECT_EQ(list.RowsWithText(shot), 2);
        EXPECT_GT(DifferingPixels(shot, hello, ControlPixels(ids::PronunciationLine)), 30);
        const std::size_t relatedFrom = run.Captured().size();
        run.DoubleClick(list.RowPoint(1, list.Right() - 10));
        EXPECT_TRUE(PollFor([&] {
            return FindRun(run.Captured(), DecodedClip(bundled, 2), relatedFrom).has_value();
        })) << "row 1 of Hello.'s related phrases is not phrase 2";

        // Add the selected phrase (2) to the favourites: a message box over the window.
        run.ClickControl(ids::AddButton);
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 2; })) << "no message box";
        run.ScreenShot("13-added-message");
        run.Keys("Return");
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 1; }));
        EXPECT_EQ(std::filesystem::file_size(folder.Path() / "favorite.dat") % 116, 0u);
        EXPECT_GE(std::filesystem::file_size(folder.Path() / "favorite.dat"), 116u);

        // Escape ends it with exit code 0.
        run.Keys("Escape");
        EXPECT_EQ(run.Process().Wait(), 0) << run.Process().ReadAll(1s);
    }

    // A new run keeps the favourite; the favourites view lists it, and Remove takes it away.
    {
        ProgramRun run(display.Name(), folder.Path(), folder.Path() / "sound-2.raw");
        ASSERT_TRUE(run.Up()) << run.Process().ReadAll(1s);
        const gdi::Bitmap start = run.ShotWhen("14-restart", [&](const gdi::Bitmap& s) {
            return list.Selected(s, 0) && LineTextPixels(s) > 30;
        });
        run.ClickControl(ids::FavouritesButton);
        shot = run.ShotWhen("15-favourites", [&](const gdi::Bitmap& s) {
            return list.Selected(s, 0) && list.RowsWithText(s) == 1;
        });
        EXPECT_EQ(list.RowsWithText(shot), 1);
        EXPECT_GT(DifferingPixels(shot, start, ControlPixels(ids::PronunciationLine)), 30);

        run.ClickControl(ids::AddButton);
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 2; })) << "no message box";
        run.ScreenShot("16-removed-message");
        run.Keys("Return");
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 1; }));
        shot = run.ShotWhen("17-favourites-empty", [&](const gdi::Bitmap& s) {
            return list.RowsWithText(s) == 0 && !list.Selected(s, 0);
        });
        EXPECT_EQ(list.RowsWithText(shot), 0);
        EXPECT_LE(std::filesystem::file_size(folder.Path() / "favorite.dat"), 1u);

        // ABOUT opens the about box over the window, Escape closes it, and the window stays.
        run.ClickControl(ids::AboutButton);
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 2; })) << "no about box";
        run.ScreenShot("18-about");
        run.Keys("Escape");
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 1; }));
        EXPECT_TRUE(run.Process().Running());
        run.Shot("19-about-closed");

        // A logout while a message box is open ("No favourite phrase!"): SIGTERM ends the
        // program at once, as the close button would, with exit code 0.
        run.ClickControl(ids::FavouritesButton);
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 2; })) << "no message box";
        kill(run.Process().Pid(), SIGTERM);
        EXPECT_EQ(run.Process().Wait(5s), 0) << run.Process().ReadAll(1s);
        EXPECT_LE(std::filesystem::file_size(folder.Path() / "favorite.dat"), 1u);
    }
}

TEST(AppEndToEnd, RRecordsTheLearnerFromTheMicrophoneAndTheClipThenTheTakeAreHeard) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    VirtualDisplay display;
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    RunFolder folder;
    for (const char* name :
         {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat", "Ipa.txt"})
        std::filesystem::create_symlink(bundled / name, folder.Path() / name);

    // What the microphone hears: a word of 0.6 s, then quiet; the take ends 0.8 s into it.
    constexpr std::uint32_t Rate = 16000;
    std::vector<std::int16_t> heard(Rate * 4, 0);
    for (std::size_t i = 0; i < Rate * 6 / 10; ++i)
        heard[i] = static_cast<std::int16_t>(6000 * std::sin(2 * M_PI * 190.0 * i / Rate));
    const std::filesystem::path microphone = folder.Path() / "microphone.raw";
    std::ofstream(microphone, std::ios::binary)
        .write(reinterpret_cast<const char*>(heard.data()),
               static_cast<std::streamsize>(heard.size() * 2));
    const std::vector<std::int16_t> take(heard.begin(), heard.begin() + Rate * 14 / 10);

    ProgramRun run(display.Name(), folder.Path(), folder.Path() / "sound.raw", microphone);
    ASSERT_TRUE(run.Up()) << run.Process().ReadAll(1s);
    ASSERT_TRUE(PollFor([&] { return LineTextPixels(run.Shot("20-record-start")) > 30; }));

    // The selected phrase, from what Ctrl+C copies: its English, German and IPA.
    run.Keys("ctrl+c");
    std::string copied;
    ASSERT_TRUE(PollFor([&] { return (copied = run.Clipboard()).find("/") != std::string::npos; }))
        << "the clipboard holds \"" << copied << "\"";
    const std::u16string text = shell::Utf8ToUtf16(copied);
    const std::u16string english = text.substr(0, text.find(u" \u2014 "));
    catalogue::PhraseMap phrases;
    ASSERT_TRUE(catalogue::LoadAllPhrases(folder.Path() / "English.dat", phrases));
    ASSERT_TRUE(phrases.count(english)) << shell::Utf16ToUtf8(english);
    const PhraseNo phrase = catalogue::ParseDecimal(phrases.at(english));
    EXPECT_EQ(text.back(), u'/');

    // R: the clip, the pause and the take, as one sound in the device's capture.
    const std::vector<std::uint8_t> clip = DecodedClip(folder.Path(), phrase);
    ASSERT_FALSE(clip.empty());
    catalogue::ClipFetch fetch =
        catalogue::ReadClip(folder.Path() / "data.dat", folder.Path() / "data.idx", phrase);
    media::CaptureWaveOutDriver driver;
    CAudioPlayer reference(driver);
    ASSERT_EQ(reference.Open(std::move(fetch.clip)), CAudioPlayer::Done);
    std::vector<std::uint8_t> pair = clip;
    const std::vector<std::uint8_t> after =
        audio::TakeAfterPause(take, Rate, reference.WaveFormat());
    pair.insert(pair.end(), after.begin(), after.end());

    // Searched for up to its last sound (a run of zeros would make the search slow), from
    // where the capture was when R was pressed.
    while (!pair.empty() && pair.back() == 0)
        pair.pop_back();
    const std::size_t before = run.Captured().size();
    run.Keys("r");
    EXPECT_TRUE(PollFor([&] { return FindRun(run.Captured(), pair, before).has_value(); }))
        << "the capture does not hold the clip followed by the take";
    // The two envelopes under the German line: the take's in its red.
    const gdi::Bitmap shot = run.ShotWhen("21-record-envelopes", [&](const gdi::Bitmap& s) {
        int red = 0;
        for (int y = 491; y < 501; ++y)
            for (int x = 215; x < 480; ++x)
                red += s.GetPixel(x, y) == gdi::RGB(200, 70, 50);
        return red > 100;
    });
    EXPECT_TRUE(shot);
    run.Keys("Escape");
    EXPECT_EQ(run.Process().Wait(5s), 0) << run.Process().ReadAll(1s);
}

// The favourites view's Export button in the real window: the deck and the sheet land in the
// documents folder that xdg-user-dir names, and a message box names them.
TEST(AppEndToEnd, ExportPutsTheFavouritesDeckAndSheetIntoTheDocumentsFolder) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    if (!testing_support::OnPath("xdg-user-dir")) GTEST_SKIP() << "xdg-user-dirs is not installed";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    VirtualDisplay display;
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    RunFolder folder;
    for (const char* name :
         {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat", "Ipa.txt"})
        std::filesystem::create_symlink(bundled / name, folder.Path() / name);
    {
        catalogue::StdFile favourites =
            catalogue::StdFile::Open(folder.Path() / "favorite.dat", "wb");
        for (const auto& [text, number] : {std::pair{u"Hello.", 1}, std::pair{u"Goodbye.", 8}}) {
            PhraseRecord record;
            record.SetText(text);
            record.number = number;
            ASSERT_TRUE(favourites.WriteRecord(record));
        }
    }
    const std::filesystem::path home = folder.Path() / "home";
    const std::filesystem::path documents = home / "Dokumente";
    std::filesystem::create_directories(documents);
    std::filesystem::create_directories(home / ".config");
    std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    // The program inherits them; put back when the test ends.
    const std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ProgramRun run(display.Name(), folder.Path(), folder.Path() / "sound.raw");
    setenv("HOME", oldHome.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(run.Up()) << run.Process().ReadAll(1s);

    run.ClickControl(ids::FavouritesButton);
    ASSERT_TRUE(PollFor([&] {
        const gdi::Bitmap shot = run.Shot("30-export-favourites");
        return shot && DifferingPixels(shot, MainSkin(), ControlPixels(ids::ExportButton)) > 200;
    }));
    run.ClickControl(ids::ExportButton);
    const std::filesystem::path deck = documents / "Tolkara German favourites.apkg";
    const std::filesystem::path sheet = documents / "Tolkara German favourites.pdf";
    EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 2; }));
    run.ScreenShot("31-export-message");
    ASSERT_TRUE(std::filesystem::exists(deck));
    const std::vector<std::uint8_t> pdf = FileBytes(sheet);
    ASSERT_GT(pdf.size(), 4u);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 4), "%PDF");
    const std::vector<std::uint8_t> zip = FileBytes(deck);
    ASSERT_GT(zip.size(), 4u);
    EXPECT_EQ(std::string(zip.begin(), zip.begin() + 2), "PK");
    run.Keys("Return");
    EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 1; }));
    run.Keys("Escape");
    EXPECT_EQ(run.Process().Wait(5s), 0) << run.Process().ReadAll(1s);
}

TEST(AppEndToEnd, PractisesTheFavouritesAndAGoodCardIsNotAskedAgainToday) {
    if (!HaveXTools()) GTEST_SKIP() << "Xvfb, xdotool, x11-utils or ImageMagick is not installed";
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    VirtualDisplay display;
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    RunFolder folder;
    for (const char* name : {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"})
        std::filesystem::create_symlink(bundled / name, folder.Path() / name);
    // Two favourites: the first two phrases of the catalogue.
    ASSERT_EQ(
        catalogue::ConvertEnglishText(folder.Path() / "English.txt", folder.Path() / "English.dat"),
        catalogue::ConvertResult::Written);
    std::vector<PhraseRecord> favourites;
    {
        auto english = catalogue::StdFile::Open(folder.Path() / "English.dat", "rb");
        auto file = catalogue::StdFile::Open(folder.Path() / "favorite.dat", "wb");
        for (int i = 0; i < 2; ++i) {
            auto record = english.ReadRecord<PhraseRecord>();
            ASSERT_TRUE(record && file.WriteRecord(*record));
            favourites.push_back(*record);
        }
    }
    const auto known = [](std::uint32_t) { return true; };
    const catalogue::Day today = catalogue::LocalToday();

    // Each run: the favourites, Ctrl+P, Space, Good, Escape twice (the card, the window).
    const auto practise = [&](const std::string& shot) {
        ProgramRun run(display.Name(), folder.Path(), folder.Path() / "sound.raw");
        ASSERT_TRUE(run.Up()) << run.Process().ReadAll(1s);
        ASSERT_TRUE(PollFor([&] { return LineTextPixels(run.Shot(shot + "-start")) > 30; }));
        run.ClickControl(ids::FavouritesButton);
        std::this_thread::sleep_for(300ms);
        run.Keys("ctrl+p");
        ASSERT_TRUE(PollFor([&] { return run.VisibleWindows() == 2; })) << "no practice card";
        run.Keys("space");
        std::this_thread::sleep_for(500ms);
        run.ScreenShot(shot + "-card");
        const std::size_t before = catalogue::LoadPracticeDeck(folder.Path(), known).cards.size();
        run.Keys("3");
        EXPECT_TRUE(PollFor([&] {
            return catalogue::LoadPracticeDeck(folder.Path(), known).cards.size() == before + 1;
        })) << "the grade is not kept";
        run.Keys("Escape");
        EXPECT_TRUE(PollFor([&] { return run.VisibleWindows() == 1; }));
        run.Keys("Escape");
        EXPECT_EQ(run.Process().Wait(5s), 0) << run.Process().ReadAll(1s);
    };

    practise("40-practice");
    catalogue::PracticeDeck deck = catalogue::LoadPracticeDeck(folder.Path(), known);
    ASSERT_EQ(deck.cards.size(), 1u);
    const catalogue::PracticeCard first = deck.cards[0];
    EXPECT_EQ(static_cast<PhraseNo>(first.number), favourites[0].number);
    EXPECT_EQ(first.english, "Hello.");  // without phrase 1's byte-order mark and line end
    EXPECT_GT(first.schedule.due, today);

    // Started again, the card of the first favourite is not due: the second one is asked.
    practise("41-practice-again");
    deck = catalogue::LoadPracticeDeck(folder.Path(), known);
    ASSERT_EQ(deck.cards.size(), 2u);
    EXPECT_EQ(deck.cards[0], first);
    EXPECT_EQ(static_cast<PhraseNo>(deck.cards[1].number), favourites[1].number);
}

}  // namespace
