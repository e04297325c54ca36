#include "platform/ui/button.h"

#include <memory>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/theme.h"

namespace ui {

const MessageMap Button::messageMap{&Window::messageMap,
                                    {
                                        OnMessage<&Button::OnPaint>(WM_PAINT),
                                        OnMessage<&Button::OnEraseBkgnd>(WM_ERASEBKGND),
                                        OnMessage<&Button::OnLButtonDown>(WM_LBUTTONDOWN),
                                        OnMessage<&Button::OnLButtonDown>(WM_LBUTTONDBLCLK),
                                        OnMessage<&Button::OnLButtonUp>(WM_LBUTTONUP),
                                        OnMessage<&Button::OnMouseMove>(WM_MOUSEMOVE),
                                        OnMessage<&Button::OnCaptureChanged>(WM_CAPTURECHANGED),
                                        OnMessage<&Button::OnKeyDown>(WM_KEYDOWN),
                                        OnMessage<&Button::OnKeyUp>(WM_KEYUP),
                                        OnMessage<&Button::OnSetFocus>(WM_SETFOCUS),
                                        OnMessage<&Button::OnKillFocus>(WM_KILLFOCUS),
                                        OnMessage<&Button::OnGetDlgCode>(WM_GETDLGCODE),
                                        OnMessage<&Button::OnNcHitTest>(WM_NCHITTEST),
                                        OnMessage<&Button::OnGetCheck>(BM_GETCHECK),
                                        OnMessage<&Button::OnSetCheck>(BM_SETCHECK),
                                        OnMessage<&Button::OnGetState>(BM_GETSTATE),
                                        OnMessage<&Button::OnSetState>(BM_SETSTATE),
                                        OnMessage<&Button::OnSetStyle>(BM_SETSTYLE),
                                        OnMessage<&Button::OnClick>(BM_CLICK),
                                        OnMessage<&Button::OnRedrawAfterDefault>(WM_SETTEXT),
                                        OnMessage<&Button::OnRedrawAfterDefault>(WM_ENABLE),
                                    }};

void Button::Register(Application& app) {
    app.RegisterClass(WindowClass{std::u16string(ButtonClass), CS_DBLCLKS,
                                  [] { return std::make_unique<Button>(); }});
}

bool Button::IsPush() const {
    const Style t = Type();
    return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON;
}

bool Button::IsCheckType() const {
    const Style t = Type();
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
}

bool Button::IsRadioType() const {
    const Style t = Type();
    return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

void Button::DrawItem(DRAWITEMSTRUCT&) {}

void Button::InheritControlState(Window& previous) {
    if (const auto* p = dynamic_cast<const Button*>(&previous)) {
        check_ = p->check_;
        focused_ = p->focused_;
    }
}

LRESULT Button::OnReflectedDrawItem(WPARAM, LPARAM lParam) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (dis != nullptr) DrawItem(*dis);
    return 1;
}

void Button::Redraw() {
    RepaintControl(*this, seeThrough_ && !IsPush() && Type() != BS_OWNERDRAW);
}

void Button::SetPushed(bool pushed) {
    if (pushed_ == pushed) return;
    pushed_ = pushed;
    Redraw();
}

LRESULT Button::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;  // the paint covers the face
}

LRESULT Button::OnPaint(WPARAM, LPARAM) {
    PaintDC dc(*this);
    if (!dc) return 0;
    RECT client;
    GetClientRect(client);
    if (Type() == BS_OWNERDRAW) {
        DrawItemByParent(*this, ODT_BUTTON, 0,
                         (pushed_ ? ODS_SELECTED : 0) | (focused_ ? ODS_FOCUS : 0) |
                             (IsWindowEnabled() ? 0 : ODS_DISABLED),
                         dc, client);
        return 0;
    }
    PaintStandard(dc);
    return 0;
}

