#include <gtest/gtest.h>

#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

// A button that passes its mouse messages to a tooltip before the standard handling, as the
// skinned buttons do.
class TipButton : public Button {
    UI_DECLARE_MESSAGE_MAP()
public:
    ToolTip tip;
    void Relay(WPARAM wParam, LPARAM lParam) {
        if (tip.IsWindow()) {
            tip.RelayEvent(MSG{GetSafeHwnd(), CurrentMessage()->message, wParam, lParam, 0,
                               PointFromLParam(lParam)});
        }
    }
    LRESULT Move(WPARAM w, LPARAM l) {
        Relay(w, l);
        return OnMouseMove(w, l);
    }
    LRESULT Down(WPARAM w, LPARAM l) {
        Relay(w, l);
        return OnLButtonDown(w, l);
    }
    LRESULT Up(WPARAM w, LPARAM l) {
        Relay(w, l);
        return OnLButtonUp(w, l);
    }
};

const MessageMap TipButton::messageMap{&Button::messageMap,
                                       {
                                           OnMessage<&TipButton::Move>(WM_MOUSEMOVE),
                                           OnMessage<&TipButton::Down>(WM_LBUTTONDOWN),
                                           OnMessage<&TipButton::Up>(WM_LBUTTONUP),
                                       }};

struct TipScene : Fixture {
    TipButton button;
    Button other;
    TipScene() {
        Make(button, ButtonClass, u"Basic", BS_PUSHBUTTON, RECT{10, 10, 110, 40}, 1003);
        Make(other, ButtonClass, u"Other", BS_PUSHBUTTON, RECT{150, 10, 250, 40}, 1004);
        EXPECT_TRUE(button.tip.Create(button));
        EXPECT_TRUE(button.tip.AddTool(button, u"General"));
        button.tip.Activate(true);
        Pump();
    }
    // Moves the pointer (the move is handled before the clock goes on).
    void Move(POINT host) {
        backend.MouseMove(Top(), host);
        Pump();
    }
    void Wait(int ms) {
        backend.Advance(static_cast<std::uint64_t>(ms));
        Pump();
    }
};

TEST(ToolTip, ShowsAfterTheDelayNearThePointerWithoutTakingTheFocus) {
    TipScene s;
    s.other.SetFocus();
    s.backend.MouseMove(s.Top(), s.At(s.button, POINT{20, 10}));
    s.Pump();
    EXPECT_FALSE(s.button.tip.IsShowing());
    s.Wait(600);
    ASSERT_TRUE(s.button.tip.IsShowing());
    EXPECT_EQ(s.app.GetFocus(), s.other.GetSafeHwnd());
    EXPECT_EQ(s.app.GetActiveWindow(), s.Top());
    RECT tip;
    s.button.tip.GetWindowRect(tip);
    const POINT pointer = s.app.GetCursorPos();
    EXPECT_GT(tip.top, pointer.y);
    EXPECT_LT(tip.top - pointer.y, 40);
    EXPECT_EQ(tip.left, pointer.x);
    // The text replacement shows at once.
    s.button.tip.UpdateTipText(u"FAQ", s.button);
    EXPECT_EQ(s.button.tip.GetText(s.button), u"FAQ");
    EXPECT_TRUE(s.button.tip.IsShowing());
    EXPECT_EQ(s.button.tip.GetToolCount(), 1);
    // A maximum width wraps long texts only: a short one keeps its own width.
    s.button.tip.SetMaxTipWidth(300);
    s.button.tip.UpdateTipText(u"Help (F1)", s.button);
    s.button.tip.GetWindowRect(tip);
    EXPECT_LT(tip.right - tip.left, 100);
    std::u16string words;
    for (int i = 0; i < 40; ++i)
        words += u"word ";
    s.button.tip.UpdateTipText(words, s.button);
    s.button.tip.GetWindowRect(tip);
    EXPECT_LE(tip.right - tip.left, 308);
    EXPECT_GT(tip.bottom - tip.top, 30);
}

TEST(ToolTip, HidesOnPressAndOnLeaving) {
    TipScene s;
    s.Move(s.At(s.button, POINT{20, 10}));
    s.Wait(600);
    ASSERT_TRUE(s.button.tip.IsShowing());
    s.backend.MouseDown(s.Top(), s.At(s.button, POINT{20, 10}));
    s.backend.MouseUp(s.Top(), s.At(s.button, POINT{20, 10}));
    s.Pump();
    EXPECT_FALSE(s.button.tip.IsShowing());
    EXPECT_EQ(s.host.log, (Log{"1003:0"}));  // the button still works as a button
    s.Wait(1000);
    EXPECT_FALSE(s.button.tip.IsShowing());  // not again while the pointer stays

    // Off the button and back: shown again after the delay; leaving the window hides it.
    s.Move(POINT{380, 280});
    s.Wait(200);
    s.Move(s.At(s.button, POINT{30, 12}));
    s.Wait(600);
    EXPECT_TRUE(s.button.tip.IsShowing());
    s.backend.MouseLeave(s.Top());
    s.Wait(200);
    EXPECT_FALSE(s.button.tip.IsShowing());
}

TEST(ToolTip, InactiveTipsAndToolsForARectangle) {
    TipScene s;
    s.button.tip.Activate(false);
    s.Move(s.At(s.button, POINT{20, 10}));
    s.Wait(600);
    EXPECT_FALSE(s.button.tip.IsShowing());
    s.button.tip.Activate(true);

    ToolTip area;
    ASSERT_TRUE(area.Create(s.host, TTS_BALLOON));
    const RECT corner{0, 200, 100, 300};
    area.AddTool(s.host, u"Corner", &corner, 7);
    area.SetDelayTime(TTDT_INITIAL, 100);
    s.host.SetCapture();  // the host relays its own moves here
    s.backend.MouseMove(s.Top(), POINT{50, 250});
    s.Pump();
    area.RelayEvent(MSG{s.Top(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 250), 0, {}});
    s.Wait(150);
    EXPECT_TRUE(area.IsShowing());
    area.RelayEvent(MSG{s.Top(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 250), 0, {}});
    EXPECT_FALSE(area.IsShowing());
    s.host.ReleaseCapture();
}

TEST(ToolTip, KeptOnTheScreen) {
    backend::HeadlessBackend backend(SIZE{400, 300});
    Application app{backend};
    RegisterStandardControls(app);
    Host host;
    host.Create(app, u"Host", u"", WS_POPUP | WS_VISIBLE, RECT{250, 200, 400, 300}, nullptr, 0);
    ToolTip tip;
    ASSERT_TRUE(tip.Create(host));
    tip.AddTool(host, u"A rather long tip text near the corner of the screen");
    backend.MouseMove(host.GetSafeHwnd(), POINT{140, 95});
    app.PumpMessages();
    tip.RelayEvent(MSG{host.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(140, 95), 0, {}});
    backend.Advance(600);
    app.PumpMessages();
    ASSERT_TRUE(tip.IsShowing());
    RECT r;
    tip.GetWindowRect(r);
    EXPECT_LE(r.right, 400);
    EXPECT_LE(r.bottom, 300);
    EXPECT_GE(r.left, 0);
    EXPECT_LT(r.bottom, 295);  // above the pointer when there is no room below
}

}  // namespace
