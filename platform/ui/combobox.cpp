#include "platform/ui/combobox.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/theme.h"

namespace ui {

namespace {

constexpr int FacePadding = 6;  // face height beyond one entry
constexpr int TextMargin = 4;

}  // namespace

const MessageMap ComboBox::messageMap{
    &Window::messageMap,
    {
        OnMessage<&ComboBox::OnCreate>(WM_CREATE),
        OnMessage<&ComboBox::OnSize>(WM_SIZE),
        OnMessage<&ComboBox::OnPaint>(WM_PAINT),
        OnMessage<&ComboBox::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&ComboBox::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&ComboBox::OnLButtonDown>(WM_LBUTTONDBLCLK),
        OnMessage<&ComboBox::OnKeyDown>(WM_KEYDOWN),
        OnMessage<&ComboBox::OnChar>(WM_CHAR),
        OnMessage<&ComboBox::OnMouseWheel>(WM_MOUSEWHEEL),
        OnMessage<&ComboBox::OnSetFocus>(WM_SETFOCUS),
        OnMessage<&ComboBox::OnKillFocus>(WM_KILLFOCUS),
        OnMessage<&ComboBox::OnGetDlgCode>(WM_GETDLGCODE),
        OnMessage<&ComboBox::OnShowWindow>(WM_SHOWWINDOW),
        OnMessage<&ComboBox::OnEnable>(WM_ENABLE),
        OnMessage<&ComboBox::OnSetFont>(WM_SETFONT),
        OnMessage<&ComboBox::OnDestroy>(WM_DESTROY),
        OnMessage<&ComboBox::OnGetText>(WM_GETTEXT),
        OnMessage<&ComboBox::OnGetTextLength>(WM_GETTEXTLENGTH),
        OnMessage<&ComboBox::OnAddString>(CB_ADDSTRING),
        OnMessage<&ComboBox::OnInsertString>(CB_INSERTSTRING),
        OnMessage<&ComboBox::OnDeleteString>(CB_DELETESTRING),
        OnMessage<&ComboBox::OnResetContent>(CB_RESETCONTENT),
        OnMessage<&ComboBox::OnGetCount>(CB_GETCOUNT),
        OnMessage<&ComboBox::OnGetCurSel>(CB_GETCURSEL),
        OnMessage<&ComboBox::OnSetCurSel>(CB_SETCURSEL),
        OnMessage<&ComboBox::OnGetRowText>(CB_GETLBTEXT),
        OnMessage<&ComboBox::OnGetRowTextLen>(CB_GETLBTEXTLEN),
        OnMessage<&ComboBox::OnGetItemData>(CB_GETITEMDATA),
        OnMessage<&ComboBox::OnSetItemData>(CB_SETITEMDATA),
        OnMessage<&ComboBox::OnFindString>(CB_FINDSTRING),
        OnMessage<&ComboBox::OnFindStringExact>(CB_FINDSTRINGEXACT),
        OnMessage<&ComboBox::OnShowDropDown>(CB_SHOWDROPDOWN),
        OnMessage<&ComboBox::OnGetDroppedState>(CB_GETDROPPEDSTATE),
        OnMessage<&ComboBox::OnGetDroppedControlRect>(CB_GETDROPPEDCONTROLRECT),
        OnMessage<&ComboBox::OnSetItemHeight>(CB_SETITEMHEIGHT),
        OnMessage<&ComboBox::OnGetItemHeight>(CB_GETITEMHEIGHT),
    }};

void ComboBox::Register(Application& app) {
    app.RegisterClass(WindowClass{std::u16string(ComboBoxClass), CS_DBLCLKS,
                                  [] { return std::make_unique<ComboBox>(); }});
}

ComboBox::ComboBox() = default;
ComboBox::~ComboBox() {
    rows_.Clear(IsWindow() ? Releaser() : RowStore::Release{});
}

void ComboBox::DeleteItem(const DELETEITEMSTRUCT& dis) {
    SendDeleteItem(GetSafeHwnd(), dis);
}

// Wrappers.

void ComboBox::ShowDropDown(bool show) {
    SendMessage(CB_SHOWDROPDOWN, show ? 1 : 0);
}
bool ComboBox::GetDroppedState() const {
    return SendMessage(CB_GETDROPPEDSTATE) != 0;
}

void ComboBox::InheritControlState(Window& previous) {
    if (auto* p = dynamic_cast<ComboBox*>(&previous)) {
        p->Close(false);
        rows_.TakeOver(p->rows_);
        dropHeight_ = p->dropHeight_;
        itemHeight_ = p->itemHeight_;
        focused_ = p->focused_;
    }
}

void ComboBox::DrawItem(DRAWITEMSTRUCT&) {}

LRESULT ComboBox::OnReflectedDrawItem(WPARAM, LPARAM lParam) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (dis != nullptr) DrawItem(*dis);
    return 1;
}

