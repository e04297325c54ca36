#include "platform/ui/window.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/brush.h"

namespace ui {

const MessageMap Window::messageMap{nullptr, {}};

Window::~Window() {
    if (hwnd_.app != nullptr) {
        WindowNode* node = hwnd_.app->Node(hwnd_);
        if (node != nullptr && node->object == this) hwnd_.app->DestroyWindow(hwnd_);
    }
}

bool Window::Create(Application& app, std::u16string_view className, std::u16string_view text,
                    Style style, const RECT& rect, HWND parent, int id, Style exStyle) {
    if (IsWindow()) return false;
    return static_cast<bool>(
        app.CreateWindowEx(exStyle, className, text, style, rect, parent, id, this));
}

bool Window::DestroyWindow() {
    return IsWindow() && hwnd_.app->DestroyWindow(hwnd_);
}

bool Window::SubclassWindow(HWND hwnd) {
    if (IsWindow() || hwnd.app == nullptr) return false;
    return hwnd.app->Attach(hwnd, *this);
}

bool Window::SubclassDlgItem(int id, Window& parent) {
    const HWND item = parent.GetDlgItem(id);
    return item && SubclassWindow(item);
}

HWND Window::UnsubclassWindow() {
    const HWND hwnd = hwnd_;
    if (IsWindow()) hwnd_.app->Detach(hwnd_, *this);
    hwnd_ = nullptr;
    return hwnd;
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd.app != nullptr ? hwnd.app->FromHandle(hwnd) : nullptr;
}

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_.app != nullptr ? hwnd_.app->SendMessage(hwnd_, message, wParam, lParam) : 0;
}

bool Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_.app != nullptr && hwnd_.app->PostMessage(hwnd_, message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{hwnd_, message, wParam, lParam, 0, {}};
    const MSG* saved = current_;
    const MessageMap* savedNext = next_;
    current_ = &msg;
    next_ = nullptr;
    const LRESULT result = WindowProc(message, wParam, lParam);
    current_ = saved;
    next_ = savedNext;
    return result;
}

LRESULT Window::RunEntry(const MessageMatch& match, WPARAM wParam, LPARAM lParam) {
    const MessageMap* saved = next_;
    next_ = match.map->base;
    const LRESULT result = match.entry->thunk(*this, wParam, lParam);
    next_ = saved;
    return result;
}

std::optional<LRESULT> Window::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageMatch match = GetMessageMap()->Match(message, wParam);
    if (!match) return std::nullopt;
    MSG msg{hwnd_, message, wParam, lParam, 0, {}};
    const MSG* saved = current_;
    current_ = &msg;
    const LRESULT result = RunEntry(match, wParam, lParam);
    current_ = saved;
    return result;
}

