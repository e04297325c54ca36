// The combo box's entries: adding, inserting, deleting, selecting and finding them (the CB_
// messages).
#include <algorithm>

#include "platform/ui/combobox.h"
#include "platform/ui/controlsupport.h"

namespace ui {

LRESULT ComboBox::OnAddString(WPARAM, LPARAM lParam) {
    const int at = rows_.AddIndex(TextFromParam(lParam), (GetStyle() & CBS_SORT) != 0);
    return OnInsertString(static_cast<WPARAM>(at), lParam);
}

LRESULT ComboBox::OnInsertString(WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < -1 || index > rows_.Count()) return CB_ERR;
    if (dropped_) Close(false);
    const int at = rows_.Insert(index, TextFromParam(lParam));
    RepaintControl(*this, seeThrough_);
    return at;
}

LRESULT ComboBox::OnDeleteString(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (!rows_.Has(index)) return CB_ERR;
    if (dropped_) Close(false);
    rows_.Delete(index, Releaser());
    RepaintControl(*this, seeThrough_);
    return rows_.Count();
}

LRESULT ComboBox::OnResetContent(WPARAM, LPARAM) {
    if (dropped_) Close(false);
    rows_.Clear(Releaser());
    RepaintControl(*this, seeThrough_);
    return 0;
}

LRESULT ComboBox::OnSetCurSel(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (!rows_.Has(index)) {
        if (rows_.current != -1) RepaintControl(*this, seeThrough_);
        rows_.current = -1;
        return CB_ERR;
    }
    Select(index, false);
    return index;
}

LRESULT ComboBox::OnShowDropDown(WPARAM wParam, LPARAM) {
    if (wParam != 0) {
        Open();
    } else {
        Close(false);
    }
    return 1;
}

LRESULT ComboBox::OnGetDroppedState(WPARAM, LPARAM) {
    return dropped_ ? 1 : 0;
}

LRESULT ComboBox::OnGetDroppedControlRect(WPARAM, LPARAM lParam) {
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (rect == nullptr) return CB_ERR;
    *rect = DropRect();
    return 1;
}

LRESULT ComboBox::OnSetItemHeight(WPARAM, LPARAM lParam) {
    const int h = static_cast<int>(lParam);
    if (h <= 0) return CB_ERR;
    RECT r;
    GetWindowRect(r);
    const int total = r.Height() + dropHeight_;
    itemHeight_ = h;
    dropHeight_ = std::max(0, total - FaceHeight());
    sizing_ = true;
    SetWindowPos(nullptr, 0, 0, r.Width(), FaceHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sizing_ = false;
    if (list_ && list_->IsWindow()) list_->SendMessage(LB_SETITEMHEIGHT, 0, h);
    return 0;
}

LRESULT ComboBox::OnGetItemHeight(WPARAM, LPARAM) {
    return ItemHeight();
}

}  // namespace ui
