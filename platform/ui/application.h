// The application object: it holds the backend, the window registry and classes, the message
// queue, timers, focus, capture, leave tracking and the painting of every window. One per
// program (the program makes it in main); tests make as many as they like.
//
// Messages: SendMessage runs the window's handler now; PostMessage queues. The loop takes,
// in this order: posted messages, input from the backend, painting, due timers; then it waits.
// Everything happens on the one thread that runs the loop; nothing here is thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"
#include "platform/shell/resources.h"
#include "platform/ui/backend.h"
#include "platform/ui/desktopshell.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/windowclass.h"
#include "platform/ui/windownode.h"

namespace ui {

class Window;

struct PAINTSTRUCT {
    bool fErase = false;  // the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint{};       // bounds of the area to paint, client coordinates
};

class Application {
public:
    explicit Application(Backend& backend);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up of the program; false ends it without running the main loop.
    virtual bool InitInstance() { return true; }
    // Clean-up; answers the exit code.
    virtual int ExitInstance() { return exitCode_; }
    // InitInstance, the main loop while it returned true, ExitInstance.
    int Run();

    Backend& GetBackend() const { return backend_; }
    // The backend's device pixels to each of ours (1 to 3). Windows, input and drawing work in
    // our pixels; framebuffers hold Scale() × Scale() device pixels for each.
    int Scale() const { return scale_; }
    // The screen's size in our pixels.
    SIZE ScreenSize() const;
    // The monitor that shows the window (or its top-level window), in screen coordinates of
    // our pixels (MonitorFromWindow and the monitor's rectangle of GetMonitorInfo).
    RECT MonitorRect(HWND hwnd) const;
    // Where the program's sounds go: the backend's wave-out driver.
    media::WaveOutDriver& GetWaveOutDriver() const { return backend_.WaveOutDriver(); }
    // Where the program records from: the backend's wave-in driver.
    media::WaveInDriver& GetWaveInDriver() const { return backend_.WaveInDriver(); }
    void SetMainWindow(Window* window) { mainWindow_ = window; }
    Window* GetMainWindow() const { return mainWindow_; }
    void SetResources(const shell::ResourceBundle* resources) { resources_ = resources; }
    const shell::ResourceBundle* Resources() const { return resources_; }
    // The name message boxes use when they have no caption (the executable's base name).
    void SetAppName(std::u16string name) { appName_ = std::move(name); }
    const std::u16string& AppName() const { return appName_; }
    // Every call of the program on the desktop around it (message boxes, pages, programs,
    // help) goes through this shell: the desktop's own unless another one was set. The shell
    // set must outlive its use; null goes back to the desktop's.
    shell::Shell& GetShell() { return shell_ != nullptr ? *shell_ : desktopShell_; }
    void SetShell(shell::Shell* shell) { shell_ = shell; }

    // Window classes.
    void RegisterClass(WindowClass windowClass);
    const WindowClass* FindClass(std::u16string_view name) const;

    // Windows. rect is in the parent's client coordinates (screen coordinates without
    // WS_CHILD). With `object` null the class's object runs the window. Null on failure.
    HWND CreateWindowEx(Style exStyle, std::u16string_view className, std::u16string_view text,
                        Style style, const RECT& rect, HWND parent, int id, Window* object);
    bool DestroyWindow(HWND hwnd);
    bool IsWindow(HWND hwnd) const { return Node(hwnd) != nullptr; }
    Window* FromHandle(HWND hwnd) const;
    // The window record: for the framework's own code and its tests. Controls and programs go
    // through ui::Window and the handle functions.
    WindowNode* Node(HWND hwnd) const;
    // Makes `object` run the window's messages (the object's attach step runs); false when the
    // window is gone or already runs through another attached object.
    bool Attach(HWND hwnd, Window& object);
    void Detach(HWND hwnd, Window& object);
    const std::vector<HWND>& TopLevelWindows() const { return topLevels_; }
    HWND GetTopLevel(HWND hwnd) const;

