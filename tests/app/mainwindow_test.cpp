// The main window in use, on the headless backend with the bundled phrasebook: what a
// traveller clicks, what the window then shows, what the sound device receives and which
// files, messages and pages result.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "app/controlids.h"
#include "app/phraseapp.h"
#include "app/skindlg.h"
#include "catalogue/archive.h"
#include "catalogue/filenames.h"
#include "catalogue/settings.h"
#include "catalogue/subcategories.h"
#include "mainwindow_fixture.h"
#include "platform/backend/headless/headlessbackend.h"
#include "platform/gdi/bmp.h"
#include "platform/media/capturewaveout.h"
#include "res/bitmaptable.h"
#include "runfolder.h"
#include "tests/support/recordingshell.h"
#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"

namespace {

using namespace ui;
using apptest::MainWindowUse;
using Kind = media::CaptureWaveOutDriver::EventKind;

std::vector<std::u16string> NamesOf(unsigned category) {
    return catalogue::FillSubcategories(category).names;
}

TEST_F(MainWindowUse, StartsOnBasicAllWithTheFirstPhraseShownAndCuedButSilent) {
    Run({[&] {
        EXPECT_EQ(ComboEntries(), NamesOf(1));
        EXPECT_EQ(Chooser().GetCurSel(), 0);
        ASSERT_GT(List().GetCount(), 0);
        EXPECT_EQ(List().GetCurSel(), 0);
        EXPECT_EQ(List().GetText(0), u"Hello.");
        EXPECT_EQ(Selected(), 1);
        EXPECT_EQ(GermanLine(), u"Hallo.");
        EXPECT_TRUE(AddAdds());
        // The clip is cued: the device is open, nothing written to it.
        const auto events = backend.Audio().Events();
        EXPECT_TRUE(std::any_of(events.begin(), events.end(),
                                [](const auto& e) { return e.kind == Kind::Open; }));
        EXPECT_TRUE(Writes().empty());
        EXPECT_TRUE(Messages().empty());
    }});
}

TEST_F(MainWindowUse, CategoryButtonsAndTheChooserListTheirRangesInTableOrder) {
    Run({[&] { Click(ids::TravelButton); },
         [&] {
             // Table order, not sorted: "Signs" before "Train/Bus".
             EXPECT_EQ(ComboEntries(), NamesOf(2));
             EXPECT_EQ(ComboEntries().at(5), u"Signs");
             EXPECT_EQ(RowNumbers().front(), 156);
             EXPECT_EQ(RowNumbers().back(), 314);
             EXPECT_EQ(List().GetCurSel(), 0);
             EXPECT_EQ(dlg.GetFocus(), List().GetSafeHwnd());

             ChooseSubcategory(5);
             std::vector<PhraseNo> signs(26);
             std::iota(signs.begin(), signs.end(), 252);
             EXPECT_EQ(RowNumbers(), signs);
             ChooseSubcategory(6);
             EXPECT_EQ(RowNumbers(), (std::vector<PhraseNo>{247, 249, 251}));  // three groups
             // The row shown is the first row's phrase.
             EXPECT_EQ(Selected(), 247);
             EXPECT_EQ(GermanLine(), GermanOf(247));

             Click(ids::QuestionButton);
         },
         [&] {
             for (const int entry : {3, 4}) {
                 ChooseSubcategory(entry);
                 const std::vector<PhraseNo> numbers = RowNumbers();
                 EXPECT_NE(std::find(numbers.begin(), numbers.end(), 774), numbers.end());
             }
             // The category shown again starts over from its first subcategory.
             Click(ids::QuestionButton);
         },
         [&] {
             EXPECT_EQ(Chooser().GetCurSel(), 0);
             EXPECT_EQ(RowNumbers().front(), 737);
             EXPECT_EQ(RowNumbers().back(), 781);  // the head of the group 781 and 782
         }});
}

TEST_F(MainWindowUse, EachViewShowsExactlyItsControls) {
    // Visible controls of the shared area, in the order of the ids below.
    const std::vector<int> area{ids::SubcategoryCombo, ids::SubcategoryLabel, ids::KeywordLabel,
                                ids::KeywordEdit,      ids::ExactMatchCheck,  ids::YourPhraseLabel,
                                ids::RelatedLabel,     ids::RunSearchButton};
    auto shown = [&] {
        std::vector<bool> visible;
        for (const int id : area)
            visible.push_back(dlg.GetDlgItemWindow(id)->IsWindowVisible());
        return visible;
    };
    auto addTip = [&] { return TipOf(ids::AddButton); };
    const std::vector<bool> category{true, true, false, false, false, false, false, false};
    Run({[&] {
             EXPECT_EQ(shown(), category);
             EXPECT_EQ(addTip(), u"Add To Favourite");
             Click(ids::SearchViewButton);
         },
         [&] {
             EXPECT_EQ(shown(),
                       (std::vector<bool>{false, false, true, true, true, false, false, true}));
             EXPECT_EQ(List().GetCount(), 0);
             EXPECT_EQ(dlg.GetFocus(), KeywordBox().GetSafeHwnd());
             EXPECT_EQ(TipOf(ids::RunSearchButton), u"Search (Enter)");
             Click(ids::BasicButton);
         },
         [&] {
             Click(ids::RelateButton);  // "Hello." has related phrases
         },
         [&] {
             EXPECT_EQ(shown(),
                       (std::vector<bool>{false, false, false, true, false, true, true, false}));
             EXPECT_FALSE(KeywordBox().IsWindowEnabled());
             EXPECT_TRUE(AddAdds());
             Click(ids::AddButton);
             Click(ids::FavouritesButton);
         },
         [&] {
             EXPECT_EQ(shown(), category);
             EXPECT_EQ(addTip(), u"Remove From Favourite");
             EXPECT_EQ(ComboEntries(), std::vector<std::u16string>{u"All"});
             EXPECT_FALSE(Chooser().IsWindowEnabled());
             Click(ids::LodgingButton);
         },
         [&] {
             EXPECT_EQ(shown(), category);
             EXPECT_EQ(addTip(), u"Add To Favourite");
             EXPECT_TRUE(Chooser().IsWindowEnabled());
             EXPECT_EQ(ComboEntries(), NamesOf(4));
         }});
}

TEST_F(MainWindowUse, ADoubleClickSpeaksThePhraseAndEveryReplayIsTheSameWholeClip) {
    Run({[&] { ClickRow(2, 2); },
         [&] {
             EXPECT_EQ(List().GetCurSel(), 2);
             // The selection cued the clip first, then the double click wrote it once: the
             // whole clip of that phrase, as a player of our own decodes it.
             const auto events = backend.Audio().Events();
             ASSERT_FALSE(events.empty());
             EXPECT_EQ(std::count_if(events.begin(), events.end(),
                                     [](const auto& e) { return e.kind == Kind::Write; }),
                       1);
             ASSERT_EQ(Writes().size(), 1u);
             EXPECT_EQ(Writes()[0], SpokenClip(Selected()));

             // The pronunciation line, the Sound button and the hidden replay button replay it.
             Click(ids::PronunciationLine);
             Click(ids::SoundButton);
             dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::ReplayButton, BN_CLICKED),
                             HandleToParam(dlg.GetDlgItem(ids::ReplayButton)));
         },
         [&] {
             ASSERT_EQ(Writes().size(), 4u);
             for (const auto& write : Writes())
                 EXPECT_EQ(write, Writes()[0]);
         }});
}

