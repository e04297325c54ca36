#include "controls/mylistbox.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/theme.h"

using namespace ui;

namespace {

// The text colour of the picker and its open list.
constexpr gdi::COLORREF ChoiceTextColour = gdi::RGB(89, 89, 0);
constexpr int ChoiceFaceMargins = 8;
// The picker's style: a visible drop-down list with a vertical scroll bar, its height not
// rounded to whole entries, unsorted.
constexpr Style ChoiceStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT;

// The position of the k-th "[" of text (k from 0), or npos.
std::size_t NthOpen(std::u16string_view text, int k) {
    std::size_t at = std::u16string_view::npos;
    std::size_t from = 0;
    for (int i = 0; i <= k; ++i) {
        at = text.find(u'[', from);
        if (at == std::u16string_view::npos) return at;
        from = at + 1;
    }
    return at;
}

}  // namespace

const MessageMap CMyListBox::messageMap{
    &ListBox::messageMap,
    {
        OnMessage<&CMyListBox::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&CMyListBox::OnMouseWheel>(WM_MOUSEWHEEL),
        OnMessage<&CMyListBox::OnChildColour>(WM_CTLCOLORLISTBOX),
        OnMessage<&CMyListBox::OnChildColour>(WM_CTLCOLOREDIT),
        OnMessage<&CMyListBox::OnChildColour>(WM_CTLCOLORSTATIC),
        OnMessage<&CMyListBox::OnChildColour>(WM_CTLCOLORBTN),
        OnCommand<&CMyListBox::OnChoiceChanged>(CBN_SELCHANGE, ChoiceComboId),
        OnCommand<&CMyListBox::OnChoicePicked>(CBN_SELENDOK, ChoiceComboId),
        OnCommand<&CMyListBox::OnChoiceKillFocus>(CBN_KILLFOCUS, ChoiceComboId),
        OnCommand<&CMyListBox::OnChoiceCancelled>(CBN_SELENDCANCEL, ChoiceComboId),
    }};

CMyListBox::~CMyListBox() {
    // The rows own their items: release them here, while DeleteItem is still ours.
    if (IsWindow()) ResetContent();
}

std::uintptr_t CMyListBox::ItemData(CItem* item) {
    return reinterpret_cast<std::uintptr_t>(item);
}

CItem* CMyListBox::ItemFromData(std::uintptr_t data) {
    return reinterpret_cast<CItem*>(data);
}

int CMyListBox::AddEntry(std::unique_ptr<CItem> item) {
    if (!item) return LB_ERR;
    const int index = AddString(item->display);
    if (index < 0) return LB_ERR;
    SetItemData(index, ItemData(item.release()));
    return index;
}

CItem* CMyListBox::ItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return ItemFromData(GetItemData(index));
}

void CMyListBox::DeleteItem(const DELETEITEMSTRUCT& dis) {
    delete ItemFromData(dis.itemData);
}

void CMyListBox::SetListFont(int points, std::u16string_view face) {
    gdi::LOGFONT lf;
    {
        ClientDC dc(*this);
        const int perInch = dc ? gdi::GetDeviceCaps(dc, gdi::LOGPIXELSY) : 96;
        lf.lfHeight = -gdi::MulDiv(points, perInch, 72);
    }
    lf.lfWeight = gdi::FW_NORMAL;
    lf.lfCharSet = gdi::DEFAULT_CHARSET;
    lf.lfPitchAndFamily = gdi::FF_SWISS | gdi::DEFAULT_PITCH;
    gdi::SetFaceName(lf, face);
    gdi::Font font = gdi::CreateFontIndirect(lf);
    if (!font) return;
    listFont_ = std::move(font);
    SetFont(listFont_, true);
}

bool CMyListBox::AddModeNow() const {
    if (owner_ != nullptr) return owner_->AddMode();
    if (const auto* owner = dynamic_cast<const Owner*>(GetParentWindow())) return owner->AddMode();
    return true;
}