void Button::PaintStandard(gdi::DC& dc) {
    const Theme& theme = Theme::Standard();
    RECT client;
    GetClientRect(client);
    const bool enabled = IsWindowEnabled();
    const std::u16string text = GetWindowText();
    SelectControlFont(*this, dc);

    if (IsPush()) {
        const gdi::Brush back = RequestColours(*this, dc, WM_CTLCOLORBTN, gdi::COLOR_BTNFACE);
        (void)back;  // the face covers the whole button
        Theme::ButtonLook look;
        look.pressed = pushed_;
        look.focused = focused_;
        look.isDefault = Type() == BS_DEFPUSHBUTTON;
        look.disabled = !enabled;
        theme.DrawButtonFace(dc, client, look);
        RECT r = client;
        gdi::InflateRect(r, -3, -2);
        if (pushed_) gdi::OffsetRect(r, 1, 1);
        dc.SetBkMode(gdi::TRANSPARENT);
        dc.SetTextColor(theme.Colour(enabled ? gdi::COLOR_BTNTEXT : gdi::COLOR_GRAYTEXT));
        UINT format = gdi::DT_CENTER | gdi::DT_VCENTER | gdi::DT_SINGLELINE;
        if ((GetStyle() & BS_MULTILINE) != 0) format = gdi::DT_CENTER | gdi::DT_WORDBREAK;
        gdi::DrawText(dc, text, r, format);
        return;
    }

    // Check boxes, radio buttons and group boxes stand on their parent's background.
    const gdi::Brush back = RequestColours(*this, dc, WM_CTLCOLORSTATIC, gdi::COLOR_BTNFACE);
    seeThrough_ = back.GetStyle() == gdi::Brush::Style::Hollow;
    const gdi::COLORREF textColour =
        enabled ? dc.GetTextColor() : theme.Colour(gdi::COLOR_GRAYTEXT);
    dc.SetBkMode(gdi::TRANSPARENT);
    dc.SetTextColor(textColour);

    if (Type() == BS_GROUPBOX) {
        // Only the frame and its label: the controls inside show through.
        const int line = LineHeight(dc);
        const RECT frame{client.left, client.top + line / 2, client.right, client.bottom};
        RECT label{client.left + 6, client.top, client.left + 6, client.top + line};
        if (!text.empty()) label.right = label.left + TextWidth(dc, text) + 4;
        {
            gdi::SavedDC saved(dc);
            if (!text.empty()) dc.ExcludeClipRect(label.left, label.top, label.right, label.bottom);
            theme.DrawFieldFrame(dc, frame, false, !enabled);
        }
        if (!text.empty()) {
            gdi::InflateRect(label, -2, 0);
            gdi::DrawText(dc, text, label, gdi::DT_SINGLELINE | gdi::DT_LEFT);
        }
        return;
    }

    gdi::FillRect(dc, client, back);
    const int mark = theme.MarkSize();
    const bool leftText = (GetStyle() & BS_LEFTTEXT) != 0;
    RECT box{client.left, client.top + (client.Height() - mark) / 2, client.left + mark, 0};
    if (leftText) {
        box.left = client.right - mark;
        box.right = client.right;
    }
    box.bottom = box.top + mark;
    if (IsRadioType()) {
        theme.DrawRadioMark(dc, box, check_ == BST_CHECKED, pushed_, !enabled);
    } else {
        theme.DrawCheckMark(dc, box, check_ != BST_UNCHECKED, pushed_, !enabled);
    }
    RECT label = client;
    if (leftText) {
        label.right = box.left - theme.MarkGap();
    } else {
        label.left = box.right + theme.MarkGap();
    }
    UINT format = gdi::DT_VCENTER | gdi::DT_SINGLELINE;
    if (leftText) format |= gdi::DT_RIGHT;
    gdi::DrawText(dc, text, label, format);
    if (focused_ && !text.empty()) {
        RECT calc = label;
        gdi::DrawText(dc, text, calc, format | gdi::DT_CALCRECT);
        const int h = calc.Height();
        RECT focus{label.left - 1, client.top + (client.Height() - h) / 2 - 1,
                   label.left + calc.Width() + 1, 0};
        if (leftText) {
            focus.right = label.right + 1;
            focus.left = label.right - calc.Width() - 1;
        }
        focus.bottom = focus.top + h + 2;
        theme.DrawFocus(dc, focus);
    }
}

LRESULT Button::OnLButtonDown(WPARAM, LPARAM) {
    if (Type() == BS_GROUPBOX) return 0;
    if (GetFocus() != GetSafeHwnd()) SetFocus();
    if (!IsWindow()) return 0;
    mouseDown_ = true;
    SetCapture();
    SetPushed(true);
    return 0;
}

LRESULT Button::OnMouseMove(WPARAM, LPARAM lParam) {
    if (!mouseDown_ || GetCapture() != GetSafeHwnd()) return 0;
    RECT client;
    GetClientRect(client);
    SetPushed(gdi::PtInRect(client, PointFromLParam(lParam)));
    return 0;
}

LRESULT Button::OnLButtonUp(WPARAM, LPARAM lParam) {
    if (!mouseDown_) return 0;
    mouseDown_ = false;
    RECT client;
    GetClientRect(client);
    const bool inside = gdi::PtInRect(client, PointFromLParam(lParam));
    const bool wasPushed = pushed_;
    if (GetCapture() == GetSafeHwnd()) ReleaseCapture();
    if (!IsWindow()) return 0;
    SetPushed(false);
    if (inside && wasPushed) Clicked();
    return 0;
}

LRESULT Button::OnCaptureChanged(WPARAM, LPARAM) {
    if (mouseDown_) {
        mouseDown_ = false;
        SetPushed(false);
    }
    return 0;
}

LRESULT Button::OnKeyDown(WPARAM wParam, LPARAM) {
    if (wParam == VK_SPACE && Type() != BS_GROUPBOX && !mouseDown_) {
        spaceDown_ = true;
        SetPushed(true);
        return 0;
    }
    return Default();
}

LRESULT Button::OnKeyUp(WPARAM wParam, LPARAM) {
    if (wParam == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        const bool wasPushed = pushed_;
        SetPushed(false);
        if (wasPushed) Clicked();
        return 0;
    }
    return Default();
}