TEST_F(MainWindowUse, WithAnEmptyListNothingReachesThePlayerAndAddDoesNothing) {
    Run({[&] { Click(ids::SearchViewButton); },
         [&] {
             ASSERT_EQ(List().GetCount(), 0);
             backend.Audio().ClearEvents();
             Click(ids::PronunciationLine);
             Click(ids::SoundButton);
             Click(ids::PhraseList, 2);
             Click(ids::AddButton);
             // An empty keyword and one that matches nothing both list nothing, silently.
             Click(ids::RunSearchButton);
         },
         [&] {
             KeywordBox().SetWindowText(u"qqqqzzzz");
             Click(ids::RunSearchButton);
         },
         [&] {
             EXPECT_TRUE(backend.Audio().Events().empty());
             EXPECT_EQ(List().GetCount(), 0);
             EXPECT_TRUE(Messages().empty());
             EXPECT_EQ(std::filesystem::file_size(folder.Path() / "favorite.dat"), 0u);
             // The last pronunciation shown is written back by the final data exchange.
             EXPECT_EQ(dlg.GetDlgItemText(ids::PronunciationLine), u"Hallo.");
         }});
}

TEST_F(MainWindowUse, ANewShorterLineLeavesNoOldLetters) {
    // The pronunciation area as the window shows it, and rows with a long and a short line.
    auto area = [&] {
        const gdi::Bitmap shot = backend.Screenshot(dlg.GetSafeHwnd());
        std::vector<gdi::COLORREF> pixels;
        const RECT& a = CSkinDlg::PronunciationArea;
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x)
                pixels.push_back(shot.GetPixel(x, y));
        return pixels;
    };
    int longRow = -1;
    std::vector<gdi::COLORREF> shortFirst;
    Run({[&] {
             // Row 0 ("Hallo.") is short; find a row whose line is much longer.
             for (int row = 1; row < List().GetCount() && longRow < 0; ++row) {
                 if (GermanOf(NumberOf(List().GetText(row))).size() > 25) longRow = row;
             }
             ASSERT_GE(longRow, 0);
             ClickRow(0);
         },
         [&] {
             shortFirst = area();
             ClickRow(longRow);
         },
         [&] {
             EXPECT_NE(area(), shortFirst);
             ClickRow(0);
         },
         [&] { EXPECT_EQ(area(), shortFirst); }});
}

