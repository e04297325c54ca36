// The tooltip control: a small window with a text that appears near the pointer when it has
// rested on a tool (a whole window, or a rectangle of one) for the show delay, stays on the
// screen, and goes away when the pointer leaves the tool, on a press, or after a while. The
// tools' windows pass their mouse messages in with RelayEvent. The tip never takes the
// keyboard focus or the mouse. Balloon style (TTS_BALLOON) gives it rounded corners.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/window.h"

namespace ui {

inline constexpr std::u16string_view TooltipClass = u"tooltips_class32";

// One tool, as TTM_ADDTOOL and its relatives take it. With TTF_IDISHWND the tool is the whole
// window uId names; otherwise it is `rect` of `hwnd`, told apart by uId.
struct TOOLINFO {
    UINT uFlags = 0;
    HWND hwnd;
    std::uintptr_t uId = 0;
    RECT rect{};
    const char16_t* lpszText = nullptr;
};

class ToolTip : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    static void Register(Application& app);

    // Makes the tip window, owned by parent's top-level window. False on failure.
    bool Create(Window& parent, Style style = 0);
    // A tool for the whole window (rect null; `id` is then ignored and the tool is known by
    // the window) or for a rectangle of it with an id.
    bool AddTool(Window& window, std::u16string_view text, const RECT* rect = nullptr,
                 std::uintptr_t id = 0);
    void DelTool(Window& window, std::uintptr_t id = 0);
    // Replaces a tool's text; a tip on show changes at once.
    void UpdateTipText(std::u16string_view text, Window& window, std::uintptr_t id = 0);
    std::u16string GetText(Window& window, std::uintptr_t id = 0) const;
    // Shows a tool's tip at once (TTM_POPUP; here it names the tool): near the pointer when
    // the pointer is on the tool, else just below the tool. It goes as a hovered tip does.
    void Popup(Window& window, std::uintptr_t id = 0);
    // Passes a mouse message of a tool's window to the tip.
    void RelayEvent(const MSG& msg);
    void Activate(bool active);
    // TTDT_INITIAL: the show delay; TTDT_AUTOPOP: how long a tip stays; TTDT_AUTOMATIC: both
    // from one value (the show delay, and ten times it).
    void SetDelayTime(WPARAM which, int milliseconds);
    void SetMaxTipWidth(int width);
    int GetToolCount() const { return static_cast<int>(tools_.size()); }
    // The tool on show, as the text it shows; empty when no tip is shown.
    bool IsShowing() const { return IsWindowVisible(); }

private:
    struct Tool {
        UINT flags = 0;
        HWND window;
        std::uintptr_t id = 0;
        RECT rect{};
        std::u16string text;
    };

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnSetDelayTime(WPARAM, LPARAM);
    LRESULT OnRelayEvent(WPARAM, LPARAM);
    LRESULT OnGetToolCount(WPARAM, LPARAM);
    LRESULT OnSetMaxTipWidth(WPARAM, LPARAM);
    LRESULT OnPop(WPARAM, LPARAM);
    LRESULT OnPopup(WPARAM, LPARAM);
    LRESULT OnAddTool(WPARAM, LPARAM);
    LRESULT OnDelTool(WPARAM, LPARAM);
    LRESULT OnGetTextMessage(WPARAM, LPARAM);
    LRESULT OnUpdateTipText(WPARAM, LPARAM);

    Tool* FindTool(HWND window, std::uintptr_t id, UINT flags);
    // The record naming the window's whole-window tool when it has one, else its tool id.
    TOOLINFO ExistingTool(Window& window, std::uintptr_t id, const char16_t* text);
    // The tool under a point of `window` (client coordinates).
    int ToolAt(HWND window, POINT client) const;
    bool PointerStillOn(int tool) const;
    void Show();
    void Hide();
    void Layout(const std::u16string& text, SIZE& size) const;

    std::vector<Tool> tools_;
    int current_ = -1;     // the tool under the pointer
    int suppressed_ = -1;  // a press hid its tip; not shown again until the pointer moves off
    bool active_ = true;
    int initialDelay_ = 500;
    int autoPop_ = 5000;
    int maxWidth_ = 300;
};

}  // namespace ui
