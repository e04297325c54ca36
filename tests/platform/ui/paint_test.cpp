#include <gtest/gtest.h>

#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"
#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

constexpr gdi::COLORREF Red = gdi::RGB(255, 0, 0);
constexpr gdi::COLORREF Green = gdi::RGB(0, 255, 0);
constexpr gdi::COLORREF Blue = gdi::RGB(0, 0, 255);

// Erases with one colour and paints a frame of a second; records the order.
class Painter : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    Log* log = nullptr;
    std::string name;
    gdi::COLORREF colour = Red;
    RECT lastPaint{};
    bool lastErase = false;

    LRESULT OnEraseBkgnd(WPARAM w, LPARAM) {
        log->push_back(name + " erase");
        RECT client;
        GetClientRect(client);
        // Deliberately too large: the DC must keep the fill inside the window.
        gdi::InflateRect(client, 50, 50);
        gdi::FillRect(*DCFromWParam(w), client, gdi::CreateSolidBrush(colour));
        return 1;
    }
    LRESULT OnPaint(WPARAM, LPARAM) {
        PaintDC dc(*this);  // erases first when asked
        log->push_back(name + " paint");
        lastPaint = dc.Paint().rcPaint;
        lastErase = dc.Paint().fErase;
        return 0;
    }
};

const MessageMap Painter::messageMap{&Window::messageMap,
                                     {
                                         OnMessage<&Painter::OnEraseBkgnd>(WM_ERASEBKGND),
                                         OnMessage<&Painter::OnPaint>(WM_PAINT),
                                     }};

struct PaintScene : Fixture {
    Log log;
    Painter top, child;
    explicit PaintScene(Style topStyle = 0) {
        top.log = child.log = &log;
        top.name = "top";
        child.name = "child";
        child.colour = Blue;
        MakeTop(app, top, RECT{100, 100, 300, 200}, WS_POPUP | WS_VISIBLE | topStyle);
        MakeChild(app, child, top, RECT{20, 10, 60, 40}, 1);
        app.PumpMessages();
        log.clear();
    }
    gdi::COLORREF Shown(int x, int y) const {
        return backend.Screenshot(top.GetSafeHwnd()).GetPixel(x, y);
    }
};

TEST(Paint, FirstShowPaintsParentBeforeChildAndPresents) {
    Fixture f;
    Log log;
    Painter top, child;
    top.log = child.log = &log;
    top.name = "top";
    child.name = "child";
    child.colour = Blue;
    MakeTop(f.app, top, RECT{100, 100, 300, 200});
    MakeChild(f.app, child, top, RECT{20, 10, 60, 40}, 1);
    f.app.PumpMessages();
    EXPECT_EQ(log, (Log{"top erase", "top paint", "child erase", "child paint"}));
    const gdi::Bitmap shot = f.backend.Screenshot(top.GetSafeHwnd());
    EXPECT_EQ(shot.GetPixel(5, 5), Red);
    EXPECT_EQ(shot.GetPixel(20, 10), Blue);
    EXPECT_EQ(shot.GetPixel(59, 39), Blue);
    EXPECT_EQ(shot.GetPixel(60, 40), Red);  // the child's too-large fill stayed inside it
}

TEST(Paint, InvalidatingTheParentRepaintsChildrenItCovers) {
    PaintScene s;
    RECT r{0, 0, 30, 30};
    s.top.InvalidateRect(&r, true);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"top erase", "top paint", "child erase", "child paint"}));
    EXPECT_EQ(s.child.lastPaint, (RECT{0, 0, 10, 20}));  // only the part that was invalid
    // A parent that clips its children leaves them alone.
    PaintScene c(WS_CLIPCHILDREN);
    c.top.Invalidate();
    c.app.PumpMessages();
    EXPECT_EQ(c.log, (Log{"top erase", "top paint"}));
    EXPECT_EQ(c.Shown(30, 20), Blue);
}