TEST_F(MainWindowUse, RelateAndFavouritesSayWhatHappened) {
    std::vector<std::u16string> rows;
    Run({[&] {
             // "Hello." (1) relates to 4, then 2.
             Click(ids::RelateButton);
         },
         [&] {
             ASSERT_EQ(List().GetCount(), 2);
             EXPECT_EQ(RowNumbers(), (std::vector<PhraseNo>{4, 2}));
             // Phrase 5 has no related phrases: a message, and the view stays as it was.
             Click(ids::BasicButton);
         },
         [&] { ClickRow(4); },
         [&] {
             ASSERT_EQ(Selected(), 5);
             rows = Rows();
             Click(ids::RelateButton);
             Click(ids::FavouritesButton);  // none yet
         },
         [&] {
             EXPECT_EQ(Messages(), (std::vector<std::u16string>{u"No related phrase(s) found!",
                                                                u"No favourite phrase!"}));
             EXPECT_EQ(Rows(), rows);
             EXPECT_EQ(List().GetCurSel(), 4);
             shell.messages.clear();
             // Added once; the second time it is there already.
             Click(ids::AddButton);
             Click(ids::AddButton);
         },
         [&] {
             EXPECT_EQ(Messages(),
                       (std::vector<std::u16string>{u"One item has just been added to favorite",
                                                    u"This item has already existed in the "
                                                    u"favorite!"}));
             for (const auto& m : shell.messages)
                 EXPECT_EQ(m.caption, u"Tolkara_German");
             EXPECT_EQ(std::filesystem::file_size(folder.Path() / "favorite.dat"), 116u);
             shell.messages.clear();
             Click(ids::FavouritesButton);
         },
         [&] {
             ASSERT_EQ(List().GetCount(), 1);
             EXPECT_EQ(GermanLine(), GermanOf(5));
             // Removing the last favourite: the message, then an empty list.
             Click(ids::AddButton);
         },
         [&] {
             EXPECT_EQ(Messages(), std::vector<std::u16string>{
                                       u"One item has just been removed from the favorite!"});
             EXPECT_EQ(List().GetCount(), 0);
             EXPECT_EQ(std::filesystem::file_size(folder.Path() / "favorite.dat"), 0u);
         }});
}

