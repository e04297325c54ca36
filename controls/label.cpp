#include "controls/label.h"

#include "platform/gdi/types.h"

using namespace ui;

// clang-format off
const MessageMap CLabel::messageMap{&Static::messageMap, {
    OnMessage<&CLabel::OnCtlColor>(OCM_CTLCOLORSTATIC),
    OnMessage<&CLabel::OnTimer>(WM_TIMER),
    OnMessage<&CLabel::OnLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&CLabel::OnLButtonUp>(WM_LBUTTONUP),
    OnMessage<&CLabel::OnMouseMove>(WM_MOUSEMOVE),
    OnMessage<&CLabel::OnSetCursor>(WM_SETCURSOR),
    OnMessage<&CLabel::OnRButtonDown>(WM_RBUTTONDOWN),
}};
// clang-format on

CLabel::CLabel()
    : textColour(gdi::GetSysColor(gdi::COLOR_WINDOWTEXT)),
      backBrush(gdi::CreateSolidBrush(gdi::GetSysColor(gdi::COLOR_BTNFACE))),
      plainBrush(gdi::CreateSolidBrush(gdi::GetSysColor(gdi::COLOR_BTNFACE))),
      logFont(gdi::DefaultGuiLogFont()) {
    RebuildFont();
}

CLabel::~CLabel() = default;

void CLabel::RebuildFont() {
    font = gdi::CreateFontIndirect(logFont);
}

void CLabel::Redraw() {
    if (!IsWindow()) return;
    // The label may stand on its parent's background (a hollow brush): the parent repaints the
    // area first, so that no old letters stay behind.
    Window* parent = GetParentWindow();
    if (parent != nullptr && (GetStyle() & WS_CHILD) != 0) {
        RECT r;
        GetWindowRect(r);
        parent->ScreenToClient(r);
        parent->RedrawWindow(&r, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

CLabel& CLabel::SetTextColour(gdi::COLORREF colour) {
    textColour = colour;
    Redraw();
    return *this;
}

CLabel& CLabel::SetBold(bool bold) {
    logFont.lfWeight = bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetTextHeight(int n) {
    logFont.lfHeight = -n;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetUnderline(bool underline) {
    logFont.lfUnderline = underline ? 1 : 0;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetItalic(bool italic) {
    logFont.lfItalic = italic ? 1 : 0;
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetFaceName(std::u16string_view face) {
    gdi::SetFaceName(logFont, face);  // at most 31 code units and a terminator
    RebuildFont();
    Redraw();
    return *this;
}

CLabel& CLabel::SetBackColour(gdi::COLORREF colour) {
    backBrush = gdi::CreateSolidBrush(colour);
    return *this;
}

CLabel& CLabel::SetLabelText(std::u16string_view text) {
    SetWindowText(text);
    Redraw();
    return *this;
}

CLabel& CLabel::SetSunkenEdge(bool on) {
    ModifyStyleEx(on ? 0 : WS_EX_STATICEDGE, on ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    Redraw();
    return *this;
}

CLabel& CLabel::SetThinBorder(bool on) {
    ModifyStyle(on ? 0 : WS_BORDER, on ? WS_BORDER : 0, SWP_FRAMECHANGED);
    Redraw();
    return *this;
}

CLabel& CLabel::SetNotify(bool on) {
    notify = on;
    ModifyStyle(on ? 0 : SS_NOTIFY, on ? SS_NOTIFY : 0);
    return *this;
}

CLabel& CLabel::SetHoverCursor(std::optional<StandardCursor> cursor) {
    hoverCursor = cursor;
    return *this;
}

CLabel& CLabel::SetLink(std::u16string_view address) {
    link.assign(address.substr(0, std::min(address.size(), MaxLinkLength)));
    if (!link.empty()) ModifyStyle(0, SS_NOTIFY);
    return *this;
}

CLabel& CLabel::StartTextBlink(bool on) {
    if (blinking) {
        SetWindowText(savedText);
        KillTimer(BlinkTimer);
        Redraw();
    }
    if (on) {
        savedText = GetWindowText();
        blinkPhase = false;
        blinking = true;
        SetTimer(BlinkTimer, BlinkPeriod);
        blinkKind = 1;
    }
    return *this;
}

CLabel& CLabel::StartBackBlink(bool on) {
    if (blinking) KillTimer(BlinkTimer);
    if (on) {
        blinkPhase = false;
        blinking = true;
        SetTimer(BlinkTimer, BlinkPeriod);
        blinkKind = 2;
    }
    return *this;
}

void CLabel::SetLabelTip(std::u16string_view text, int maxWidth) {
    if (!IsWindow()) return;
    if (!tip.IsWindow()) {
        if (!tip.Create(*this)) return;
        if (tip.AddTool(*this, text)) tip.Activate(true);
    } else {
        tip.UpdateTipText(text, *this);
    }
    if (maxWidth != 0) tip.SetMaxTipWidth(maxWidth);
}

void CLabel::RelayToTip(UINT message, UINT keys, POINT point) {
    if (!tip.IsWindow()) return;
    tip.RelayEvent(MSG{GetSafeHwnd(), message, keys, PointToLParam(point), 0, point});
}

const gdi::Brush* CLabel::OnCtlColor(gdi::DC& dc, HWND) {
    if (font) dc.SelectObject(font);
    dc.SetTextColor(textColour);
    dc.SetBkMode(gdi::TRANSPARENT);
    return blinkKind == 2 && !blinkPhase ? &plainBrush : &backBrush;
}

LRESULT CLabel::OnTimer(WPARAM id) {
    if (id == BlinkTimer) {
        blinkPhase = !blinkPhase;
        if (blinkKind == 1) {
            SetWindowText(blinkPhase ? std::u16string_view{} : std::u16string_view{savedText});
            Redraw();
        } else if (blinkKind == 2) {
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    }
    return Default();
}

LRESULT CLabel::OnLButtonDown(UINT keys, POINT point) {
    RelayToTip(WM_LBUTTONDOWN, keys, point);
    return Default();
}

LRESULT CLabel::OnLButtonUp(UINT keys, POINT point) {
    RelayToTip(WM_LBUTTONUP, keys, point);
    if (!link.empty() && App() != nullptr) {
        RECT client;
        GetClientRect(client);
        if (gdi::PtInRect(client, point)) App()->GetShell().OpenPage(link);
    }
    return Default();
}

LRESULT CLabel::OnMouseMove(UINT keys, POINT point) {
    RelayToTip(WM_MOUSEMOVE, keys, point);
    return Default();
}

LRESULT CLabel::OnSetCursor() {
    if (hoverCursor && App() != nullptr) {
        App()->SetCursor(*hoverCursor);
        return 1;
    }
    return Default();
}

LRESULT CLabel::OnRButtonDown() {
    const HWND parent = GetParent();
    if (parent) ui::PostMessage(parent, RightClickMessage, 0, GetDlgCtrlID());
    return Default();
}
