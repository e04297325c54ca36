// The standard button: push and default push buttons, check boxes and radio buttons
// (automatic or not), group boxes and owner-drawn buttons. A press captures the mouse and
// shows the pushed state while the pointer stays on the button; releasing over it (or the
// space bar) clicks: BN_CLICKED to the parent, after an automatic check box has toggled or an
// automatic radio button has been set and the rest of its group cleared. An owner-drawn
// button asks its parent to draw it (WM_DRAWITEM, reflected back to the control's object).
#pragma once

#include "platform/ui/window.h"

namespace ui {

class Button : public Window {
    UI_DECLARE_MESSAGE_MAP()
public:
    // Registers the "Button" window class with the application.
    static void Register(Application& app);

    UINT GetCheck() const { return static_cast<UINT>(SendMessage(BM_GETCHECK)); }
    void SetCheck(UINT check) { SendMessage(BM_SETCHECK, check); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(bool pushed) { SendMessage(BM_SETSTATE, pushed ? 1 : 0); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, bool redraw = true) {
        SendMessage(BM_SETSTYLE, style, redraw ? 1 : 0);
    }

    // The draw step of an owner-drawn button; the base draws nothing. A class that draws its
    // buttons itself lists OnMessage<&Button::OnReflectedDrawItem>(OCM_DRAWITEM) in its table,
    // so that the parent's WM_DRAWITEM comes back to it; without that entry the parent draws.
    virtual void DrawItem(DRAWITEMSTRUCT& dis);
    void InheritControlState(Window& previous) override;
    LRESULT OnReflectedDrawItem(WPARAM wParam, LPARAM lParam);

protected:
    Style Type() const { return GetStyle() & BS_TYPEMASK; }
    bool IsPush() const;
    bool IsCheckType() const;
    bool IsRadioType() const;

    // The standard handling of each message, for derived classes that add to it.
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnKeyUp(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnGetCheck(WPARAM, LPARAM);
    LRESULT OnSetCheck(WPARAM, LPARAM);
    LRESULT OnGetState(WPARAM, LPARAM);
    LRESULT OnSetState(WPARAM, LPARAM);
    LRESULT OnSetStyle(WPARAM, LPARAM);
    LRESULT OnClick(WPARAM, LPARAM);
    LRESULT OnRedrawAfterDefault(WPARAM, LPARAM);

private:
    // The click: toggles automatic check boxes and radio buttons, then BN_CLICKED.
    void Clicked();
    void SetPushed(bool pushed);
    void Redraw();
    void PaintStandard(gdi::DC& dc);
    // Moves the dialog's default-button look to the focused push button, or back.
    void UpdateDefaultButton(HWND newFocus);

    UINT check_ = BST_UNCHECKED;
    bool pushed_ = false;
    bool mouseDown_ = false;  // a press of the left button is in hand
    bool spaceDown_ = false;
    bool focused_ = false;
    bool seeThrough_ = false;  // the last colour answer was a hollow brush
};

}  // namespace ui