// The window without the mouse: the list keys select as a click does, Space speaks, Ctrl+C
// copies, Ctrl+F searches and F1 asks for help, from whichever control has the focus; the
// keyword box keeps its own keys.
TEST_F(MainWindowUse, KeysSelectSpeakCopySearchAndAskForHelp) {
    auto ctrl = [&](UINT vk) {
        backend.KeyDown(VK_CONTROL);
        backend.Key(vk);
        backend.KeyUp(VK_CONTROL);
    };
    // A space as the keyboard gives it: the key, then the typed character.
    auto space = [&] {
        backend.KeyDown(VK_SPACE);
        backend.Text(u" ");
        backend.KeyUp(VK_SPACE);
    };
    auto writes = [&] {
        const auto events = backend.Audio().Events();
        return std::count_if(events.begin(), events.end(),
                             [](const auto& e) { return e.kind == Kind::Write; });
    };
    Run({[&] {
             EXPECT_EQ(TipOf(ids::SearchViewButton), u"Search (Ctrl+F)");
             EXPECT_EQ(TipOf(ids::HelpButton), u"Help (F1)");
             EXPECT_EQ(TipOf(ids::SoundButton), u"Speaking (Space); volume: wheel or +/-");
             backend.Key(VK_DOWN);
         },
         [&] {
             // Selected, shown and cued as by a click; nothing sounds.
             EXPECT_EQ(List().GetCurSel(), 1);
             EXPECT_EQ(Selected(), 2);
             EXPECT_EQ(GermanLine(), u"Danke, gut. Und Ihnen?");
             EXPECT_EQ(writes(), 0);
             space();
         },
         [&] {
             // Spoken once, the whole clip; the typed space selected nothing.
             ASSERT_EQ(writes(), 1);
             EXPECT_EQ(Writes()[0], SpokenClip(2));
             EXPECT_EQ(List().GetCurSel(), 1);
             // From a button, the list keys still move the list.
             Control<CXSkinButton>(ids::SoundButton).SetFocus();
             backend.Key(VK_END);
         },
         [&] {
             EXPECT_EQ(List().GetCurSel(), List().GetCount() - 1);
             EXPECT_EQ(dlg.GetFocus(), List().GetSafeHwnd());
             EXPECT_EQ(GermanLine(), GermanOf(Selected()));
             backend.Key(VK_NEXT);  // at the end already
             backend.Key(VK_HOME);
             backend.Key(VK_NEXT);
         },
         [&] {
             const int page = List().GetCurSel();
             EXPECT_GT(page, 2);
             EXPECT_LT(page, List().GetCount() - 1);
             EXPECT_EQ(GermanLine(), GermanOf(NumberOf(List().GetText(page))));
             backend.Key(VK_HOME);
             ctrl('C');
         },
         [&] {
             EXPECT_EQ(backend.GetClipboardText(), u"Hello. \u2014 Hallo.");
             EXPECT_EQ(writes(), 1);
             ctrl('F');
         },
         [&] {
             EXPECT_TRUE(Control<CXSkinButton>(ids::RunSearchButton).IsWindowVisible());
             EXPECT_EQ(List().GetCount(), 0);
             ASSERT_EQ(dlg.GetFocus(), KeywordBox().GetSafeHwnd());
             // The box types the space and moves its caret with the list keys.
             backend.Text(u"gep");
             space();
             backend.Text(u"y");
             backend.Key(VK_LEFT);
             backend.Text(u"x");
         },
         [&] {
             EXPECT_EQ(KeywordBox().GetWindowText(), u"gep xy");
             EXPECT_EQ(writes(), 1);
             // In the search already, Ctrl+F selects the keyword; the box copies its selection.
             ctrl('F');
             ctrl('C');
             backend.Text(u"muenchen");
         },
         [&] {
             EXPECT_EQ(backend.GetClipboardText(), u"gep xy");
             EXPECT_EQ(KeywordBox().GetWindowText(), u"muenchen");
             backend.Key(VK_RETURN);  // Enter in the keyword box runs the search
         },
         [&] {
             // Found by the German lines, listed and resolved as search rows are.
             ASSERT_GT(List().GetCount(), 0);
             EXPECT_EQ(List().GetCurSel(), 0);
             EXPECT_NE(GermanLine().find(u"M\u00fcnchen"), std::u16string::npos);
             ctrl('C');
             backend.Key(VK_F1);
         },
         [&] {
             EXPECT_EQ(backend.GetClipboardText(), List().GetText(0) + u" \u2014 " + GermanLine());
             EXPECT_EQ(shell.helpFiles, std::vector<std::string>{"Help.chm"});
             EXPECT_EQ(writes(), 1);
             EXPECT_TRUE(Messages().empty());
         }});
}

