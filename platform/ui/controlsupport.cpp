#include "platform/ui/controlsupport.h"

#include <algorithm>

#include "platform/gdi/text.h"
#include "platform/ui/theme.h"

namespace ui {

LRESULT NotifyParent(const Window& control, UINT code) {
    const HWND parent = control.GetParent();
    if (!parent) return 0;
    return ui::SendMessage(parent, WM_COMMAND,
                           MAKEWPARAM(static_cast<unsigned>(control.GetDlgCtrlID()) & 0xFFFF, code),
                           HandleToParam(control.GetSafeHwnd()));
}

gdi::Brush RequestColoursFrom(HWND to, HWND control, gdi::DC& dc, UINT ctlColorMessage,
                              int fallback) {
    const Theme& theme = Theme::Standard();
    const bool window = ctlColorMessage == WM_CTLCOLOREDIT || ctlColorMessage == WM_CTLCOLORLISTBOX;
    dc.SetTextColor(theme.Colour(gdi::COLOR_WINDOWTEXT));
    dc.SetBkColor(theme.Colour(window ? gdi::COLOR_WINDOW : gdi::COLOR_BTNFACE));
    if (!to) return theme.Brush(fallback);
    const LRESULT answer =
        ui::SendMessage(to, ctlColorMessage, DCToWParam(&dc), HandleToParam(control));
    const gdi::Brush* brush = BrushFromResult(answer);
    if (brush == nullptr || !*brush) return theme.Brush(fallback);
    return *brush;
}

gdi::Brush RequestColours(Window& control, gdi::DC& dc, UINT ctlColorMessage, int fallback) {
    return RequestColoursFrom(control.GetParent(), control.GetSafeHwnd(), dc, ctlColorMessage,
                              fallback);
}

void SelectControlFont(Window& control, gdi::DC& dc) {
    const gdi::Font font = control.GetFont();
    if (font) dc.SelectObject(font);
}

void RepaintControl(Window& control, bool seeThrough) {
    if (!control.IsWindow()) return;
    Window* parent = control.GetParentWindow();
    if (seeThrough && parent != nullptr && (control.GetStyle() & WS_CHILD) != 0) {
        RECT r;
        control.GetWindowRect(r);
        parent->ScreenToClient(r);
        parent->RedrawWindow(&r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
    }
    control.Invalidate(true);
}

int TextWidth(const gdi::DC& dc, std::u16string_view text) {
    SIZE size;
    if (text.empty() || !gdi::GetTextExtentPoint32(dc, text, size)) return 0;
    return size.cx;
}

int LineHeight(const gdi::DC& dc) {
    gdi::TEXTMETRIC tm;
    if (!gdi::GetTextMetrics(dc, tm)) return 16;
    return tm.tmHeight + tm.tmExternalLeading;
}

}  // namespace ui

namespace ui {

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
    }
    return true;
}

bool EqualFolded(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithFolded(a, b);
}

bool LessFolded(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = FoldCase(a[i]);
        const char16_t y = FoldCase(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

RECT BeginControlPaint(Window& control, gdi::DC& dc) {
    SelectControlFont(control, dc);
    RECT client;
    control.GetClientRect(client);
    return client;
}

void DrawItemByParent(Window& control, UINT ctlType, UINT itemId, UINT itemState, gdi::DC& dc,
                      const RECT& rect, std::uintptr_t itemData) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ctlType;
    dis.CtlID = static_cast<UINT>(control.GetDlgCtrlID());
    dis.itemID = itemId;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = itemState;
    dis.hwndItem = control.GetSafeHwnd();
    dis.hDC = &dc;
    dis.rcItem = rect;
    dis.itemData = itemData;
    if (const HWND parent = control.GetParent()) {
        gdi::SavedDC saved(dc);
        SendMessage(parent, WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID),
                    reinterpret_cast<LPARAM>(&dis));
    }
}

}  // namespace ui
