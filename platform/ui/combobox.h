// The standard combo box of the drop-down list kind: a face that shows the selected entry and
// an arrow; a click, F4 or Alt+Down opens the list of entries over everything else in the
// top-level window (below the face, or above it when there is no room below). The open list
// follows the pointer, picks on a click, closes on Escape, on a click outside it and when the
// combo box loses the focus. Notifications, in this order: CBN_DROPDOWN before the list opens;
// on a pick CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE; on a cancel CBN_SELENDCANCEL,
// CBN_CLOSEUP; the arrow keys change the selection at once with CBN_SELCHANGE; CBN_SELCHANGE
// never follows CB_SETCURSEL. The height given when the control is made (or moved) is the
// height of the face and the open list together; the face keeps the height of one entry.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/listbox.h"

namespace ui {

class ComboBox;

// The open list of a combo box: a list box in the combo box's top-level window that holds
// the mouse while it is open.
class ComboList : public ListBox {
    UI_DECLARE_MESSAGE_MAP()
public:
    explicit ComboList(ComboBox& owner) : owner_(owner) {}
    // Fills the list, places it and shows it with `selected` marked.
    void Open(const RECT& screenRect, const std::vector<std::u16string>& items, int selected);
    void Close();
    int Hot() const { return rows_.current; }
    void SetHot(int index) { SelectRow(index, false); }
    void StepHot(int delta);

protected:
    HWND ColourTarget() const override;
    bool DrawOwnerRow(gdi::DC& dc, int index, const RECT& row, bool selected) override;

private:
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);

    ComboBox& owner_;
    bool pressedInside_ = false;
    bool scrolling_ = false;  // a press on the scroll bar is in hand
};

class ComboBox : public Window, public RowControl<ComboBox, ComboBoxMessages> {
    UI_DECLARE_MESSAGE_MAP()
public:
    static void Register(Application& app);
    ComboBox();
    ~ComboBox() override;

    // The usual wrappers of the CB_ messages (the row ones from RowControl).
    std::u16string GetLBText(int index) const { return RowText(index); }
    void ShowDropDown(bool show = true);
    bool GetDroppedState() const;
    void InheritControlState(Window& previous) override;
    // An entry with item data other than 0 is going (CB_DELETESTRING, CB_RESETCONTENT, the
    // window's end): the base sends WM_DELETEITEM to the parent.
    virtual void DeleteItem(const DELETEITEMSTRUCT& dis);

    // The draw step of an owner-drawn combo box's face; the base draws nothing. A class that
    // draws itself lists OnMessage<&ComboBox::OnReflectedDrawItem>(OCM_DRAWITEM) in its table.
    virtual void DrawItem(DRAWITEMSTRUCT& dis);
    LRESULT OnReflectedDrawItem(WPARAM wParam, LPARAM lParam);

    // Used by the open list: an owner-drawn combo box's parent draws its rows (true).
    bool DrawListRow(gdi::DC& dc, int index, const RECT& row, bool selected);
    void ListPicked(int index);
    void ListCancelled();

protected:
    // The standard handling of each message, for derived classes that add to it.
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnShowWindow(WPARAM, LPARAM);
    LRESULT OnEnable(WPARAM, LPARAM);
    LRESULT OnSetFont(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnGetText(WPARAM, LPARAM);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnAddString(WPARAM, LPARAM);
    LRESULT OnInsertString(WPARAM, LPARAM);
    LRESULT OnDeleteString(WPARAM, LPARAM);
    LRESULT OnResetContent(WPARAM, LPARAM);
    LRESULT OnSetCurSel(WPARAM, LPARAM);
    LRESULT OnShowDropDown(WPARAM, LPARAM);
    LRESULT OnGetDroppedState(WPARAM, LPARAM);
    LRESULT OnGetDroppedControlRect(WPARAM, LPARAM);
    LRESULT OnSetItemHeight(WPARAM, LPARAM);
    LRESULT OnGetItemHeight(WPARAM, LPARAM);

private:
    int ItemHeight() const;
    int FaceHeight() const;
    // Where the open list goes, in screen coordinates.
    RECT DropRect() const;
    void Open();
    // Closes the open list: picked (ok) or cancelled, with the notifications that go with it.
    void Close(bool ok);
    void Select(int index, bool notify);
    void Notify(UINT code);

    int dropHeight_ = 0;  // height of the open list
    int itemHeight_ = 0;
    LineHeightCache lineHeight_;
    bool sizing_ = false;  // the combo box is setting its own height
    bool focused_ = false;
    bool dropped_ = false;
    bool seeThrough_ = false;  // the last colour answer was a hollow brush
    std::unique_ptr<ComboList> list_;
};

}  // namespace ui
