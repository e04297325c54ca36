#include "platform/ui/dialog.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/ui/dataexchange.h"

namespace ui {

namespace {

const DialogTemplate* FindTemplate(const Application& app, int id) {
    const shell::ResourceBundle* bundle = app.Resources();
    if (bundle == nullptr) return nullptr;
    const shell::Resource* r = bundle->Find(shell::ResourceType::Dialog, id);
    return r != nullptr ? static_cast<const DialogTemplate*>(r->data) : nullptr;
}

}  // namespace

const MessageMap Dialog::messageMap{&Window::messageMap,
                                    {
                                        OnMessage<&Dialog::HandleInitDialog>(WM_INITDIALOG),
                                        OnCommand<&Dialog::OnOK>(BN_CLICKED, IDOK),
                                        OnCommand<&Dialog::OnCancel>(BN_CLICKED, IDCANCEL),
                                    }};

Dialog::Dialog(Application& app, const DialogTemplate* dialogTemplate, Window* parent)
    : app_(app), template_(dialogTemplate), parent_(parent) {}

Dialog::Dialog(Application& app, int templateId, Window* parent)
    : app_(app), template_(FindTemplate(app, templateId)), parent_(parent) {}

HWND Dialog::OwnerWindow() const {
    if (parent_ != nullptr) return app_.GetTopLevel(parent_->GetSafeHwnd());
    Window* main = app_.GetMainWindow();
    if (main != nullptr && main != this && main->IsWindow()) return main->GetSafeHwnd();
    return nullptr;
}

bool Dialog::CreateFromTemplate(HWND owner) {
    if (template_ == nullptr || IsWindow()) return false;
    const DialogTemplate& t = *template_;
    RECT r = MapDialogRect(RECT{t.x, t.y, t.x + t.cx, t.y + t.cy});
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const Style style = t.style & ~WS_VISIBLE;
    if ((style & WS_CHILD) == 0) {
        // Centred over the owner (or the screen) when asked or when the template gives no place;
        // otherwise placed relative to the owner's top-left corner.
        const SIZE screen = app_.ScreenSize();
        RECT area{0, 0, screen.cx, screen.cy};
        if (owner) area = app_.GetWindowRect(owner);
        if ((t.style & DS_CENTER) != 0 || (t.x == 0 && t.y == 0)) {
            r.left = area.left + (area.Width() - w) / 2;
            r.top = area.top + (area.Height() - h) / 2;
        } else {
            r.left += area.left;
            r.top += area.top;
        }
        // On the screen as far as it fits. One larger than the screen keeps its top edge and
        // its top-right corner, where a window's close button sits, in view.
        r.left = w <= screen.cx ? std::clamp(r.left, 0, screen.cx - w) : screen.cx - w;
        r.top = h <= screen.cy ? std::clamp(r.top, 0, screen.cy - h) : 0;
        r.right = r.left + w;
        r.bottom = r.top + h;
    }
    if (!Create(app_, u"#32770", t.caption, style, r, owner, 0, t.exStyle)) return false;

    if ((t.style & DS_SETFONT) != 0 && !t.fontFace.empty()) {
        font_ = gdi::CreateFontSimple(-gdi::MulDiv(t.fontPointSize, gdi::ScreenDpi, 72),
                                      gdi::FW_NORMAL, t.fontFace);
    }
    if (font_) SetFont(font_, false);
    for (const DialogItemTemplate& item : t.items) {
        const RECT ir = MapDialogRect(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy});
        const HWND control =
            app_.CreateWindowEx(item.exStyle, item.className, item.caption, item.style | WS_CHILD,
                                ir, GetSafeHwnd(), item.id, nullptr);
        if (!control) {
            if ((t.style & DS_NOFAILCREATE) != 0) continue;
            DestroyWindow();
            return false;
        }
        if (font_) app_.SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(&font_), 0);
    }
    const HWND self = GetSafeHwnd();
    const HWND first = app_.GetNextDlgTabItem(self, nullptr, false);
    if (SendMessage(WM_INITDIALOG, first.id, 0) != 0 && IsWindow()) {
        if (first && app_.IsWindowEnabled(first)) {
            app_.SetFocus(first);
        }
    }
    if (!IsWindow()) return false;
    return true;
}

int Dialog::DoModal() {
    const HWND owner = OwnerWindow();
    const bool ownerWasEnabled = owner && app_.IsWindowEnabled(owner);
    if (ownerWasEnabled) app_.EnableWindow(owner, false);
    int result = -1;
    modal_ = true;
    earlyResult_.reset();
    if (CreateFromTemplate(owner)) {
        if (earlyResult_) {
            // Ended during its initialisation: it is never shown.
            result = *earlyResult_;
        } else {
            ShowWindow(SW_SHOW);
            result = app_.RunModalLoop(GetSafeHwnd());
        }
    }
    modal_ = false;
    if (ownerWasEnabled && app_.IsWindow(owner)) {
        app_.EnableWindow(owner, true);
        app_.SetActiveWindow(owner);
    }
    DestroyWindow();
    return result;
}

