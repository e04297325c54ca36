#include "platform/ui/static.h"

#include <memory>

#include "platform/gdi/blit.h"
#include "platform/gdi/text.h"
#include "platform/ui/controlsupport.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/theme.h"

namespace ui {

const MessageMap Static::messageMap{&Window::messageMap,
                                    {
                                        OnMessage<&Static::OnPaint>(WM_PAINT),
                                        OnMessage<&Static::OnEraseBkgnd>(WM_ERASEBKGND),
                                        OnMessage<&Static::OnNcHitTest>(WM_NCHITTEST),
                                        OnMessage<&Static::OnLButtonDown>(WM_LBUTTONDOWN),
                                        OnMessage<&Static::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
                                        OnMessage<&Static::OnGetDlgCode>(WM_GETDLGCODE),
                                        OnMessage<&Static::OnRedrawAfterDefault>(WM_SETTEXT),
                                        OnMessage<&Static::OnRedrawAfterDefault>(WM_ENABLE),
                                    }};

void Static::Register(Application& app) {
    app.RegisterClass(WindowClass{std::u16string(StaticClass), CS_DBLCLKS,
                                  [] { return std::make_unique<Static>(); }});
}

UINT Static::DrawTextFlags(Style style) {
    UINT flags = 0;
    const Style type = style & SS_TYPEMASK;
    if (type == SS_RIGHT) flags |= gdi::DT_RIGHT;
    if (type == SS_CENTER) flags |= gdi::DT_CENTER;
    if ((style & SS_CENTERIMAGE) != 0) flags |= gdi::DT_VCENTER | gdi::DT_SINGLELINE;
    if ((style & SS_NOPREFIX) != 0) flags |= gdi::DT_NOPREFIX;
    switch (style & SS_ELLIPSISMASK) {
        case SS_ENDELLIPSIS:
            flags |= gdi::DT_END_ELLIPSIS | gdi::DT_SINGLELINE;
            break;
        case SS_PATHELLIPSIS:
            flags |= gdi::DT_PATH_ELLIPSIS | gdi::DT_SINGLELINE;
            break;
        case SS_WORDELLIPSIS:
            flags |= gdi::DT_WORD_ELLIPSIS | gdi::DT_SINGLELINE;
            break;
        default:
            break;
    }
    const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    if (wraps && (flags & gdi::DT_SINGLELINE) == 0) flags |= gdi::DT_WORDBREAK;
    return flags;
}

LRESULT Static::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;  // the paint fills the background with the parent's brush
}

LRESULT Static::OnPaint(WPARAM, LPARAM) {
    PaintDC dc(*this);
    if (!dc) return 0;
    const Theme& theme = Theme::Standard();
    RECT client;
    GetClientRect(client);
    SelectControlFont(*this, dc);
    const gdi::Brush back = RequestColours(*this, dc, WM_CTLCOLORSTATIC, gdi::COLOR_BTNFACE);
    gdi::FillRect(dc, client, back);
    RECT r = client;
    if ((GetStyle() & WS_BORDER) != 0) r = theme.DrawFieldFrame(dc, client, false, false);
    if ((GetExStyle() & WS_EX_STATICEDGE) != 0 || (GetStyle() & SS_SUNKEN) != 0) {
        r = theme.DrawFieldFrame(dc, r, false, true);
    }
    const Style type = GetStyle() & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
        type != SS_LEFTNOWORDWRAP) {
        return 0;  // pictures and owner-drawn statics are not drawn here
    }
    if (!IsWindowEnabled()) dc.SetTextColor(theme.Colour(gdi::COLOR_GRAYTEXT));
    dc.SetBkMode(gdi::TRANSPARENT);
    gdi::DrawText(dc, GetWindowText(), r, DrawTextFlags(GetStyle()));
    return 0;
}

LRESULT Static::OnNcHitTest(WPARAM, LPARAM) {
    return (GetStyle() & SS_NOTIFY) != 0 ? HTCLIENT : HTTRANSPARENT;
}

LRESULT Static::OnLButtonDown(WPARAM, LPARAM) {
    if ((GetStyle() & SS_NOTIFY) != 0) NotifyParent(*this, STN_CLICKED);
    return 0;
}

LRESULT Static::OnLButtonDblClk(WPARAM, LPARAM) {
    if ((GetStyle() & SS_NOTIFY) != 0) NotifyParent(*this, STN_DBLCLK);
    return 0;
}

LRESULT Static::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_STATIC;
}

LRESULT Static::OnRedrawAfterDefault(WPARAM, LPARAM) {
    const LRESULT result = Default();
    Invalidate(true);
    return result;
}

}  // namespace ui
