#include "platform/ui/edit.h"

#include <algorithm>
#include <memory>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/theme.h"

namespace ui {

namespace {

constexpr int Margin = 3;  // between the frame and the text
constexpr std::uintptr_t CaretTimer = 1;
constexpr UINT CaretBlink = 530;  // milliseconds per phase

bool IsWordChar(char16_t c) {
    return c != u' ' && c != u'\t';
}

// Keeps surrogate pairs whole when text is cut at `at`.
std::size_t SafeCut(std::u16string_view text, std::size_t at) {
    if (at > 0 && at < text.size() && text[at - 1] >= 0xD800 && text[at - 1] <= 0xDBFF) --at;
    return at;
}

}  // namespace

const MessageMap Edit::messageMap{&Window::messageMap,
                                  {
                                      OnMessage<&Edit::OnPaint>(WM_PAINT),
                                      OnMessage<&Edit::OnEraseBkgnd>(WM_ERASEBKGND),
                                      OnMessage<&Edit::OnLButtonDown>(WM_LBUTTONDOWN),
                                      OnMessage<&Edit::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
                                      OnMessage<&Edit::OnLButtonUp>(WM_LBUTTONUP),
                                      OnMessage<&Edit::OnMouseMove>(WM_MOUSEMOVE),
                                      OnMessage<&Edit::OnCaptureChanged>(WM_CAPTURECHANGED),
                                      OnMessage<&Edit::OnKeyDown>(WM_KEYDOWN),
                                      OnMessage<&Edit::OnChar>(WM_CHAR),
                                      OnMessage<&Edit::OnSetFocus>(WM_SETFOCUS),
                                      OnMessage<&Edit::OnKillFocus>(WM_KILLFOCUS),
                                      OnMessage<&Edit::OnTimer>(WM_TIMER),
                                      OnMessage<&Edit::OnGetDlgCode>(WM_GETDLGCODE),
                                      OnMessage<&Edit::OnSetCursor>(WM_SETCURSOR),
                                      OnMessage<&Edit::OnSetText>(WM_SETTEXT),
                                      OnMessage<&Edit::OnEnable>(WM_ENABLE),
                                      OnMessage<&Edit::OnSetSel>(EM_SETSEL),
                                      OnMessage<&Edit::OnGetSel>(EM_GETSEL),
                                      OnMessage<&Edit::OnReplaceSel>(EM_REPLACESEL),
                                      OnMessage<&Edit::OnLimitText>(EM_LIMITTEXT),
                                      OnMessage<&Edit::OnGetLimitText>(EM_GETLIMITTEXT),
                                      OnMessage<&Edit::OnSetReadOnly>(EM_SETREADONLY),
                                      OnMessage<&Edit::OnCopy>(WM_COPY),
                                      OnMessage<&Edit::OnCut>(WM_CUT),
                                      OnMessage<&Edit::OnPaste>(WM_PASTE),
                                      OnMessage<&Edit::OnClear>(WM_CLEAR),
                                  }};

void Edit::Register(Application& app) {
    app.RegisterClass(WindowClass{std::u16string(EditClass), CS_DBLCLKS,
                                  [] { return std::make_unique<Edit>(); }});
}

const std::u16string& Edit::Text() const {
    return StoredText();
}

void Edit::InheritControlState(Window& previous) {
    if (const auto* p = dynamic_cast<const Edit*>(&previous)) {
        caret_ = p->caret_;
        anchor_ = p->anchor_;
        scroll_ = p->scroll_;
        limit_ = p->limit_;
        focused_ = p->focused_;
    }
}

void Edit::GetSel(int& start, int& end) const {
    DWORD s = 0;
    DWORD e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

void Edit::ReplaceSel(std::u16string_view text) {
    const std::u16string copy(text);
    SendMessage(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(copy.c_str()));
}

RECT Edit::TextArea() const {
    RECT r;
    GetClientRect(r);
    const int inset = Margin + ((GetStyle() & WS_BORDER) != 0 ? 1 : 0);
    gdi::InflateRect(r, -inset, -1);
    return r;
}

void Edit::Redraw() {
    RepaintControl(*this, seeThrough_);
}

void Edit::ShowCaretNow() {
    if (!focused_) return;
    caretOn_ = true;
    SetTimer(CaretTimer, CaretBlink);
}

LRESULT Edit::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != CaretTimer) return Default();
    caretOn_ = !caretOn_ && focused_;
    Redraw();
    return 0;
}

void Edit::Changed() {
    ShowCaretNow();
    ScrollToCaret();
    Redraw();
    NotifyParent(*this, EN_CHANGE);
}

