// The written pronunciation under the German line, and recording the learner to compare: the
// window on the headless backend, its microphone fed as a test's, its sound captured.
#include <cmath>
#include <fstream>

#include "audio/comparison.h"
#include "audio/recorder.h"
#include "catalogue/ipatext.h"
#include "catalogue/settings.h"
#include "mainwindow_fixture.h"

namespace apptest {
namespace {

using Samples = std::vector<std::int16_t>;

// Pixels of exactly this colour in the area of the window's screenshot.
int PixelsOf(const gdi::Bitmap& shot, const RECT& area, gdi::COLORREF colour) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += shot.GetPixel(x, y) == colour;
    return n;
}

// Dark pixels (letters) in the area.
int InkIn(const gdi::Bitmap& shot, const RECT& area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const gdi::COLORREF c = shot.GetPixel(x, y);
            n += gdi::GetRValue(c) + gdi::GetGValue(c) + gdi::GetBValue(c) < 350;
        }
    return n;
}

void SaveShot(const backend::HeadlessBackend& backend, HWND window, const char* name) {
    std::filesystem::create_directories(PHRASEBOOK_SCREENSHOT_DIR);
    backend.SavePng(window, std::string(PHRASEBOOK_SCREENSHOT_DIR) + "/" + name);
}

class Pronunciation : public MainWindowUse {
protected:
    void CtrlKey(UINT vk) {
        backend.KeyDown(VK_CONTROL);
        backend.Key(vk);
        backend.KeyUp(VK_CONTROL);
    }
    gdi::Bitmap Shot() const { return backend.Screenshot(dlg.GetSafeHwnd()); }
    // Under the German line's descenders, where only the IPA has letters.
    static constexpr RECT BelowGermanLine{CSkinDlg::IpaArea.left, CSkinDlg::IpaArea.top + 7,
                                          CSkinDlg::IpaArea.right, CSkinDlg::IpaArea.bottom};
};

TEST_F(Pronunciation, TheIpaShowsUnderTheGermanLineIsCopiedWithItAndKeyITurnsItOffRemembered) {
    const auto ipaFile = testing_support::BundledRunFolder() / "Ipa.txt";
    if (!std::filesystem::exists(ipaFile)) GTEST_SKIP() << "no bundled Ipa.txt (make data)";
    std::filesystem::create_symlink(ipaFile, folder.Path() / "Ipa.txt");
    const catalogue::IpaText ipa = catalogue::IpaText::Load(ipaFile);
    const auto withLine = [&] { return List().GetText(1) + u" \u2014 " + GermanLine(); };
    Run({[&] { ClickRow(1); },
         [&] {
             EXPECT_GT(InkIn(Shot(), BelowGermanLine), 30);
             SaveShot(backend, dlg.GetSafeHwnd(), "pronunciation-ipa.png");
             CtrlKey('C');
         },
         [&] {
             const std::u16string line = ipa.Of(Selected());
             ASSERT_FALSE(line.empty());
             EXPECT_EQ(backend.GetClipboardText(), withLine() + u" \u2014 /" + line + u"/");
             backend.Key('I');
             CtrlKey('C');
         },
         [&] {
             EXPECT_EQ(InkIn(Shot(), BelowGermanLine), 0);
             EXPECT_EQ(backend.GetClipboardText(), withLine());
             EXPECT_FALSE(catalogue::ReadSettings().showIpa);
             CtrlKey('F');
         },
         [&] {
             // Typed into the keyword box, the letter is text, not the key.
             backend.Key('I');
             backend.Text(u"i");
         },
         [&] {
             EXPECT_EQ(dlg.GetDlgItemText(ids::KeywordEdit), u"i");
             EXPECT_FALSE(catalogue::ReadSettings().showIpa);
             List().SetFocus();
             backend.Key('I');
         },
         [&] { EXPECT_TRUE(catalogue::ReadSettings().showIpa); }});
}

TEST_F(Pronunciation, ADamagedIpaFileShowsNoIpaAndCopiesNone) {
    std::ofstream(folder.Path() / "Ipa.txt", std::ios::binary) << "\xff\xfe\x00junk\n\xc3";
    Run({[&] { ClickRow(1); },
         [&] {
             EXPECT_EQ(InkIn(Shot(), BelowGermanLine), 0);
             CtrlKey('C');
         },
         [&] {
             EXPECT_EQ(backend.GetClipboardText(), List().GetText(1) + u" \u2014 " + GermanLine());
         }});
}

