// The main window in use, on the headless backend with the bundled phrasebook: a run folder
// with its files (favourites start empty), the program's resources, every desktop call
// recorded, and the steps a user takes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/controlids.h"
#include "app/phraseapp.h"
#include "app/skindlg.h"
#include "catalogue/archive.h"
#include "catalogue/filenames.h"
#include "catalogue/phrasemap.h"
#include "catalogue/pronunciation.h"
#include "catalogue/stdfile.h"
#include "controls/mylistbox.h"
#include "controls/xskinbutton.h"
#include "platform/backend/headless/headlessbackend.h"
#include "platform/media/capturewaveout.h"
#include "platform/ui/controlsupport.h"
#include "runfolder.h"
#include "tests/support/recordingshell.h"
#include "tests/support/runfolder.h"

namespace apptest {

using namespace ui;

class MainWindowUse : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path bundled = testing_support::BundledRunFolder();
        if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
        for (const char* name :
             {"English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat"}) {
            std::filesystem::create_symlink(bundled / name, folder.Path() / name);
        }
        app.SetShell(&shell);
    }

    // Runs the window, each step when the previous one's input has been handled; the last
    // step closes it.
    void Run(std::vector<std::function<void()>> steps) {
        for (auto& step : steps)
            backend.WhenIdle(std::move(step));
        backend.WhenIdle([this] { backend.Key(VK_ESCAPE); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }

    // A control of the window, as its class.
    template <typename T>
    T& Control(int id) const {
        auto* control = dynamic_cast<T*>(dlg.GetDlgItemWindow(id));
        EXPECT_NE(control, nullptr) << "control " << id;
        return *control;
    }
    CMyListBox& List() const { return Control<CMyListBox>(ids::PhraseList); }
    ComboBox& Chooser() const { return Control<ComboBox>(ids::SubcategoryCombo); }
    Edit& KeywordBox() const { return Control<Edit>(ids::KeywordEdit); }
    // A skinned button's tooltip text.
    std::u16string TipOf(int id) const {
        auto& button = Control<CXSkinButton>(id);
        return button.Tip() != nullptr ? button.Tip()->GetText(button) : std::u16string();
    }
    // The Add button adds (true) or removes (false), as its tooltip says.
    bool AddAdds() const { return TipOf(ids::AddButton) == u"Add To Favourite"; }

    // A click (or double click) in the middle of a control, as the user makes it.
    void Click(int id, int clicks = 1) {
        RECT r;
        dlg.GetDlgItemWindow(id)->GetClientRect(r);
        for (int i = 0; i < clicks; ++i)
            backend.Click(dlg.GetDlgItem(id), POINT{r.Width() / 2, r.Height() / 2});
    }
    // The user picks entry `index` of the subcategory chooser.
    void ChooseSubcategory(int index) {
        Chooser().SetCurSel(index);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::SubcategoryCombo, CBN_SELCHANGE),
                        HandleToParam(Chooser().GetSafeHwnd()));
    }
    // The user selects row `row` of the phrase list by a click on it.
    void ClickRow(int row, int clicks = 1) {
        RECT r;
        List().GetItemRect(row, r);
        for (int i = 0; i < clicks; ++i)
            backend.Click(List().GetSafeHwnd(), POINT{r.left + 3, (r.top + r.bottom) / 2});
    }

    std::vector<std::u16string> Messages() const {
        std::vector<std::u16string> texts;
        for (const auto& m : shell.messages)
            texts.push_back(m.text);
        return texts;
    }
    std::vector<std::u16string> Rows() const {
        std::vector<std::u16string> rows;
        for (int i = 0; i < List().GetCount(); ++i)
            rows.push_back(List().GetText(i));
        return rows;
    }
    std::vector<std::u16string> ComboEntries() const {
        std::vector<std::u16string> entries;
        for (int i = 0; i < Chooser().GetCount(); ++i)
            entries.push_back(Chooser().GetLBText(i));
        return entries;
    }
    // The phrase a row's text names in "English.dat" (0: none).
    PhraseNo NumberOf(const std::u16string& text) {
        if (english_.empty()) catalogue::LoadAllPhrases(catalogue::EnglishDataName, english_);
        const auto found = english_.find(text);
        return found == english_.end() ? 0 : catalogue::ParseDecimal(found->second);
    }
    // The phrases the listed rows name, in list order.
    std::vector<PhraseNo> RowNumbers() {
        std::vector<PhraseNo> numbers;
        for (const std::u16string& row : Rows())
            numbers.push_back(NumberOf(row));
        return numbers;
    }
    // The phrase of the selected row.
    PhraseNo Selected() {
        const int row = List().GetCurSel();
        return row < 0 ? 0 : NumberOf(List().GetText(row));
    }
    std::vector<std::vector<std::uint8_t>> Writes() { return backend.Audio().Writes(); }

    // Phrase n's German line as the window shows it, read from the converted file.
    static std::u16string GermanOf(PhraseNo n) {
        catalogue::StdFile file = catalogue::StdFile::Open(catalogue::PronunciationDataName, "rb");
        return catalogue::PronunciationDisplayText(catalogue::ReadPronunciation(file, n), n);
    }
    // The German line as the window shows it.
    std::u16string GermanLine() const { return dlg.GetDlgItemText(ids::PronunciationLine); }
    // The last piece of sound the device received (empty when none).
    std::vector<std::uint8_t> LastWrite() {
        const auto writes = Writes();
        return writes.empty() ? std::vector<std::uint8_t>{} : writes.back();
    }
    // Phrase n's whole clip as a player of our own writes it to the device.
    static std::vector<std::uint8_t> SpokenClip(PhraseNo n) {
        catalogue::ClipFetch fetch =
            catalogue::ReadClip(catalogue::ClipDataName, catalogue::ClipIndexName, n);
        if (fetch.outcome != catalogue::ClipFetch::Outcome::Clip) return {};
        media::CaptureWaveOutDriver device;
        {
            CAudioPlayer reference(device);
            if (reference.Open(std::move(fetch.clip)) != CAudioPlayer::Done) return {};
            reference.Cue(0, CAudioPlayer::DefaultRangeEnd);
            reference.Play();
        }
        return device.Writes().empty() ? std::vector<std::uint8_t>{} : device.Writes()[0];
    }
    // A click in the middle of bracketed word `slot` (from 0) of row `row`.
    void ClickWord(int row, int slot) {
        const std::u16string text = List().GetText(row);
        std::size_t open = std::u16string::npos;
        for (int k = 0; k <= slot; ++k)
            open = text.find(u'[', open == std::u16string::npos ? 0 : open + 1);
        const std::size_t close = text.find(u']', open);
        RECT r;
        List().GetItemRect(row, r);
        ui::ClientDC dc(List());
        dc.SelectObject(List().ListFont());
        const int x = (ui::TextWidth(dc, std::u16string_view(text).substr(0, open + 1)) +
                       ui::TextWidth(dc, std::u16string_view(text).substr(0, close))) /
                      2;
        backend.Click(List().GetSafeHwnd(), POINT{r.left + x, (r.top + r.bottom) / 2});
    }

    // The program's resources and control classes, before the window is made.
    struct ProgramApplication : Application {
        explicit ProgramApplication(Backend& backend) : Application(backend) {
            CPhraseApp::Prepare(*this);
        }
    };

    catalogue::PhraseMap english_;
    apptest::RunFolder folder;
    backend::HeadlessBackend backend;
    ProgramApplication app{backend};
    testing_support::RecordingShell shell;
    CSkinDlg dlg{app};
};

}  // namespace apptest
