// The written pronunciation under the German line (the key I), and the learner's own attempt
// beside the model: R or the microphone button records a take, which is then played right
// after the phrase's clip and drawn under it as two envelopes until the selection changes.
#include <algorithm>
#include <cmath>

#include "app/controlids.h"
#include "app/skindlg.h"
#include "audio/comparison.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/application.h"
#include "res/bitmaptable.h"

using namespace ui;

namespace {

// How far the German line moves up to make room beneath it (pixels).
constexpr int GermanLineLift = 10;
constexpr gdi::COLORREF IpaColour = gdi::RGB(52, 70, 96);

// Bars for each column of peaks, mirrored about the strip's middle: the loudest fills the
// strip, the rest by the square root of their share, so quiet syllables still show.
void DrawEnvelope(gdi::DC& dc, const RECT& strip, const std::vector<std::uint8_t>& peaks,
                  gdi::COLORREF colour) {
    if (peaks.empty()) return;
    const int loudest = std::max<int>(1, *std::max_element(peaks.begin(), peaks.end()));
    const gdi::Brush brush = gdi::CreateSolidBrush(colour);
    const int middle = (strip.top + strip.bottom) / 2;
    const int half = (strip.bottom - strip.top) / 2;
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        const double share = static_cast<double>(peaks[i]) / loudest;
        const int reach = std::max(1, static_cast<int>(half * std::sqrt(share) + 0.5));
        const int x = strip.left + static_cast<int>(i);
        gdi::FillRect(dc, RECT{x, middle - reach, x + 1, middle + reach}, brush);
    }
}

}  // namespace

void CSkinDlg::ShowUnderGermanLine() {
    ipaLine.clear();
    if (settings.showIpa && !pronunciationText.empty() && phraseList.GetCurSel() >= 0) {
        ipaLine = ipaText.Of(currentPhrase.number);
    }
    if (!germanLineHome) {
        RECT home;
        pronunciationLine.GetWindowRect(home);
        ScreenToClient(home);
        germanLineHome = home;
    }
    RECT place = *germanLineHome;
    if (!ipaLine.empty() || !takeEnvelope.empty()) {
        place.top -= GermanLineLift;
        place.bottom -= GermanLineLift;
    }
    pronunciationLine.MoveWindow(place, false);
    InvalidateRect(&PronunciationArea, true);
}

void CSkinDlg::ToggleIpa() {
    settings.showIpa = !settings.showIpa;
    catalogue::WriteSettings(settings);  // a folder that cannot be written keeps it for this run
    ShowUnderGermanLine();
}

void CSkinDlg::OnRecord() {
    if (recorder.GetState() == audio::CRecorder::State::Recording) {
        recorder.End();
        FinishTake();
        return;
    }
    // A take is compared with the selected phrase's clip: without one there is nothing to do.
    if (microphoneMissing || !soundArmed || phraseList.GetCurSel() < 0) return;
    player.Stop();
    DropTake();
    if (recorder.Begin() == audio::CRecorder::Start::NoMicrophone) {
        microphoneMissing = true;
        // A disabled button cannot keep the keys: they go back to the phrase list.
        if (GetApplication().GetFocus() == microphoneButton.GetSafeHwnd()) phraseList.SetFocus();
        microphoneButton.EnableWindow(false);
        ShowMessage(NoMicrophone);
        return;
    }
    microphoneButton.SetLatched(true);
    SetTimer(RecordTimer, RecordPeriod);
}

void CSkinDlg::FinishTake() {
    KillTimer(RecordTimer);
    microphoneButton.SetLatched(false);
    if (recorder.GetState() != audio::CRecorder::State::Finished) return;
    const std::span<const std::int16_t> take = recorder.Samples();
    if (!take.empty() && soundArmed) {
        const media::WAVEFORMATEX& format = player.WaveFormat();
        takeAfterClip = audio::TakeAfterPause(take, audio::CRecorder::SampleRate, format);
        player.PlayFollowedBy(takeAfterClip);
        // Both envelopes on one time scale: the longer sound fills the strip.
        const std::span<const std::uint8_t> model = player.Buffer();
        const double modelSeconds =
            static_cast<double>(model.size()) / std::max<std::uint32_t>(1, format.nAvgBytesPerSec);
        const double takeSeconds = static_cast<double>(take.size()) / audio::CRecorder::SampleRate;
        const double longest = std::max({modelSeconds, takeSeconds, 0.001});
        const int width = ModelEnvelopeArea.right - ModelEnvelopeArea.left;
        modelEnvelope = audio::Envelope(
            model, format.nChannels, std::max(1, static_cast<int>(width * modelSeconds / longest)));
        takeEnvelope =
            audio::Envelope(take, 1, std::max(1, static_cast<int>(width * takeSeconds / longest)));
    }
    recorder.Cancel();
    ShowUnderGermanLine();
}

void CSkinDlg::DropTake() {
    if (recorder.GetState() == audio::CRecorder::State::Recording) {
        KillTimer(RecordTimer);
        microphoneButton.SetLatched(false);
    }
    recorder.Cancel();
    takeAfterClip.clear();
    modelEnvelope.clear();
    takeEnvelope.clear();
}

bool CSkinDlg::HandlePronunciationKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
    const Application& app = GetApplication();
    if (app.GetTopLevel(msg.hwnd) != GetSafeHwnd() || TypesSpace(msg.hwnd)) return false;
    if (app.GetKeyState(VK_CONTROL) < 0 || app.GetKeyState(VK_MENU) < 0) return false;
    if (msg.message == WM_CHAR) {
        // The letters of the two keys go with them (no type-ahead in the list).
        const WPARAM c = msg.wParam;
        return c == u'i' || c == u'I' || c == u'r' || c == u'R';
    }
    if (msg.wParam == 'I') {
        ToggleIpa();
        return true;
    }
    if (msg.wParam == 'R') {
        OnRecord();
        return true;
    }
    return false;
}

void CSkinDlg::PaintOverSkin(gdi::DC& dc) {
    if (!takeEnvelope.empty()) {
        DrawEnvelope(dc, ModelEnvelopeArea, modelEnvelope, ModelEnvelopeColour);
        DrawEnvelope(dc, TakeEnvelopeArea, takeEnvelope, TakeEnvelopeColour);
        return;
    }
    if (ipaLine.empty()) return;
    dc.SetBkMode(gdi::TRANSPARENT);
    dc.SetTextColor(IpaColour);
    const std::u16string shown = u"/" + ipaLine + u"/";
    constexpr UINT Line = gdi::DT_CENTER | gdi::DT_VCENTER | gdi::DT_SINGLELINE | gdi::DT_NOPREFIX;
    for (int i = 0; i < 3; ++i) {
        gdi::Font& font = ipaFonts[i];
        if (!font) font = gdi::CreateFontSimple(-12 + i, gdi::FW_NORMAL, u"DejaVu Sans");
        if (font) dc.SelectObject(font);
        RECT needed = IpaArea;
        gdi::DrawText(dc, shown, needed, Line | gdi::DT_CALCRECT);
        // The smallest type takes what is left with an ellipsis.
        if (needed.right - needed.left <= IpaArea.right - IpaArea.left || i == 2) {
            RECT area = IpaArea;
            gdi::DrawText(dc, shown, area, Line | gdi::DT_END_ELLIPSIS);
            return;
        }
    }
}