TEST_F(MainWindowUse, LinksOpenExactlyTheirPagesAndHelpTheHelpFile) {
    Run({[&] {
             Click(ids::UpdateButton);
             Click(ids::SupportButton);
             Click(ids::ReportButton);
             dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::HelpButton, BN_CLICKED),
                             HandleToParam(dlg.GetDlgItem(ids::HelpButton)));
         },
         [&] {
             const std::u16string site = u"https://www.tolkara.example/Tolkara_German/";
             EXPECT_EQ(shell.pages, (std::vector<std::u16string>{site + u"checkforupdate.jsp",
                                                                 site + u"technicalsupport.jsp",
                                                                 site + u"reportabug.jsp"}));
             EXPECT_EQ(shell.helpFiles, std::vector<std::string>{"Help.chm"});
             // The window and its phrase stay as they were.
             EXPECT_TRUE(dlg.IsWindowVisible());
             EXPECT_EQ(GermanLine(), u"Hallo.");
             EXPECT_TRUE(Writes().empty());
         }});
}

// On a desktop that cannot open them, each link and each press of Help says so and names what
// to install; the next press tries again.
TEST_F(MainWindowUse, LinksAndHelpThatCannotOpenSaySoAndTryAgain) {
    shell.openSucceeds = false;
    shell.helpSucceeds = false;
    Run({[&] {
             Click(ids::SupportButton);
             Click(ids::ReportButton);
             Click(ids::UpdateButton);
             backend.Key(VK_F1);
             backend.Key(VK_F1);
         },
         [&] {
             EXPECT_EQ(shell.pages.size(), 3u);
             EXPECT_EQ(shell.helpFiles, (std::vector<std::string>{"Help.chm", "Help.chm"}));
             ASSERT_EQ(shell.messages.size(), 5u);
             for (std::size_t i = 0; i < shell.messages.size(); ++i) {
                 const std::u16string& text = shell.messages[i].text;
                 EXPECT_EQ(shell.messages[i].caption, u"Tolkara_German");
                 EXPECT_NE(text.find(u"xdg-utils"), std::u16string::npos) << i;
                 if (i < 3) {
                     EXPECT_NE(text.find(shell.pages[i]), std::u16string::npos) << i;
                 } else {
                     EXPECT_NE(text.find(u"xchm"), std::u16string::npos);
                 }
             }
             // Once the desktop can, the same press opens without a word.
             shell.helpSucceeds = true;
             shell.openSucceeds = true;
             backend.Key(VK_F1);
             Click(ids::SupportButton);
         },
         [&] {
             EXPECT_EQ(shell.helpFiles.size(), 3u);
             EXPECT_EQ(shell.pages.size(), 4u);
             EXPECT_EQ(shell.messages.size(), 5u);
             EXPECT_EQ(GermanLine(), u"Hallo.");
         }});
}