// Geometry.

int ComboBox::ItemHeight() const {
    if (itemHeight_ > 0) return itemHeight_;
    return lineHeight_.Of(GetFont());
}

int ComboBox::FaceHeight() const {
    return ItemHeight() + FacePadding;
}

LRESULT ComboBox::OnCreate(WPARAM, LPARAM) {
    RECT r;
    GetWindowRect(r);
    dropHeight_ = std::max(0, r.Height() - FaceHeight());
    sizing_ = true;
    SetWindowPos(nullptr, 0, 0, r.Width(), FaceHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    sizing_ = false;
    return 0;
}

LRESULT ComboBox::OnSize(WPARAM, LPARAM lParam) {
    if (sizing_) return 0;
    const int width = LOWORD(static_cast<std::uintptr_t>(lParam));
    const int height = HIWORD(static_cast<std::uintptr_t>(lParam));
    if (height == FaceHeight()) return 0;
    // The height asked for covers the face and the open list.
    dropHeight_ = std::max(0, height - FaceHeight());
    sizing_ = true;
    SetWindowPos(nullptr, 0, 0, width, FaceHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sizing_ = false;
    return 0;
}

LRESULT ComboBox::OnSetFont(WPARAM, LPARAM) {
    RECT r;
    GetWindowRect(r);
    const int total = r.Height() + dropHeight_;
    const LRESULT result = Default();
    dropHeight_ = std::max(0, total - FaceHeight());
    sizing_ = true;
    SetWindowPos(nullptr, 0, 0, r.Width(), FaceHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sizing_ = false;
    Invalidate(true);
    return result;
}

RECT ComboBox::DropRect() const {
    RECT face;
    GetWindowRect(face);
    const int h = ItemHeight();
    const int count = std::max<int>(1, static_cast<int>(rows_.size()));
    int height = count * h + 2;
    int room = std::max(dropHeight_, h + 2);
    if ((GetStyle() & CBS_NOINTEGRALHEIGHT) == 0) room = std::max(1, (room - 2) / h) * h + 2;
    height = std::min(height, room);
    RECT bounds{face.left, face.bottom, face.right, face.bottom + height};
    // Inside the top-level window: below the face, or above it when that has more room.
    const HWND topHandle = App()->GetTopLevel(GetSafeHwnd());
    if (topHandle && topHandle != GetSafeHwnd()) {
        const RECT top = App()->GetWindowRect(topHandle);
        const int below = top.bottom - face.bottom;
        const int above = face.top - top.top;
        if (height > below && above > below) {
            height = std::min(height, above);
            bounds = RECT{face.left, face.top - height, face.right, face.top};
        } else {
            bounds.bottom = face.bottom + std::min(height, std::max(below, h + 2));
        }
    }
    return bounds;
}

// Painting.

LRESULT ComboBox::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;
}

LRESULT ComboBox::OnPaint(WPARAM, LPARAM) {
    PaintDC dc(*this);
    if (!dc) return 0;
    const Theme& theme = Theme::Standard();
    const bool enabled = IsWindowEnabled();
    const RECT client = BeginControlPaint(*this, dc);
    const gdi::Brush back = RequestColours(*this, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                           enabled ? gdi::COLOR_WINDOW : gdi::COLOR_BTNFACE);
    seeThrough_ = back.GetStyle() == gdi::Brush::Style::Hollow;
    const gdi::COLORREF ink = enabled ? dc.GetTextColor() : theme.Colour(gdi::COLOR_GRAYTEXT);
    gdi::FillRect(dc, client, back);
    const RECT inner = theme.DrawFieldFrame(dc, client, focused_, !enabled);
    const int arrowWidth = std::min(theme.ScrollBarSize(), inner.Width());
    const RECT arrow{inner.right - arrowWidth, inner.top, inner.right, inner.bottom};
    gdi::FillRect(dc, arrow, theme.Brush(dropped_ ? gdi::COLOR_3DLIGHT : gdi::COLOR_BTNFACE));
    theme.DrawDownArrow(dc, arrow, !enabled);
    RECT text{inner.left + 1, inner.top + 1, arrow.left - 1, inner.bottom - 1};

    if ((GetStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0) {
        DrawItemByParent(*this, ODT_COMBOBOX, static_cast<UINT>(rows_.current),
                         ODS_COMBOBOXEDIT | (focused_ && !dropped_ ? ODS_SELECTED | ODS_FOCUS : 0) |
                             (enabled ? 0 : ODS_DISABLED),
                         dc, text, rows_.current >= 0 ? rows_.Data(rows_.current) : 0);
        return 0;
    }

    const bool highlight = focused_ && !dropped_ && enabled;
    if (highlight) gdi::FillRect(dc, text, theme.Brush(gdi::COLOR_HIGHLIGHT));
    dc.SetBkMode(gdi::TRANSPARENT);
    dc.SetTextColor(highlight ? theme.Colour(gdi::COLOR_HIGHLIGHTTEXT) : ink);
    if (rows_.current >= 0) {
        RECT t = text;
        t.left += TextMargin - 1;
        gdi::DrawText(
            dc, rows_.Text(rows_.current), t,
            gdi::DT_SINGLELINE | gdi::DT_VCENTER | gdi::DT_NOPREFIX | gdi::DT_END_ELLIPSIS);
    }
    // The open list lies over the face's neighbours; a repaint of the face must not hide it.
    if (dropped_ && list_ && list_->IsWindow()) list_->Invalidate(true);
    return 0;
}

// Opening and closing.

void ComboBox::Notify(UINT code) {
    NotifyParent(*this, code);
}

void ComboBox::Open() {
    if (dropped_ || !IsWindowEnabled()) return;
    const HWND self = GetSafeHwnd();
    if (GetFocus() != self) SetFocus();
    Notify(CBN_DROPDOWN);
    if (!ui::IsWindow(self) || dropped_) return;
    const HWND top = App()->GetTopLevel(self);
    if (!list_) list_ = std::make_unique<ComboList>(*this);
    if (!list_->IsWindow()) {
        const Style style = WS_CHILD | WS_BORDER | WS_VSCROLL | WS_CLIPSIBLINGS;
        if (!list_->Create(*App(), u"ComboLBox", u"", style, RECT{0, 0, 1, 1}, top, 0)) return;
        list_->SetFont(GetFont(), false);
        if (itemHeight_ > 0) list_->SendMessage(LB_SETITEMHEIGHT, 0, itemHeight_);
    }
    std::vector<std::u16string> texts;
    texts.reserve(rows_.size());
    for (int i = 0; i < rows_.Count(); ++i)
        texts.push_back(rows_.Text(i));
    dropped_ = true;
    list_->Open(DropRect(), texts, rows_.current);
    RepaintControl(*this, seeThrough_);
}

void ComboBox::Close(bool ok) {
    if (!dropped_) return;
    dropped_ = false;
    const HWND self = GetSafeHwnd();
    Notify(ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (list_ && list_->IsWindow()) list_->Close();
    if (!ui::IsWindow(self)) return;
    Notify(CBN_CLOSEUP);
    if (ui::IsWindow(self)) RepaintControl(*this, seeThrough_);
}

bool ComboBox::DrawListRow(gdi::DC& dc, int index, const RECT& row, bool selected) {
    if ((GetStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) == 0) return false;
    DrawItemByParent(*this, ODT_COMBOBOX, static_cast<UINT>(index),
                     selected ? ODS_SELECTED | ODS_FOCUS : 0, dc, row,
                     rows_.Has(index) ? rows_.Data(index) : 0);
    return true;
}

void ComboBox::ListPicked(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    const HWND self = GetSafeHwnd();
    rows_.current = index;
    Close(true);
    // A pick with the mouse always reports the selection, also when it is the same entry.
    if (ui::IsWindow(self)) Notify(CBN_SELCHANGE);
}

void ComboBox::ListCancelled() {
    Close(false);
}

void ComboBox::Select(int index, bool notify) {
    const int count = static_cast<int>(rows_.size());
    if (count == 0) return;
    index = std::clamp(index, 0, count - 1);
    if (dropped_ && list_) list_->SetHot(index);
    if (index == rows_.current) return;
    rows_.current = index;
    RepaintControl(*this, seeThrough_);
    if (notify) Notify(CBN_SELCHANGE);
}

// Input.

LRESULT ComboBox::OnLButtonDown(WPARAM, LPARAM) {
    if (GetFocus() != GetSafeHwnd()) SetFocus();
    if (!IsWindow()) return 0;
    if (dropped_) {
        Close(false);
    } else {
        Open();
    }
    return 0;
}

LRESULT ComboBox::OnKeyDown(WPARAM wParam, LPARAM) {
    const int count = static_cast<int>(rows_.size());
    const int page = dropped_ ? std::max(1, dropHeight_ / ItemHeight() - 1) : 1;
    const int from = dropped_ && list_ ? list_->Hot() : rows_.current;
    switch (wParam) {
        case VK_F4:
            if (dropped_) {
                Close(true);
            } else {
                Open();
            }
            return 0;
        case VK_RETURN:
            if (dropped_) Close(true);
            return 0;
        case VK_ESCAPE:
            if (dropped_) Close(false);
            return 0;
        case VK_UP:
        case VK_LEFT:
            if (count > 0) Select(from < 0 ? 0 : from - 1, true);
            return 0;
        case VK_DOWN:
        case VK_RIGHT:
            if (count > 0) Select(from < 0 ? 0 : from + 1, true);
            return 0;
        case VK_PRIOR:
            if (count > 0) Select(from - page, true);
            return 0;
        case VK_NEXT:
            if (count > 0) Select(from < 0 ? page : from + page, true);
            return 0;
        case VK_HOME:
            if (count > 0) Select(0, true);
            return 0;
        case VK_END:
            if (count > 0) Select(count - 1, true);
            return 0;
        default:
            return Default();
    }
}

LRESULT ComboBox::OnChar(WPARAM wParam, LPARAM) {
    const int found = rows_.TypeAhead(static_cast<char16_t>(wParam), App()->Now());
    if (found >= 0) Select(found, true);
    return 0;
}

LRESULT ComboBox::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    if (!focused_ || dropped_ || rows_.empty()) return Default();
    (void)lParam;
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    if (notches != 0) Select((rows_.current < 0 ? 0 : rows_.current) - notches, true);
    return 0;
}

LRESULT ComboBox::OnSetFocus(WPARAM, LPARAM) {
    focused_ = true;
    RepaintControl(*this, seeThrough_);
    Notify(CBN_SETFOCUS);
    return 0;
}

LRESULT ComboBox::OnKillFocus(WPARAM, LPARAM) {
    focused_ = false;
    const HWND self = GetSafeHwnd();
    Close(false);
    if (!ui::IsWindow(self)) return 0;
    RepaintControl(*this, seeThrough_);
    Notify(CBN_KILLFOCUS);
    return 0;
}

LRESULT ComboBox::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTALLKEYS : 0);
}

LRESULT ComboBox::OnShowWindow(WPARAM wParam, LPARAM) {
    if (wParam == 0) Close(false);
    return 0;
}

LRESULT ComboBox::OnEnable(WPARAM wParam, LPARAM) {
    if (wParam == 0) Close(false);
    RepaintControl(*this, seeThrough_);
    return 0;
}

LRESULT ComboBox::OnDestroy(WPARAM, LPARAM) {
    dropped_ = false;
    if (list_) list_->DestroyWindow();
    rows_.Clear(Releaser());
    return Default();
}

LRESULT ComboBox::OnGetText(WPARAM wParam, LPARAM lParam) {
    auto* buffer = reinterpret_cast<char16_t*>(lParam);
    if (buffer == nullptr || wParam == 0) return 0;
    const std::u16string empty;
    const std::u16string& text = rows_.current >= 0 ? rows_.Text(rows_.current) : empty;
    const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
    return static_cast<LRESULT>(n);
}

LRESULT ComboBox::OnGetTextLength(WPARAM, LPARAM) {
    return rows_.current >= 0 ? static_cast<LRESULT>(rows_.Text(rows_.current).size()) : 0;
}

}  // namespace ui
