#include "platform/ui/listbox.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"

namespace ui {

namespace {

constexpr int TextMargin = 2;       // from a row's left edge to its text
constexpr int WheelRows = 3;        // rows per wheel notch
constexpr int HorizontalLine = 10;  // pixels per horizontal arrow press

}  // namespace

const MessageMap ListBox::messageMap{
    &Window::messageMap,
    {
        OnMessage<&ListBox::OnPaint>(WM_PAINT),
        OnMessage<&ListBox::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&ListBox::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&ListBox::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        OnMessage<&ListBox::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&ListBox::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&ListBox::OnCaptureChanged>(WM_CAPTURECHANGED),
        OnMessage<&ListBox::OnMouseWheel>(WM_MOUSEWHEEL),
        OnMessage<&ListBox::OnKeyDown>(WM_KEYDOWN),
        OnMessage<&ListBox::OnChar>(WM_CHAR),
        OnMessage<&ListBox::OnFocus>(WM_SETFOCUS),
        OnMessage<&ListBox::OnFocus>(WM_KILLFOCUS),
        OnMessage<&ListBox::OnGetDlgCode>(WM_GETDLGCODE),
        OnMessage<&ListBox::OnSetFont>(WM_SETFONT),
        OnMessage<&ListBox::OnEnable>(WM_ENABLE),
        OnMessage<&ListBox::OnDestroy>(WM_DESTROY),
        OnMessage<&ListBox::OnAddString>(LB_ADDSTRING),
        OnMessage<&ListBox::OnInsertString>(LB_INSERTSTRING),
        OnMessage<&ListBox::OnDeleteString>(LB_DELETESTRING),
        OnMessage<&ListBox::OnResetContent>(LB_RESETCONTENT),
        OnMessage<&ListBox::OnGetCount>(LB_GETCOUNT),
        OnMessage<&ListBox::OnGetCurSel>(LB_GETCURSEL),
        OnMessage<&ListBox::OnSetCurSel>(LB_SETCURSEL),
        OnMessage<&ListBox::OnGetSel>(LB_GETSEL),
        OnMessage<&ListBox::OnGetRowText>(LB_GETTEXT),
        OnMessage<&ListBox::OnGetRowTextLen>(LB_GETTEXTLEN),
        OnMessage<&ListBox::OnGetItemData>(LB_GETITEMDATA),
        OnMessage<&ListBox::OnSetItemData>(LB_SETITEMDATA),
        OnMessage<&ListBox::OnGetItemRect>(LB_GETITEMRECT),
        OnMessage<&ListBox::OnGetTopIndex>(LB_GETTOPINDEX),
        OnMessage<&ListBox::OnSetTopIndex>(LB_SETTOPINDEX),
        OnMessage<&ListBox::OnSetHorizontalExtent>(LB_SETHORIZONTALEXTENT),
        OnMessage<&ListBox::OnGetHorizontalExtent>(LB_GETHORIZONTALEXTENT),
        OnMessage<&ListBox::OnSetItemHeight>(LB_SETITEMHEIGHT),
        OnMessage<&ListBox::OnGetItemHeight>(LB_GETITEMHEIGHT),
        OnMessage<&ListBox::OnFindString>(LB_FINDSTRING),
        OnMessage<&ListBox::OnFindStringExact>(LB_FINDSTRINGEXACT),
        OnMessage<&ListBox::OnItemFromPoint>(LB_ITEMFROMPOINT),
    }};

void ListBox::Register(Application& app) {
    app.RegisterClass(WindowClass{std::u16string(ListBoxClass), CS_DBLCLKS,
                                  [] { return std::make_unique<ListBox>(); }});
}

// Wrappers.

int ListBox::GetItemRect(int index, RECT& rect) const {
    return static_cast<int>(
        SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)));
}
int ListBox::GetTopIndex() const {
    return static_cast<int>(SendMessage(LB_GETTOPINDEX));
}
int ListBox::SetTopIndex(int index) {
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index)));
}
int ListBox::GetItemHeight() const {
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT));
}
void ListBox::SetHorizontalExtent(int extent) {
    SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(std::max(extent, 0)));
}
int ListBox::GetHorizontalExtent() const {
    return static_cast<int>(SendMessage(LB_GETHORIZONTALEXTENT));
}