// Notifications and requests that a control sends to its parent go to the control's own table
// first (as OCM_ messages), so that a control class can answer for itself.
bool Window::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    Application* app = hwnd_.app;
    if (message == WM_COMMAND && lParam != 0) {
        Window* child = app->FromHandle(HandleFromParam(app, static_cast<std::uintptr_t>(lParam)));
        if (child == nullptr || child == this) return false;
        const std::optional<LRESULT> r = child->OnChildNotify(OCM_COMMAND, wParam, lParam);
        if (r && *r != 0) {
            result = 0;
            return true;
        }
        return false;
    }
    if (message == WM_DRAWITEM && lParam != 0) {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        Window* child = app->FromHandle(dis->hwndItem);
        if (child == nullptr || child == this) return false;
        if (child->OnChildNotify(OCM_DRAWITEM, wParam, lParam)) {
            result = 1;
            return true;
        }
    }
    return false;
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, result)) return result;

    if (IsCtlColorMessage(message)) {
        // The control answers first; the parent's handler (or default processing) sees that
        // answer through the standard handling and may keep or replace it.
        std::optional<LRESULT> answer;
        Window* child =
            hwnd_.app->FromHandle(HandleFromParam(hwnd_.app, static_cast<std::uintptr_t>(lParam)));
        if (child != nullptr && child != this) {
            answer = child->OnChildNotify(message + OCM__BASE, wParam, lParam);
        }
        const std::optional<LRESULT> saved = reflected_;
        reflected_ = answer;
        const MessageMatch match = GetMessageMap()->Match(message, wParam);
        result = match ? RunEntry(match, wParam, lParam) : DefWindowProc(message, wParam, lParam);
        reflected_ = saved;
        return result;
    }

    if (const MessageMatch match = GetMessageMap()->Match(message, wParam)) {
        return RunEntry(match, wParam, lParam);
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT Window::Default() {
    if (current_ == nullptr) return 0;
    const MSG& msg = *current_;
    if (next_ != nullptr) {
        if (const MessageMatch match = next_->Match(msg.message, msg.wParam)) {
            return RunEntry(match, msg.wParam, msg.lParam);
        }
    }
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT Window::DefaultCtlColor(WPARAM wParam, LPARAM, UINT message) {
    if (reflected_ && *reflected_ != 0) return *reflected_;
    gdi::DC* dc = DCFromWParam(wParam);
    const bool windowColours = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    if (dc != nullptr) {
        dc->SetTextColor(gdi::GetSysColor(gdi::COLOR_WINDOWTEXT));
        dc->SetBkColor(gdi::GetSysColor(windowColours ? gdi::COLOR_WINDOW : gdi::COLOR_BTNFACE));
    }
    return BrushResult(SysColorBrush(windowColours ? gdi::COLOR_WINDOW : gdi::COLOR_BTNFACE));
}

LRESULT Window::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Application* app = hwnd_.app;
    if (app == nullptr) return 0;
    WindowNode* node = app->Node(hwnd_);
    if (node == nullptr) return 0;

    switch (message) {
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            gdi::DC dc = app->BeginPaint(hwnd_, ps);
            app->EndPaint(hwnd_, ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 0;
        case WM_SETCURSOR:
            // The parent may answer for its children; otherwise the arrow.
            if (node->IsChild()) {
                if (app->SendMessage(node->parent, WM_SETCURSOR, wParam, lParam) != 0) return 1;
            }
            app->SetCursor(StandardCursor::Arrow);
            return 0;
        case WM_MOUSEWHEEL:
            if (node->IsChild()) return app->SendMessage(node->parent, message, wParam, lParam);
            return 0;
        case WM_CLOSE:
            app->DestroyWindow(hwnd_);
            return 0;
        case WM_SETTEXT:
            app->SetWindowText(hwnd_,
                               lParam != 0 ? reinterpret_cast<const char16_t*>(lParam) : u"");
            return 1;
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<char16_t*>(lParam);
            if (buffer == nullptr || wParam == 0) return 0;
            const std::size_t n = std::min<std::size_t>(node->text.size(), wParam - 1);
            std::copy_n(node->text.data(), n, buffer);
            buffer[n] = u'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(node->text.size());
        case WM_SETFONT: {
            const auto* font = reinterpret_cast<const gdi::Font*>(wParam);
            node->font = font != nullptr ? *font : gdi::Font{};
            if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0)
                app->InvalidateRect(hwnd_, nullptr, true);
            return 0;
        }
        case WM_GETFONT:
            return node->font ? reinterpret_cast<LRESULT>(&node->font) : 0;
        case WM_SETICON: {
            const auto* icon = reinterpret_cast<const gdi::Icon*>(lParam);
            app->SetIcon(hwnd_, icon != nullptr ? *icon : gdi::Icon{}, wParam == ICON_BIG);
            return 0;
        }
        case WM_GETICON: {
            const gdi::Icon& slot = wParam == ICON_BIG ? node->iconBig : node->iconSmall;
            return slot ? reinterpret_cast<LRESULT>(&slot) : 0;
        }
        case WM_NCLBUTTONDOWN:
            if (static_cast<LRESULT>(wParam) == HTCAPTION) {
                const HWND top = app->GetTopLevel(hwnd_);
                const POINT screen = PointFromLParam(lParam);
                app->BeginMoveDrag(top, app->ScreenToClient(top, screen));
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && node->parent == nullptr) {
                const HWND focus = app->GetFocus();
                if (!focus || app->GetTopLevel(focus) != hwnd_) app->SetFocus(hwnd_);
            }
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return DefaultCtlColor(wParam, lParam, message);
        default:
            return 0;
    }
}

bool Window::PreTranslateMessage(MSG&) {
    return false;
}

int Window::GetDlgCtrlID() const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    return n != nullptr ? n->id : 0;
}

