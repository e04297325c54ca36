// What the window speaks is the phrase it shows: word picks in every view resolve to their own
// phrase, German line and clip; a phrase whose clip cannot be had says nothing; the focus comes
// back to the list after the word picker; every category button lists its own phrases.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "catalogue/pronunciation.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"
#include "controls/xskinbutton.h"
#include "mainwindow_fixture.h"

namespace {

using namespace ui;
using apptest::MainWindowUse;

// The phrase numbers of the records of "favorite.dat", in order.
std::vector<PhraseNo> FavouriteNumbers() {
    std::vector<PhraseNo> numbers;
    catalogue::StdFile file = catalogue::StdFile::Open(catalogue::FavouritesName, "rb");
    while (file) {
        auto record = file.ReadRecord<PhraseRecord>();
        if (!record) break;
        numbers.push_back(record->number);
    }
    return numbers;
}

class PhraseHeard : public MainWindowUse {
protected:
    // Types a keyword into the search view's box and runs the search with Enter.
    void Search(std::u16string_view keyword) {
        Click(ids::SearchViewButton);
        backend.Text(keyword);
        backend.Key(VK_RETURN);
    }
    int RowOf(std::u16string_view text) const {
        for (int i = 0; i < List().GetCount(); ++i)
            if (List().GetText(i) == text) return i;
        return -1;
    }
    HWND Focus() const { return app.GetFocus(); }
    // A click on entry `entry` of the word picker's open list.
    void ClickPickerEntry(int entry) {
        ComboBox* picker = List().ChoiceCombo();
        ASSERT_NE(picker, nullptr);
        RECT r;
        picker->SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        dlg.ScreenToClient(r);
        const int h = static_cast<int>(picker->SendMessage(CB_GETITEMHEIGHT));
        backend.Click(dlg.GetSafeHwnd(), POINT{r.left + 10, r.top + 1 + entry * h + h / 2});
    }
    // Two steps: a press of the Sound button (or of a key), then the check that exactly phrase
    // n's clip was written once.
    std::vector<std::function<void()>> SpeaksPhrase(PhraseNo n, UINT key = 0) {
        return {[this, key] {
                    writesBefore_ = Writes().size();
                    if (key != 0) {
                        backend.Key(key);
                    } else {
                        Click(ids::SoundButton);
                    }
                },
                [this, n] {
                    ASSERT_EQ(Writes().size(), writesBefore_ + 1) << "nothing spoke for " << n;
                    EXPECT_EQ(LastWrite(), SpokenClip(n)) << "another clip than phrase " << n;
                }};
    }
    // Runs the steps, each list in turn.
    void RunAll(std::initializer_list<std::vector<std::function<void()>>> lists) {
        std::vector<std::function<void()>> steps;
        for (const auto& list : lists)
            steps.insert(steps.end(), list.begin(), list.end());
        Run(std::move(steps));
    }

private:
    std::size_t writesBefore_ = 0;
};

TEST_F(PhraseHeard, WordPicksInTheRelatedViewSpeakTheirVariantAndAddItAsAFavourite) {
    int row = -1;
    RunAll({{[&] { Search(u"Could I have the bill"); },
             [&] {
                 ASSERT_GE(List().GetCount(), 1);
                 EXPECT_EQ(List().GetText(0), u"Could I have the bill, please?");
                 // The caret stays after the keyword that was searched.
                 const auto selection = static_cast<std::uintptr_t>(
                     dlg.GetDlgItemWindow(ids::KeywordEdit)->SendMessage(EM_GETSEL));
                 EXPECT_EQ(LOWORD(selection), 21u);
                 EXPECT_EQ(HIWORD(selection), 21u);
                 Click(ids::RelateButton);
             },
             [&] {
                 row = RowOf(u"Can I pay [in cash]?");
                 ASSERT_GE(row, 0);
                 ClickRow(row);
                 ClickWord(row, 0);
             },
             [&] {
                 ASSERT_TRUE(List().ChoiceShown());
                 // With the keys: the arrow moves through the open list, Enter picks.
                 backend.Key(VK_DOWN);
             },
             [&] {
                 EXPECT_EQ(List().GetText(row), u"Can I pay [in cash]?");
                 backend.Key(VK_RETURN);
             },
             [&] {
                 EXPECT_EQ(List().GetText(row), u"Can I pay [by card]?");
                 EXPECT_EQ(GermanLine(), GermanOf(532));
                 EXPECT_FALSE(GermanLine().empty());
                 EXPECT_EQ(Focus(), List().GetSafeHwnd());
             }},
            SpeaksPhrase(532),
            SpeaksPhrase(532, VK_SPACE),
            {[&] { Click(ids::AddButton); },
             [&] {
                 EXPECT_EQ(FavouriteNumbers(), std::vector<PhraseNo>{532});
                 ASSERT_FALSE(Messages().empty());
                 EXPECT_EQ(Messages().back(), u"One item has just been added to favorite");
                 // "Open Monday to Friday" relates to a group of weekdays and some variants.
                 Search(u"Open Monday to Friday");
             },
             [&] { Click(ids::RelateButton); },
             [&] {
                 row = RowOf(u"[Monday]");
                 ASSERT_GE(row, 1);
                 ClickRow(row);
                 ClickWord(row, 0);
             },
             // With the mouse: "Saturday", the sixth alternative.
             [&] { ClickPickerEntry(5); },
             [&] {
                 EXPECT_EQ(List().GetText(row), u"[Saturday]");
                 EXPECT_EQ(GermanLine(), GermanOf(66));
                 EXPECT_EQ(Focus(), List().GetSafeHwnd());
             }},
            SpeaksPhrase(66),
            {// The arrow keys now move through the list; they never rewrite the word unseen.
             [&] { backend.Key(VK_UP); },
             [&] {
                 EXPECT_EQ(List().GetText(row), u"[Saturday]");
                 EXPECT_EQ(List().GetCurSel(), row - 1);
             }}});
}

TEST_F(PhraseHeard, EscapeAClickElsewhereAndTheWheelCloseThePickerAndGiveTheListTheKeys) {
    const std::u16string text = u"Good [afternoon].";
    int row = -1;
    const auto openPicker = [&] {
        ClickRow(row);
        ClickWord(row, 0);
    };
    const auto closedOnTheList = [&](const char* how) {
        EXPECT_FALSE(List().ChoiceShown()) << how;
        EXPECT_EQ(Focus(), List().GetSafeHwnd()) << how;
        EXPECT_EQ(List().GetText(row), text) << how;
    };
    RunAll({{[&] {
                 row = RowOf(text);
                 ASSERT_GE(row, 0);
                 openPicker();
             },
             [&] {
                 ASSERT_TRUE(List().ChoiceShown());
                 backend.Key(VK_ESCAPE);
             },
             [&] {
                 closedOnTheList("Escape");
                 openPicker();
             },
             [&] {
                 // An arrow moves through the open list; Escape leaves the word as it was.
                 backend.Key(VK_DOWN);
                 backend.Key(VK_ESCAPE);
             },
             [&] {
                 closedOnTheList("an arrow, then Escape");
                 openPicker();
             },
             [&] {
                 RECT r;
                 List().GetClientRect(r);
                 backend.Wheel(List().GetSafeHwnd(), POINT{r.Width() / 2, 5}, -1);
             },
             [&] {
                 closedOnTheList("the wheel");
                 openPicker();
             },
             // A click elsewhere in the list closes the picker's open list and the picker.
             [&] { ClickRow(row + 1); },
             [&] {
                 closedOnTheList("a click elsewhere");
                 ClickRow(row + 1);
             },
             [&] {
                 EXPECT_FALSE(List().ChoiceShown());
                 EXPECT_EQ(Focus(), List().GetSafeHwnd());
                 EXPECT_EQ(List().GetCurSel(), row + 1);
             }},
            // Space speaks the row selected, and the window is still there to do it.
            SpeaksPhrase(8, VK_SPACE)});
}

// A copy of the bundled archive's index in the run folder, cut or missing.
enum class IndexDamage { Short, Missing };

class ClipsThatCannotBeHad : public PhraseHeard,
                             public ::testing::WithParamInterface<IndexDamage> {};

TEST_P(ClipsThatCannotBeHad, LeaveEverySpeakingControlSilent) {
    const std::filesystem::path index = folder.Path() / catalogue::ClipIndexName;
    const std::filesystem::path bundled = std::filesystem::read_symlink(index);
    std::filesystem::remove(index);
    if (GetParam() == IndexDamage::Short) {
        // Ten phrases and part of an eleventh.
        std::ifstream in(bundled, std::ios::binary);
        std::vector<char> bytes(8 * 10 + 5);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::ofstream(index, std::ios::binary).write(bytes.data(), in.gcount());
    }
    const auto speakEveryWay = [&] {
        Click(ids::SoundButton);
        Click(ids::PronunciationLine);
        backend.Key(VK_SPACE);
        ClickRow(List().GetCurSel(), 2);
    };
    Run({[&] {
             // Basic: "Hello." (1) has its clip with a short index; the last row's phrase has
             // none, and nothing of "Hello." may sound under its line.
             backend.Key(VK_END);
         },
         [&] {
             EXPECT_FALSE(GermanLine().empty());
             backend.Audio().ClearEvents();
             speakEveryWay();
         },
         [&] {
             EXPECT_TRUE(Writes().empty());
             backend.Key(VK_UP);
         },
         [&] {
             speakEveryWay();
             EXPECT_TRUE(Writes().empty());
         }});
    const std::vector<std::u16string> expected =
        GetParam() == IndexDamage::Missing ? std::vector<std::u16string>{u"Can't find data file!"}
                                           : std::vector<std::u16string>{};
    EXPECT_EQ(Messages(), expected) << "said once a run, and only for a missing archive";
}

INSTANTIATE_TEST_SUITE_P(Index, ClipsThatCannotBeHad,
                         ::testing::Values(IndexDamage::Short, IndexDamage::Missing));

TEST_F(PhraseHeard, AFavouriteOfNoPhraseIsListedAsItIsAndNeverSpeaksAnother) {
    // A kept record whose number is 0 between two good ones.
    {
        std::vector<PhraseRecord> records(3);
        records[0].SetText(u"Hello.");
        records[0].number = 1;
        records[1].SetText(u"Something lost");
        records[1].number = 0;
        records[2].SetText(u"Goodbye.");
        records[2].number = 4;
        std::ofstream out(catalogue::FavouritesName, std::ios::binary);
        for (const PhraseRecord& r : records) {
            const auto bytes = r.Encode();
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
    }
    std::size_t before = 0;
    RunAll({{[&] { Click(ids::FavouritesButton); },
             [&] {
                 EXPECT_EQ(Rows(), (std::vector<std::u16string>{u"Hello.", u"Something lost",
                                                                u"Goodbye."}));
             }},
            SpeaksPhrase(1),
            {[&] { ClickRow(1); },
             [&] {
                 EXPECT_TRUE(GermanLine().empty());
                 before = Writes().size();
                 Click(ids::SoundButton);
                 backend.Key(VK_SPACE);
                 ClickRow(1, 2);
             },
             [&] {
                 EXPECT_EQ(Writes().size(), before);
                 ClickRow(2);
             }},
            SpeaksPhrase(4)});
}

// Each category button lists its category: the first subcategory's first and last row, and
// every skinned button's tooltip names what it does.
TEST_F(PhraseHeard, EveryCategoryButtonListsItsOwnPhrasesAndEveryButtonNamesItself) {
    struct Category {
        int button;
        std::u16string_view tip, first, last;
        int rows;
    };
    // clang-format off
    const Category categories[] = {
        {ids::BasicButton,     u"General",        u"Hello.",                                   u"Congratulations!",                    96},
        {ids::TravelButton,    u"Transportation", u"I'm staying at a hotel.",                  u"Please pick me up tomorrow morning.", 119},
        {ids::FoodButton,      u"Restaurant",     u"Can you recommend a good restaurant?",     u"Tap water",                           109},
        {ids::LodgingButton,   u"Hotel",          u"Do you have a room available?",            u"Can I pay [in cash]?",                52},
        {ids::BusinessButton,  u"Business",       u"I have an appointment with [Mr] Schmidt.", u"It was a pleasure working with you.", 17},
        {ids::SightButton,     u"Specialty",      u"Where is the [museum]?",                   u"Where can I rent a bike?",            31},
        {ids::SocialButton,    u"Event",          u"What's your name?",                        u"Could you send me the photos?",       28},
        {ids::ShopingButton,   u"Shopping",       u"Where is the nearest [bakery]?",           u"Could you change this note?",         33},
        {ids::EmergencyButton, u"Urgent",         u"I need a doctor.",                         u"There's been an accident.",           26},
        {ids::QuestionButton,  u"FAQ",            u"Where is it?",                             u"Which [bus] goes to the centre?",     34},
    };
    const std::pair<int, std::u16string_view> otherTips[] = {
        {ids::AboutButton, u"About"},                {ids::UpdateButton, u"Update Version"},
        {ids::ReportButton, u"Report Bug or Comments"}, {ids::SupportButton, u"Technical Support"},
        {ids::SearchViewButton, u"Search (Ctrl+F)"}, {ids::HelpButton, u"Help (F1)"},
        {ids::FavouritesButton, u"favourite"},       {ids::RelateButton, u"Relate"},
        {ids::AddButton, u"Add To Favourite"},       {ids::MinimiseButton, u"Minimize"},
        {ids::CloseButton, u"Close (Esc)"},
        {ids::SoundButton, u"Speaking (Space); volume: wheel or +/-"},
        {ids::SlowSpeechButton, u"Slower speech"},
    };
    // clang-format on
    const auto tipOf = [&](int id) {
        auto* button = dynamic_cast<CXSkinButton*>(dlg.GetDlgItemWindow(id));
        return button != nullptr && button->Tip() != nullptr ? button->Tip()->GetText(*button)
                                                             : std::u16string(u"(none)");
    };
    std::vector<std::function<void()>> steps;
    // From the last category, so that each click changes the list.
    for (auto c = std::rbegin(categories); c != std::rend(categories); ++c) {
        steps.push_back([&, c] { Click(c->button); });
        steps.push_back([&, c] {
            EXPECT_EQ(tipOf(c->button), c->tip);
            EXPECT_EQ(Chooser().GetCurSel(), 0) << "button " << c->button;
            ASSERT_EQ(List().GetCount(), c->rows) << "button " << c->button;
            EXPECT_EQ(List().GetText(0), c->first) << "button " << c->button;
            EXPECT_EQ(List().GetText(c->rows - 1), c->last) << "button " << c->button;
        });
    }
    steps.push_back([&] {
        for (const auto& [id, tip] : otherTips)
            EXPECT_EQ(tipOf(id), tip) << id;
    });
    Run(std::move(steps));
}

}  // namespace
