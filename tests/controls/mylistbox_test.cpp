#include <gtest/gtest.h>

#include <filesystem>

#include "controls/mylistbox.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "tests/platform/ui_controls/controltest.h"

namespace {

using namespace controltest;

struct Owner : CMyListBox::Owner {
    bool addMode = true;
    bool AddMode() const override { return addMode; }
};

constexpr Style ListStyle =
    LBS_NOTIFY | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP;

struct PhraseList : Fixture {
    Owner owner;
    CMyListBox list;
    PhraseList() : Fixture(RECT{100, 100, 520, 420}) {
        Make(list, ListBoxClass, u"", ListStyle, RECT{10, 10, 300, 250}, 1002);
        list.SetOwner(&owner);
        list.SetListFont(13, u"Arial");
        list.AddEntry(std::make_unique<CItem>(u"I need [one|two|three] ticket to [Berlin|Bonn]"));
        list.AddEntry(std::make_unique<CItem>(u"A broken [slot"));
        list.AddString(u"A favourite [one] line");  // a row without an item
        list.SetCurSel(0);
        Pump();
    }
    // The middle of the k-th bracketed word of a row, in list client coordinates.
    POINT WordPoint(int row, int k) {
        const std::u16string text = list.GetText(row);
        ClientDC dc(list);
        dc.SelectObject(list.ListFont());
        std::size_t open = 0;
        for (int i = 0; i <= k; ++i)
            open = text.find(u'[', i == 0 ? 0 : open + 1);
        const std::size_t close = text.find(u']', open);
        RECT r;
        list.GetItemRect(row, r);
        const int from = TextWidth(dc, std::u16string_view(text).substr(0, open + 1));
        const int to = TextWidth(dc, std::u16string_view(text).substr(0, close));
        return POINT{r.left - list.GetScrollPos(SB_HORZ) + (from + to) / 2, r.top + r.Height() / 2};
    }
    std::vector<std::u16string> Choices() {
        std::vector<std::u16string> out;
        for (int i = 0; i < list.ChoiceCombo()->GetCount(); ++i)
            out.push_back(list.ChoiceCombo()->GetLBText(i));
        return out;
    }
    bool PickerOpen() {
        return list.ChoiceCombo() != nullptr && list.ChoiceCombo()->IsWindowVisible() &&
               list.ChoiceCombo()->GetDroppedState();
    }
    RECT PickerRect() {
        RECT r;
        list.ChoiceCombo()->GetWindowRect(r);
        list.ScreenToClient(r);
        return r;
    }
    void Shot(const std::string& name) {
        app.UpdateAllWindows();
        const std::filesystem::path dir = PHRASEBOOK_SCREENSHOT_DIR;
        std::filesystem::create_directories(dir);
        backend.SavePng(Top(), (dir / (name + ".png")).string());
    }
};

Log Selections(const Log& log) {
    Log out;
    for (const std::string& entry : log)
        if (entry == "1002:1") out.push_back(entry);
    return out;
}

TEST(MyListBox, ABracketedWordOffersItsAlternativesAndAPickRewritesOnlyThatWord) {
    PhraseList s;
    EXPECT_EQ(s.list.GetText(0), u"I need [one] ticket to [Berlin]");
    EXPECT_EQ(s.list.ChoiceCombo(), nullptr);

    // The second bracketed word offers the second slot's alternatives, the first selected,
    // right over the word; the line is unchanged until a pick.
    const POINT berlin = s.WordPoint(0, 1);
    s.Click(s.list, berlin);
    ASSERT_TRUE(s.PickerOpen());
    EXPECT_EQ(s.list.ChoiceCombo()->GetDlgCtrlID(), 101);
    EXPECT_EQ(s.Choices(), (std::vector<std::u16string>{u"Berlin", u"Bonn"}));
    EXPECT_EQ(s.list.ChoiceCombo()->GetCurSel(), 0);
    EXPECT_EQ(s.list.GetText(0), u"I need [one] ticket to [Berlin]");
    EXPECT_TRUE(Selections(s.host.log).empty());
    const RECT picker = s.PickerRect();
    EXPECT_LE(picker.left, berlin.x);
    EXPECT_GT(picker.right, berlin.x);
    s.Shot("mylistbox-picker-open");

    // Picking "Bonn" rewrites only the word, keeps its brackets and tells the parent once.
    s.backend.Key(VK_DOWN);
    s.backend.Key(VK_RETURN);
    s.Pump();
    EXPECT_EQ(s.list.GetText(0), u"I need [one] ticket to [Bonn]");
    EXPECT_EQ(s.list.ItemAt(0)->display, u"I need [one] ticket to [Bonn]");
    EXPECT_EQ(s.list.ItemAt(0)->raw, u"I need [one|two|three] ticket to [Berlin|Bonn]");
    EXPECT_EQ(s.list.GetCurSel(), 0);
    EXPECT_FALSE(s.list.ChoiceCombo()->IsWindowVisible());
    EXPECT_EQ(Selections(s.host.log), (Log{"1002:1"}));
    s.Shot("mylistbox-after-pick");

    // The first slot: its three alternatives in order; the slot can change again.
    s.Click(s.list, s.WordPoint(0, 0));
    ASSERT_TRUE(s.PickerOpen());
    EXPECT_EQ(s.Choices(), (std::vector<std::u16string>{u"one", u"two", u"three"}));
    s.backend.Key(VK_DOWN);
    s.backend.Key(VK_DOWN);
    s.backend.Key(VK_RETURN);
    s.Pump();
    EXPECT_EQ(s.list.GetText(0), u"I need [three] ticket to [Bonn]");

    // A click on plain words opens nothing and closes an open picker.
    s.Click(s.list, s.WordPoint(0, 1));
    ASSERT_TRUE(s.PickerOpen());
    s.Click(s.list, POINT{4, s.WordPoint(0, 0).y});
    EXPECT_FALSE(s.list.ChoiceCombo()->IsWindowVisible());
}

TEST(MyListBox, WheelClosesThePickerAndScrollingMovesTheSlots) {
    PhraseList s;
    s.Click(s.list, s.WordPoint(0, 0));
    ASSERT_TRUE(s.PickerOpen());
    const int leftBefore = s.PickerRect().left;
    s.backend.Wheel(s.Top(), s.At(s.list, POINT{150, 150}), -1);
    s.Pump();
    EXPECT_FALSE(s.list.ChoiceCombo()->IsWindowVisible());
    EXPECT_FALSE(s.list.ChoiceCombo()->GetDroppedState());

    // Scrolled 10 pixels to the right, the slot and its picker sit 10 pixels further left.
    s.list.SetHorizontalExtent(900);
    RECT client;
    s.list.GetClientRect(client);
    s.Click(s.list, POINT{client.right - 17 - 5, client.bottom - 5});  // the right arrow
    ASSERT_EQ(s.list.GetScrollPos(SB_HORZ), 10);
    s.Click(s.list, s.WordPoint(0, 0));
    ASSERT_TRUE(s.PickerOpen());
    EXPECT_EQ(s.PickerRect().left, leftBefore - 10);
    s.Shot("mylistbox-scrolled-picker");
}

TEST(MyListBox, NoChoiceWhereTheSlotOrTheItemIsMissingOrTheLineChanged) {
    PhraseList s;
    // The favourites view: nothing special.
    s.owner.addMode = false;
    s.Click(s.list, s.WordPoint(0, 1));
    EXPECT_EQ(s.list.ChoiceCombo(), nullptr);
    s.owner.addMode = true;

    // A "[" with no "]", and a row without an item.
    s.Click(s.list, s.WordPoint(1, 0));
    EXPECT_EQ(s.list.GetCurSel(), 1);
    EXPECT_EQ(s.list.ChoiceCombo(), nullptr);
    s.Click(s.list, s.WordPoint(2, 0));
    EXPECT_EQ(s.list.GetCurSel(), 2);
    EXPECT_EQ(s.list.ChoiceCombo(), nullptr);

    // A line that changed under an open picker stays as it is.
    s.list.SetCurSel(0);
    s.Click(s.list, s.WordPoint(0, 1));
    ASSERT_TRUE(s.PickerOpen());
    s.list.ItemAt(0)->display = u"I need [one] ticket [Berlin]";
    s.host.log.clear();
    s.backend.Key(VK_DOWN);
    s.backend.Key(VK_RETURN);
    s.Pump();
    EXPECT_EQ(s.list.ItemAt(0)->display, u"I need [one] ticket [Berlin]");
    EXPECT_TRUE(Selections(s.host.log).empty());
    EXPECT_FALSE(s.list.ChoiceCombo()->IsWindowVisible());
}

}  // namespace
