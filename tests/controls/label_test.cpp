// The label on the headless backend: its look through the colour request, its chained
// setters, blinking, the right-click message, links, the hover cursor and the tooltip.
#include "controls/label.h"

#include <gtest/gtest.h>

#include "tests/controls/controlstest.h"
#include "tests/support/recordingshell.h"
#include "tolkara/version.h"

namespace {

using namespace controlstest;

// A parent that writes down the right-click messages its labels post.
class Panel : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    std::vector<LPARAM> rightClicks;
    LRESULT OnRightClick(WPARAM wParam, LPARAM lParam) {
        EXPECT_EQ(wParam, 0u);
        rightClicks.push_back(lParam);
        return 0;
    }
};

const MessageMap Panel::messageMap{&Window::messageMap,
                                   {OnMessage<&Panel::OnRightClick>(CLabel::RightClickMessage)}};

struct LabelScene : SkinFixture {
    Panel panel;
    Static plain;
    CLabel label;
    explicit LabelScene(Style style = SS_LEFT) {
        panel.Create(app, u"Panel", u"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 300},
                     host.GetSafeHwnd(), 50);
        plain.Create(app, StaticClass, u"Tolkara_German", WS_CHILD | WS_VISIBLE | style,
                     RECT{20, 20, 380, 60}, panel.GetSafeHwnd(), 1044);
        plain.UnsubclassWindow();
        EXPECT_TRUE(label.SubclassDlgItem(1044, panel));
        Pump();
    }
    gdi::COLORREF Pixel(POINT p) { return PixelAt(label, p) & 0xFFFFFF; }
    bool Inked(gdi::COLORREF colour) {
        app.UpdateAllWindows();
        const gdi::Bitmap shot = backend.Screenshot(Top());
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 360; ++x) {
                const POINT p = At(label, POINT{x, y});
                if ((shot.GetPixel(p.x, p.y) & 0xFFFFFF) == colour) return true;
            }
        }
        return false;
    }
};

TEST(Label, ChainedSettersShapeTheFontAndTheColourRequestAppliesThem) {
    LabelScene s;
    const gdi::COLORREF face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    EXPECT_EQ(s.label.TextColour(), gdi::GetSysColor(gdi::COLOR_WINDOWTEXT));
    EXPECT_EQ(s.Pixel(POINT{358, 38}), face);  // the default background brush

    CLabel& same = s.label.SetTextColour(gdi::RGB(0, 128, 192)).SetBold(true).SetTextHeight(22);
    EXPECT_EQ(&same, &s.label);
    EXPECT_EQ(s.label.LogFont().lfWeight, 700);
    EXPECT_EQ(s.label.LogFont().lfHeight, -22);
    EXPECT_EQ(s.label.LabelFont().Description().lfHeight, -22);
    EXPECT_TRUE(s.Inked(gdi::RGB(0, 128, 192)));
    s.Save("label-bold-22");
    s.label.SetBold(false);
    EXPECT_EQ(s.label.LogFont().lfWeight, 400);
    s.label.SetBold(false);
    EXPECT_EQ(s.label.LogFont().lfWeight, 400);
    s.label.SetItalic(true).SetUnderline(true);
    EXPECT_EQ(s.label.LogFont().lfItalic, 1);
    EXPECT_EQ(s.label.LogFont().lfUnderline, 1);

    // Face names keep at most 31 characters.
    const std::u16string thirty(30, u'a'), thirtyOne(31, u'b'), forty(40, u'c');
    s.label.SetFaceName(thirty);
    EXPECT_EQ(gdi::FaceName(s.label.LogFont()), thirty);
    s.label.SetFaceName(thirtyOne);
    EXPECT_EQ(gdi::FaceName(s.label.LogFont()), thirtyOne);
    s.label.SetFaceName(forty);
    EXPECT_EQ(gdi::FaceName(s.label.LogFont()), std::u16string(31, u'c'));
    s.label.SetFaceName(u"Arial").SetItalic(false).SetUnderline(false);

    // A background colour shows at the next paint; the text changes at once.
    s.label.SetBackColour(gdi::RGB(10, 20, 30)).SetLabelText(u"Version " TOLKARA_VERSION);
    EXPECT_EQ(s.Pixel(POINT{358, 38}), gdi::RGB(10, 20, 30));
    EXPECT_EQ(s.label.GetWindowText(), u"Version " TOLKARA_VERSION);
    s.label.SetThinBorder(true).SetSunkenEdge(true);
    EXPECT_NE(s.label.GetStyle() & WS_BORDER, 0u);
    EXPECT_NE(s.label.GetExStyle() & WS_EX_STATICEDGE, 0u);
    s.Save("label-back-colour-border");
    s.label.SetThinBorder(false).SetSunkenEdge(false);
    EXPECT_EQ(s.label.GetStyle() & WS_BORDER, 0u);
    EXPECT_EQ(s.label.GetExStyle() & WS_EX_STATICEDGE, 0u);
}

