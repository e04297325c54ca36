// The standard single-line edit control: typed text (whatever the window system's text input
// delivers, so accented letters and composed characters arrive whole), a caret, a selection
// made with the mouse or Shift and the movement keys, Home/End, Backspace/Delete, Ctrl+A/C/X/V
// with the clipboard, a text limit, read-only and disabled states, and EN_CHANGE to the parent
// after every change of the text (typed or set). Its background and text colours come from
// the parent: WM_CTLCOLOREDIT while editable, WM_CTLCOLORSTATIC while read-only or disabled.
#pragma once

#include <string>

#include "platform/ui/window.h"

namespace ui {

class Edit : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    static void Register(Application& app);

    void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void GetSel(int& start, int& end) const;
    void ReplaceSel(std::u16string_view text);
    void InheritControlState(Window& previous) override;
    void SetLimitText(int limit) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(limit)); }
    bool SetReadOnly(bool readOnly = true) { return SendMessage(EM_SETREADONLY, readOnly) != 0; }
    // The caret's position in code units.
    int CaretPos() const { return caret_; }

protected:
    // The standard handling of each message, for derived classes that add to it.
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnSetText(WPARAM, LPARAM);
    LRESULT OnEnable(WPARAM, LPARAM);
    LRESULT OnSetSel(WPARAM, LPARAM);
    LRESULT OnGetSel(WPARAM, LPARAM);
    LRESULT OnReplaceSel(WPARAM, LPARAM);
    LRESULT OnLimitText(WPARAM, LPARAM);
    LRESULT OnGetLimitText(WPARAM, LPARAM);
    LRESULT OnSetReadOnly(WPARAM, LPARAM);
    LRESULT OnCopy(WPARAM, LPARAM);
    LRESULT OnCut(WPARAM, LPARAM);
    LRESULT OnPaste(WPARAM, LPARAM);
    LRESULT OnClear(WPARAM, LPARAM);

private:
    const std::u16string& Text() const;
    bool ReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    int SelStart() const { return std::min(anchor_, caret_); }
    int SelEnd() const { return std::max(anchor_, caret_); }
    // Replaces the selection with text (cut to the limit); true when the text changed.
    bool Replace(std::u16string_view text);
    void MoveCaret(int to, bool extend);
    // The caret position nearest to a client x coordinate.
    int PositionFromX(int x);
    RECT TextArea() const;
    void ScrollToCaret();
    void Changed();
    // Repaints the edit; over a hollow brush the parent repaints the area under it first.
    void Redraw();
    // Shows the caret and starts its blinking afresh (after typing and moving).
    void ShowCaretNow();

    int caret_ = 0;
    int anchor_ = 0;
    int scroll_ = 0;  // pixels of text scrolled out on the left
    int limit_ = 30000;
    bool focused_ = false;
    bool caretOn_ = false;     // the blinking caret's phase
    bool seeThrough_ = false;  // the last colour answer was a hollow brush
    bool selecting_ = false;   // the mouse is making a selection
};

}  // namespace ui