void ListBox::InheritControlState(Window& previous) {
    if (auto* p = dynamic_cast<ListBox*>(&previous)) {
        rows_.TakeOver(p->rows_);
        top_ = p->top_;
        hScroll_ = p->hScroll_;
        extent_ = p->extent_;
        itemHeight_ = p->itemHeight_;
        focused_ = p->focused_;
    }
}

void ListBox::Redraw() {
    RepaintControl(*this, seeThrough_);
}

void ListBox::DeleteItem(const DELETEITEMSTRUCT& dis) {
    SendDeleteItem(GetSafeHwnd(), dis);
}

// Geometry.

int ListBox::ItemHeight() const {
    if (itemHeight_ > 0) return itemHeight_;
    return lineHeight_.Of(GetFont());
}

bool ListBox::HasVScroll() const {
    const Style style = GetStyle();
    if ((style & WS_VSCROLL) == 0) return false;
    if ((style & LBS_DISABLENOSCROLL) != 0) return true;
    RECT client;
    GetClientRect(client);
    const int border = (style & WS_BORDER) != 0 ? 2 : 0;
    return static_cast<int>(rows_.size()) * ItemHeight() > client.Height() - border;
}

bool ListBox::HasHScroll() const {
    const Style style = GetStyle();
    if ((style & WS_HSCROLL) == 0) return false;
    if ((style & LBS_DISABLENOSCROLL) != 0) return true;
    RECT client;
    GetClientRect(client);
    const int border = (style & WS_BORDER) != 0 ? 2 : 0;
    const int bar = HasVScroll() ? Theme::Standard().ScrollBarSize() : 0;
    return extent_ > client.Width() - border - bar;
}

RECT ListBox::RowsArea() const {
    RECT r;
    GetClientRect(r);
    if ((GetStyle() & WS_BORDER) != 0 || (GetExStyle() & WS_EX_CLIENTEDGE) != 0)
        gdi::InflateRect(r, -1, -1);
    const int bar = Theme::Standard().ScrollBarSize();
    if (HasVScroll()) r.right = std::max(r.left, r.right - bar);
    if (HasHScroll()) r.bottom = std::max(r.top, r.bottom - bar);
    return r;
}

RECT ListBox::VScrollRect() const {
    const RECT a = RowsArea();
    return RECT{a.right, a.top, a.right + Theme::Standard().ScrollBarSize(), a.bottom};
}

RECT ListBox::HScrollRect() const {
    const RECT a = RowsArea();
    return RECT{a.left, a.bottom, a.right, a.bottom + Theme::Standard().ScrollBarSize()};
}

int ListBox::VisibleRows() const {
    return std::max(1, RowsArea().Height() / ItemHeight());
}

int ListBox::MaxTop() const {
    return std::max(0, static_cast<int>(rows_.size()) - VisibleRows());
}

ScrollState ListBox::VState() const {
    return ScrollState{static_cast<int>(rows_.size()), VisibleRows(), top_};
}

ScrollState ListBox::HState() const {
    return ScrollState{extent_, RowsArea().Width(), hScroll_};
}

int ListBox::RowFromPoint(POINT p) const {
    const RECT a = RowsArea();
    if (!gdi::PtInRect(a, p)) return -1;
    const int row = top_ + (p.y - a.top) / ItemHeight();
    return row < static_cast<int>(rows_.size()) ? row : -1;
}

void ListBox::SetTop(int top) {
    top = std::clamp(top, 0, MaxTop());
    if (top == top_) return;
    top_ = top;
    Redraw();
}

void ListBox::SetHScroll(int pos) {
    pos = std::clamp(pos, 0, std::max(0, extent_ - RowsArea().Width()));
    if (pos == hScroll_) return;
    hScroll_ = pos;
    Redraw();
}

