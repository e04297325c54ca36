// The standard list box: rows of text, each with an item data value; one current selection;
// keyboard (arrows, Page Up/Down, Home/End, type-ahead), wheel, vertical and horizontal
// scroll bars (always shown with LBS_DISABLENOSCROLL), a horizontal extent, and the colours
// and brush its parent answers to WM_CTLCOLORLISTBOX. With LBS_NOTIFY it tells its parent of
// selections the user makes (LBN_SELCHANGE, never for LB_SETCURSEL) and of double clicks
// (LBN_DBLCLK). Each row deleted (LB_DELETESTRING, LB_RESETCONTENT, the window's end) that
// carries item data other than 0 goes through DeleteItem once, so its owner can release it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/ui/rowcontrol.h"
#include "platform/ui/rowstore.h"
#include "platform/ui/theme.h"
#include "platform/ui/window.h"

namespace ui {

class ListBox : public Window, public RowControl<ListBox, ListBoxMessages> {
    UI_DECLARE_MESSAGE_MAP()
public:
    // The selected row's background and text colours; nullopt: the theme's highlight.
    void SetSelectionColours(std::optional<std::pair<gdi::COLORREF, gdi::COLORREF>> colours);
    static void Register(Application& app);
    ListBox() = default;
    // Rows still held go through the base DeleteItem (WM_DELETEITEM to the parent); a class
    // that releases item data itself empties the list in its own destructor.
    ~ListBox() override;

    // The usual wrappers of the LB_ messages (the row ones from RowControl).
    std::u16string GetText(int index) const { return RowText(index); }
    int GetItemRect(int index, RECT& rect) const;
    int GetTopIndex() const;
    int SetTopIndex(int index);
    int GetItemHeight() const;
    void SetHorizontalExtent(int extent);
    int GetHorizontalExtent() const;
    // The horizontal scroll position in pixels.
    int GetScrollPos() const { return hScroll_; }
    // The scroll bars' positions: SB_HORZ in pixels, SB_VERT in rows (the top index).
    int GetScrollPos(int bar) const { return bar == SB_VERT ? top_ : hScroll_; }

    // A row with item data other than 0 is going: the base sends WM_DELETEITEM to the parent.
    virtual void DeleteItem(const DELETEITEMSTRUCT& dis);
    void InheritControlState(Window& previous) override;

protected:
    // Where colour requests go (the parent); a drop-down list asks its combo box's parent.
    virtual HWND ColourTarget() const { return GetParent(); }
    // An owner-drawn list (LBS_OWNERDRAWFIXED) has its parent draw each row (WM_DRAWITEM);
    // true when the row was handed over.
    virtual bool DrawOwnerRow(gdi::DC& dc, int index, const RECT& row, bool selected);
    // The list's own handling of a press on a row; a drop-down list replaces it.
    int RowFromPoint(POINT client) const;  // -1 outside the rows
    RECT RowsArea() const;                 // the client area less frame and scroll bars
    void EnsureVisible(int index);
    // Repaints the list; over a hollow brush the parent repaints the area under it first.
    void Redraw();
    // Selects the row and scrolls it into view; with `notify`, tells the parent when changed.
    void SelectRow(int index, bool notify);
    int ItemHeight() const;
    int VisibleRows() const;

    int top_ = 0;
    int hScroll_ = 0;

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnFocus(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnSetFont(WPARAM, LPARAM);
    LRESULT OnEnable(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnAddString(WPARAM, LPARAM);
    LRESULT OnInsertString(WPARAM, LPARAM);
    LRESULT OnDeleteString(WPARAM, LPARAM);
    LRESULT OnResetContent(WPARAM, LPARAM);
    LRESULT OnSetCurSel(WPARAM, LPARAM);
    LRESULT OnGetSel(WPARAM, LPARAM);
    LRESULT OnGetItemRect(WPARAM, LPARAM);
    LRESULT OnGetTopIndex(WPARAM, LPARAM);
    LRESULT OnSetTopIndex(WPARAM, LPARAM);
    LRESULT OnSetHorizontalExtent(WPARAM, LPARAM);
    LRESULT OnGetHorizontalExtent(WPARAM, LPARAM);
    LRESULT OnSetItemHeight(WPARAM, LPARAM);
    LRESULT OnGetItemHeight(WPARAM, LPARAM);
    LRESULT OnItemFromPoint(WPARAM, LPARAM);

    bool HasVScroll() const;
    bool HasHScroll() const;
    RECT VScrollRect() const;
    RECT HScrollRect() const;
    ScrollState VState() const;
    ScrollState HState() const;
    void SetTop(int top);
    void SetHScroll(int pos);
    int MaxTop() const;
    void ScrollBarPress(bool vertical, POINT p);
    void Notify(UINT code);
    bool OnScrollBar(POINT p) const;

    enum class Drag { None, Rows, VThumb, HThumb, ScrollButton };
    Drag drag_ = Drag::None;
    int dragGrab_ = 0;  // pointer offset along the bar when a thumb was grabbed
    int itemHeight_ = 0;
    LineHeightCache lineHeight_;
    int extent_ = 0;  // horizontal extent in pixels
    bool focused_ = false;
    bool seeThrough_ = false;  // the last colour answer was a hollow brush
    std::optional<std::pair<gdi::COLORREF, gdi::COLORREF>> selectionColours_;
};

}  // namespace ui