std::u16string Window::GetWindowText() const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    if (n == nullptr) return {};
    // Controls that keep their text elsewhere answer WM_GETTEXT themselves.
    const LRESULT length = SendMessage(WM_GETTEXTLENGTH);
    std::u16string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, u'\0');
    const LRESULT copied =
        SendMessage(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

int Window::GetWindowTextLength() const {
    return static_cast<int>(SendMessage(WM_GETTEXTLENGTH));
}

void Window::SetWindowText(std::u16string_view text) {
    if (!IsWindow()) return;
    const std::u16string copy(text);
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

Style Window::GetStyle() const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    return n != nullptr ? n->style : 0;
}

Style Window::GetExStyle() const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    return n != nullptr ? n->exStyle : 0;
}

bool Window::ModifyStyle(Style remove, Style add, UINT swpFlags) {
    WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    if (n == nullptr) return false;
    const Style style = (n->style & ~remove) | add;
    if (style == n->style) return false;
    hwnd_.app->SetWindowStyle(hwnd_, style, n->exStyle);
    if (swpFlags != 0) {
        SetWindowPos(nullptr, 0, 0, 0, 0, swpFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    return true;
}

bool Window::ModifyStyleEx(Style remove, Style add, UINT swpFlags) {
    WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    if (n == nullptr) return false;
    const Style exStyle = (n->exStyle & ~remove) | add;
    if (exStyle == n->exStyle) return false;
    hwnd_.app->SetWindowStyle(hwnd_, n->style, exStyle);
    if (swpFlags != 0) {
        SetWindowPos(nullptr, 0, 0, 0, 0, swpFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    return true;
}

HWND Window::GetParent() const {
    return ui::GetParent(hwnd_);
}

HWND Window::GetDlgItem(int id) const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    if (n == nullptr) return nullptr;
    for (const HWND child : n->children) {
        const WindowNode* c = hwnd_.app->Node(child);
        if (c != nullptr && c->id == id) return child;
    }
    return nullptr;
}

LRESULT Window::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    const HWND item = GetDlgItem(id);
    return item ? hwnd_.app->SendMessage(item, message, wParam, lParam) : 0;
}

void Window::SetDlgItemText(int id, std::u16string_view text) {
    if (Window* item = GetDlgItemWindow(id)) item->SetWindowText(text);
}

std::u16string Window::GetDlgItemText(int id) const {
    const Window* item = GetDlgItemWindow(id);
    return item != nullptr ? item->GetWindowText() : std::u16string{};
}

void Window::CheckDlgButton(int id, UINT check) {
    SendDlgItemMessage(id, BM_SETCHECK, check);
}

UINT Window::IsDlgButtonChecked(int id) const {
    return static_cast<UINT>(SendDlgItemMessage(id, BM_GETCHECK));
}

HWND Window::GetNextDlgTabItem(HWND control, bool previous) const {
    return IsWindow() ? hwnd_.app->GetNextDlgTabItem(hwnd_, control, previous) : HWND{};
}

HWND Window::GetNextDlgGroupItem(HWND control, bool previous) const {
    return IsWindow() ? hwnd_.app->GetNextDlgGroupItem(hwnd_, control, previous) : HWND{};
}

void Window::SetFont(const gdi::Font& font, bool redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(&font), MAKELPARAM(redraw ? 1 : 0, 0));
}

gdi::Font Window::GetFont() const {
    const auto* font = reinterpret_cast<const gdi::Font*>(SendMessage(WM_GETFONT));
    return font != nullptr ? *font : gdi::Font{};
}

void Window::SetIcon(const gdi::Icon& icon, bool big) {
    SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(&icon));
}

gdi::Icon Window::GetIcon(bool big) const {
    const auto* icon =
        reinterpret_cast<const gdi::Icon*>(SendMessage(WM_GETICON, big ? ICON_BIG : ICON_SMALL));
    return icon != nullptr ? *icon : gdi::Icon{};
}