TEST(Paint, InvalidationAccumulatesAndTheEraseFlagIsKept) {
    PaintScene s;
    RECT a{0, 0, 10, 10};
    RECT b{150, 80, 160, 90};
    s.top.InvalidateRect(&a, false);
    s.top.InvalidateRect(&b, false);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"top paint"}));
    EXPECT_EQ(s.top.lastPaint, (RECT{0, 0, 160, 90}));
    EXPECT_FALSE(s.top.lastErase);
    s.log.clear();
    s.top.InvalidateRect(&a, false);
    s.top.InvalidateRect(&b, true);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"top erase", "top paint"}));
}

TEST(Paint, OnlyWhatChangedIsPresented) {
    PaintScene s;
    const auto* state = s.backend.State(s.top.GetSafeHwnd());
    const int presents = state->presents;
    RECT r{5, 5, 10, 8};
    s.child.InvalidateRect(&r, true);
    s.app.PumpMessages();
    EXPECT_EQ(state->presents, presents + 1);
    EXPECT_EQ(state->lastPresent, gdi::Region(RECT{25, 15, 30, 18}));
    // Nothing invalid: nothing painted, nothing presented.
    s.log.clear();
    s.app.PumpMessages();
    EXPECT_EQ(state->presents, presents + 1);
    EXPECT_TRUE(s.log.empty());
}

TEST(Paint, UpdateWindowAndRedrawWindowPaintAtOnce) {
    PaintScene s;
    s.child.Invalidate(false);
    s.child.UpdateWindow();
    EXPECT_EQ(s.log, (Log{"child paint"}));
    s.log.clear();
    s.child.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(s.log, (Log{"child erase", "child paint"}));
    s.log.clear();
    s.app.PumpMessages();
    EXPECT_TRUE(s.log.empty());
    // Without RDW_UPDATENOW the paint waits for the loop.
    s.child.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE);
    EXPECT_TRUE(s.log.empty());
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"child paint"}));
}

TEST(Paint, WindowRegionClipsDrawingAndTheVisibleShape) {
    PaintScene s;
    // The child keeps only its left half; the top-level window loses its right quarter.
    s.child.SetWindowRgn(gdi::Region(RECT{0, 0, 20, 30}), true);
    s.top.SetWindowRgn(gdi::Region(RECT{0, 0, 150, 100}), true);
    s.app.PumpMessages();
    EXPECT_EQ(s.Shown(25, 15), Blue);
    EXPECT_EQ(s.Shown(45, 15), Red);  // inside the child's rectangle, outside its shape
    EXPECT_EQ(s.Shown(149, 50), Red);
    EXPECT_EQ(s.Shown(150, 50), gdi::RGB(0, 0, 0));  // outside the window's shape
    ASSERT_TRUE(s.backend.State(s.top.GetSafeHwnd())->shape);
    EXPECT_EQ(*s.backend.State(s.top.GetSafeHwnd())->shape, gdi::Region(RECT{0, 0, 150, 100}));
}

TEST(Paint, HidingAChildRepaintsWhatWasBehindIt) {
    PaintScene s;
    s.child.ShowWindow(SW_HIDE);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"top erase", "top paint"}));
    EXPECT_EQ(s.top.lastPaint, (RECT{20, 10, 60, 40}));
    EXPECT_EQ(s.Shown(30, 20), Red);
    s.log.clear();
    s.child.MoveWindow(0, 0, 10, 10);  // hidden: nothing to paint
    s.app.PumpMessages();
    EXPECT_TRUE(s.log.empty());
    s.child.ShowWindow(SW_SHOW);
    s.app.PumpMessages();
    EXPECT_EQ(s.log, (Log{"child erase", "child paint"}));
    EXPECT_EQ(s.Shown(5, 5), Blue);
}

TEST(Paint, ClientDCDrawsOutsidePaintingAndIsPresentedByTheLoop) {
    PaintScene s;
    {
        ClientDC dc(s.child);
        gdi::FillRect(dc, RECT{0, 0, 100, 100}, gdi::CreateSolidBrush(Green));
    }
    s.app.PumpMessages();
    EXPECT_EQ(s.Shown(20, 10), Green);
    EXPECT_EQ(s.Shown(59, 39), Green);
    EXPECT_EQ(s.Shown(60, 40), Red);
}

}  // namespace
