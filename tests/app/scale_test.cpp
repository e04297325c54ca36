// The main window on a high-density display: the same window on the headless backend at scale
// 2 and at scale 1, with the bundled phrasebook.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "app/controlids.h"
#include "app/displayscale.h"
#include "app/phraseapp.h"
#include "app/skindlg.h"
#include "platform/backend/headless/headlessbackend.h"
#include "platform/gdi/blit.h"
#include "runfolder.h"
#include "tests/support/recordingshell.h"
#include "tests/support/runfolder.h"

namespace {

using namespace ui;

// The main window on a screen at `scale`, run through the given steps and closed.
struct ScaledWindow {
    explicit ScaledWindow(int scale) : ScaledWindow(scale, SIZE{1280 * scale, 1024 * scale}) {}
    ScaledWindow(int scale, SIZE screen) : backend(screen, scale) { app.SetShell(&shell); }
    void Run(std::vector<std::function<void()>> steps) {
        for (auto& step : steps)
            backend.WhenIdle(std::move(step));
        backend.WhenIdle([this] { backend.Key(VK_ESCAPE); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
    // A control's rectangle in the main window's coordinates.
    RECT InWindow(HWND control) const {
        RECT r = app.GetWindowRect(control);
        const RECT w = app.GetWindowRect(dlg.GetSafeHwnd());
        gdi::OffsetRect(r, -w.left, -w.top);
        return r;
    }
    // Pointer input at a point of the window in device pixels, as the window system sends it.
    void Pointer(InputEvent::Type type, POINT device) {
        InputEvent e;
        e.type = type;
        e.window = dlg.GetSafeHwnd();
        e.pt = device;
        e.button = 1;
        e.time = backend.Now();
        backend.Event(e);
    }

    // The program's resources and control classes, before the window is made.
    struct ProgramApplication : Application {
        explicit ProgramApplication(Backend& backend) : Application(backend) {
            CPhraseApp::Prepare(*this);
        }
    };

    backend::HeadlessBackend backend;
    ProgramApplication app{backend};
    testing_support::RecordingShell shell;
    CSkinDlg dlg{app};
};

// Sum of squared brightness steps between neighbouring pixels: how crisp the edges are.
double EdgeEnergy(const gdi::Bitmap& image, const RECT& r) {
    auto level = [&](int x, int y) {
        const gdi::COLORREF c = image.GetPixel(x, y);
        return (gdi::GetRValue(c) * 30 + gdi::GetGValue(c) * 59 + gdi::GetBValue(c) * 11) / 100.0;
    };
    double energy = 0;
    for (int y = r.top; y + 1 < r.bottom; ++y) {
        for (int x = r.left; x + 1 < r.right; ++x) {
            const double here = level(x, y);
            energy += (level(x + 1, y) - here) * (level(x + 1, y) - here) +
                      (level(x, y + 1) - here) * (level(x, y + 1) - here);
        }
    }
    return energy;
}

RECT Times(RECT r, int s) {
    return RECT{r.left * s, r.top * s, r.right * s, r.bottom * s};
}

TEST(MainWindowScaled, TwiceTheSizeWithItsShapeSharpTextClicksAndDrags) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    apptest::RunFolder folder;
    for (const char* name : {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"})
        std::filesystem::create_symlink(bundled / name, folder.Path() / name);

    // At scale 1: the picture, the shape and where a phrase row lies.
    gdi::Bitmap single;
    std::optional<gdi::Region> singleShape;
    RECT row{};
    {
        ScaledWindow w(1);
        w.Run({[&] {
            const auto* state = w.backend.State(w.dlg.GetSafeHwnd());
            ASSERT_NE(state, nullptr);
            single = w.backend.Screenshot(w.dlg.GetSafeHwnd());
            singleShape = state->shape;
            w.dlg.GetDlgItemWindow(ids::PhraseList)
                ->SendMessage(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
            const RECT list = w.InWindow(w.dlg.GetDlgItem(ids::PhraseList));
            gdi::OffsetRect(row, list.left, list.top);
        }});
    }
    ASSERT_TRUE(single);
    ASSERT_TRUE(singleShape.has_value());
    ASSERT_FALSE(gdi::IsRectEmpty(row));

    ScaledWindow w(2);
    gdi::Bitmap twice;
    RECT before{};
    w.Run({[&] {
               const auto* state = w.backend.State(w.dlg.GetSafeHwnd());
               ASSERT_NE(state, nullptr);
               // The program still sees the window at its own size.
               RECT client;
               w.dlg.GetClientRect(client);
               EXPECT_EQ(client.Width(), single.Width());
               EXPECT_EQ(client.Height(), single.Height());
               EXPECT_EQ(state->rect.Width(), 2 * single.Width());
               EXPECT_EQ(state->rect.Height(), 2 * single.Height());
               twice = w.backend.Screenshot(w.dlg.GetSafeHwnd());
               ASSERT_TRUE(state->shape.has_value());
               gdi::Region expected = *singleShape;
               expected.Scale(2);
               EXPECT_TRUE(gdi::EqualRgn(*state->shape, expected));
               EXPECT_EQ(w.dlg.GetDlgItemWindow(ids::PhraseList)->SendMessage(LB_GETCOUNT),
                         96);  // Basic
               // A click at device point (2x, 2y) lands on the control at (x, y): Travel.
               const RECT travel = w.InWindow(w.dlg.GetDlgItem(ids::TravelButton));
               const POINT at{travel.left + travel.right, travel.top + travel.bottom};
               w.Pointer(InputEvent::Type::MouseMove, at);
               w.Pointer(InputEvent::Type::MouseDown, at);
               w.Pointer(InputEvent::Type::MouseUp, at);
           },
           [&] {
               // Travel lists its 119 rows.
               EXPECT_EQ(w.dlg.GetDlgItemWindow(ids::PhraseList)->SendMessage(LB_GETCOUNT), 119);
               // A press on the frame drags the window by the pointer's device pixels.
               before = w.backend.State(w.dlg.GetSafeHwnd())->rect;
               const POINT from{2 * 8, 2 * 300};
               const POINT to{from.x + 40, from.y + 26};
               w.Pointer(InputEvent::Type::MouseMove, from);
               w.Pointer(InputEvent::Type::MouseDown, from);
               w.Pointer(InputEvent::Type::MouseMove, to);
               w.Pointer(InputEvent::Type::MouseUp, to);
           },
           [&] {
               const RECT after = w.backend.State(w.dlg.GetSafeHwnd())->rect;
               EXPECT_EQ(after.left, before.left + 40);
               EXPECT_EQ(after.top, before.top + 26);
               RECT logical;
               w.dlg.GetWindowRect(logical);
               EXPECT_EQ(logical.left * 2, after.left);
               EXPECT_EQ(logical.top * 2, after.top);
           }});
    ASSERT_TRUE(twice);
    ASSERT_EQ(twice.Width(), 2 * single.Width());
    ASSERT_EQ(twice.Height(), 2 * single.Height());

    // The 1× picture scaled up smoothly: what the window would show had it only been enlarged.
    gdi::DC from = gdi::DC::Memory();
    from.SelectObject(single);
    gdi::DC to = gdi::DC::Memory();
    to.SelectObject(gdi::CreateScaledDIBSection32(single.Width(), single.Height(), 2));
    gdi::BitBlt(to, 0, 0, single.Width(), single.Height(), &from, 0, 0, gdi::SRCCOPY);
    const gdi::Bitmap enlarged = to.CurrentBitmap();

    // The text of a phrase row is drawn at the device's size: its edges are far crisper.
    const double sharp = EdgeEnergy(twice, Times(row, 2));
    const double blurred = EdgeEnergy(enlarged, Times(row, 2));
    EXPECT_GT(sharp, 1.5 * blurred) << sharp << " against " << blurred;
    // Away from text the picture is the enlarged one: the skin's bitmaps scaled smoothly.
    const POINT plain{8, single.Height() / 2};
    for (const POINT p : {plain, POINT{plain.x + 1, plain.y}})
        EXPECT_EQ(twice.GetPixel(2 * p.x + 1, 2 * p.y + 1),
                  enlarged.GetPixel(2 * p.x + 1, 2 * p.y + 1));
}

// A scale chosen too large for the screen: the window keeps its top edge and close button in
// view, and the program says why it does not fit.
TEST(MainWindowScaled, TooLargeForTheScreenKeepsTheTopEdgeAndCloseButtonInView) {
    apptest::RunFolder folder;
    folder.WriteTextFiles();
    const SIZE screen{1600, 1000};
    ScaledWindow w(3, screen);
    w.Run({[&] {
        const RECT window = w.backend.State(w.dlg.GetSafeHwnd())->rect;
        EXPECT_EQ(window.top, 0);
        RECT close = Times(w.InWindow(w.dlg.GetDlgItem(ids::CloseButton)), 3);
        gdi::OffsetRect(close, window.left, window.top);
        EXPECT_GE(close.left, 0);
        EXPECT_LE(close.right, screen.cx);
        EXPECT_GE(close.top, 0);
    }});
    EXPECT_TRUE(w.shell.messages.empty());

    const SIZE window{684, 559};
    EXPECT_EQ(ScaleMisfit(3, screen, window),
              "at scale 3 the window (2052x1677) is larger than the screen (1600x1000); its top "
              "edge and close button stay on the screen; --scale 1 fits");
    EXPECT_EQ(ScaleMisfit(2, SIZE{1280, 800}, window),
              "at scale 2 the window (1368x1118) is larger than the screen (1280x800); its top "
              "edge and close button stay on the screen; --scale 1 fits");
    EXPECT_EQ(ScaleMisfit(1, SIZE{640, 480}, window),
              "at scale 1 the window (684x559) is larger than the screen (640x480); its top "
              "edge and close button stay on the screen");
    EXPECT_EQ(ScaleMisfit(2, SIZE{1368, 1118}, window), "");
}

TEST(DisplayScale, OptionBeatsEnvironmentBeatsADensityThatFits) {
    EXPECT_EQ(ParseScale("2"), 2);
    for (const char* bad : {"", "0", "4", "2x", " 2", "-1", "1.5"})
        EXPECT_FALSE(ParseScale(bad).has_value()) << bad;
    const SIZE big{3840, 2160};
    const SIZE window{684, 559};
    EXPECT_EQ(ChooseScale(1, "3", 300, big, window), 1);
    EXPECT_EQ(ChooseScale(std::nullopt, "3", 96, big, window), 3);
    EXPECT_EQ(ChooseScale(std::nullopt, "9", 200, big, window), 2);  // ignored
    EXPECT_EQ(ChooseScale(std::nullopt, nullptr, 191, big, window), 1);
    EXPECT_EQ(ChooseScale(std::nullopt, nullptr, 192, big, window), 2);
    EXPECT_EQ(ChooseScale(std::nullopt, nullptr, 288, big, window), 3);
    // 3 × 559 rows do not fit 1600, 2 × 559 do.
    EXPECT_EQ(ChooseScale(std::nullopt, nullptr, 300, SIZE{2560, 1600}, window), 2);
    EXPECT_EQ(ChooseScale(std::nullopt, nullptr, 300, SIZE{1280, 800}, window), 1);
}

}  // namespace
