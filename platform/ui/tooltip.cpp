#include "platform/ui/tooltip.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/theme.h"

namespace ui {

namespace {

constexpr std::uintptr_t ShowTimer = 1;
constexpr std::uintptr_t PopTimer = 2;
constexpr std::uintptr_t PollTimer = 3;
constexpr UINT PollPeriod = 100;
constexpr int PointerGap = 20;  // below the pointer's hot spot
constexpr int BalloonRadius = 6;

UINT TextFormat(Style style) {
    return gdi::DT_WORDBREAK | gdi::DT_EXPANDTABS |
           ((style & TTS_NOPREFIX) != 0 ? gdi::DT_NOPREFIX : 0);
}

}  // namespace

const MessageMap ToolTip::messageMap{&Window::messageMap,
                                     {
                                         OnMessage<&ToolTip::OnPaint>(WM_PAINT),
                                         OnMessage<&ToolTip::OnEraseBkgnd>(WM_ERASEBKGND),
                                         OnMessage<&ToolTip::OnNcHitTest>(WM_NCHITTEST),
                                         OnMessage<&ToolTip::OnTimer>(WM_TIMER),
                                         OnMessage<&ToolTip::OnActivate>(TTM_ACTIVATE),
                                         OnMessage<&ToolTip::OnSetDelayTime>(TTM_SETDELAYTIME),
                                         OnMessage<&ToolTip::OnRelayEvent>(TTM_RELAYEVENT),
                                         OnMessage<&ToolTip::OnGetToolCount>(TTM_GETTOOLCOUNT),
                                         OnMessage<&ToolTip::OnSetMaxTipWidth>(TTM_SETMAXTIPWIDTH),
                                         OnMessage<&ToolTip::OnPop>(TTM_POP),
                                         OnMessage<&ToolTip::OnPopup>(TTM_POPUP),
                                         OnMessage<&ToolTip::OnAddTool>(TTM_ADDTOOL),
                                         OnMessage<&ToolTip::OnDelTool>(TTM_DELTOOL),
                                         OnMessage<&ToolTip::OnGetTextMessage>(TTM_GETTEXT),
                                         OnMessage<&ToolTip::OnUpdateTipText>(TTM_UPDATETIPTEXT),
                                     }};

void ToolTip::Register(Application& app) {
    app.RegisterClass(
        WindowClass{std::u16string(TooltipClass), 0, [] { return std::make_unique<ToolTip>(); }});
}

bool ToolTip::Create(Window& parent, Style style) {
    if (!parent.IsWindow()) return false;
    return Window::Create(*parent.App(), TooltipClass, u"", WS_POPUP | style, RECT{0, 0, 1, 1},
                          parent.GetSafeHwnd(), 0, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
}

// The object interface, through the messages.

namespace {

TOOLINFO Info(Window& window, std::uintptr_t id, const RECT* rect, const char16_t* text) {
    TOOLINFO ti;
    ti.hwnd = window.GetSafeHwnd();
    if (rect == nullptr) {
        ti.uFlags = TTF_IDISHWND;
        ti.uId = window.GetSafeHwnd().id;
    } else {
        ti.uId = id;
        ti.rect = *rect;
    }
    ti.lpszText = text;
    return ti;
}

}  // namespace

bool ToolTip::AddTool(Window& window, std::u16string_view text, const RECT* rect,
                      std::uintptr_t id) {
    const std::u16string copy(text);
    TOOLINFO ti = Info(window, id, rect, copy.c_str());
    return SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

TOOLINFO ToolTip::ExistingTool(Window& window, std::uintptr_t id, const char16_t* text) {
    TOOLINFO ti = Info(window, id, nullptr, text);
    if (FindTool(ti.hwnd, ti.uId, TTF_IDISHWND) == nullptr) {
        ti.uFlags = 0;
        ti.uId = id;
    }
    return ti;
}

void ToolTip::DelTool(Window& window, std::uintptr_t id) {
    TOOLINFO ti = ExistingTool(window, id, nullptr);
    SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void ToolTip::UpdateTipText(std::u16string_view text, Window& window, std::uintptr_t id) {
    const std::u16string copy(text);
    TOOLINFO ti = ExistingTool(window, id, copy.c_str());
    SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
}

std::u16string ToolTip::GetText(Window& window, std::uintptr_t id) const {
    auto* self = const_cast<ToolTip*>(this);
    const Tool* tool = self->FindTool(window.GetSafeHwnd(), window.GetSafeHwnd().id, TTF_IDISHWND);
    if (tool == nullptr) tool = self->FindTool(window.GetSafeHwnd(), id, 0);
    return tool != nullptr ? tool->text : std::u16string();
}

void ToolTip::Popup(Window& window, std::uintptr_t id) {
    TOOLINFO ti = ExistingTool(window, id, nullptr);
    SendMessage(TTM_POPUP, 0, reinterpret_cast<LPARAM>(&ti));
}

void ToolTip::RelayEvent(const MSG& msg) {
    MSG copy = msg;
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

void ToolTip::Activate(bool active) {
    SendMessage(TTM_ACTIVATE, active ? 1 : 0);
}

void ToolTip::SetDelayTime(WPARAM which, int milliseconds) {
    SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(static_cast<unsigned>(milliseconds), 0));
}

void ToolTip::SetMaxTipWidth(int width) {
    SendMessage(TTM_SETMAXTIPWIDTH, 0, width);
}

// Tools.

ToolTip::Tool* ToolTip::FindTool(HWND window, std::uintptr_t id, UINT flags) {
    for (Tool& t : tools_) {
        if ((t.flags & TTF_IDISHWND) != (flags & TTF_IDISHWND)) continue;
        if ((flags & TTF_IDISHWND) != 0 ? t.window == window : t.window == window && t.id == id)
            return &t;
    }
    return nullptr;
}

int ToolTip::ToolAt(HWND window, POINT client) const {
    for (std::size_t i = 0; i < tools_.size(); ++i) {
        const Tool& t = tools_[i];
        if (t.window != window) continue;
        if ((t.flags & TTF_IDISHWND) != 0 || gdi::PtInRect(t.rect, client))
            return static_cast<int>(i);
    }
    return -1;
}

bool ToolTip::PointerStillOn(int index) const {
    if (index < 0 || index >= static_cast<int>(tools_.size())) return false;
    const Tool& t = tools_[static_cast<std::size_t>(index)];
    Application* app = App();
    if (!app->IsWithin(app->WindowUnderPointer(), t.window)) return false;
    if ((t.flags & TTF_IDISHWND) != 0) return true;
    const POINT client = app->ScreenToClient(t.window, app->GetCursorPos());
    return gdi::PtInRect(t.rect, client);
}

// Showing and hiding.

void ToolTip::Layout(const std::u16string& text, SIZE& size) const {
    gdi::DC dc = gdi::DC::Memory();
    // As wide as the text's longest line; the maximum width only wraps what is wider.
    RECT r{0, 0, 0x7FFF, 0};
    gdi::DrawText(dc, text, r, (TextFormat(GetStyle()) & ~gdi::DT_WORDBREAK) | gdi::DT_CALCRECT);
    if (maxWidth_ > 0 && r.Width() > maxWidth_) {
        r = RECT{0, 0, maxWidth_, 0};
        gdi::DrawText(dc, text, r, TextFormat(GetStyle()) | gdi::DT_CALCRECT);
    }
    const bool balloon = (GetStyle() & TTS_BALLOON) != 0;
    size.cx = r.Width() + (balloon ? 16 : 8);
    size.cy = r.Height() + (balloon ? 12 : 6);
}

void ToolTip::Show() {
    if (current_ < 0 || !active_) return;
    const std::u16string& text = tools_[static_cast<std::size_t>(current_)].text;
    if (text.empty()) return;
    Application* app = App();
    SIZE size;
    Layout(text, size);
    // Near the pointer, or, for a tip shown while the pointer is elsewhere, below the tool.
    POINT anchor = app->GetCursorPos();
    int gap = PointerGap;
    if (!PointerStillOn(current_)) {
        const Tool& tool = tools_[static_cast<std::size_t>(current_)];
        if ((tool.flags & TTF_IDISHWND) != 0) {
            const RECT r = app->GetWindowRect(tool.window);
            anchor = POINT{r.left, r.bottom};
        } else {
            anchor = app->ClientToScreen(tool.window, POINT{tool.rect.left, tool.rect.bottom});
        }
        gap = 2;
    }
    const SIZE screen = app->ScreenSize();
    int x = anchor.x;
    int y = anchor.y + gap;
    if (y + size.cy > screen.cy) y = anchor.y - size.cy - 4;
    x = std::clamp(x, 0, std::max(0, screen.cx - size.cx));
    y = std::clamp(y, 0, std::max(0, screen.cy - size.cy));
    SetWindowPos(HWND_TOP, x, y, size.cx, size.cy, SWP_NOACTIVATE);
    if ((GetStyle() & TTS_BALLOON) != 0) {
        // Rounded corners: each corner row is cut by the circle of the corner.
        std::vector<RECT> rows;
        const int r = std::min<int>({BalloonRadius, size.cx / 2, size.cy / 2});
        for (int yy = 0; yy < size.cy; ++yy) {
            int inset = 0;
            const int d = yy < r ? r - yy : yy >= size.cy - r ? yy - (size.cy - r) + 1 : 0;
            if (d > 0) {
                const double dy = d - 0.5;
                inset =
                    r - static_cast<int>(std::lround(std::sqrt(std::max(0.0, r * r - dy * dy))));
            }
            rows.push_back(RECT{inset, yy, size.cx - inset, yy + 1});
        }
        SetWindowRgn(gdi::Region::FromRects(rows.data(), rows.size()), false);
    }
    if (!IsWindowVisible()) ShowWindow(SW_SHOWNOACTIVATE);
    Invalidate(true);
    SetTimer(PopTimer, static_cast<UINT>(autoPop_));
}

void ToolTip::Hide() {
    KillTimer(PopTimer);
    if (IsWindowVisible()) ShowWindow(SW_HIDE);
}

// Messages.

LRESULT ToolTip::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;
}

LRESULT ToolTip::OnPaint(WPARAM, LPARAM) {
    PaintDC dc(*this);
    if (!dc) return 0;
    const Theme& theme = Theme::Standard();
    RECT client;
    GetClientRect(client);
    gdi::FillRect(dc, client, theme.Brush(gdi::COLOR_INFOBK));
    const bool balloon = (GetStyle() & TTS_BALLOON) != 0;
    if (balloon) {
        // The outline follows the rounded shape: in each row, from its end to where the rows
        // above and below end, so that the corners close without gaps.
        gdi::Region shape;
        if (GetWindowRgn(shape) != gdi::RGN_ERROR) {
            const gdi::Brush edge = theme.Brush(gdi::COLOR_3DDKSHADOW);
            const std::vector<RECT>& rows = shape.Rects();
            for (std::size_t k = 0; k < rows.size(); ++k) {
                const RECT& row = rows[k];
                if (k == 0 || k + 1 == rows.size()) {
                    gdi::FillRect(dc, row, edge);
                    continue;
                }
                const RECT& above = rows[k - 1];
                const RECT& below = rows[k + 1];
                const int left = std::max({row.left + 1, above.left, below.left});
                const int right = std::min({row.right - 1, above.right, below.right});
                gdi::FillRect(dc, RECT{row.left, row.top, left, row.bottom}, edge);
                gdi::FillRect(dc, RECT{right, row.top, row.right, row.bottom}, edge);
            }
        }
    } else {
        theme.DrawFieldFrame(dc, client, false, false);
    }
    if (current_ >= 0 && current_ < static_cast<int>(tools_.size())) {
        dc.SetBkMode(gdi::TRANSPARENT);
        dc.SetTextColor(theme.Colour(gdi::COLOR_INFOTEXT));
        RECT text = client;
        gdi::InflateRect(text, balloon ? -8 : -4, balloon ? -6 : -3);
        gdi::DrawText(dc, tools_[static_cast<std::size_t>(current_)].text, text,
                      TextFormat(GetStyle()));
    }
    return 0;
}

LRESULT ToolTip::OnNcHitTest(WPARAM, LPARAM) {
    return HTTRANSPARENT;
}

LRESULT ToolTip::OnTimer(WPARAM wParam, LPARAM) {
    switch (wParam) {
        case ShowTimer:
            KillTimer(ShowTimer);
            if (current_ >= 0 && current_ != suppressed_ && PointerStillOn(current_)) Show();
            break;
        case PopTimer:
            Hide();
            suppressed_ = current_;
            break;
        case PollTimer:
            if (current_ < 0 || !PointerStillOn(current_)) {
                Hide();
                KillTimer(ShowTimer);
                KillTimer(PollTimer);
                current_ = -1;
                suppressed_ = -1;
            }
            break;
        default:
            break;
    }
    return 0;
}

LRESULT ToolTip::OnActivate(WPARAM wParam, LPARAM) {
    active_ = wParam != 0;
    if (!active_) {
        Hide();
        KillTimer(ShowTimer);
    }
    return 0;
}

LRESULT ToolTip::OnSetDelayTime(WPARAM wParam, LPARAM lParam) {
    const int value = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    switch (wParam) {
        case TTDT_INITIAL:
            initialDelay_ = value < 0 ? 500 : value;
            break;
        case TTDT_AUTOPOP:
            autoPop_ = value < 0 ? 5000 : value;
            break;
        case TTDT_AUTOMATIC:
            initialDelay_ = value < 0 ? 500 : value;
            autoPop_ = value < 0 ? 5000 : value * 10;
            break;
        default:
            break;
    }
    return 0;
}

LRESULT ToolTip::OnRelayEvent(WPARAM, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg == nullptr) return 0;
    switch (msg->message) {
        case WM_MOUSEMOVE: {
            const int tool = ToolAt(msg->hwnd, PointFromLParam(msg->lParam));
            if (tool == current_) break;
            Hide();
            current_ = tool;
            if (tool != suppressed_) suppressed_ = -1;
            if (tool >= 0 && active_) {
                SetTimer(ShowTimer, static_cast<UINT>(std::max(initialDelay_, 1)));
                SetTimer(PollTimer, PollPeriod);
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Hide();
            KillTimer(ShowTimer);
            suppressed_ = current_;
            break;
        case WM_MOUSELEAVE:
            Hide();
            KillTimer(ShowTimer);
            current_ = -1;
            suppressed_ = -1;
            break;
        default:
            break;
    }
    return 0;
}

LRESULT ToolTip::OnGetToolCount(WPARAM, LPARAM) {
    return static_cast<LRESULT>(tools_.size());
}

LRESULT ToolTip::OnSetMaxTipWidth(WPARAM, LPARAM lParam) {
    const int previous = maxWidth_;
    maxWidth_ = static_cast<int>(lParam);
    return previous;
}

LRESULT ToolTip::OnPop(WPARAM, LPARAM) {
    Hide();
    // A tip popped up away from the pointer forgets its tool, as leaving the tool would.
    if (current_ >= 0 && !PointerStillOn(current_)) {
        KillTimer(ShowTimer);
        KillTimer(PollTimer);
        current_ = -1;
        suppressed_ = -1;
    }
    return 0;
}

LRESULT ToolTip::OnPopup(WPARAM, LPARAM lParam) {
    const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
    int tool = current_;
    if (ti != nullptr) {
        const Tool* t = FindTool(ti->hwnd, ti->uId, ti->uFlags);
        tool = t != nullptr ? static_cast<int>(t - tools_.data()) : -1;
    }
    if (tool < 0) return 0;
    current_ = tool;
    suppressed_ = -1;
    KillTimer(ShowTimer);
    Show();
    if (PointerStillOn(tool)) {
        SetTimer(PollTimer, PollPeriod);
    } else {
        KillTimer(PollTimer);
    }
    return 0;
}

LRESULT ToolTip::OnAddTool(WPARAM, LPARAM lParam) {
    const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
    if (ti == nullptr || !ui::IsWindow(ti->hwnd)) return 0;
    const std::u16string text = ti->lpszText != nullptr ? ti->lpszText : u"";
    if (Tool* t = FindTool(ti->hwnd, ti->uId, ti->uFlags)) {
        t->text = text;
        t->rect = ti->rect;
        return 1;
    }
    tools_.push_back(Tool{ti->uFlags & TTF_IDISHWND, ti->hwnd, ti->uId, ti->rect, text});
    return 1;
}

LRESULT ToolTip::OnDelTool(WPARAM, LPARAM lParam) {
    const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
    if (ti == nullptr) return 0;
    Tool* t = FindTool(ti->hwnd, ti->uId, ti->uFlags);
    if (t == nullptr) return 0;
    const int index = static_cast<int>(t - tools_.data());
    if (index == current_) {
        Hide();
        current_ = -1;
    } else if (index < current_) {
        --current_;
    }
    suppressed_ = -1;
    tools_.erase(tools_.begin() + index);
    return 0;
}

LRESULT ToolTip::OnGetTextMessage(WPARAM wParam, LPARAM lParam) {
    auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
    auto* buffer =
        reinterpret_cast<char16_t*>(const_cast<char16_t*>(ti != nullptr ? ti->lpszText : nullptr));
    if (ti == nullptr || buffer == nullptr || wParam == 0) return 0;
    const Tool* t = FindTool(ti->hwnd, ti->uId, ti->uFlags);
    const std::u16string text = t != nullptr ? t->text : std::u16string();
    const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
    return static_cast<LRESULT>(n);
}

LRESULT ToolTip::OnUpdateTipText(WPARAM, LPARAM lParam) {
    const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
    if (ti == nullptr) return 0;
    Tool* t = FindTool(ti->hwnd, ti->uId, ti->uFlags);
    if (t == nullptr) return 0;
    t->text = ti->lpszText != nullptr ? ti->lpszText : u"";
    if (IsWindowVisible() && current_ == static_cast<int>(t - tools_.data())) Show();
    return 0;
}

}  // namespace ui