bool Window::ShowWindow(int command) {
    return IsWindow() && hwnd_.app->ShowWindow(hwnd_, command);
}
bool Window::IsWindowVisible() const {
    return IsWindow() && hwnd_.app->IsWindowVisible(hwnd_);
}
bool Window::EnableWindow(bool enable) {
    return IsWindow() && hwnd_.app->EnableWindow(hwnd_, enable);
}
bool Window::IsWindowEnabled() const {
    return IsWindow() && hwnd_.app->IsWindowEnabled(hwnd_);
}
bool Window::IsIconic() const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    return n != nullptr && n->minimized;
}

void Window::GetWindowRect(RECT& rect) const {
    rect = IsWindow() ? hwnd_.app->GetWindowRect(hwnd_) : RECT{};
}
void Window::GetClientRect(RECT& rect) const {
    rect = IsWindow() ? hwnd_.app->GetClientRect(hwnd_) : RECT{};
}
void Window::ClientToScreen(POINT& p) const {
    if (IsWindow()) p = hwnd_.app->ClientToScreen(hwnd_, p);
}
void Window::ClientToScreen(RECT& r) const {
    POINT a{r.left, r.top};
    POINT b{r.right, r.bottom};
    ClientToScreen(a);
    ClientToScreen(b);
    r = RECT{a.x, a.y, b.x, b.y};
}
void Window::ScreenToClient(POINT& p) const {
    if (IsWindow()) p = hwnd_.app->ScreenToClient(hwnd_, p);
}
void Window::ScreenToClient(RECT& r) const {
    POINT a{r.left, r.top};
    POINT b{r.right, r.bottom};
    ScreenToClient(a);
    ScreenToClient(b);
    r = RECT{a.x, a.y, b.x, b.y};
}

bool Window::MoveWindow(int x, int y, int width, int height, bool repaint) {
    return SetWindowPos(nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}
bool Window::MoveWindow(const RECT& rect, bool repaint) {
    return MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}
bool Window::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return IsWindow() && hwnd_.app->SetWindowPos(hwnd_, insertAfter, x, y, cx, cy, flags);
}
bool Window::SetWindowRgn(std::optional<gdi::Region> region, bool redraw) {
    return IsWindow() && hwnd_.app->SetWindowRgn(hwnd_, std::move(region), redraw);
}
int Window::GetWindowRgn(gdi::Region& out) const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    if (n == nullptr || !n->windowRegion) return gdi::RGN_ERROR;
    out = *n->windowRegion;
    return out.Kind();
}

HWND Window::ChildWindowFromPoint(POINT client) const {
    const WindowNode* n = IsWindow() ? hwnd_.app->Node(hwnd_) : nullptr;
    if (n == nullptr) return nullptr;
    for (const HWND child : n->children) {
        const WindowNode* c = hwnd_.app->Node(child);
        if (c != nullptr && (c->style & WS_VISIBLE) != 0 && gdi::PtInRect(c->rect, client)) {
            return child;
        }
    }
    return gdi::PtInRect(RECT{0, 0, n->Width(), n->Height()}, client) ? hwnd_ : HWND{};
}

HWND Window::WindowFromPoint(POINT screen) const {
    return IsWindow() ? hwnd_.app->WindowFromPoint(screen) : HWND{};
}

void Window::Invalidate(bool erase) {
    InvalidateRect(nullptr, erase);
}
void Window::InvalidateRect(const RECT* rect, bool erase) {
    if (IsWindow()) hwnd_.app->InvalidateRect(hwnd_, rect, erase);
}
void Window::InvalidateRgn(const gdi::Region* region, bool erase) {
    if (IsWindow()) hwnd_.app->InvalidateRgn(hwnd_, region, erase);
}
void Window::ValidateRect(const RECT* rect) {
    if (IsWindow()) hwnd_.app->ValidateRect(hwnd_, rect);
}
void Window::UpdateWindow() {
    if (IsWindow()) hwnd_.app->UpdateWindow(hwnd_);
}
bool Window::RedrawWindow(const RECT* rect, const gdi::Region* region, UINT flags) {
    return IsWindow() && hwnd_.app->RedrawWindow(hwnd_, rect, region, flags);
}
gdi::DC Window::BeginPaint(PAINTSTRUCT& ps) {
    return IsWindow() ? hwnd_.app->BeginPaint(hwnd_, ps) : gdi::DC{};
}
void Window::EndPaint(const PAINTSTRUCT& ps) {
    if (IsWindow()) hwnd_.app->EndPaint(hwnd_, ps);
}
gdi::DC Window::GetDC() {
    return IsWindow() ? hwnd_.app->GetDC(hwnd_) : gdi::DC{};
}

