// The combo box's entries: adding, inserting, deleting, selecting and finding them (the CB_
// messages).
#include <algorithm>

#include "platform/ui/combobox.h"
#include "platform/ui/controlsupport.h"

namespace ui {

LRESULT ComboBox::OnAddString(WPARAM, LPARAM lParam) {
    const std::u16string_view text = TextFromParam(lParam);
    std::size_t at = entries_.size();
    if ((GetStyle() & CBS_SORT) != 0) {
        at = static_cast<std::size_t>(std::upper_bound(entries_.begin(), entries_.end(), text,
                                                       [](std::u16string_view t, const Entry& e) {
                                                           return LessFolded(t, e.text);
                                                       }) -
                                      entries_.begin());
    }
    return OnInsertString(at, lParam);
}

LRESULT ComboBox::OnInsertString(WPARAM wParam, LPARAM lParam) {
    int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index == -1) index = static_cast<int>(entries_.size());
    if (index < 0 || index > static_cast<int>(entries_.size())) return CB_ERR;
    entries_.insert(entries_.begin() + index, Entry{std::u16string(TextFromParam(lParam)), 0});
    if (cur_ >= index) ++cur_;
    if (dropped_) {
        Close(false);
    }
    RepaintControl(*this, seeThrough_);
    return index;
}

LRESULT ComboBox::OnDeleteString(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(entries_.size())) return CB_ERR;
    if (dropped_) Close(false);
    entries_.erase(entries_.begin() + index);
    if (cur_ == index) {
        cur_ = -1;
    } else if (cur_ > index) {
        --cur_;
    }
    RepaintControl(*this, seeThrough_);
    return static_cast<LRESULT>(entries_.size());
}

LRESULT ComboBox::OnResetContent(WPARAM, LPARAM) {
    if (dropped_) Close(false);
    entries_.clear();
    cur_ = -1;
    RepaintControl(*this, seeThrough_);
    return 0;
}

LRESULT ComboBox::OnGetCount(WPARAM, LPARAM) {
    return static_cast<LRESULT>(entries_.size());
}

LRESULT ComboBox::OnGetCurSel(WPARAM, LPARAM) {
    return cur_;
}

LRESULT ComboBox::OnSetCurSel(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        if (cur_ != -1) RepaintControl(*this, seeThrough_);
        cur_ = -1;
        return CB_ERR;
    }
    Select(index, false);
    return index;
}

LRESULT ComboBox::OnGetLBText(WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    auto* buffer = reinterpret_cast<char16_t*>(lParam);
    if (index < 0 || index >= static_cast<int>(entries_.size()) || buffer == nullptr) return CB_ERR;
    const std::u16string& text = entries_[static_cast<std::size_t>(index)].text;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<LRESULT>(text.size());
}

LRESULT ComboBox::OnGetLBTextLen(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(entries_.size())) return CB_ERR;
    return static_cast<LRESULT>(entries_[static_cast<std::size_t>(index)].text.size());
}

LRESULT ComboBox::OnGetItemData(WPARAM wParam, LPARAM) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(entries_.size())) return CB_ERR;
    return static_cast<LRESULT>(entries_[static_cast<std::size_t>(index)].data);
}

LRESULT ComboBox::OnSetItemData(WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= static_cast<int>(entries_.size())) return CB_ERR;
    entries_[static_cast<std::size_t>(index)].data = static_cast<std::uintptr_t>(lParam);
    return 0;
}

int ComboBox::Find(int startAfter, std::u16string_view text, bool exact) const {
    const int count = static_cast<int>(entries_.size());
    if (count == 0) return CB_ERR;
    const int start = startAfter < -1 || startAfter >= count ? -1 : startAfter;
    for (int k = 1; k <= count; ++k) {
        const int i = (start + k) % count;
        const std::u16string& e = entries_[static_cast<std::size_t>(i)].text;
        if (exact ? EqualFolded(e, text) : StartsWithFolded(e, text)) return i;
    }
    return CB_ERR;
}

LRESULT ComboBox::OnFindString(WPARAM wParam, LPARAM lParam) {
    return Find(static_cast<int>(static_cast<LPARAM>(wParam)), TextFromParam(lParam), false);
}

LRESULT ComboBox::OnFindStringExact(WPARAM wParam, LPARAM lParam) {
    return Find(static_cast<int>(static_cast<LPARAM>(wParam)), TextFromParam(lParam), true);
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