void ListBox::EnsureVisible(int index) {
    if (index < 0) return;
    if (index < top_) {
        SetTop(index);
    } else if (index >= top_ + VisibleRows()) {
        SetTop(index - VisibleRows() + 1);
    }
}

void ListBox::Notify(UINT code) {
    if ((GetStyle() & LBS_NOTIFY) != 0) NotifyParent(*this, code);
}

void ListBox::SelectRow(int index, bool notify) {
    if (index >= static_cast<int>(rows_.size())) index = static_cast<int>(rows_.size()) - 1;
    if (index < 0) return;
    EnsureVisible(index);
    if (index == rows_.current) return;
    rows_.current = index;
    Redraw();
    if (notify) Notify(LBN_SELCHANGE);
}

// Painting.

LRESULT ListBox::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;
}

void ListBox::SetSelectionColours(std::optional<std::pair<gdi::COLORREF, gdi::COLORREF>> colours) {
    selectionColours_ = colours;
    if (IsWindow()) Invalidate();
}

LRESULT ListBox::OnPaint(WPARAM, LPARAM) {
    PaintDC dc(*this);
    if (!dc) return 0;
    const Theme& theme = Theme::Standard();
    const bool enabled = IsWindowEnabled();
    const RECT client = BeginControlPaint(*this, dc);
    const gdi::Brush back = RequestColoursFrom(ColourTarget(), GetSafeHwnd(), dc,
                                               WM_CTLCOLORLISTBOX, gdi::COLOR_WINDOW);
    const gdi::COLORREF textColour =
        enabled ? dc.GetTextColor() : theme.Colour(gdi::COLOR_GRAYTEXT);
    seeThrough_ = back.GetStyle() == gdi::Brush::Style::Hollow;
    if ((GetStyle() & WS_BORDER) != 0 || (GetExStyle() & WS_EX_CLIENTEDGE) != 0)
        theme.DrawFieldFrame(dc, client, false, !enabled);
    const RECT area = RowsArea();
    gdi::FillRect(dc, area, back);

    {
        gdi::SavedDC saved(dc);
        dc.IntersectClipRect(area.left, area.top, area.right, area.bottom);
        dc.SetBkMode(gdi::TRANSPARENT);
        const int h = ItemHeight();
        for (int i = top_; i < static_cast<int>(rows_.size()); ++i) {
            const RECT row{area.left, area.top + (i - top_) * h, area.right,
                           area.top + (i - top_ + 1) * h};
            if (row.top >= area.bottom) break;
            const bool selected = i == rows_.current;
            if (DrawOwnerRow(dc, i, row, selected)) continue;
            const bool ownSelection = selected && enabled && selectionColours_.has_value();
            if (ownSelection) {
                gdi::FillRect(dc, row, gdi::Brush::Solid(selectionColours_->first));
            } else if (selected) {
                gdi::FillRect(dc, row,
                              theme.Brush(enabled ? gdi::COLOR_HIGHLIGHT : gdi::COLOR_BTNSHADOW));
            }
            dc.SetTextColor(ownSelection ? selectionColours_->second
                            : selected   ? theme.Colour(gdi::COLOR_HIGHLIGHTTEXT)
                                         : textColour);
            RECT text{row.left + TextMargin - hScroll_, row.top,
                      row.left + TextMargin - hScroll_ + 0x7FFF, row.bottom};
            gdi::DrawText(dc, rows_[static_cast<std::size_t>(i)].text, text,
                          gdi::DT_SINGLELINE | gdi::DT_VCENTER | gdi::DT_NOPREFIX);
            if (selected && focused_) theme.DrawFocus(dc, row);
        }
        if (focused_ && rows_.current < 0) {
            const RECT row{area.left, area.top, area.right, area.top + h};
            theme.DrawFocus(dc, row);
        }
    }
    const bool vbar = HasVScroll();
    const bool hbar = HasHScroll();
    if (vbar) theme.DrawScrollBar(dc, VScrollRect(), true, VState(), enabled);
    if (hbar) theme.DrawScrollBar(dc, HScrollRect(), false, HState(), enabled);
    if (vbar && hbar) {
        const RECT v = VScrollRect();
        const RECT hr = HScrollRect();
        theme.DrawScrollCorner(dc, RECT{v.left, hr.top, v.right, hr.bottom});
    }
    return 0;
}

