// The list box's rows: adding, inserting, deleting, reading and finding them (the LB_ messages).
#include <algorithm>

#include "platform/ui/controlsupport.h"
#include "platform/ui/listbox.h"

namespace ui {

LRESULT ListBox::OnAddString(WPARAM, LPARAM lParam) {
    const std::u16string_view text = TextFromParam(lParam);
    std::size_t at = rows_.size();
    if ((GetStyle() & LBS_SORT) != 0) {
        at = static_cast<std::size_t>(std::upper_bound(rows_.begin(), rows_.end(), text,
                                                       [](std::u16string_view t, const Row& r) {
                                                           return LessFolded(t, r.text);
                                                       }) -
                                      rows_.begin());
    }
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), Row{std::u16string(text), 0});
    if (cur_ >= static_cast<int>(at)) ++cur_;
    Redraw();
    return static_cast<LRESULT>(at);
}

LRESULT ListBox::OnInsertString(WPARAM wParam, LPARAM lParam) {
    int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index == -1) index = static_cast<int>(rows_.size());
    if (index < 0 || index > static_cast<int>(rows_.size())) return LB_ERR;
    rows_.insert(rows_.begin() + index, Row{std::u16string(TextFromParam(lParam)), 0});
    if (cur_ >= index) ++cur_;
    Redraw();
    return index;
}

LRESULT ListBox::OnDeleteString(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    const Row gone = std::move(rows_[static_cast<std::size_t>(index)]);
    rows_.erase(rows_.begin() + index);
    if (cur_ == index) {
        cur_ = -1;
    } else if (cur_ > index) {
        --cur_;
    }
    top_ = std::clamp(top_, 0, MaxTop());
    Redraw();
    if (gone.data != 0) {
        DeleteItem(DELETEITEMSTRUCT{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID()),
                                    static_cast<UINT>(index), GetSafeHwnd(), gone.data});
    }
    return static_cast<LRESULT>(rows_.size());
}

LRESULT ListBox::OnResetContent(WPARAM, LPARAM) {
    std::vector<Row> gone;
    gone.swap(rows_);
    cur_ = -1;
    top_ = 0;
    Redraw();
    ReleaseRows(std::move(gone));
    return 0;
}

LRESULT ListBox::OnGetCount(WPARAM, LPARAM) {
    return static_cast<LRESULT>(rows_.size());
}

LRESULT ListBox::OnGetCurSel(WPARAM, LPARAM) {
    return cur_;
}

LRESULT ListBox::OnSetCurSel(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0) {
        if (cur_ >= 0) Redraw();
        cur_ = -1;
        return LB_ERR;
    }
    if (index >= static_cast<int>(rows_.size())) return LB_ERR;
    SelectRow(index, false);
    return index;
}

LRESULT ListBox::OnGetSel(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    return index == cur_ ? 1 : 0;
}

LRESULT ListBox::OnGetText(WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    auto* buffer = reinterpret_cast<char16_t*>(lParam);
    if (index < 0 || index >= static_cast<int>(rows_.size()) || buffer == nullptr) return LB_ERR;
    const std::u16string& text = rows_[static_cast<std::size_t>(index)].text;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<LRESULT>(text.size());
}

LRESULT ListBox::OnGetTextLen(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    return static_cast<LRESULT>(rows_[static_cast<std::size_t>(index)].text.size());
}

LRESULT ListBox::OnGetItemData(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    return static_cast<LRESULT>(rows_[static_cast<std::size_t>(index)].data);
}

LRESULT ListBox::OnSetItemData(WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    rows_[static_cast<std::size_t>(index)].data = static_cast<std::uintptr_t>(lParam);
    return 0;
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

int ListBox::Find(int startAfter, std::u16string_view text, bool exact) const {
    const int count = static_cast<int>(rows_.size());
    if (count == 0) return LB_ERR;
    int start = startAfter < -1 || startAfter >= count ? -1 : startAfter;
    for (int k = 1; k <= count; ++k) {
        const int i = (start + k) % count;
        const std::u16string& row = rows_[static_cast<std::size_t>(i)].text;
        if (exact ? EqualFolded(row, text) : StartsWithFolded(row, text)) return i;
    }
    return LB_ERR;
}

LRESULT ListBox::OnFindString(WPARAM wParam, LPARAM lParam) {
    return Find(static_cast<int>(static_cast<LPARAM>(wParam)), TextFromParam(lParam), false);
}

LRESULT ListBox::OnFindStringExact(WPARAM wParam, LPARAM lParam) {
    return Find(static_cast<int>(static_cast<LPARAM>(wParam)), TextFromParam(lParam), true);
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
