// The selected phrase: its number, clip and pronunciation line, replaying it, the Sound
// button, and the colours the window gives its controls.
#include "app/controlids.h"
#include "app/skindlg.h"
#include "catalogue/filenames.h"
#include "catalogue/selectedphrase.h"

using namespace ui;

void CSkinDlg::ResolveSelectedPhrase() {
    // A take belongs to the phrase it was made for.
    DropTake();
    const int selected = phraseList.GetCurSel();
    if (phraseList.GetCount() > 0 && selected >= 0) {
        catalogue::SelectedPhrase phrase = catalogue::ResolveSelectedPhrase(
            phraseList.GetText(selected), phraseMap, catalogueFiles.pronunciationFile,
            catalogue::ClipDataName, catalogue::ClipIndexName);
        currentPhrase = phrase.currentPhrase;
        pronunciationText = std::move(phrase.pronunciationText);
        CueClip(std::move(phrase.clip));
    } else {
        // No row selected: nothing may speak.
        CueClip(catalogue::ClipFetch{catalogue::ClipFetch::Outcome::OutOfRange, {}});
    }
    UpdateData(false);
    pronunciationLine.SetWindowText(pronunciationText);
    ShowUnderGermanLine();
}

void CSkinDlg::CueClip(catalogue::ClipFetch fetch) {
    // The player only ever holds the clip of the phrase on the line: the old one goes first.
    player.Close();
    if (const char16_t* message = fetch.Message()) {
        // A missing archive is said once a run, not at every selection.
        if (!fetch.ArchiveMissing() || !archiveMissingSaid_) ShowMessage(message);
        if (fetch.ArchiveMissing()) archiveMissingSaid_ = true;
    }
    if (fetch.outcome == catalogue::ClipFetch::Outcome::Clip) {
        player.Open(std::move(fetch.clip));
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    }
    soundArmed = player.GetState() != CAudioPlayer::Closed;
}

void CSkinDlg::ReplayPhrase() {
    if (phraseList.GetCount() <= 0 || !soundArmed) return;
    // After a take the pair is heard again: the clip, then the learner.
    player.Stop();
    player.PlayFollowedBy(takeAfterClip);
}

void CSkinDlg::OnSound() {
    if (phraseList.GetCount() > 0 && soundArmed) ReplayPhrase();
}

LRESULT CSkinDlg::OnControlColour(gdi::DC& dc, HWND control) {
    const MSG* message = CurrentMessage();
    LRESULT result = Default();
    const int id = ui::GetDlgCtrlID(control);
    if (id != ids::KeywordEdit) {
        // Without the pattern (bitmap 287 missing) the base class's brush stays.
        if (backgroundBrush) result = BrushResult(&backgroundBrush);
        dc.SetBkMode(gdi::TRANSPARENT);
    }
    if (id == ids::PhraseList) {
        result = BrushResult(&listBrush);
        dc.SetTextColor(settings.readableColours ? ReadableTextColour : ListTextColour);
    }
    if (message != nullptr && message->message == WM_CTLCOLORSTATIC) {
        dc.SetBkMode(gdi::TRANSPARENT);
        result = BrushResult(&hollowBrush_);
    }
    return result;
}