TEST_F(Pronunciation, RRecordsTheLearnerThenTheClipAndTheTakeAreHeardAndDrawnUntilTheNextRow) {
    // A word of 0.6 s, then quiet: the take ends 0.8 s into the quiet.
    constexpr std::uint32_t Rate = audio::CRecorder::SampleRate;
    Samples said(Rate * 3, 0);
    for (std::size_t i = 0; i < Rate * 6 / 10; ++i)
        said[i] = static_cast<std::int16_t>(5000 * std::sin(2 * M_PI * 180.0 * i / Rate));
    const Samples take(said.begin(), said.begin() + Rate * 14 / 10);

    std::vector<std::uint8_t> pair;
    std::vector<std::function<void()>> steps{
        [&] { ClickRow(2); }, [&] { backend.Key('R'); },
        [&] { EXPECT_TRUE(Control<CXSkinButton>(ids::MicrophoneButton).IsLatched()); }};
    // 0.1 s at a time, the window's timer collecting between.
    for (std::size_t at = 0; at < said.size(); at += Rate / 10) {
        steps.push_back([&, at] {
            backend.Microphone().Feed(
                Samples(said.begin() + static_cast<std::ptrdiff_t>(at),
                        said.begin() + static_cast<std::ptrdiff_t>(at + Rate / 10)));
            backend.Advance(CSkinDlg::RecordPeriod);
        });
    }
    steps.push_back([&] {
        EXPECT_FALSE(Control<CXSkinButton>(ids::MicrophoneButton).IsLatched());
        EXPECT_EQ(backend.Microphone().OpenDevices(), 0);
        // The clip, then a pause and the take in the clip's format, as one sound.
        const std::vector<std::uint8_t> clip = SpokenClip(Selected());
        catalogue::ClipFetch fetch =
            catalogue::ReadClip(catalogue::ClipDataName, catalogue::ClipIndexName, Selected());
        media::CaptureWaveOutDriver device;
        CAudioPlayer reference(device);
        ASSERT_EQ(reference.Open(std::move(fetch.clip)), CAudioPlayer::Done);
        std::vector<std::uint8_t> expected = clip;
        const std::vector<std::uint8_t> after =
            audio::TakeAfterPause(take, Rate, reference.WaveFormat());
        expected.insert(expected.end(), after.begin(), after.end());
        pair = LastWrite();
        EXPECT_EQ(pair.size(), expected.size());
        EXPECT_TRUE(pair == expected);
        // Both envelopes, one above the other.
        const gdi::Bitmap shot = Shot();
        EXPECT_GT(PixelsOf(shot, CSkinDlg::ModelEnvelopeArea, CSkinDlg::ModelEnvelopeColour), 100);
        EXPECT_GT(PixelsOf(shot, CSkinDlg::TakeEnvelopeArea, CSkinDlg::TakeEnvelopeColour), 100);
        SaveShot(backend, dlg.GetSafeHwnd(), "pronunciation-envelopes.png");
        backend.Key(VK_SPACE);
    });
    steps.push_back([&] {
        // Space replays the pair.
        EXPECT_TRUE(LastWrite() == pair);
        ClickRow(3);
    });
    steps.push_back([&] {
        const gdi::Bitmap shot = Shot();
        EXPECT_EQ(PixelsOf(shot, CSkinDlg::TakeEnvelopeArea, CSkinDlg::TakeEnvelopeColour), 0);
        EXPECT_EQ(PixelsOf(shot, CSkinDlg::ModelEnvelopeArea, CSkinDlg::ModelEnvelopeColour), 0);
        backend.Key(VK_SPACE);
    });
    steps.push_back([&] { EXPECT_TRUE(LastWrite() == SpokenClip(Selected())); });
    Run(std::move(steps));
}

TEST_F(Pronunciation, WithoutAMicrophoneRSaysSoOnceAndTheButtonStaysDisabled) {
    backend.Microphone().SetAvailable(false);
    int row = -1;
    Run({[&] { ClickRow(1); }, [&] { Click(ids::MicrophoneButton); },
         [&] {
             EXPECT_EQ(Messages(),
                       std::vector<std::u16string>{std::u16string(CSkinDlg::NoMicrophone)});
             EXPECT_FALSE(Control<CXSkinButton>(ids::MicrophoneButton).IsWindowEnabled());
             backend.Key('R');
             Click(ids::MicrophoneButton);
             // The keys still reach the window.
             row = List().GetCurSel();
             backend.Key(VK_DOWN);
         },
         [&] {
             EXPECT_EQ(Messages().size(), 1u);
             EXPECT_EQ(List().GetCurSel(), row + 1);
         }});
}

}  // namespace
}  // namespace apptest
