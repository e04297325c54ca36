// A window object: runs the messages of one window through its class's message table and
// offers the window operations. The window itself (tree, rectangle, styles, text, update
// region) is kept by the Application; an object is attached to it when it creates it or when
// it binds to a window that exists (a control made from a dialog template). Destroying the
// object destroys its window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"
#include "platform/ui/application.h"
#include "platform/ui/messagemap.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"

namespace ui {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    static const MessageMap messageMap;
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }

    // Creates a window run by this object. rect: parent client coordinates (screen
    // coordinates for a top-level window).
    bool Create(Application& app, std::u16string_view className, std::u16string_view text,
                Style style, const RECT& rect, HWND parent, int id, Style exStyle = 0);
    bool DestroyWindow();
    // Binds this object to a window that exists; PreSubclassWindow runs once attached.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, Window& parent);
    HWND UnsubclassWindow();
    // The attach step: the window is known, its messages do not run here yet.
    virtual void PreSubclassWindow() {}
    // Binding replaces the object the window's class made; a control takes over the state that
    // object kept (check state, rows, entries), as the window itself keeps it on other systems.
    virtual void InheritControlState(Window& /*previous*/) {}
    // Called after the window is gone (WM_NCDESTROY).
    virtual void PostNcDestroy() {}

    HWND GetSafeHwnd() const { return hwnd_; }
    HWND Handle() const { return hwnd_; }
    Application* App() const { return hwnd_.app; }
    bool IsWindow() const { return hwnd_.app != nullptr && hwnd_.app->IsWindow(hwnd_); }
    static Window* FromHandle(HWND hwnd);

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // The table, then default processing; reflection of control notifications.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of every message no table handles.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The standard handling of the message being handled: the base classes' tables after the
    // entry that runs now (their first matching entry), then default processing.
    LRESULT Default();
    // Seen before a message from the loop is dispatched to this window or a child; true when
    // handled here (it is then not dispatched).
    virtual bool PreTranslateMessage(MSG& msg);
    // A reflected notification (OCM_...) through this window's own table only; nullopt when
    // the table does not handle it.
    std::optional<LRESULT> OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam);

    // Attributes.
    int GetDlgCtrlID() const;
    std::u16string GetWindowText() const;
    int GetWindowTextLength() const;
    void SetWindowText(std::u16string_view text);
    Style GetStyle() const;
    Style GetExStyle() const;
    // Removes then adds style bits; with swpFlags, also SetWindowPos(flags | no move/size/z).
    bool ModifyStyle(Style remove, Style add, UINT swpFlags = 0);
    bool ModifyStyleEx(Style remove, Style add, UINT swpFlags = 0);
    HWND GetParent() const;
    Window* GetParentWindow() const { return FromHandle(GetParent()); }
    HWND GetDlgItem(int id) const;
    Window* GetDlgItemWindow(int id) const { return FromHandle(GetDlgItem(id)); }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetDlgItemText(int id, std::u16string_view text);
    std::u16string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    HWND GetNextDlgTabItem(HWND control, bool previous = false) const;
    HWND GetNextDlgGroupItem(HWND control, bool previous = false) const;
    void SetFont(const gdi::Font& font, bool redraw = true);
    gdi::Font GetFont() const;
    void SetIcon(const gdi::Icon& icon, bool big);
    gdi::Icon GetIcon(bool big) const;

    // State.
    bool ShowWindow(int command);
    bool IsWindowVisible() const;
    bool EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    bool IsIconic() const;

    // Geometry.
    void GetWindowRect(RECT& rect) const;  // screen coordinates
    void GetClientRect(RECT& rect) const;
    void ClientToScreen(POINT& p) const;
    void ClientToScreen(RECT& r) const;
    void ScreenToClient(POINT& p) const;
    void ScreenToClient(RECT& r) const;
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
    bool MoveWindow(const RECT& rect, bool repaint = true);
    bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    // The window's shape in window coordinates; nullopt makes it rectangular again. The region
    // belongs to the window from then on.
    bool SetWindowRgn(std::optional<gdi::Region> region, bool redraw);
    // The window's region kind (NULLREGION etc., RGN_ERROR when it has none) and a copy of it.
    int GetWindowRgn(gdi::Region& out) const;
    // The top-most visible child under a client point, or this window, or null outside it.
    HWND ChildWindowFromPoint(POINT client) const;
    HWND WindowFromPoint(POINT screen) const;

    // Painting.
    void Invalidate(bool erase = true);
    void InvalidateRect(const RECT* rect, bool erase = true);
    void InvalidateRgn(const gdi::Region* region, bool erase = true);
    void ValidateRect(const RECT* rect);
    void UpdateWindow();
    bool RedrawWindow(const RECT* rect, const gdi::Region* region, UINT flags);
    gdi::DC BeginPaint(PAINTSTRUCT& ps);
    void EndPaint(const PAINTSTRUCT& ps);
    gdi::DC GetDC();

    // Input.
    HWND SetFocus();
    HWND GetFocus() const;
    HWND SetCapture();
    bool ReleaseCapture() const;
    HWND GetCapture() const;
    std::uintptr_t SetTimer(std::uintptr_t id, UINT elapse);
    bool KillTimer(std::uintptr_t id);
    bool GetCursorPos(POINT& p) const;

protected:
    // The message being handled (for Default).
    const MSG* CurrentMessage() const { return current_; }

private:
    friend class Application;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs one table entry; Default() within it continues in the tables below match.map.
    LRESULT RunEntry(const MessageMatch& match, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT DefaultCtlColor(WPARAM wParam, LPARAM lParam, UINT message);

    HWND hwnd_;
    const MSG* current_ = nullptr;
    const MessageMap* next_ = nullptr;  // where Default() looks next; null: default processing
    std::optional<LRESULT> reflected_;  // the control's answer to the colour request in hand
};

// Draws into a window during WM_PAINT (BeginPaint and EndPaint).
class PaintDC : public gdi::DC {
public:
    explicit PaintDC(Window& window);
    ~PaintDC();
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    const PAINTSTRUCT& Paint() const { return ps_; }

private:
    Window& window_;
    PAINTSTRUCT ps_;
};

// Draws into a window's client area outside WM_PAINT.
class ClientDC : public gdi::DC {
public:
    explicit ClientDC(Window& window) : gdi::DC(window.GetDC()) {}
};

// The platform calls on handles, for code that holds a handle rather than an object.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
bool IsWindow(HWND hwnd);
bool _TrackMouseEvent(TRACKMOUSEEVENT* tme);
bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, bool previous);
HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous);
int SetWindowRgn(HWND hwnd, std::optional<gdi::Region> region, bool redraw);
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool RedrawWindow(HWND hwnd, const RECT* rect, const gdi::Region* region, UINT flags);
bool UpdateWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
bool EndDialog(HWND dialog, int result);

}  // namespace ui