bool ListBox::DrawOwnerRow(gdi::DC& dc, int index, const RECT& row, bool selected) {
    if ((GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0) return false;
    DrawItemByParent(*this, ODT_LISTBOX, static_cast<UINT>(index),
                     (selected ? ODS_SELECTED : 0) | (selected && focused_ ? ODS_FOCUS : 0) |
                         (IsWindowEnabled() ? 0 : ODS_DISABLED),
                     dc, row, rows_.Data(index));
    return true;
}

// Mouse.

void ListBox::ScrollBarPress(bool vertical, POINT p) {
    const Theme& theme = Theme::Standard();
    const RECT bar = vertical ? VScrollRect() : HScrollRect();
    const ScrollState state = vertical ? VState() : HState();
    const ScrollPart part = theme.HitScrollBar(bar, vertical, state, p);
    const int line = vertical ? 1 : HorizontalLine;
    const int page = vertical ? std::max(1, VisibleRows() - 1) : std::max(1, state.page);
    const int pos = vertical ? top_ : hScroll_;
    auto scrollTo = [&](int to) {
        if (vertical) {
            SetTop(to);
        } else {
            SetHScroll(to);
        }
    };
    switch (part) {
        case ScrollPart::LineUp:
            scrollTo(pos - line);
            break;
        case ScrollPart::LineDown:
            scrollTo(pos + line);
            break;
        case ScrollPart::PageUp:
            scrollTo(pos - page);
            break;
        case ScrollPart::PageDown:
            scrollTo(pos + page);
            break;
        case ScrollPart::Thumb: {
            const RECT thumb = theme.ScrollThumb(bar, vertical, state);
            drag_ = vertical ? Drag::VThumb : Drag::HThumb;
            dragGrab_ = vertical ? p.y - thumb.top : p.x - thumb.left;
            SetCapture();
            return;
        }
        default:
            break;
    }
    drag_ = Drag::ScrollButton;
    SetCapture();
}

bool ListBox::OnScrollBar(POINT p) const {
    return (HasVScroll() && gdi::PtInRect(VScrollRect(), p)) ||
           (HasHScroll() && gdi::PtInRect(HScrollRect(), p));
}

LRESULT ListBox::OnLButtonDown(WPARAM, LPARAM lParam) {
    const POINT p = PointFromLParam(lParam);
    if (GetFocus() != GetSafeHwnd()) SetFocus();
    if (!IsWindow()) return 0;
    if (HasVScroll() && gdi::PtInRect(VScrollRect(), p)) {
        ScrollBarPress(true, p);
        return 0;
    }
    if (HasHScroll() && gdi::PtInRect(HScrollRect(), p)) {
        ScrollBarPress(false, p);
        return 0;
    }
    if (!gdi::PtInRect(RowsArea(), p)) return 0;
    drag_ = Drag::Rows;
    SetCapture();
    const int row = RowFromPoint(p);
    if (row >= 0) SelectRow(row, true);
    return 0;
}

LRESULT ListBox::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    const POINT p = PointFromLParam(lParam);
    OnLButtonDown(wParam, lParam);
    if (drag_ == Drag::Rows && RowFromPoint(p) >= 0 && RowFromPoint(p) == rows_.current)
        Notify(LBN_DBLCLK);
    return 0;
}

