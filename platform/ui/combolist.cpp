// The open list of a combo box.
#include <algorithm>

#include "platform/ui/combobox.h"

namespace ui {

const MessageMap ComboList::messageMap{
    &ListBox::messageMap,
    {
        OnMessage<&ComboList::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&ComboList::OnLButtonDown>(WM_LBUTTONDBLCLK),
        OnMessage<&ComboList::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&ComboList::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&ComboList::OnCaptureChanged>(WM_CAPTURECHANGED),
        OnMessage<&ComboList::OnNcHitTest>(WM_NCHITTEST),
    }};

HWND ComboList::ColourTarget() const {
    return owner_.GetParent();
}

bool ComboList::DrawOwnerRow(gdi::DC& dc, int index, const RECT& row, bool selected) {
    return owner_.DrawListRow(dc, index, row, selected);
}

void ComboList::Open(const RECT& screenRect, const std::vector<std::u16string>& items,
                     int selected) {
    rows_.Assign(items);
    rows_.current = selected >= 0 && selected < static_cast<int>(rows_.size()) ? selected : -1;
    top_ = 0;
    hScroll_ = 0;
    const HWND top = GetParent();
    RECT r = screenRect;
    if (Window* parent = Window::FromHandle(top)) parent->ScreenToClient(r);
    SetWindowPos(HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE);
    EnsureVisible(rows_.current);
    ShowWindow(SW_SHOWNA);
    Invalidate(true);
    pressedInside_ = false;
    scrolling_ = false;
    SetCapture();
}

void ComboList::Close() {
    scrolling_ = false;
    drag_ = Drag::None;
    if (GetCapture() == GetSafeHwnd()) ReleaseCapture();
    ShowWindow(SW_HIDE);
}

void ComboList::StepHot(int delta) {
    const int count = static_cast<int>(rows_.size());
    if (count == 0) return;
    SetHot(std::clamp(rows_.current < 0 ? 0 : rows_.current + delta, 0, count - 1));
}

LRESULT ComboList::OnNcHitTest(WPARAM, LPARAM) {
    return HTCLIENT;
}

LRESULT ComboList::OnLButtonDown(WPARAM, LPARAM lParam) {
    const POINT p = PointFromLParam(lParam);
    RECT client;
    GetClientRect(client);
    if (!gdi::PtInRect(client, p)) {
        owner_.ListCancelled();
        return 0;
    }
    if (OnScrollBar(p)) {
        scrolling_ = true;
        ScrollBarPress(gdi::PtInRect(RowsArea(), p) ? false : p.x >= RowsArea().right, p);
        return 0;
    }
    const int row = RowFromPoint(p);
    if (row >= 0) {
        pressedInside_ = true;
        SetHot(row);
    }
    return 0;
}

LRESULT ComboList::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (scrolling_) return ListBox::OnMouseMove(wParam, lParam);
    const int row = RowFromPoint(PointFromLParam(lParam));
    if (row >= 0) SetHot(row);
    return 0;
}

LRESULT ComboList::OnLButtonUp(WPARAM, LPARAM lParam) {
    if (scrolling_) {
        scrolling_ = false;
        drag_ = Drag::None;
        return 0;
    }
    const int row = RowFromPoint(PointFromLParam(lParam));
    if (row >= 0) owner_.ListPicked(row);
    return 0;
}

LRESULT ComboList::OnCaptureChanged(WPARAM, LPARAM) {
    if (IsWindowVisible()) owner_.ListCancelled();
    return 0;
}

}  // namespace ui