// The samples of a written buffer.
std::vector<std::int16_t> Samples(const std::vector<std::uint8_t>& pcm) {
    std::vector<std::int16_t> samples(pcm.size() / 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    return samples;
}

TEST_F(MainWindowUse, SlowerSpeechStretchesEveryClipShowsItsStateAndIsKeptForTheNextRun) {
    using catalogue::Settings;
    // The toggle's face as the window shows it, and the toggle's "on" bitmap.
    auto toggleFace = [&](CSkinDlg& window) {
        RECT r;
        window.GetDlgItemWindow(ids::SlowSpeechButton)->GetWindowRect(r);
        window.ScreenToClient(r);
        const gdi::Bitmap shot = backend.Screenshot(window.GetSafeHwnd());
        std::vector<gdi::COLORREF> pixels;
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x)
                pixels.push_back(shot.GetPixel(r.left + x, r.top + y) & 0xFFFFFF);
        return pixels;
    };
    std::vector<gdi::COLORREF> onLook;
    {
        const gdi::Bitmap on = gdi::LoadBitmap(*app.Resources(), 309);
        ASSERT_TRUE(on);
        for (int y = 0; y < on.Height(); ++y)
            for (int x = 0; x < on.Width(); ++x)
                onLook.push_back(on.GetPixel(x, y) & 0xFFFFFF);
    }
    std::size_t plain = 0;
    Run({[&] {
             EXPECT_FALSE(Control<CXSkinButton>(ids::SlowSpeechButton).IsChecked());
             EXPECT_NE(toggleFace(dlg), onLook);
             ClickRow(0, 2);
         },
         [&] {
             ASSERT_EQ(Writes().size(), 1u);
             plain = Writes()[0].size();
             Click(ids::SlowSpeechButton);
         },
         [&] {
             EXPECT_TRUE(Control<CXSkinButton>(ids::SlowSpeechButton).IsChecked());
             EXPECT_EQ(toggleFace(dlg), onLook);  // on, even with the pointer over it
             EXPECT_EQ(catalogue::ReadSettings(), (Settings{true, Settings::VolumeSteps}));
             // The phrase spoken again, then the next one: both at 70 % speed.
             Click(ids::SoundButton);
             ClickRow(1, 2);
         },
         [&] {
             ASSERT_EQ(Writes().size(), 3u);
             EXPECT_NEAR(static_cast<double>(Writes()[1].size()) / plain, 1 / 0.7, 0.01);
             EXPECT_NEAR(static_cast<double>(Writes()[2].size()) / SpokenClip(Selected()).size(),
                         1 / 0.7, 0.01);
             EXPECT_TRUE(Messages().empty());
         }});

    // The next run starts with it on; turned off there, it stays off.
    CSkinDlg again{app};
    std::size_t before = 0;
    backend.WhenIdle([&] {
        auto* toggle = dynamic_cast<CXSkinButton*>(again.GetDlgItemWindow(ids::SlowSpeechButton));
        ASSERT_NE(toggle, nullptr);
        EXPECT_TRUE(toggle->IsChecked());
        EXPECT_EQ(toggleFace(again), onLook);
        RECT r;
        toggle->GetClientRect(r);
        backend.Click(toggle->GetSafeHwnd(), POINT{r.Width() / 2, r.Height() / 2});
        // Spoken at normal speed again: the whole clip of "Hello.".
        before = Writes().size();
        backend.Key(VK_SPACE);
    });
    backend.WhenIdle([&] {
        ASSERT_EQ(Writes().size(), before + 1);
        EXPECT_EQ(Writes().back(), SpokenClip(1));
        EXPECT_EQ(catalogue::ReadSettings(), Settings{});
        backend.Key(VK_ESCAPE);
    });
    EXPECT_EQ(again.DoModal(), IDCANCEL);
}

