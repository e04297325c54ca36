// The window's keys, wherever the focus is in it: the list keys move the phrase list's
// selection, Space speaks the selected phrase, Ctrl+C copies it with its German line, Ctrl+F
// opens the search, Ctrl+E exports the favourites, Ctrl+P practises the listed phrases, Enter
// in the keyword box runs the search and F1 asks for help. Keys the focused control types or uses itself (the keyword box, the
// choosers, the check box) stay with it.
#include "app/controlids.h"
#include "app/skindlg.h"
#include "platform/ui/application.h"

using namespace ui;

namespace {

bool IsListKey(WPARAM key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool CSkinDlg::PreTranslateMessage(MSG& msg) {
    if (HandleAccessKey(msg)) return true;
    if (HandlePronunciationKey(msg)) return true;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_CHAR) && HandleWindowKey(msg)) return true;
    return HandleVolumeKey(msg) || Dialog::PreTranslateMessage(msg);
}

bool CSkinDlg::HandleWindowKey(const MSG& msg) {
    const Application& app = GetApplication();
    const HWND focus = msg.hwnd;
    if (app.GetTopLevel(focus) != GetSafeHwnd()) return false;
    const bool control = app.GetKeyState(VK_CONTROL) < 0;
    const bool shift = app.GetKeyState(VK_SHIFT) < 0;
    const WPARAM key = msg.wParam;

    if (msg.message == WM_CHAR) {
        // The space typed with the Space key that spoke.
        return key == u' ' && !control && !TypesSpace(focus);
    }
    if (key == VK_ESCAPE && phraseList.ChoiceShown()) {
        // Escape closes the word picker, not the window.
        phraseList.CloseChoice();
        return true;
    }
    if (key == VK_F1 && !control) {
        ShowHelp();
        return true;
    }
    if (control && !shift && key == 'P') {
        OnPractice();
        return true;
    }
    if (control && !shift && key == 'F') {
        OpenSearchFromKeys();
        return true;
    }
    if (control && !shift && key == 'E') {
        ExportFavourites();
        return true;
    }
    if (control && !shift && key == 'C') {
        // A selection in the keyword box is copied by the box itself.
        if (focus == keywordEdit.GetSafeHwnd()) {
            const auto selection = static_cast<std::uintptr_t>(keywordEdit.SendMessage(EM_GETSEL));
            if (LOWORD(selection) != HIWORD(selection)) return false;
        }
        CopySelectedPhrase();
        return true;
    }
    if (key == VK_RETURN && focus == keywordEdit.GetSafeHwnd() &&
        runSearchButton.IsWindowVisible()) {
        OnRunSearch();
        return true;
    }
    if (key == VK_SPACE && !control) {
        if (TypesSpace(focus)) return false;
        OnSound();
        return true;
    }
    if (IsListKey(key)) {
        if (focus == phraseList.GetSafeHwnd() || !phraseList.IsWindowVisible()) return false;
        if (InChooser(focus)) return false;
        if (focus == keywordEdit.GetSafeHwnd()) {
            // The box moves its caret along the line; up and down go through the results.
            if (key != VK_UP && key != VK_DOWN && key != VK_PRIOR && key != VK_NEXT) return false;
        } else {
            phraseList.SetFocus();
        }
        phraseList.SendMessage(WM_KEYDOWN, key, msg.lParam);
        return true;
    }
    return false;
}

bool CSkinDlg::InChooser(HWND focus) const {
    const Application& app = GetApplication();
    if (app.IsWithin(focus, subcategoryCombo.GetSafeHwnd())) return true;
    const ComboBox* picker = phraseList.ChoiceCombo();
    return picker != nullptr && app.IsWithin(focus, picker->GetSafeHwnd());
}

bool CSkinDlg::TypesSpace(HWND focus) const {
    return GetApplication().IsWithin(focus, keywordEdit.GetSafeHwnd()) ||
           focus == GetDlgItem(ids::ExactMatchCheck) || InChooser(focus);
}

void CSkinDlg::OpenSearchFromKeys() {
    if (runSearchButton.IsWindowVisible()) {
        // Already searching: the keyword box takes a new keyword over the old one.
        keywordEdit.SetFocus();
        keywordEdit.SendMessage(EM_SETSEL, 0, -1);
        return;
    }
    OnSearchView();
}

void CSkinDlg::CopySelectedPhrase() {
    const int selected = phraseList.GetCurSel();
    if (phraseList.GetCount() <= 0 || selected < 0) return;
    std::u16string text = phraseList.GetText(selected);
    const std::u16string german = pronunciationLine.GetWindowText();
    if (!german.empty()) text += u" \u2014 " + german;
    if (!german.empty() && !ipaLine.empty()) text += u" \u2014 /" + ipaLine + u"/";
    GetApplication().GetBackend().SetClipboardText(text);
}