bool Edit::Replace(std::u16string_view insert) {
    std::u16string text = Text();
    const int start = SelStart();
    const int end = SelEnd();
    const std::size_t room = static_cast<std::size_t>(
        std::max(0, limit_ - static_cast<int>(text.size()) + (end - start)));
    std::u16string_view piece = insert.substr(0, SafeCut(insert, std::min(room, insert.size())));
    if (piece.empty() && start == end) return false;
    text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), piece);
    App()->SetWindowText(GetSafeHwnd(), text);
    caret_ = anchor_ = start + static_cast<int>(piece.size());
    return true;
}

void Edit::MoveCaret(int to, bool extend) {
    const int length = static_cast<int>(Text().size());
    to = std::clamp(to, 0, length);
    caret_ = to;
    if (!extend) anchor_ = to;
    ShowCaretNow();
    ScrollToCaret();
    Redraw();
}

void Edit::ScrollToCaret() {
    gdi::DC dc = gdi::DC::Memory();
    SelectControlFont(*this, dc);
    const std::u16string& text = Text();
    const int x =
        TextWidth(dc, std::u16string_view(text).substr(0, static_cast<std::size_t>(caret_)));
    const int width = std::max(1, TextArea().Width() - 1);
    if (x - scroll_ > width) scroll_ = x - width + width / 3;
    if (x - scroll_ < 0) scroll_ = std::max(0, x - width / 3);
    const int total = TextWidth(dc, text);
    if (total - scroll_ < width) scroll_ = std::max(0, total - width);
}

int Edit::PositionFromX(int x) {
    gdi::DC dc = gdi::DC::Memory();
    SelectControlFont(*this, dc);
    const std::u16string& text = Text();
    const int target = x - TextArea().left + scroll_;
    int previous = 0;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        if (i < text.size() && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF) continue;
        const int w = TextWidth(dc, std::u16string_view(text).substr(0, i));
        if (target < (previous + w) / 2) return static_cast<int>(SafeCut(text, i - 1));
        previous = w;
    }
    return static_cast<int>(text.size());
}

LRESULT Edit::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;
}

LRESULT Edit::OnPaint(WPARAM, LPARAM) {
    PaintDC dc(*this);
    if (!dc) return 0;
    const Theme& theme = Theme::Standard();
    const bool enabled = IsWindowEnabled();
    const bool editable = enabled && !ReadOnly();
    RECT client;
    GetClientRect(client);
    SelectControlFont(*this, dc);
    const gdi::Brush back =
        RequestColours(*this, dc, editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                       editable ? gdi::COLOR_WINDOW : gdi::COLOR_BTNFACE);
    const gdi::COLORREF ink = enabled ? dc.GetTextColor() : theme.Colour(gdi::COLOR_GRAYTEXT);
    seeThrough_ = back.GetStyle() == gdi::Brush::Style::Hollow;
    gdi::FillRect(dc, client, back);
    if ((GetStyle() & WS_BORDER) != 0 || (GetExStyle() & WS_EX_CLIENTEDGE) != 0)
        theme.DrawFieldFrame(dc, client, focused_ && editable, !enabled);

    const RECT area = TextArea();
    gdi::SavedDC saved(dc);
    dc.IntersectClipRect(area.left, area.top, area.right, area.bottom);
    dc.SetBkMode(gdi::TRANSPARENT);
    const std::u16string& text = Text();
    const int lineHeight = LineHeight(dc);
    const int y = area.top + (area.Height() - lineHeight) / 2;
    const int x = area.left - scroll_;
    auto widthTo = [&](int pos) {
        return TextWidth(dc, std::u16string_view(text).substr(0, static_cast<std::size_t>(pos)));
    };
    const bool showSelection = SelStart() != SelEnd() && (focused_ || (GetStyle() & ES_NOHIDESEL));
    dc.SetTextColor(ink);
    gdi::TextOut(dc, x, y, text);
    if (showSelection) {
        const int left = x + widthTo(SelStart());
        const int right = x + widthTo(SelEnd());
        const RECT sel{left, y, right, y + lineHeight};
        gdi::FillRect(dc, sel, theme.Brush(gdi::COLOR_HIGHLIGHT));
        dc.SetTextColor(theme.Colour(gdi::COLOR_HIGHLIGHTTEXT));
        gdi::TextOut(
            dc, left, y,
            std::u16string_view(text).substr(static_cast<std::size_t>(SelStart()),
                                             static_cast<std::size_t>(SelEnd() - SelStart())));
    }
    if (focused_ && enabled && caretOn_) {
        const int cx = x + widthTo(caret_);
        gdi::FillRect(dc, RECT{cx, y, cx + 1, y + lineHeight}, gdi::Brush::Solid(ink));
    }
    return 0;
}