HWND Window::SetFocus() {
    return IsWindow() ? hwnd_.app->SetFocus(hwnd_) : HWND{};
}
HWND Window::GetFocus() const {
    return hwnd_.app != nullptr ? hwnd_.app->GetFocus() : HWND{};
}
HWND Window::SetCapture() {
    return IsWindow() ? hwnd_.app->SetCapture(hwnd_) : HWND{};
}
bool Window::ReleaseCapture() const {
    return hwnd_.app != nullptr && hwnd_.app->ReleaseCapture();
}
HWND Window::GetCapture() const {
    return hwnd_.app != nullptr ? hwnd_.app->GetCapture() : HWND{};
}
std::uintptr_t Window::SetTimer(std::uintptr_t id, UINT elapse) {
    return IsWindow() ? hwnd_.app->SetTimer(hwnd_, id, elapse) : 0;
}
bool Window::KillTimer(std::uintptr_t id) {
    return IsWindow() && hwnd_.app->KillTimer(hwnd_, id);
}
bool Window::GetCursorPos(POINT& p) const {
    if (hwnd_.app == nullptr) return false;
    p = hwnd_.app->GetCursorPos();
    return true;
}

PaintDC::PaintDC(Window& window) : window_(window) {
    static_cast<gdi::DC&>(*this) = window.BeginPaint(ps_);
}
PaintDC::~PaintDC() {
    window_.EndPaint(ps_);
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return hwnd.app != nullptr ? hwnd.app->SendMessage(hwnd, message, wParam, lParam) : 0;
}
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return hwnd.app != nullptr && hwnd.app->PostMessage(hwnd, message, wParam, lParam);
}
bool IsWindow(HWND hwnd) {
    return hwnd.app != nullptr && hwnd.app->IsWindow(hwnd);
}
bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    return tme != nullptr && tme->hwndTrack.app != nullptr &&
           tme->hwndTrack.app->TrackMouseEvent(*tme);
}
bool _TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    return TrackMouseEvent(tme);
}
HWND GetNextDlgGroupItem(HWND dialog, HWND control, bool previous) {
    return dialog.app != nullptr ? dialog.app->GetNextDlgGroupItem(dialog, control, previous)
                                 : HWND{};
}
HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous) {
    return dialog.app != nullptr ? dialog.app->GetNextDlgTabItem(dialog, control, previous)
                                 : HWND{};
}
int SetWindowRgn(HWND hwnd, std::optional<gdi::Region> region, bool redraw) {
    return hwnd.app != nullptr && hwnd.app->SetWindowRgn(hwnd, std::move(region), redraw) ? 1 : 0;
}
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    if (!IsWindow(hwnd)) return false;
    hwnd.app->InvalidateRect(hwnd, rect, erase);
    return true;
}
bool RedrawWindow(HWND hwnd, const RECT* rect, const gdi::Region* region, UINT flags) {
    return hwnd.app != nullptr && hwnd.app->RedrawWindow(hwnd, rect, region, flags);
}
bool UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return false;
    hwnd.app->UpdateWindow(hwnd);
    return true;
}
HWND GetParent(HWND hwnd) {
    const WindowNode* n = hwnd.app != nullptr ? hwnd.app->Node(hwnd) : nullptr;
    if (n == nullptr) return nullptr;
    return n->IsChild() ? n->parent : n->owner;
}
bool EndDialog(HWND dialog, int result) {
    if (!IsWindow(dialog)) return false;
    dialog.app->EndModalLoop(dialog, result);
    return true;
}

}  // namespace ui
