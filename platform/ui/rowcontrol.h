// What the list box and the combo box share on top of their RowStore: the usual wrappers of
// their row messages (LB_ or CB_, named by a RowMessages set) and the release of a row's item
// data through the control's DeleteItem. C is the control class (a ui::Window with a
// DeleteItem(const DELETEITEMSTRUCT&)).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/messages.h"
#include "platform/ui/rowstore.h"

namespace ui {

// The message numbers of one kind of row control.
struct RowMessages {
    UINT addString, insertString, deleteString, resetContent, getCount, getCurSel, setCurSel,
        getText, getTextLen, getItemData, setItemData, findString;
    UINT ownerDrawType;  // ODT_LISTBOX or ODT_COMBOBOX
};

inline constexpr RowMessages ListBoxMessages{
    LB_ADDSTRING,   LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT,
    LB_GETCURSEL,   LB_SETCURSEL,    LB_GETTEXT,      LB_GETTEXTLEN,   LB_GETITEMDATA,
    LB_SETITEMDATA, LB_FINDSTRING,   ODT_LISTBOX};
inline constexpr RowMessages ComboBoxMessages{
    CB_ADDSTRING,   CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
    CB_GETCURSEL,   CB_SETCURSEL,    CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_GETITEMDATA,
    CB_SETITEMDATA, CB_FINDSTRING,   ODT_COMBOBOX};

// Sends WM_DELETEITEM to the control's parent: the standard release of a row's item data.
void SendDeleteItem(HWND control, const DELETEITEMSTRUCT& dis);

template <typename C, const RowMessages& M>
class RowControl {
public:
    int AddString(std::u16string_view text) { return SendText(M.addString, 0, text); }
    int InsertString(int index, std::u16string_view text) {
        return SendText(M.insertString, static_cast<WPARAM>(index), text);
    }
    int DeleteString(int index) { return Send(M.deleteString, static_cast<WPARAM>(index)); }
    void ResetContent() { Send(M.resetContent); }
    int GetCount() const { return Send(M.getCount); }
    int GetCurSel() const { return Send(M.getCurSel); }
    int SetCurSel(int index) { return Send(M.setCurSel, static_cast<WPARAM>(index)); }
    int GetTextLen(int index) const { return Send(M.getTextLen, static_cast<WPARAM>(index)); }
    std::uintptr_t GetItemData(int index) const {
        return static_cast<std::uintptr_t>(
            Self().SendMessage(M.getItemData, static_cast<WPARAM>(index)));
    }
    int SetItemData(int index, std::uintptr_t data) {
        return Send(M.setItemData, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    }
    // The first row after startAfter (wrapping round) that starts with prefix, ignoring case.
    int FindString(int startAfter, std::u16string_view prefix) const {
        return SendText(M.findString, static_cast<WPARAM>(startAfter), prefix);
    }

protected:
    // The handling of the row messages that only read or mark the rows (the control's table
    // lists them); the answer for no such row is -1 (LB_ERR, CB_ERR).
    LRESULT OnGetCount(WPARAM, LPARAM) { return rows_.Count(); }
    LRESULT OnGetCurSel(WPARAM, LPARAM) { return rows_.current; }
    LRESULT OnGetRowText(WPARAM wParam, LPARAM lParam) {
        return rows_.CopyText(Index(wParam), reinterpret_cast<char16_t*>(lParam));
    }
    LRESULT OnGetRowTextLen(WPARAM wParam, LPARAM) {
        const int index = Index(wParam);
        return rows_.Has(index) ? static_cast<LRESULT>(rows_.Text(index).size()) : -1;
    }
    LRESULT OnGetItemData(WPARAM wParam, LPARAM) {
        const int index = Index(wParam);
        return rows_.Has(index) ? static_cast<LRESULT>(rows_.Data(index)) : -1;
    }
    LRESULT OnSetItemData(WPARAM wParam, LPARAM lParam) {
        return rows_.SetData(Index(wParam), static_cast<std::uintptr_t>(lParam)) ? 0 : -1;
    }
    LRESULT OnFindString(WPARAM wParam, LPARAM lParam) {
        return rows_.Find(Index(wParam), TextOf(lParam), false);
    }
    LRESULT OnFindStringExact(WPARAM wParam, LPARAM lParam) {
        return rows_.Find(Index(wParam), TextOf(lParam), true);
    }
    static int Index(WPARAM wParam) { return static_cast<int>(static_cast<LPARAM>(wParam)); }
    static std::u16string_view TextOf(LPARAM lParam) {
        const auto* text = reinterpret_cast<const char16_t*>(lParam);
        return text != nullptr ? text : u"";
    }

    RowStore rows_;  // with the current row (rows_.current)

    // The text of a row (empty for no such row).
    std::u16string RowText(int index) const {
        const int length = GetTextLen(index);
        if (length < 0) return {};
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        Self().SendMessage(M.getText, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return text;
    }
    // Hands each row that goes with item data to the control's DeleteItem.
    RowStore::Release Releaser() {
        return [this](int index, std::uintptr_t data) {
            C& self = static_cast<C&>(*this);
            self.DeleteItem(DELETEITEMSTRUCT{M.ownerDrawType,
                                             static_cast<UINT>(self.GetDlgCtrlID()),
                                             static_cast<UINT>(index), self.GetSafeHwnd(), data});
        };
    }

private:
    const C& Self() const { return static_cast<const C&>(*this); }
    int Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return static_cast<int>(Self().SendMessage(message, wParam, lParam));
    }
    int SendText(UINT message, WPARAM wParam, std::u16string_view text) const {
        const std::u16string copy(text);
        return Send(message, wParam, reinterpret_cast<LPARAM>(copy.c_str()));
    }
};

}  // namespace ui
