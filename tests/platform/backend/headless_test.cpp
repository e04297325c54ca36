#include <gtest/gtest.h>

#include <filesystem>

#include "platform/backend/headless/headlessbackend.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/png.h"
#include "platform/ui/application.h"
#include "platform/ui/window.h"

namespace {

using namespace ui;

class Green : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    LRESULT OnEraseBkgnd(WPARAM w, LPARAM) {
        RECT r;
        GetClientRect(r);
        gdi::FillRect(*DCFromWParam(w), r, gdi::CreateSolidBrush(gdi::RGB(0, 200, 0)));
        return 1;
    }
};

const MessageMap Green::messageMap{&Window::messageMap,
                                   {OnMessage<&Green::OnEraseBkgnd>(WM_ERASEBKGND)}};

TEST(Headless, ScreenshotShowsPresentedPixelsInsideTheShapeAndSavesAsPng) {
    backend::HeadlessBackend backend;
    Application app(backend);
    Green w;
    w.Create(app, u"Green", u"", WS_POPUP | WS_VISIBLE, RECT{10, 10, 50, 40}, nullptr, 0);
    w.SetWindowRgn(gdi::Region(RECT{5, 5, 20, 20}), true);
    // Nothing is shown before the loop paints and presents.
    EXPECT_FALSE(backend.Screenshot(w.GetSafeHwnd()));
    app.PumpMessages();
    const gdi::Bitmap shot = backend.Screenshot(w.GetSafeHwnd());
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot.Width(), 40);
    EXPECT_EQ(shot.Height(), 30);
    EXPECT_EQ(shot.GetPixel(10, 10), gdi::RGB(0, 200, 0));
    EXPECT_EQ(shot.GetPixel(2, 2), gdi::RGB(0, 0, 0));
    const auto path = std::filesystem::temp_directory_path() / "headless-screenshot-test.png";
    ASSERT_TRUE(backend.SavePng(w.GetSafeHwnd(), path.string()));
    const gdi::Bitmap loaded = gdi::LoadPng(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.GetPixel(10, 10), gdi::RGB(0, 200, 0));
    EXPECT_EQ(loaded.GetPixel(25, 25), gdi::RGB(0, 0, 0));
}

TEST(Headless, IdleStepsRunOnlyWhenTheLoopWaitsAndItStallsAfterThem) {
    backend::HeadlessBackend backend;
    InputEvent e;
    EXPECT_FALSE(backend.WaitEvent(e, backend.Now()));  // polling never runs a step
    int steps = 0;
    backend.WhenIdle([&] {
        ++steps;
        backend.Advance(10);
    });
    EXPECT_FALSE(backend.WaitEvent(e, backend.Now() + 10));  // the step moved the clock
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(backend.Now(), 1010u);
    ASSERT_TRUE(backend.WaitEvent(e, std::nullopt));
    EXPECT_EQ(e.type, InputEvent::Type::Stalled);
}

}  // namespace
