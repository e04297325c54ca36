// The window as a screen reader and a low-vision user meet it, headless: what each control
// tells assistive technology, Tab in reading order, the readable colours measured from the
// drawn pixels, and the German line in large print.
#include <cmath>
#include <map>

#include "app/accessibility.h"
#include "mainwindow_fixture.h"
#include "platform/a11y/description.h"

namespace apptest {
namespace {

// WCAG's relative luminance and contrast ratio of two colours.
double Luminance(gdi::COLORREF c) {
    auto channel = [](unsigned v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) +
           0.0722 * channel((c >> 16) & 0xFF);
}
double Contrast(gdi::COLORREF a, gdi::COLORREF b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text in `area` of `shot`: its commonest colour is the background, the
// colour farthest from it the text (the cores of the glyphs).
double TextContrast(const gdi::Bitmap& shot, RECT area) {
    std::map<gdi::COLORREF, int> counts;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            ++counts[shot.GetPixel(x, y)];
    gdi::COLORREF background = 0;
    int most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, background = colour;
    double best = 1;
    for (const auto& [colour, n] : counts)
        best = std::max(best, Contrast(colour, background));
    return best;
}

struct Expected {
    int id;
    a11y::Role role;
    std::u16string_view name;
};

TEST_F(MainWindowUse, ScreenReadersReadNamedControlsAndTabFollowsTheReadingOrder) {
    const Expected expected[] = {
        {ids::AboutButton, a11y::Role::PushButton, u"About"},
        {ids::MinimiseButton, a11y::Role::PushButton, u"Minimize"},
        {ids::CloseButton, a11y::Role::PushButton, u"Close"},
        {ids::SearchViewButton, a11y::Role::PushButton, u"Search"},
        {ids::FavouritesButton, a11y::Role::PushButton, u"Favourite"},
        {ids::RelateButton, a11y::Role::PushButton, u"Relate"},
        {ids::AddButton, a11y::Role::PushButton, u"Add To Favourite"},
        {ids::SubcategoryCombo, a11y::Role::ComboBox, u"Sub Category"},
        {ids::PhraseList, a11y::Role::List, u"Phrases"},
        {ids::SoundButton, a11y::Role::PushButton, u"Sound"},
        {ids::SlowSpeechButton, a11y::Role::ToggleButton, u"Slower speech"},
        {ids::BasicButton, a11y::Role::PushButton, u"Basic"},
        {ids::TravelButton, a11y::Role::PushButton, u"Travel"},
        {ids::QuestionButton, a11y::Role::PushButton, u"Question"},
        {ids::UpdateButton, a11y::Role::PushButton, u"Update Version"},
        {ids::SupportButton, a11y::Role::PushButton, u"Technical Support"},
        {ids::ReportButton, a11y::Role::PushButton, u"Report Bug or Comments"},
    };
    auto describe = [this](int id) {
        return a11y::Describe(app, dlg.GetDlgItem(id), DescribeProgramWindow);
    };
    std::vector<HWND> order;
    std::vector<std::u16string> basicRows;
    std::vector<std::function<void()>> steps;
    steps.push_back([&] {
        const a11y::Description frame =
            a11y::Describe(app, dlg.GetSafeHwnd(), DescribeProgramWindow);
        EXPECT_EQ(frame.role, a11y::Role::Frame);
        EXPECT_EQ(frame.name, u"Tolkara German");
        order = a11y::ReadingOrder(app, dlg.GetSafeHwnd(), DescribeProgramWindow);
        int named = 0;
        for (HWND control : order)
            named +=
                a11y::Describe(app, control, DescribeProgramWindow, false).name.empty() ? 0 : 1;
        EXPECT_GE(named, 25);
        for (const Expected& e : expected) {
            const a11y::Description d = describe(e.id);
            EXPECT_EQ(d.role, e.role) << e.id;
            EXPECT_EQ(d.name, e.name) << e.id;
            EXPECT_TRUE(d.showing && d.enabled && d.focusable) << e.id;
        }
        // The list's rows, the chosen one selected; the German line a live text.
        const a11y::Description list = describe(ids::PhraseList);
        basicRows = list.rows;
        EXPECT_EQ(list.rows, Rows());
        EXPECT_EQ(list.selectedRow, 0);
        const a11y::Description line = describe(ids::PronunciationLine);
        EXPECT_EQ(line.role, a11y::Role::Text);
        EXPECT_TRUE(line.live);
        EXPECT_EQ(line.text, GermanLine());
        EXPECT_TRUE(describe(ids::BasicButton).selected);
        // Pressing "Travel" as a screen reader does: its rows, and Travel is the current one.
        EXPECT_TRUE(
            a11y::Press(app, dlg.GetDlgItem(ids::TravelButton), describe(ids::TravelButton)));
    });
    steps.push_back([&] {
        EXPECT_TRUE(describe(ids::TravelButton).selected);
        EXPECT_FALSE(describe(ids::BasicButton).selected);
        EXPECT_NE(describe(ids::PhraseList).rows, basicRows);
        // Selecting the third row as a screen reader does: its German line follows.
        EXPECT_TRUE(a11y::SelectRow(app, List().GetSafeHwnd(), 2));
    });
    steps.push_back([&] {
        EXPECT_EQ(List().GetCurSel(), 2);
        EXPECT_EQ(GermanLine(), GermanOf(Selected()));
        EXPECT_EQ(describe(ids::PronunciationLine).text, GermanLine());
        // The slow toggle pressed by its action is checked.
        EXPECT_TRUE(a11y::Press(app, dlg.GetDlgItem(ids::SlowSpeechButton),
                                describe(ids::SlowSpeechButton)));
    });
    steps.push_back([&] {
        EXPECT_TRUE(describe(ids::SlowSpeechButton).checked);
        // Tab walks every focusable control in reading order and comes round again.
        std::vector<HWND> stops;
        for (HWND control : a11y::ReadingOrder(app, dlg.GetSafeHwnd(), DescribeProgramWindow)) {
            const a11y::Description d = a11y::Describe(app, control, DescribeProgramWindow, false);
            if (d.focusable && d.enabled && d.showing) stops.push_back(control);
        }
        EXPECT_GE(stops.size(), 25u);
        app.SetFocus(stops.front());
        for (std::size_t i = 1; i <= stops.size(); ++i) {
            backend.Key(VK_TAB);
            app.PumpMessages();
            EXPECT_EQ(app.GetFocus(), stops[i % stops.size()]) << i;
        }
        backend.KeyDown(VK_SHIFT);
        backend.Key(VK_TAB);
        backend.KeyUp(VK_SHIFT);
        app.PumpMessages();
        EXPECT_EQ(app.GetFocus(), stops.back());
    });
    Run(std::move(steps));
}

TEST_F(MainWindowUse, ReadableColoursReachFourAndAHalfToOneInTheDrawnList) {
    auto listContrasts = [this] {
        const gdi::Bitmap shot = backend.Screenshot(dlg.GetSafeHwnd());
        RECT list;
        List().GetWindowRect(list);
        dlg.ScreenToClient(list);
        RECT row;
        List().GetItemRect(List().GetCurSel(), row);
        RECT selected{list.left + row.left, list.top + row.top, list.left + row.right,
                      list.top + row.bottom};
        RECT unselected = selected;
        unselected.top = selected.bottom + 2;
        unselected.bottom = unselected.top + (row.bottom - row.top) * 3;
        return std::pair{TextContrast(shot, unselected), TextContrast(shot, selected)};
    };
    std::vector<std::function<void()>> steps;
    steps.push_back([&] {
        // The skin's own colours: red on green.
        EXPECT_LT(listContrasts().first, 2.0);
        backend.KeyDown(VK_CONTROL);
        backend.Key('H');
        backend.KeyUp(VK_CONTROL);
    });
    steps.push_back([&] {
        const auto [rows, selected] = listContrasts();
        EXPECT_GE(rows, 4.5);
        EXPECT_GE(selected, 4.5);
    });
    Run(std::move(steps));
}

TEST_F(MainWindowUse, LargePrintShowsTheGermanLineFullScreenAndSpeaksOnlyForSpace) {
    auto card = [this]() -> HWND {
        for (HWND top : app.TopLevelWindows())
            if (top != dlg.GetSafeHwnd() && app.IsWindowVisible(top) &&
                dynamic_cast<CLargePrint*>(app.FromHandle(top)) != nullptr)
                return top;
        return nullptr;
    };
    std::size_t writes = 0;
    std::u16string german;
    std::vector<std::function<void()>> steps;
    steps.push_back([&] {
        german = GermanLine();
        ASSERT_FALSE(german.empty());
        writes = Writes().size();
        backend.Key(VK_F11);
    });
    steps.push_back([&] {
        const HWND shown = card();
        ASSERT_TRUE(shown);
        EXPECT_EQ(Writes().size(), writes);  // nothing spoken by itself
        const RECT r = app.GetWindowRect(shown);
        const SIZE screen = app.ScreenSize();
        EXPECT_EQ(r.right - r.left, screen.cx);
        EXPECT_EQ(r.bottom - r.top, screen.cy);
        EXPECT_EQ(app.GetFocus(), shown);
        // Dark on light: the paper is the commonest colour; the German line's ink spans a
        // large part of the screen's height, the English a small band beneath it.
        const gdi::Bitmap shot = backend.Screenshot(shown);
        int inkTop = screen.cy, inkBottom = 0, inkLeft = screen.cx, inkRight = 0, smallRows = 0,
            paper = 0;
        for (int y = 0; y < screen.cy; ++y) {
            bool small = false;
            for (int x = 0; x < screen.cx; ++x) {
                const gdi::COLORREF c = shot.GetPixel(x, y);
                if (c == CLargePrint::Paper) ++paper;
                if (c == CLargePrint::Ink) {
                    inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
                    inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
                }
                if (c == CLargePrint::SmallInk) small = true;
            }
            smallRows += small ? 1 : 0;
        }
        EXPECT_GT(paper, screen.cx * screen.cy / 2);
        EXPECT_GT(inkBottom - inkTop, screen.cy / 8) << "German line too small";
        EXPECT_GT(inkRight - inkLeft, screen.cx / 2);
        EXPECT_GT(smallRows, 5);
        EXPECT_LT(smallRows, screen.cy / 10);
        EXPECT_GT(Contrast(CLargePrint::Ink, CLargePrint::Paper), 7.0);
        backend.Key(VK_SPACE);
    });
    steps.push_back([&] {
        EXPECT_GT(Writes().size(), writes);  // Space still speaks
        ASSERT_TRUE(card());
        backend.Key(VK_ESCAPE);
    });
    steps.push_back([&] {
        EXPECT_FALSE(card());
        EXPECT_TRUE(app.IsWithin(app.GetFocus(), dlg.GetSafeHwnd()));
        // Ctrl and a double click on the German line; then a click returns.
        backend.KeyDown(VK_CONTROL);
        Click(ids::PronunciationLine, 2);
        backend.KeyUp(VK_CONTROL);
    });
    steps.push_back([&] {
        const HWND shown = card();
        ASSERT_TRUE(shown);
        backend.Click(shown, POINT{10, 10});
    });
    steps.push_back([&] { EXPECT_FALSE(card()); });
    Run(std::move(steps));
}

}  // namespace
}  // namespace apptest