LRESULT Button::OnSetFocus(WPARAM, LPARAM) {
    focused_ = true;
    UpdateDefaultButton(GetSafeHwnd());
    Redraw();
    if ((GetStyle() & BS_NOTIFY) != 0) NotifyParent(*this, BN_SETFOCUS);
    return 0;
}

LRESULT Button::OnKillFocus(WPARAM wParam, LPARAM) {
    focused_ = false;
    if (mouseDown_ && GetCapture() == GetSafeHwnd()) ReleaseCapture();
    mouseDown_ = false;
    spaceDown_ = false;
    pushed_ = false;
    if (!IsWindow()) return 0;
    UpdateDefaultButton(HandleFromParam(App(), wParam));
    Redraw();
    if ((GetStyle() & BS_NOTIFY) != 0) NotifyParent(*this, BN_KILLFOCUS);
    return 0;
}

void Button::UpdateDefaultButton(HWND newFocus) {
    // The focused push button of a dialog takes the default look; when the focus goes to a
    // control that is not a push button, the dialog's own default button gets it back.
    const HWND parent = GetParent();
    if (!parent || (GetStyle() & WS_CHILD) == 0) return;
    Window* dialog = Window::FromHandle(parent);
    if (dialog == nullptr) return;
    const LRESULT def = dialog->SendMessage(DM_GETDEFID);
    if (HIWORD(static_cast<std::uintptr_t>(def)) != DC_HASDEFID) return;  // not a dialog
    const int defId = LOWORD(static_cast<std::uintptr_t>(def));

    auto isPush = [](HWND h) {
        const LRESULT code = ui::SendMessage(h, WM_GETDLGCODE);
        return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    };
    const bool focusInDialog = newFocus && ui::GetParent(newFocus) == parent;
    HWND target = focusInDialog && isPush(newFocus) ? newFocus : dialog->GetDlgItem(defId);
    const WindowNode* p = App()->Node(parent);
    if (p == nullptr) return;
    const std::vector<HWND> children = p->children;
    for (const HWND child : children) {
        if (child == target || !ui::IsWindow(child)) continue;
        if ((ui::SendMessage(child, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON) != 0)
            ui::SendMessage(child, BM_SETSTYLE, BS_PUSHBUTTON, 1);
    }
    if (target && isPush(target) &&
        (ui::SendMessage(target, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON) == 0)
        ui::SendMessage(target, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
}

LRESULT Button::OnNcHitTest(WPARAM, LPARAM) {
    return Type() == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
}

LRESULT Button::OnGetDlgCode(WPARAM, LPARAM) {
    switch (Type()) {
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
    }
}

LRESULT Button::OnGetCheck(WPARAM, LPARAM) {
    return IsCheckType() || IsRadioType() ? check_ : BST_UNCHECKED;
}

LRESULT Button::OnSetCheck(WPARAM wParam, LPARAM) {
    if (!IsCheckType() && !IsRadioType()) return 0;
    UINT state = static_cast<UINT>(wParam);
    const Style t = Type();
    if (state == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) state = BST_CHECKED;
    if (state > BST_INDETERMINATE) state = BST_CHECKED;
    if (state != check_) {
        check_ = state;
        Redraw();
    }
    return 0;
}

LRESULT Button::OnGetState(WPARAM, LPARAM) {
    return static_cast<LRESULT>((IsCheckType() || IsRadioType() ? check_ : 0) |
                                (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0));
}

LRESULT Button::OnSetState(WPARAM wParam, LPARAM) {
    SetPushed(wParam != 0);
    return 0;
}

LRESULT Button::OnSetStyle(WPARAM wParam, LPARAM lParam) {
    const Style type = static_cast<Style>(wParam) & BS_TYPEMASK;
    ModifyStyle(BS_TYPEMASK, type);
    if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) Redraw();
    return 0;
}

LRESULT Button::OnClick(WPARAM, LPARAM) {
    if (!IsWindowEnabled()) return 0;
    Clicked();
    return 0;
}

LRESULT Button::OnRedrawAfterDefault(WPARAM, LPARAM) {
    const LRESULT result = Default();
    Redraw();
    return result;
}

void Button::Clicked() {
    const HWND self = GetSafeHwnd();
    switch (Type()) {
        case BS_AUTOCHECKBOX:
            SetCheck(check_ == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
            break;
        case BS_AUTO3STATE:
            SetCheck((check_ + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON: {
            SetCheck(BST_CHECKED);
            const HWND parent = GetParent();
            if (!parent) break;
            // Clear the other automatic radio buttons of the group.
            for (HWND h = ui::GetNextDlgGroupItem(parent, self, false); h && h != self;
                 h = ui::GetNextDlgGroupItem(parent, h, false)) {
                const Window* w = Window::FromHandle(h);
                if (w != nullptr && (w->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                    (ui::SendMessage(h, WM_GETDLGCODE) & DLGC_RADIOBUTTON) != 0) {
                    ui::SendMessage(h, BM_SETCHECK, BST_UNCHECKED);
                }
            }
            break;
        }
        default:
            break;
    }
    if (ui::IsWindow(self)) NotifyParent(*this, BN_CLICKED);
}

}  // namespace ui
