// The selected phrase: its number, clip and pronunciation line, replaying it, the Sound
// button, and the colours the window gives its controls.
#include "app/controlids.h"
#include "app/skindlg.h"
#include "catalogue/filenames.h"
#include "catalogue/selectedphrase.h"

using namespace ui;

void CSkinDlg::ResolveSelectedPhrase() {
    const int selected = phraseList.GetCurSel();
    if (phraseList.GetCount() > 0 && selected >= 0) {
        catalogue::SelectedPhrase phrase = catalogue::ResolveSelectedPhrase(
            phraseList.GetText(selected), phraseMap, catalogueFiles.pronunciationFile,
            catalogue::ClipDataName, catalogue::ClipIndexName, player, Messages());
        currentPhrase = phrase.currentPhrase;
        pronunciationRecord = phrase.pronunciationRecord;
        pronunciationText = std::move(phrase.pronunciationText);
        soundArmed = player.GetState() != CAudioPlayer::Closed;
    }
    UpdateData(false);
    pronunciationLine.SetWindowText(pronunciationText);
    InvalidateRect(&pronunciationArea, true);
}

void CSkinDlg::ReplayPhrase() {
    if (phraseList.GetCount() <= 0) return;
    player.Stop();
    player.Play();
}

void CSkinDlg::OnSound() {
    if (phraseList.GetCount() > 0 && soundArmed) ReplayPhrase();
}

LRESULT CSkinDlg::OnCtlColor(WPARAM wParam, LPARAM lParam) {
    const MSG* message = CurrentMessage();
    LRESULT result = Default();
    gdi::DC* dc = DCFromWParam(wParam);
    const Window* control = FromHandle(HandleFromParam(App(), static_cast<std::uintptr_t>(lParam)));
    const int id = control != nullptr ? control->GetDlgCtrlID() : 0;
    if (id != ids::KeywordEdit) {
        // Without the pattern (bitmap 287 missing) the base class's brush stays.
        if (backgroundBrush) result = BrushResult(&backgroundBrush);
        if (dc != nullptr) dc->SetBkMode(gdi::TRANSPARENT);
    }
    if (id == ids::PhraseList) {
        result = BrushResult(&listBrush);
        if (dc != nullptr) dc->SetTextColor(ListTextColour);
    }
    if (message != nullptr && message->message == WM_CTLCOLORSTATIC) {
        if (dc != nullptr) dc->SetBkMode(gdi::TRANSPARENT);
        result = BrushResult(&hollowBrush_);
    }
    return result;
}