bool CMyListBox::ChoiceShown() const {
    return choiceCombo_ && choiceCombo_->IsWindow() && choiceCombo_->IsWindowVisible();
}

void CMyListBox::HideChoice() {
    if (!choiceCombo_ || !choiceCombo_->IsWindow()) return;
    const bool focused = App()->IsWithin(App()->GetFocus(), choiceCombo_->GetSafeHwnd());
    choiceCombo_->ShowDropDown(false);
    choiceCombo_->ShowWindow(SW_HIDE);
    // A hidden picker must not keep the keys: they would rewrite the word unseen.
    if (focused && IsWindow()) SetFocus();
}

void CMyListBox::CloseChoice() {
    if (ChoiceShown()) HideChoice();
}

void CMyListBox::OnLButtonUp(UINT, POINT point) {
    // The standard handling ends the press (and gives the mouse back) in every case.
    const HWND self = GetSafeHwnd();
    Default();
    if (!ui::IsWindow(self) || !AddModeNow()) return;
    const int selected = GetCurSel();
    if (GetCount() == 0 || selected < 0) return;
    const CItem* item = ItemAt(selected);
    if (item == nullptr || GetText(selected).find(u'[') == std::u16string::npos) return;

    RECT row;
    if (GetItemRect(selected, row) == LB_ERR) return;
    RECT comboRect;
    if (HitSlot(point, *item, row, comboRect)) {
        if (choiceCombo_->GetDroppedState()) choiceCombo_->ShowDropDown(false);
        choiceCombo_->MoveWindow(comboRect, true);
        choiceCombo_->ShowWindow(SW_SHOW);
        choiceCombo_->SetCurSel(0);
        choiceCombo_->ShowDropDown(true);
    } else if (choiceCombo_ && choiceCombo_->IsWindowVisible()) {
        HideChoice();
    }
}

bool CMyListBox::HitSlot(POINT point, const CItem& item, const RECT& row, RECT& comboRect) {
    const std::u16string_view display = item.display;
    const std::u16string_view raw = item.raw;
    if (display.find(u'[') == std::u16string_view::npos) return false;

    ClientDC dc(*this);
    if (listFont_) {
        dc.SelectObject(listFont_);
    } else {
        SelectControlFont(*this, dc);
    }
    const int scroll = GetScrollPos(SB_HORZ);
    const int slots = static_cast<int>(std::count(display.begin(), display.end(), u'['));

    int hit = -1;
    std::size_t open = std::u16string_view::npos;
    std::size_t close = std::u16string_view::npos;
    RECT rect = row;
    std::size_t from = 0;
    for (int k = 0; k < slots; ++k) {
        const std::size_t o = display.find(u'[', from);
        if (o == std::u16string_view::npos) break;
        from = o + 1;
        const std::size_t c = display.find(u']', o);
        // A "[" with no "]" after it is no slot, and neither is any "[" after it.
        if (c == std::u16string_view::npos) break;
        RECT slot = row;
        slot.left = row.left - scroll + TextWidth(dc, display.substr(0, o + 1));
        slot.right = row.left - scroll + TextWidth(dc, display.substr(0, c));
        if (point.x >= slot.left && point.x < slot.right && point.y >= slot.top &&
            point.y < slot.bottom) {
            hit = k;
            open = o;
            close = c;
            rect = slot;
            break;
        }
    }
    if (hit < 0) return false;

    // The same slot of the raw text holds the alternatives.
    const std::size_t rawOpen = NthOpen(raw, hit);
    if (rawOpen == std::u16string_view::npos) return false;
    const std::size_t rawClose = raw.find(u']', rawOpen);
    if (rawClose == std::u16string_view::npos) return false;

    slotOpen_ = static_cast<int>(open);
    slotClose_ = static_cast<int>(close);
    slotWord_ = std::u16string(display.substr(open + 1, close - open - 1));

    rect.bottom += ChoiceDropHeight;
    if (!choiceCombo_) choiceCombo_ = std::make_unique<ComboBox>();
    if (!choiceCombo_->IsWindow()) {
        if (!choiceCombo_->Create(*App(), ComboBoxClass, u"", ChoiceStyle, rect, GetSafeHwnd(),
                                  ChoiceComboId))
            return false;
        choiceCombo_->SetFont(GetFont(), false);
    }

    choiceCombo_->ResetContent();
    int widest = 0;
    const std::u16string_view choices = raw.substr(rawOpen + 1, rawClose - rawOpen - 1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = choices.find(u'|', start);
        const std::u16string_view word =
            choices.substr(start, bar == std::u16string_view::npos ? bar : bar - start);
        choiceCombo_->AddString(word);
        widest = std::max(widest, TextWidth(dc, word));
        if (bar == std::u16string_view::npos) break;
        start = bar + 1;
    }
    // The widest alternative and 5 pixels, as wide as the word's text needs, plus the face's
    // arrow button and text margins, so that the picked word is never cut off.
    rect.right = rect.left + widest + 5 + Theme::Standard().ScrollBarSize() + ChoiceFaceMargins;
    comboRect = rect;
    return true;
}

