// The list box's rows: adding, inserting, deleting, reading and finding them (the LB_ messages).
#include <algorithm>

#include "platform/ui/controlsupport.h"
#include "platform/ui/listbox.h"

namespace ui {

LRESULT ListBox::OnAddString(WPARAM, LPARAM lParam) {
    const int at = rows_.AddIndex(TextFromParam(lParam), (GetStyle() & LBS_SORT) != 0);
    return OnInsertString(static_cast<WPARAM>(at), lParam);
}

LRESULT ListBox::OnInsertString(WPARAM wParam, LPARAM lParam) {
    const int index =
        rows_.Insert(static_cast<int>(static_cast<LPARAM>(wParam)), TextFromParam(lParam));
    if (index < 0) return LB_ERR;
    Redraw();
    return index;
}

LRESULT ListBox::OnDeleteString(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    // The list is redrawn without the row before its owner hears of it.
    std::uintptr_t gone = 0;
    if (!rows_.Delete(index, [&](int, std::uintptr_t data) { gone = data; })) return LB_ERR;
    top_ = std::clamp(top_, 0, MaxTop());
    Redraw();
    if (gone != 0) Releaser()(index, gone);
    return static_cast<LRESULT>(rows_.size());
}

LRESULT ListBox::OnResetContent(WPARAM, LPARAM) {
    top_ = 0;
    rows_.Clear(Releaser());
    Redraw();
    return 0;
}

LRESULT ListBox::OnSetCurSel(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0) {
        if (rows_.current >= 0) Redraw();
        rows_.current = -1;
        return LB_ERR;
    }
    if (!rows_.Has(index)) return LB_ERR;
    SelectRow(index, false);
    return index;
}

LRESULT ListBox::OnGetSel(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (!rows_.Has(index)) return LB_ERR;
    return index == rows_.current ? 1 : 0;
}

LRESULT ListBox::OnGetItemRect(WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (rect == nullptr || index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    const RECT a = RowsArea();
    const int h = ItemHeight();
    *rect = RECT{a.left, a.top + (index - top_) * h, a.right, a.top + (index - top_ + 1) * h};
    return 0;
}

LRESULT ListBox::OnGetTopIndex(WPARAM, LPARAM) {
    return top_;
}

LRESULT ListBox::OnSetTopIndex(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= std::max<int>(static_cast<int>(rows_.size()), 1)) return LB_ERR;
    SetTop(index);
    return 0;
}

LRESULT ListBox::OnSetHorizontalExtent(WPARAM wParam, LPARAM) {
    extent_ = static_cast<int>(wParam);
    hScroll_ = std::clamp(hScroll_, 0, std::max(0, extent_ - RowsArea().Width()));
    Redraw();
    return 0;
}

LRESULT ListBox::OnGetHorizontalExtent(WPARAM, LPARAM) {
    return extent_;
}

LRESULT ListBox::OnSetItemHeight(WPARAM, LPARAM lParam) {
    const int h = LOWORD(static_cast<std::uintptr_t>(lParam));
    if (h <= 0) return LB_ERR;
    itemHeight_ = h;
    top_ = std::clamp(top_, 0, MaxTop());
    Redraw();
    return 0;
}

LRESULT ListBox::OnGetItemHeight(WPARAM, LPARAM) {
    return ItemHeight();
}

LRESULT ListBox::OnItemFromPoint(WPARAM, LPARAM lParam) {
    const POINT p = PointFromLParam(lParam);
    const RECT a = RowsArea();
    const bool outside = !gdi::PtInRect(a, p);
    int row = top_ + (std::clamp(p.y, a.top, std::max(a.top, a.bottom - 1)) - a.top) / ItemHeight();
    row = std::clamp(row, 0, std::max(0, static_cast<int>(rows_.size()) - 1));
    const bool beyond = row >= static_cast<int>(rows_.size()) || RowFromPoint(p) < 0;
    return MAKELPARAM(static_cast<unsigned>(row), outside || beyond ? 1u : 0u);
}

}  // namespace ui
