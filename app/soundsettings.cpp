// Slower speech and the volume: the toggle beside the Sound button, the wheel over the Sound
// button and the + and - keys, and the settings file that keeps both between runs.
#include <algorithm>
#include <string>

#include "app/controlids.h"
#include "app/skindlg.h"

using namespace ui;

namespace {

// waveOutSetVolume's value for a volume step: both channels at step tenths of full.
std::uint32_t WaveVolume(int step) {
    const auto level =
        static_cast<std::uint32_t>(step) * 0xFFFFu / catalogue::Settings::VolumeSteps;
    return level | level << 16;
}

// Which way a key moves the volume: +1, -1, or 0 for any other key.
int VolumeKeyStep(UINT vk) {
    switch (vk) {
        case VK_ADD:
        case VK_OEM_PLUS:
            return 1;
        case VK_SUBTRACT:
        case VK_OEM_MINUS:
            return -1;
        default:
            return 0;
    }
}

}  // namespace

void CSkinDlg::ApplySettings() {
    settings = catalogue::ReadSettings();
    player.SetSlowSpeech(settings.slowSpeech);
    player.SetVolume(WaveVolume(settings.volume));
    slowSpeechButton.SetCheck(settings.slowSpeech ? BST_CHECKED : BST_UNCHECKED);
    ApplyListColours();
}

void CSkinDlg::OnSlowSpeech() {
    settings.slowSpeech = slowSpeechButton.IsChecked();
    player.SetSlowSpeech(settings.slowSpeech);
    catalogue::WriteSettings(settings);  // a folder that cannot be written keeps it for this run
}

void CSkinDlg::StepVolume(int steps) {
    const int volume = std::clamp(settings.volume + steps, 1, catalogue::Settings::VolumeSteps);
    if (volume != settings.volume) {
        settings.volume = volume;
        player.SetVolume(WaveVolume(volume));
        catalogue::WriteSettings(settings);
    }
    ToolTip* tip = soundButton.Tip();
    if (tip == nullptr) return;
    if (!soundTip) soundTip = tip->GetText(soundButton);
    const std::string percent = std::to_string(volume * 100 / catalogue::Settings::VolumeSteps);
    soundButton.SetTip(u"Volume " + std::u16string(percent.begin(), percent.end()) + u" %");
    tip->Popup(soundButton);
    SetTimer(VolumeTipTimer, VolumeTipPeriod);
}

void CSkinDlg::EndVolumeTip() {
    KillTimer(VolumeTipTimer);
    if (!soundTip) return;
    soundButton.SetTip(*soundTip);
    soundTip.reset();
    if (ToolTip* tip = soundButton.Tip()) tip->SendMessage(TTM_POP);
}

bool CSkinDlg::HandleVolumeKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
    // Typed into the keyword edit they are text; with Ctrl they are someone else's keys.
    if (msg.hwnd == keywordEdit.GetSafeHwnd() || GetApplication().GetKeyState(VK_CONTROL) < 0) {
        return false;
    }
    if (msg.message == WM_CHAR) {
        // The characters of the volume keys go with their keys (no type-ahead in the list).
        return msg.wParam == u'+' || msg.wParam == u'-' || msg.wParam == u'=';
    }
    const int step = VolumeKeyStep(static_cast<UINT>(msg.wParam));
    if (step == 0) return false;
    StepVolume(step);
    return true;
}

LRESULT CSkinDlg::OnMouseWheel(UINT keys, POINT screen) {
    // Turned over the Sound button (which passes its wheel to this window): one step a notch.
    if (WindowFromPoint(screen) != soundButton.GetSafeHwnd()) return Default();
    const int notches = GET_WHEEL_DELTA_WPARAM(keys) / WHEEL_DELTA;
    if (notches != 0) StepVolume(notches);
    return 0;
}