LRESULT Edit::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    if (GetFocus() != GetSafeHwnd()) SetFocus();
    if (!IsWindow()) return 0;
    const POINT p = PointFromLParam(lParam);
    MoveCaret(PositionFromX(p.x), (wParam & MK_SHIFT) != 0);
    selecting_ = true;
    SetCapture();
    return 0;
}

LRESULT Edit::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    const std::u16string& text = Text();
    int at = PositionFromX(PointFromLParam(lParam).x);
    int start = at;
    int end = at;
    while (start > 0 && IsWordChar(text[static_cast<std::size_t>(start - 1)]))
        --start;
    while (end < static_cast<int>(text.size()) && IsWordChar(text[static_cast<std::size_t>(end)]))
        ++end;
    anchor_ = start;
    MoveCaret(end, true);
    return 0;
}

LRESULT Edit::OnMouseMove(WPARAM, LPARAM lParam) {
    if (!selecting_ || GetCapture() != GetSafeHwnd()) return 0;
    MoveCaret(PositionFromX(PointFromLParam(lParam).x), true);
    return 0;
}

LRESULT Edit::OnLButtonUp(WPARAM, LPARAM) {
    if (!selecting_) return 0;
    selecting_ = false;
    if (GetCapture() == GetSafeHwnd()) ReleaseCapture();
    return 0;
}

LRESULT Edit::OnCaptureChanged(WPARAM, LPARAM) {
    selecting_ = false;
    return 0;
}

LRESULT Edit::OnKeyDown(WPARAM wParam, LPARAM) {
    Application* app = App();
    const bool shift = app->GetKeyState(VK_SHIFT) < 0;
    const bool control = app->GetKeyState(VK_CONTROL) < 0;
    const std::u16string& text = Text();
    const int length = static_cast<int>(text.size());
    auto step = [&](int from, int direction) {
        int to = from + direction;
        if (direction < 0 && to > 0 && text[static_cast<std::size_t>(to)] >= 0xDC00 &&
            text[static_cast<std::size_t>(to)] <= 0xDFFF)
            --to;
        if (direction > 0 && to < length && text[static_cast<std::size_t>(to)] >= 0xDC00 &&
            text[static_cast<std::size_t>(to)] <= 0xDFFF)
            ++to;
        return std::clamp(to, 0, length);
    };
    auto wordStep = [&](int from, int direction) {
        int to = from;
        if (direction < 0) {
            while (to > 0 && !IsWordChar(text[static_cast<std::size_t>(to - 1)]))
                --to;
            while (to > 0 && IsWordChar(text[static_cast<std::size_t>(to - 1)]))
                --to;
        } else {
            while (to < length && IsWordChar(text[static_cast<std::size_t>(to)]))
                ++to;
            while (to < length && !IsWordChar(text[static_cast<std::size_t>(to)]))
                ++to;
        }
        return to;
    };
    switch (wParam) {
        case VK_LEFT:
            if (!shift && SelStart() != SelEnd()) {
                MoveCaret(SelStart(), false);
            } else {
                MoveCaret(control ? wordStep(caret_, -1) : step(caret_, -1), shift);
            }
            return 0;
        case VK_RIGHT:
            if (!shift && SelStart() != SelEnd()) {
                MoveCaret(SelEnd(), false);
            } else {
                MoveCaret(control ? wordStep(caret_, 1) : step(caret_, 1), shift);
            }
            return 0;
        case VK_HOME:
            MoveCaret(0, shift);
            return 0;
        case VK_END:
            MoveCaret(length, shift);
            return 0;
        case VK_BACK:
            if (ReadOnly()) return 0;
            if (SelStart() == SelEnd()) anchor_ = control ? wordStep(caret_, -1) : step(caret_, -1);
            if (Replace(u"")) Changed();
            return 0;
        case VK_DELETE:
            if (shift) return OnCut(0, 0);
            if (ReadOnly()) return 0;
            if (SelStart() == SelEnd()) anchor_ = control ? wordStep(caret_, 1) : step(caret_, 1);
            if (Replace(u"")) Changed();
            return 0;
        case VK_INSERT:
            if (control) return OnCopy(0, 0);
            if (shift) return OnPaste(0, 0);
            return 0;
        default:
            break;
    }
    if (control && !shift) {
        switch (wParam) {
            case 'A':
                anchor_ = 0;
                MoveCaret(length, true);
                return 0;
            case 'C':
                return OnCopy(0, 0);
            case 'X':
                return OnCut(0, 0);
            case 'V':
                return OnPaste(0, 0);
            default:
                break;
        }
    }
    return Default();
}