bool Dialog::CreateModeless() {
    if (!CreateFromTemplate(OwnerWindow())) return false;
    if ((template_->style & WS_VISIBLE) != 0) ShowWindow(SW_SHOW);
    return true;
}

void Dialog::EndDialog(int result) {
    if (!IsWindow()) return;
    if (app_.InModalLoop(GetSafeHwnd())) {
        app_.EndModalLoop(GetSafeHwnd(), result);
    } else if (modal_) {
        earlyResult_ = result;
    } else {
        ShowWindow(SW_HIDE);
    }
}

LRESULT Dialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog() ? 1 : 0;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::UpdateData(bool saveAndValidate) {
    if (!IsWindow()) return false;
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    return IsDialogMessage(msg);
}

bool Dialog::IsDialogMessage(MSG& msg) {
    const HWND self = GetSafeHwnd();
    if (!self || app_.GetTopLevel(msg.hwnd) != app_.GetTopLevel(self)) return false;
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;

    const LRESULT code =
        app_.SendMessage(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if ((code & DLGC_WANTALLKEYS) != 0) return false;
    const UINT key = static_cast<UINT>(msg.wParam);

    if (msg.message == WM_CHAR) {
        // The characters of the dialog keys are used up with their keys.
        if (key == u'\t') return (code & DLGC_WANTTAB) == 0;
        return key == u'\r' || key == 0x1B;
    }

    const HWND focus = app_.GetFocus();
    switch (key) {
        case VK_TAB: {
            if ((code & DLGC_WANTTAB) != 0) return false;
            const HWND next = app_.GetNextDlgTabItem(self, focus, app_.GetKeyState(VK_SHIFT) < 0);
            if (next) {
                app_.SetFocus(next);
                if ((app_.SendMessage(next, WM_GETDLGCODE) & DLGC_HASSETSEL) != 0) {
                    app_.SendMessage(next, EM_SETSEL, 0, -1);
                }
            }
            return true;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if ((code & DLGC_WANTARROWS) != 0) return false;
            if (!focus || focus == self) return true;
            const HWND next = app_.GetNextDlgGroupItem(self, focus, key == VK_LEFT || key == VK_UP);
            if (next && next != focus) {
                app_.SetFocus(next);
                if ((app_.SendMessage(next, WM_GETDLGCODE) & DLGC_RADIOBUTTON) != 0) {
                    app_.SendMessage(next, BM_CLICK);
                }
            }
            return true;
        }
        case VK_RETURN: {
            int id = IDOK;
            if ((code & DLGC_DEFPUSHBUTTON) != 0 && focus) {
                id = ui::GetDlgCtrlID(focus);
            } else {
                const LRESULT def = SendMessage(DM_GETDEFID);
                if (HIWORD(static_cast<std::uintptr_t>(def)) == DC_HASDEFID)
                    id = LOWORD(static_cast<std::uintptr_t>(def));
            }
            const HWND button = GetDlgItem(id);
            if (button && !app_.IsWindowEnabled(button)) return true;
            SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                        HandleToParam(button));
            return true;
        }
        case VK_ESCAPE: {
            const HWND button = GetDlgItem(IDCANCEL);
            if (button && !app_.IsWindowEnabled(button)) return true;
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), HandleToParam(button));
            return true;
        }
        default:
            return false;
    }
}

LRESULT Dialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            gdi::DC* dc = DCFromWParam(wParam);
            const gdi::Brush* brush =
                BrushFromResult(SendMessage(WM_CTLCOLORDLG, wParam, HandleToParam(GetSafeHwnd())));
            if (dc == nullptr || brush == nullptr) return 0;
            RECT client;
            GetClientRect(client);
            gdi::FillRect(*dc, client, *brush);
            return 1;
        }
        case WM_CLOSE: {
            const HWND button = GetDlgItem(IDCANCEL);
            if (button && !app_.IsWindowEnabled(button)) return 0;
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), HandleToParam(button));
            return 0;
        }
        case DM_GETDEFID:
            return MAKELPARAM(static_cast<unsigned>(defaultId_), DC_HASDEFID);
        case DM_SETDEFID:
            defaultId_ = static_cast<int>(wParam);
            return 1;
        case WM_ACTIVATE: {
            const HWND self = GetSafeHwnd();
            const HWND focus = app_.GetFocus();
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (focus && app_.GetTopLevel(focus) == self && focus != self) savedFocus_ = focus;
                return 0;
            }
            if (!focus || app_.GetTopLevel(focus) != self) {
                HWND target = savedFocus_ && app_.IsWindow(savedFocus_)
                                  ? savedFocus_
                                  : app_.GetNextDlgTabItem(self, nullptr, false);
                if (!target || !app_.IsWindowEnabled(target)) target = self;
                app_.SetFocus(target);
            }
            return 0;
        }
        default:
            return Window::DefWindowProc(message, wParam, lParam);
    }
}

}  // namespace ui