TEST_F(MainWindowUse, WheelOverSoundAndPlusMinusKeysSetTheVolumeShownInTheTooltip) {
    // A damaged settings file: the defaults, silently.
    testing_support::WriteBytes(
        folder.Path() / catalogue::SettingsName,
        {'v', 'o', 'l', 'u', 'm', 'e', '=', 'x', '\n', 's', 'l', 'o', 'w', '=', '7', 0xFF});
    std::vector<std::int16_t> full;
    auto sound = [&] { return Control<CXSkinButton>(ids::SoundButton).GetSafeHwnd(); };
    auto tip = [&] { return TipOf(ids::SoundButton); };
    auto volume = [&] { return catalogue::ReadSettings().volume; };
    Run({[&] {
             EXPECT_EQ(catalogue::ReadSettings(), catalogue::Settings{});
             EXPECT_FALSE(Control<CXSkinButton>(ids::SlowSpeechButton).IsChecked());
             ClickRow(0, 2);
         },
         [&] {
             ASSERT_EQ(Writes().size(), 1u);
             full = Samples(Writes()[0]);
             // Five notches towards the user over the Sound button: half volume, shown at once.
             backend.Wheel(sound(), POINT{10, 10}, -5);
         },
         [&] {
             EXPECT_EQ(volume(), 5);
             EXPECT_EQ(tip(), u"Volume 50 %");
             EXPECT_TRUE(Control<CXSkinButton>(ids::SoundButton).Tip()->IsShowing());
             Click(ids::SoundButton);
         },
         [&] {
             ASSERT_EQ(Writes().size(), 2u);
             const auto half = Samples(Writes()[1]);
             ASSERT_EQ(half.size(), full.size());
             for (std::size_t i = 0; i < full.size(); ++i)
                 ASSERT_EQ(half[i], full[i] * 0x7FFF / 0xFFFF) << i;
             // Keys wherever the focus is and the pointer is: keypad minus, then + thrice
             // (the + or = key, and the keypad's).
             backend.MouseMove(List().GetSafeHwnd(), POINT{5, 5});
             backend.Key(VK_SUBTRACT);
             backend.Text(u"-");
         },
         [&] {
             EXPECT_EQ(volume(), 4);
             EXPECT_EQ(List().GetCurSel(), 0);
             backend.Key(VK_OEM_PLUS);
             backend.Key(VK_ADD);
             backend.Key(VK_ADD);
         },
         [&] {
             EXPECT_EQ(volume(), 7);
             EXPECT_EQ(tip(), u"Volume 70 %");
             // Shown just below the button, the pointer being elsewhere.
             ASSERT_TRUE(Control<CXSkinButton>(ids::SoundButton).Tip()->IsShowing());
             RECT button, shown;
             Control<CXSkinButton>(ids::SoundButton).GetWindowRect(button);
             Control<CXSkinButton>(ids::SoundButton).Tip()->GetWindowRect(shown);
             EXPECT_EQ(shown.left, button.left);
             EXPECT_EQ(shown.top, button.bottom + 2);
             // A second on, the tip is the Sound button's own again.
             backend.Advance(CSkinDlg::VolumeTipPeriod);
         },
         [&] {
             EXPECT_EQ(tip(), u"Speaking (Space); volume: wheel or +/-");
             EXPECT_FALSE(Control<CXSkinButton>(ids::SoundButton).Tip()->IsShowing());
             // The wheel elsewhere and Ctrl with + leave the volume; it stops at the top.
             backend.Wheel(List().GetSafeHwnd(), POINT{5, 5}, 3);
             backend.KeyDown(VK_CONTROL);
             backend.Key(VK_OEM_PLUS);
             backend.KeyUp(VK_CONTROL);
         },
         [&] {
             EXPECT_EQ(volume(), 7);
             backend.Wheel(sound(), POINT{10, 10}, 9);
         },
         [&] {
             EXPECT_EQ(volume(), 10);
             EXPECT_EQ(tip(), u"Volume 100 %");
             // Typed into the keyword edit, + and - are text.
             Click(ids::SearchViewButton);
         },
         [&] {
             ASSERT_EQ(dlg.GetFocus(), KeywordBox().GetSafeHwnd());
             backend.Key(VK_OEM_MINUS);
             backend.Text(u"-+");
         },
         [&] {
             EXPECT_EQ(volume(), 10);
             EXPECT_EQ(KeywordBox().GetWindowText(), u"-+");
             EXPECT_TRUE(Messages().empty());
         }});
}

}  // namespace