    // Messages.
    LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void PostQuitMessage(int exitCode);
    // True once WM_QUIT was posted: every loop ends at its next turn.
    bool QuitPending() const { return quitPending_; }
    // Handles everything that is ready now (posted messages, input, painting, due timers)
    // without waiting. False once WM_QUIT was taken (it stays pending for the main loop).
    bool PumpMessages();
    // Runs messages until EndModalLoop(hwnd) or WM_QUIT; answers the EndModalLoop result, or
    // -1 on WM_QUIT (which stays pending for the outer loops).
    int RunModalLoop(HWND hwnd);
    // As RunModalLoop; while it runs, the keyboard's messages go to hwnd whatever has the
    // focus (a pop-up menu takes the keys as it takes the mouse).
    int RunModalLoopWithKeys(HWND hwnd);
    void EndModalLoop(HWND hwnd, int result);
    bool InModalLoop(HWND hwnd) const;

    // Timers: WM_TIMER with wParam = id, on this thread, when no other message is waiting.
    // Ticks do not pile up: a busy handler misses ticks rather than receiving them late.
    std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse);
    bool KillTimer(HWND hwnd, std::uintptr_t id);
    std::uint64_t Now() const { return backend_.Now(); }

    // Keyboard focus, activation, mouse capture and leave tracking.
    HWND SetFocus(HWND hwnd);
    HWND GetFocus() const { return focus_; }
    HWND GetActiveWindow() const { return active_; }
    HWND SetActiveWindow(HWND hwnd);
    // True when hwnd is window or lies inside it (a child, a child's child, ...).
    bool IsWithin(HWND hwnd, HWND window) const;
    HWND SetCapture(HWND hwnd);
    bool ReleaseCapture();
    HWND GetCapture() const { return capture_; }
    bool TrackMouseEvent(TRACKMOUSEEVENT& tme);
    void SetCursor(StandardCursor cursor);
    POINT GetCursorPos() const { return cursorScreen_; }
    // The window under the pointer at the last mouse event; null once the pointer left.
    HWND WindowUnderPointer() const { return under_; }
    // High bit set while the key is down (VK_LBUTTON, VK_SHIFT, VK_CONTROL, ...).
    short GetKeyState(UINT vk) const;
    // The deepest visible, enabled window under a screen point whose hit test is not
    // HTTRANSPARENT; null outside every window.
    HWND WindowFromPoint(POINT screen);

    // Input from the backend (device pixels), as the loop would hand it over.
    void DispatchInput(const InputEvent& event);

    // Painting. Rectangles and regions are in the window's client coordinates.
    void InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
    void InvalidateRgn(HWND hwnd, const gdi::Region* region, bool erase);
    void ValidateRect(HWND hwnd, const RECT* rect);
    bool GetUpdateRect(HWND hwnd, RECT* rect) const;
    bool RedrawWindow(HWND hwnd, const RECT* rect, const gdi::Region* region, UINT flags);
    // Sends the pending WM_PAINTs of the window and its children now and presents them.
    void UpdateWindow(HWND hwnd);
    // Paints every window that needs it, parent before children, and presents what changed.
    void UpdateAllWindows();
    gdi::DC BeginPaint(HWND hwnd, PAINTSTRUCT& ps);
    void EndPaint(HWND hwnd, const PAINTSTRUCT& ps);
    // A DC on the window's visible area; drawing through it reaches the screen at the next
    // present.
    gdi::DC GetDC(HWND hwnd);
    // Where the window may draw, in its top-level window's framebuffer coordinates.
    gdi::Region VisibleRegion(HWND hwnd) const;
    // The offset of the window's client origin in its top-level window's framebuffer.
    POINT OriginInTopLevel(HWND hwnd) const;

    // Geometry.
    RECT GetWindowRect(HWND hwnd) const;  // screen coordinates
    RECT GetClientRect(HWND hwnd) const;
    POINT ClientToScreen(HWND hwnd, POINT p) const;
    POINT ScreenToClient(HWND hwnd, POINT p) const;
    bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    bool SetWindowRgn(HWND hwnd, std::optional<gdi::Region> region, bool redraw);
    bool ShowWindow(HWND hwnd, int command);
    bool IsWindowVisible(HWND hwnd) const;
    bool EnableWindow(HWND hwnd, bool enable);
    bool IsWindowEnabled(HWND hwnd) const;
    void SetWindowStyle(HWND hwnd, Style style, Style exStyle);
    void SetWindowText(HWND hwnd, std::u16string_view text);
    void SetIcon(HWND hwnd, const gdi::Icon& icon, bool big);
    // Starts moving the top-level window of hwnd with the pointer, until the left button goes
    // up; `grab` is the pointer's position in that window's client coordinates.
    void BeginMoveDrag(HWND hwnd, POINT grab);