TEST(Label, BlinkingSwapsTheTextOrTheBackgroundUntilTheNextStart) {
    LabelScene s;
    const gdi::COLORREF face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    s.label.StartTextBlink(true);
    s.backend.Advance(500);
    s.Pump();
    EXPECT_EQ(s.label.GetWindowText(), u"");
    s.backend.Advance(500);
    s.Pump();
    EXPECT_EQ(s.label.GetWindowText(), u"Tolkara_German");
    s.backend.Advance(500);
    s.Pump();
    s.label.StartTextBlink(false);  // stops with the text back
    EXPECT_EQ(s.label.GetWindowText(), u"Tolkara_German");
    s.backend.Advance(1000);
    s.Pump();
    EXPECT_EQ(s.label.GetWindowText(), u"Tolkara_German");

    // Background blinking: the back colour in the on phase, the plain face in the off phase.
    s.label.SetBackColour(gdi::RGB(10, 20, 30)).StartBackBlink(true);
    EXPECT_EQ(s.Pixel(POINT{358, 38}), face);
    s.backend.Advance(500);
    s.Pump();
    EXPECT_EQ(s.Pixel(POINT{358, 38}), gdi::RGB(10, 20, 30));
    s.backend.Advance(500);
    s.Pump();
    EXPECT_EQ(s.Pixel(POINT{358, 38}), face);
}

TEST(Label, RightClickPostsItsIdLinksOpenThroughTheShellAndTheCursorAndTipShow) {
    LabelScene s(SS_LEFT | SS_NOTIFY);
    testing_support::RecordingShell shell;
    s.app.SetShell(&shell);

    s.backend.Click(s.Top(), s.At(s.label, POINT{10, 10}), 3);
    s.Pump();
    EXPECT_EQ(s.panel.rightClicks, (std::vector<LPARAM>{1044}));
    // Without a link a click opens nothing.
    s.Click(s.label, POINT{10, 10});
    EXPECT_TRUE(shell.pages.empty());

    // Link addresses are kept to 260 characters.
    const std::u16string address = u"https://example.org/" + std::u16string(300, u'x');
    s.label.SetLink(address);
    EXPECT_EQ(s.label.Link(), address.substr(0, 260));
    s.Click(s.label, POINT{10, 10});
    EXPECT_EQ(shell.pages, (std::vector<std::u16string>{address.substr(0, 260)}));

    s.label.SetHoverCursor(StandardCursor::Hand);
    s.backend.MouseMove(s.Top(), s.At(s.label, POINT{12, 12}));
    s.Pump();
    EXPECT_EQ(s.backend.Cursor(), StandardCursor::Hand);

    s.label.SetLabelTip(u"Tolkara", 200);
    s.label.SetLabelTip(u"Tolkara German");
    s.backend.MouseMove(s.Top(), s.At(s.label, POINT{14, 12}));
    s.Pump();
    s.backend.Advance(600);
    s.Pump();
    ASSERT_NE(s.label.Tip(), nullptr);
    EXPECT_TRUE(s.label.Tip()->IsShowing());
    EXPECT_EQ(s.label.Tip()->GetText(s.label), u"Tolkara German");
    EXPECT_EQ(s.label.Tip()->GetToolCount(), 1);
    s.app.SetShell(nullptr);
}

}  // namespace