LRESULT CMyListBox::OnMouseWheel() {
    if (choiceCombo_) HideChoice();
    return Default();
}

const gdi::Brush* CMyListBox::OnChildColour(gdi::DC& dc, HWND) {
    const gdi::Brush* brush = BrushFromResult(Default());
    dc.SetTextColor(ChoiceTextColour);
    return brush;
}

void CMyListBox::OnChoiceChanged() {
    // While its list is open the picker's selection only moves; Enter or a click picks. A
    // change after the picker has closed was reported with the pick already.
    if (!ChoiceShown() || choiceCombo_->GetDroppedState()) return;
    PickChoice();
}

void CMyListBox::OnChoicePicked() {
    if (ChoiceShown()) PickChoice();
}

void CMyListBox::PickChoice() {
    const HWND self = GetSafeHwnd();
    if (!ApplyChoice() || !ui::IsWindow(self)) return;
    // The row now names another phrase: the parent looks it up as after a selection.
    if (const HWND parent = GetParent()) {
        ui::SendMessage(parent, WM_COMMAND,
                        MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), LBN_SELCHANGE),
                        HandleToParam(self));
    }
}

bool CMyListBox::ApplyChoice() {
    if (!choiceCombo_ || !choiceCombo_->IsWindow()) return false;
    HideChoice();
    const int index = GetCurSel();
    const int choice = choiceCombo_->GetCurSel();
    CItem* item = ItemAt(index);
    if (item == nullptr || choice < 0) return false;
    const std::u16string word = choiceCombo_->GetLBText(choice);
    const std::u16string& display = item->display;
    // Only the word that was clicked, still at its place, is replaced.
    if (slotOpen_ < 0 || slotClose_ <= slotOpen_ ||
        static_cast<std::size_t>(slotClose_) >= display.size())
        return false;
    const std::size_t open = static_cast<std::size_t>(slotOpen_);
    const std::size_t close = static_cast<std::size_t>(slotClose_);
    if (display[open] != u'[' || display[close] != u']' ||
        display.compare(open + 1, close - open - 1, slotWord_) != 0)
        return false;

    item->display = display.substr(0, open + 1) + word + display.substr(close);
    slotClose_ = static_cast<int>(open + 1 + word.size());
    slotWord_ = word;

    // Row i becomes the new text with the item; the old row goes without releasing it.
    InsertString(index, item->display);
    SetItemData(index, ItemData(item));
    SetItemData(index + 1, 0);
    DeleteString(index + 1);
    SetCurSel(index);
    Invalidate(true);
    return true;
}

void CMyListBox::OnChoiceKillFocus() {
    if (!choiceCombo_ || !choiceCombo_->IsWindow()) return;
    // The focus has gone elsewhere already: it stays where the user put it.
    choiceCombo_->ShowWindow(SW_HIDE);
    Invalidate(true);
}

void CMyListBox::OnChoiceCancelled() {
    HideChoice();
}
