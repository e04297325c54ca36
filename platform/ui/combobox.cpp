#include "platform/ui/combobox.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/theme.h"

namespace ui {

namespace {

constexpr std::uint64_t TypeAheadPause = 1000;
constexpr int FacePadding = 6;  // face height beyond one entry
constexpr int TextMargin = 4;

const char16_t* TextParam(LPARAM lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    return text != nullptr ? text : u"";
}

}  // namespace

// The open list.

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

void ComboList::Open(const RECT& screenRect, const std::vector<std::u16string>& items,
                     int selected) {
    rows_.clear();
    for (const std::u16string& text : items)
        rows_.push_back(Row{text, 0});
    cur_ = selected >= 0 && selected < static_cast<int>(rows_.size()) ? selected : -1;
    top_ = 0;
    hScroll_ = 0;
    const HWND top = GetParent();
    RECT r = screenRect;
    if (Window* parent = Window::FromHandle(top)) parent->ScreenToClient(r);
    SetWindowPos(HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE);
    EnsureVisible(cur_);
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
    SetHot(std::clamp(cur_ < 0 ? 0 : cur_ + delta, 0, count - 1));
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

// The combo box.

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
        OnMessage<&ComboBox::OnGetLBText>(CB_GETLBTEXT),
        OnMessage<&ComboBox::OnGetLBTextLen>(CB_GETLBTEXTLEN),
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
ComboBox::~ComboBox() = default;

// Wrappers.

int ComboBox::AddString(std::u16string_view text) {
    const std::u16string copy(text);
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
}
int ComboBox::InsertString(int index, std::u16string_view text) {
    const std::u16string copy(text);
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(copy.c_str())));
}
int ComboBox::DeleteString(int index) {
    return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
}
void ComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT);
}
int ComboBox::GetCount() const {
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}
int ComboBox::GetCurSel() const {
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}
int ComboBox::SetCurSel(int index) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
std::u16string ComboBox::GetLBText(int index) const {
    const int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    if (length < 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}
std::uintptr_t ComboBox::GetItemData(int index) const {
    return static_cast<std::uintptr_t>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)));
}
int ComboBox::SetItemData(int index, std::uintptr_t data) {
    return static_cast<int>(
        SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}
void ComboBox::ShowDropDown(bool show) {
    SendMessage(CB_SHOWDROPDOWN, show ? 1 : 0);
}
bool ComboBox::GetDroppedState() const {
    return SendMessage(CB_GETDROPPEDSTATE) != 0;
}

void ComboBox::InheritControlState(Window& previous) {
    if (auto* p = dynamic_cast<ComboBox*>(&previous)) {
        p->Close(false);
        entries_ = std::move(p->entries_);
        p->entries_.clear();
        cur_ = p->cur_;
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
    const gdi::Font font = GetFont();
    if (fontHeight_ == 0 || !(measuredFont_ == font)) {
        gdi::DC dc = gdi::DC::Memory();
        if (font) dc.SelectObject(font);
        fontHeight_ = std::max(LineHeight(dc), 1);
        measuredFont_ = font;
    }
    return fontHeight_;
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
    const int count = std::max<int>(1, static_cast<int>(entries_.size()));
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
    RECT client;
    GetClientRect(client);
    SelectControlFont(*this, dc);
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
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
        dis.itemID = static_cast<UINT>(cur_);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = ODS_COMBOBOXEDIT | (focused_ && !dropped_ ? ODS_SELECTED | ODS_FOCUS : 0) |
                        (enabled ? 0 : ODS_DISABLED);
        dis.hwndItem = GetSafeHwnd();
        dis.hDC = &dc;
        dis.rcItem = text;
        dis.itemData = cur_ >= 0 ? entries_[static_cast<std::size_t>(cur_)].data : 0;
        if (const HWND parent = GetParent()) {
            gdi::SavedDC saved(dc);
            ui::SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        }
        return 0;
    }

    const bool highlight = focused_ && !dropped_ && enabled;
    if (highlight) gdi::FillRect(dc, text, theme.Brush(gdi::COLOR_HIGHLIGHT));
    dc.SetBkMode(gdi::TRANSPARENT);
    dc.SetTextColor(highlight ? theme.Colour(gdi::COLOR_HIGHLIGHTTEXT) : ink);
    if (cur_ >= 0) {
        RECT t = text;
        t.left += TextMargin - 1;
        gdi::DrawText(
            dc, entries_[static_cast<std::size_t>(cur_)].text, t,
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
    texts.reserve(entries_.size());
    for (const Entry& e : entries_)
        texts.push_back(e.text);
    dropped_ = true;
    list_->Open(DropRect(), texts, cur_);
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

void ComboBox::ListPicked(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    const HWND self = GetSafeHwnd();
    cur_ = index;
    Close(true);
    // A pick with the mouse always reports the selection, also when it is the same entry.
    if (ui::IsWindow(self)) Notify(CBN_SELCHANGE);
}

void ComboBox::ListCancelled() {
    Close(false);
}

void ComboBox::Select(int index, bool notify) {
    const int count = static_cast<int>(entries_.size());
    if (count == 0) return;
    index = std::clamp(index, 0, count - 1);
    if (dropped_ && list_) list_->SetHot(index);
    if (index == cur_) return;
    cur_ = index;
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
    const int count = static_cast<int>(entries_.size());
    const int page = dropped_ ? std::max(1, dropHeight_ / ItemHeight() - 1) : 1;
    const int from = dropped_ && list_ ? list_->Hot() : cur_;
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
    const auto c = static_cast<char16_t>(wParam);
    if (c < 0x20 || entries_.empty()) return 0;
    const std::uint64_t now = App()->Now();
    if (now - typedAt_ > TypeAheadPause) typed_.clear();
    typedAt_ = now;
    typed_ += c;
    const int start = typed_.size() == 1 ? cur_ : cur_ - 1;
    int found = Find(start, typed_, false);
    if (found < 0 && typed_.size() > 1) {
        typed_ = std::u16string(1, c);
        found = Find(cur_, typed_, false);
    }
    if (found >= 0) Select(found, true);
    return 0;
}

LRESULT ComboBox::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    if (!focused_ || dropped_ || entries_.empty()) return Default();
    (void)lParam;
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    if (notches != 0) Select((cur_ < 0 ? 0 : cur_) - notches, true);
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
    return Default();
}

LRESULT ComboBox::OnGetText(WPARAM wParam, LPARAM lParam) {
    auto* buffer = reinterpret_cast<char16_t*>(lParam);
    if (buffer == nullptr || wParam == 0) return 0;
    const std::u16string empty;
    const std::u16string& text = cur_ >= 0 ? entries_[static_cast<std::size_t>(cur_)].text : empty;
    const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
    return static_cast<LRESULT>(n);
}

LRESULT ComboBox::OnGetTextLength(WPARAM, LPARAM) {
    return cur_ >= 0 ? static_cast<LRESULT>(entries_[static_cast<std::size_t>(cur_)].text.size())
                     : 0;
}

// Entries.

LRESULT ComboBox::OnAddString(WPARAM, LPARAM lParam) {
    const std::u16string_view text = TextParam(lParam);
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
    entries_.insert(entries_.begin() + index, Entry{std::u16string(TextParam(lParam)), 0});
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
    return Find(static_cast<int>(static_cast<LPARAM>(wParam)), TextParam(lParam), false);
}

LRESULT ComboBox::OnFindStringExact(WPARAM wParam, LPARAM lParam) {
    return Find(static_cast<int>(static_cast<LPARAM>(wParam)), TextParam(lParam), true);
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