    // Work that lives beside the windows and needs the loop's turns (a desktop bus): Service runs
    // once before every wait, and while one is set no wait lasts longer than its period (ms).
    // The companion must outlive its use; null removes it.
    class LoopCompanion {
    public:
        virtual ~LoopCompanion() = default;
        virtual void Service() = 0;
        virtual std::uint64_t Period() const = 0;
    };
    void SetLoopCompanion(LoopCompanion* companion) { companion_ = companion; }

    // Dialog navigation.
    HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous) const;
    HWND GetNextDlgGroupItem(HWND dialog, HWND control, bool previous) const;

protected:
    int exitCode_ = 0;

private:
    struct Timer {
        HWND hwnd;
        std::uintptr_t id;
        UINT elapse;
        std::uint64_t due;
    };
    struct ModalState {
        HWND hwnd;
        bool ended = false;
        int result = 0;
        bool takesKeys = false;
    };
    int RunModal(ModalState state);
    struct ClickMemory {
        HWND hwnd;
        UINT message = 0;
        std::uint64_t time = 0;
        POINT screen{};
    };

    WindowNode* TopNode(HWND hwnd) const;
    // The node of a child window's parent; null for a top-level window.
    WindowNode* ParentNode(const WindowNode& n) const;
    // Makes hwnd the active window; the window system is told unless it told us.
    HWND Activate(HWND hwnd, bool tellWindowSystem);
    void DestroyTree(HWND hwnd);
    void Unlink(WindowNode& node);
    // One step of the loop; false when nothing was ready. `wait`: block until something is.
    enum class Step { Nothing, Handled, Quit };
    Step PumpOne(bool wait);
    void DeliverMessage(MSG& msg);
    bool PreTranslate(MSG& msg);
    bool NeedsPaint() const;
    Timer* DueTimer();
    std::optional<std::uint64_t> NextTimerDue() const;

    // Input routing (input.cpp).
    void DispatchEvent(const InputEvent& e);  // in our pixels
    void RouteMouse(const InputEvent& e);
    void RouteKey(const InputEvent& e);
    void HandleWindowEvent(const InputEvent& e);
    struct Hit {
        HWND hwnd;
        LRESULT code = HTNOWHERE;
    };
    Hit HitTest(HWND top, POINT client);
    Hit HitTestChildren(HWND hwnd, POINT inWindow, POINT screen);
    void UpdateTracking(HWND under);
    WPARAM MouseKeyFlags() const;

    // Painting (paint.cpp).
    void AddUpdate(WindowNode& node, const gdi::Region& area, bool erase, bool children);
    void PaintTree(HWND hwnd);
    void Present(WindowNode& top);
    void EnsureFrame(WindowNode& top);
    void InvalidateBehind(WindowNode& node);

    // Our pixels to the backend's (and back, rounding towards minus infinity).
    RECT ToDevice(const RECT& r) const;
    InputEvent FromDevice(const InputEvent& e) const;

    Backend& backend_;
    int scale_ = 1;
    Window* mainWindow_ = nullptr;
    const shell::ResourceBundle* resources_ = nullptr;
    std::u16string appName_;
    DesktopShell desktopShell_{*this};
    shell::Shell* shell_ = nullptr;
    std::vector<WindowClass> classes_;
    std::unordered_map<std::uint32_t, std::unique_ptr<WindowNode>> nodes_;
    std::vector<HWND> topLevels_;  // z-order, top first
    std::uint32_t nextId_ = 2;
    std::vector<std::unique_ptr<Window>> retired_;  // class objects replaced while running

    std::vector<MSG> queue_;
    std::size_t queueHead_ = 0;
    bool quitPending_ = false;
    std::vector<ModalState> modal_;
    std::vector<Timer> timers_;
    int depth_ = 0;  // nested message handling

    HWND focus_;
    HWND active_;
    HWND capture_;
    HWND tracked_;  // leave tracking armed for this window
    HWND under_;    // the window under the pointer at the last mouse event
    HWND dragWindow_;
    POINT dragGrab_{};
    POINT cursorScreen_{};
    bool buttons_[4] = {};
    bool shift_ = false;
    bool control_ = false;
    ClickMemory lastClick_;
    LoopCompanion* companion_ = nullptr;
};

}  // namespace ui