LRESULT ListBox::OnMouseMove(WPARAM, LPARAM lParam) {
    if (drag_ == Drag::None || GetCapture() != GetSafeHwnd()) return 0;
    const POINT p = PointFromLParam(lParam);
    const RECT area = RowsArea();
    const Theme& theme = Theme::Standard();
    if (drag_ == Drag::Rows) {
        if (p.y < area.top) {
            SelectRow(std::max(top_ - 1, 0), true);
        } else if (p.y >= area.bottom) {
            SelectRow(std::min(top_ + VisibleRows(), static_cast<int>(rows_.size()) - 1), true);
        } else {
            const int row = top_ + (p.y - area.top) / ItemHeight();
            SelectRow(std::min(row, static_cast<int>(rows_.size()) - 1), true);
        }
        return 0;
    }
    if (drag_ == Drag::VThumb || drag_ == Drag::HThumb) {
        const bool vertical = drag_ == Drag::VThumb;
        const RECT bar = vertical ? VScrollRect() : HScrollRect();
        const ScrollState state = vertical ? VState() : HState();
        const RECT thumb = theme.ScrollThumb(bar, vertical, state);
        const int button = theme.ScrollBarSize();
        const int length = (vertical ? bar.Height() : bar.Width()) - 2 * button;
        const int thumbLength = vertical ? thumb.Height() : thumb.Width();
        const int travel = length - thumbLength;
        const int maxPos = state.range - state.page;
        if (travel <= 0 || maxPos <= 0) return 0;
        const int offset = (vertical ? p.y - bar.top : p.x - bar.left) - button - dragGrab_;
        const int pos = (std::clamp(offset, 0, travel) * maxPos + travel / 2) / travel;
        if (vertical) {
            SetTop(pos);
        } else {
            SetHScroll(pos);
        }
    }
    return 0;
}

LRESULT ListBox::OnLButtonUp(WPARAM, LPARAM) {
    if (drag_ == Drag::None) return 0;
    drag_ = Drag::None;
    if (GetCapture() == GetSafeHwnd()) ReleaseCapture();
    return 0;
}

LRESULT ListBox::OnCaptureChanged(WPARAM, LPARAM) {
    drag_ = Drag::None;
    return 0;
}

LRESULT ListBox::OnMouseWheel(WPARAM wParam, LPARAM) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    if (notches == 0) return 0;
    SetTop(top_ - notches * WheelRows);
    return 0;
}

// Keyboard.

LRESULT ListBox::OnKeyDown(WPARAM wParam, LPARAM) {
    const int count = static_cast<int>(rows_.size());
    if (count == 0) return 0;
    const int page = std::max(1, VisibleRows() - 1);
    int to = rows_.current;
    switch (wParam) {
        case VK_UP:
        case VK_LEFT:
            to = rows_.current < 0 ? 0 : rows_.current - 1;
            break;
        case VK_DOWN:
        case VK_RIGHT:
            to = rows_.current < 0 ? 0 : rows_.current + 1;
            break;
        case VK_PRIOR:
            to = rows_.current < 0 ? 0 : rows_.current - page;
            break;
        case VK_NEXT:
            to = rows_.current < 0 ? 0 : rows_.current + page;
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = count - 1;
            break;
        default:
            return Default();
    }
    SelectRow(std::clamp(to, 0, count - 1), true);
    return 0;
}

LRESULT ListBox::OnChar(WPARAM wParam, LPARAM) {
    const int found = rows_.TypeAhead(static_cast<char16_t>(wParam), App()->Now());
    if (found >= 0) SelectRow(found, true);
    return 0;
}

LRESULT ListBox::OnFocus(WPARAM, LPARAM) {
    focused_ = CurrentMessage() != nullptr && CurrentMessage()->message == WM_SETFOCUS;
    Redraw();
    Notify(focused_ ? LBN_SETFOCUS : LBN_KILLFOCUS);
    return 0;
}

LRESULT ListBox::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT ListBox::OnSetFont(WPARAM, LPARAM) {
    const LRESULT result = Default();
    top_ = std::clamp(top_, 0, MaxTop());
    Redraw();
    return result;
}

LRESULT ListBox::OnEnable(WPARAM, LPARAM) {
    Redraw();
    return 0;
}

LRESULT ListBox::OnDestroy(WPARAM, LPARAM) {
    top_ = 0;
    rows_.Clear(Releaser());
    return Default();
}

ListBox::~ListBox() {
    rows_.Clear(IsWindow() ? Releaser() : RowStore::Release{});
}

}  // namespace ui