LRESULT Edit::OnChar(WPARAM wParam, LPARAM) {
    const auto c = static_cast<char16_t>(wParam);
    if (c < 0x20 || c == 0x7F) return 0;  // control keys are handled as keys
    if (ReadOnly()) return 0;
    const std::u16string one(1, c);
    if (Replace(one)) Changed();
    return 0;
}

LRESULT Edit::OnSetFocus(WPARAM, LPARAM) {
    focused_ = true;
    ShowCaretNow();
    Redraw();
    NotifyParent(*this, EN_SETFOCUS);
    return 0;
}

LRESULT Edit::OnKillFocus(WPARAM, LPARAM) {
    focused_ = false;
    caretOn_ = false;
    KillTimer(CaretTimer);
    anchor_ = caret_;
    Redraw();
    NotifyParent(*this, EN_KILLFOCUS);
    return 0;
}

LRESULT Edit::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
}

LRESULT Edit::OnSetCursor(WPARAM, LPARAM lParam) {
    if (static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))) == HTCLIENT) {
        App()->SetCursor(StandardCursor::IBeam);
        return 1;
    }
    return Default();
}

LRESULT Edit::OnSetText(WPARAM, LPARAM lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    std::u16string value = text != nullptr ? std::u16string(text) : std::u16string();
    App()->SetWindowText(GetSafeHwnd(), value);
    caret_ = anchor_ = 0;
    scroll_ = 0;
    Changed();
    return 1;
}

LRESULT Edit::OnEnable(WPARAM, LPARAM) {
    Redraw();
    return 0;
}

LRESULT Edit::OnSetSel(WPARAM wParam, LPARAM lParam) {
    const int length = static_cast<int>(Text().size());
    int start = static_cast<int>(static_cast<LPARAM>(wParam));
    int end = static_cast<int>(lParam);
    if (start == -1) {
        anchor_ = caret_;  // no selection
    } else {
        if (end < 0 || end > length) end = length;
        start = std::clamp(start, 0, length);
        anchor_ = start;
        caret_ = end;
    }
    ScrollToCaret();
    Redraw();
    return 0;
}

LRESULT Edit::OnGetSel(WPARAM wParam, LPARAM lParam) {
    if (auto* s = reinterpret_cast<DWORD*>(wParam)) *s = static_cast<DWORD>(SelStart());
    if (auto* e = reinterpret_cast<DWORD*>(lParam)) *e = static_cast<DWORD>(SelEnd());
    return MAKELPARAM(static_cast<unsigned>(SelStart()), static_cast<unsigned>(SelEnd()));
}

LRESULT Edit::OnReplaceSel(WPARAM, LPARAM lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    if (Replace(text != nullptr ? text : u"")) Changed();
    return 0;
}

LRESULT Edit::OnLimitText(WPARAM wParam, LPARAM) {
    limit_ = wParam == 0 ? 0x7FFFFFFE : static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
    return 0;
}

LRESULT Edit::OnGetLimitText(WPARAM, LPARAM) {
    return limit_;
}

LRESULT Edit::OnSetReadOnly(WPARAM wParam, LPARAM) {
    ModifyStyle(wParam != 0 ? 0 : ES_READONLY, wParam != 0 ? ES_READONLY : 0);
    Redraw();
    return 1;
}

LRESULT Edit::OnCopy(WPARAM, LPARAM) {
    if (SelStart() == SelEnd()) return 0;
    const std::u16string_view text = Text();
    App()->GetBackend().SetClipboardText(text.substr(
        static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelEnd() - SelStart())));
    return 0;
}

LRESULT Edit::OnCut(WPARAM, LPARAM) {
    if (ReadOnly() || SelStart() == SelEnd()) return 0;
    OnCopy(0, 0);
    if (Replace(u"")) Changed();
    return 0;
}

LRESULT Edit::OnPaste(WPARAM, LPARAM) {
    if (ReadOnly()) return 0;
    std::u16string text = App()->GetBackend().GetClipboardText();
    // One line: a pasted line break ends the text taken.
    const std::size_t end = text.find_first_of(u"\r\n");
    if (end != std::u16string::npos) text.resize(end);
    std::erase_if(text, [](char16_t c) { return c < 0x20 && c != u'\t'; });
    if (Replace(text)) Changed();
    return 0;
}

LRESULT Edit::OnClear(WPARAM, LPARAM) {
    if (ReadOnly()) return 0;
    if (Replace(u"")) Changed();
    return 0;
}

}  // namespace ui
