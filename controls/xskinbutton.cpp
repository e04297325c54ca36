#include "controls/xskinbutton.h"

#include <algorithm>
#include <unordered_set>

#include "platform/gdi/blit.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/draw.h"

using namespace ui;

// clang-format off
const MessageMap CXSkinButton::messageMap{&Button::messageMap, {
    OnMessage<&CXSkinButton::OnEraseBkgnd>(WM_ERASEBKGND),
    OnMessage<&Button::OnReflectedDrawItem>(OCM_DRAWITEM),
    OnMessage<&CXSkinButton::OnLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&CXSkinButton::OnLButtonUp>(WM_LBUTTONUP),
    OnMessage<&CXSkinButton::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
    OnMessage<&CXSkinButton::OnMouseMove>(WM_MOUSEMOVE),
    OnMessage<&CXSkinButton::OnMouseLeave>(WM_MOUSELEAVE),
    OnMessage<&CXSkinButton::OnKillFocus>(WM_KILLFOCUS),
    OnMessage<&CXSkinButton::OnKeyDown>(WM_KEYDOWN),
    OnMessage<&CXSkinButton::OnGetCheck>(BM_GETCHECK),
    OnMessage<&CXSkinButton::OnSetCheck>(BM_SETCHECK),
    OnMessage<&CXSkinButton::OnUncheckGroup>(UncheckGroupMessage),
}};
// clang-format on

CXSkinButton::~CXSkinButton() = default;

void CXSkinButton::PreSubclassWindow() {
    // Only the automatic types check themselves; any other type, an owner-drawn one included,
    // is the push button it shows.
    const Style type = GetStyle() & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) {
        kind = ButtonKind::Check;
    } else if (type == BS_AUTORADIOBUTTON) {
        kind = ButtonKind::Radio;
    } else {
        kind = ButtonKind::Push;
    }
    Button::PreSubclassWindow();
    // Push, automatic check-box and automatic radio types all become the owner-drawn type.
    ModifyStyle(0, BS_OWNERDRAW);
}

gdi::Bitmap CXSkinButton::Load(int id) const {
    if (id == 0 || App() == nullptr || App()->Resources() == nullptr) return {};
    return gdi::LoadBitmap(*App()->Resources(), id);
}

void CXSkinButton::ApplySkin(int normalId, int downId, int overId, int disabledId, int focusId,
                             int maskId, std::int16_t mode, std::int16_t edge,
                             std::int16_t margin) {
    normal = Load(normalId);
    down = Load(downId);
    over = Load(overId);
    focus = Load(focusId);
    disabled = Load(disabledId != 0 ? disabledId : normalId);
    mask = {};

    if (mode < 0) {
        drawMode = Copy;
    } else if (mode >= 2) {
        drawMode = Tile;
    } else {
        drawMode = static_cast<DrawMode>(mode);
    }
    border = edge != 0;
    focusMargin = std::max<std::int16_t>(margin, 0);

    if (maskId != 0) {
        mask = Load(maskId);
        if (mask && IsWindow()) {
            if (std::optional<gdi::Region> outline = MaskRegion(mask, gdi::RGB(255, 255, 255)))
                SetWindowRgn(std::move(outline), true);
            if (drawMode == Copy) {
                SetWindowPos(nullptr, 0, 0, mask.Width(), mask.Height(),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
    if (IsWindow()) Invalidate();
}

void CXSkinButton::SetTip(std::u16string_view text) {
    if (!IsWindow()) return;
    if (!tooltip.IsWindow()) {
        if (!tooltip.Create(*this)) return;  // the next SetTip tries again
        if (tooltip.AddTool(*this, text)) tooltip.Activate(true);
        return;
    }
    tooltip.UpdateTipText(text, *this);
}

void CXSkinButton::ForwardToTip(UINT message, UINT keys, POINT point) {
    if (!tooltip.IsWindow()) return;
    tooltip.RelayEvent(MSG{GetSafeHwnd(), message, keys, PointToLParam(point), 0, point});
}

bool CXSkinButton::PointerOnThis() const {
    POINT cursor;
    if (!GetCursorPos(cursor)) return false;
    return WindowFromPoint(cursor) == GetSafeHwnd();
}

// Drawing.

void CXSkinButton::FillFace(DRAWITEMSTRUCT& dis) {
    gdi::FillRect(*dis.hDC, dis.rcItem, gdi::GetSysColorBrush(gdi::COLOR_BTNFACE));
}

void CXSkinButton::PaintSkin(DRAWITEMSTRUCT& dis, const gdi::Bitmap& skin) {
    gdi::DC& target = *dis.hDC;
    const RECT& r = dis.rcItem;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int bw = skin.Width();
    const int bh = skin.Height();
    gdi::DC memory = gdi::CreateCompatibleDC(&target);
    if (!memory) return;
    memory.SelectObject(skin);

    if (drawMode == Tile) {
        for (int y = r.top; y < h; y += bh) {
            const int th = std::min(bh, h - y);
            for (int x = r.left; x < w; x += bw) {
                const int tw = std::min(bw, w - x);
                gdi::BitBlt(target, x, y, tw, th, &memory, 0, 0, gdi::SRCCOPY);
            }
        }
        return;
    }

    // Copy or stretch one bitmap onto a DC at the face's place.
    auto put = [&](gdi::DC& to, int x, int y, gdi::DC& from, int fw, int fh, gdi::DWORD rop) {
        if (drawMode == Copy) {
            gdi::BitBlt(to, x, y, std::min(w, fw), std::min(h, fh), &from, 0, 0, rop);
        } else {
            gdi::StretchBlt(to, x, y, w, h, &from, 0, 0, fw, fh, rop);
        }
    };

    if (!mask) {
        put(target, r.left, r.top, memory, bw, bh, gdi::SRCCOPY);
        if (drawMode == Copy) {
            // Only the bitmap's own pixels are copied; what it does not cover is face colour
            // rather than whatever was there before.
            const gdi::Brush face = gdi::GetSysColorBrush(gdi::COLOR_BTNFACE);
            if (bw < w) gdi::FillRect(target, RECT{r.left + bw, r.top, r.right, r.bottom}, face);
            if (bh < h)
                gdi::FillRect(target, RECT{r.left, r.top + bh, r.left + std::min(bw, w), r.bottom},
                              face);
        }
        return;
    }

    // Black mask pixels show the skin, white ones leave what lies behind the button.
    gdi::DC compose = gdi::CreateCompatibleDC(&target);
    gdi::Bitmap canvas = gdi::CreateCompatibleBitmap(&target, w, h);
    gdi::DC maskDC = gdi::CreateCompatibleDC(&target);
    if (!compose || !canvas || !maskDC) return;
    compose.SelectObject(canvas);
    maskDC.SelectObject(mask);
    gdi::BitBlt(compose, 0, 0, w, h, &target, r.left, r.top, gdi::SRCCOPY);
    put(compose, 0, 0, memory, bw, bh, gdi::SRCINVERT);
    put(compose, 0, 0, maskDC, mask.Width(), mask.Height(), gdi::SRCAND);
    put(compose, 0, 0, memory, bw, bh, gdi::SRCINVERT);
    gdi::BitBlt(target, r.left, r.top, w, h, &compose, 0, 0, gdi::SRCCOPY);
}

void CXSkinButton::DrawItem(DRAWITEMSTRUCT& dis) {
    if (dis.hDC == nullptr) return;
    // The pushed look follows the pointer while a press is in hand: a draw that finds it out of
    // step sets it right, which asks for another draw.
    if (buttonDown && GetCapture() == GetSafeHwnd()) {
        POINT cursor;
        if (GetCursorPos(cursor)) {
            const bool on = WindowFromPoint(cursor) == GetSafeHwnd();
            const bool pushed = (GetState() & BST_PUSHED) != 0;
            if (on != pushed) {
                SetState(on);
                return;
            }
        }
    }

    gdi::DC& dc = *dis.hDC;
    dc.SetBkMode(gdi::TRANSPARENT);
    RECT r = dis.rcItem;

    if ((dis.itemState & ODS_DISABLED) != 0) {
        if (disabled) {
            PaintSkin(dis, disabled);
        } else {
            FillFace(dis);
        }
        if (border) gdi::DrawEdge(dc, r, gdi::EDGE_RAISED, gdi::BF_RECT);
        return;
    }

    if ((dis.itemState & ODS_SELECTED) != 0 || checkState || latched) {
        if (down) {
            PaintSkin(dis, down);
        } else {
            FillFace(dis);
        }
        if (border) gdi::DrawEdge(dc, r, gdi::EDGE_SUNKEN, gdi::BF_RECT);
    } else {
        if (!normal) {
            FillFace(dis);
        } else if (tracking && over) {
            PaintSkin(dis, over);
        } else if ((dis.itemState & ODS_FOCUS) != 0 && focus) {
            PaintSkin(dis, focus);
        } else {
            PaintSkin(dis, normal);
        }
        if (border) gdi::DrawEdge(dc, r, gdi::EDGE_RAISED, gdi::BF_RECT);
    }

    if ((dis.itemState & ODS_FOCUS) != 0 && focusMargin > 0) {
        RECT f = dis.rcItem;
        gdi::InflateRect(f, -focusMargin, -focusMargin);
        gdi::DrawFocusRect(dc, f);
    }
}

// Messages.

bool CXSkinButton::OnEraseBkgnd() {
    return true;  // the bitmap covers the face
}

LRESULT CXSkinButton::OnLButtonDown(UINT keys, POINT point) {
    ForwardToTip(WM_LBUTTONDOWN, keys, point);
    if (tracking) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_CANCEL | TME_LEAVE;
        tme.hwndTrack = GetSafeHwnd();
        tme.dwHoverTime = 0;
        if (_TrackMouseEvent(&tme)) tracking = false;
    }
    const LRESULT result = Default();
    buttonDown = true;
    return result;
}

LRESULT CXSkinButton::OnLButtonUp(UINT keys, POINT point) {
    // Only a press that began here changes the check state, and only when released over it.
    if (kind != ButtonKind::Push && buttonDown) {
        POINT p = point;
        ClientToScreen(p);
        if (WindowFromPoint(p) == GetSafeHwnd()) {
            SendMessage(BM_SETCHECK,
                        kind == ButtonKind::Check && checkState ? BST_UNCHECKED : BST_CHECKED);
        }
    }
    ForwardToTip(WM_LBUTTONUP, keys, point);
    buttonDown = false;
    return Default();
}

LRESULT CXSkinButton::OnLButtonDblClk(UINT keys, POINT point) {
    // A quick second click is a press like the first.
    return SendMessage(WM_LBUTTONDOWN, keys, PointToLParam(point));
}

LRESULT CXSkinButton::OnMouseMove(UINT keys, POINT point) {
    ForwardToTip(WM_MOUSEMOVE, keys, point);
    if (buttonDown && GetCapture() == GetSafeHwnd()) {
        POINT p = point;
        ClientToScreen(p);
        const bool on = WindowFromPoint(p) == GetSafeHwnd();
        if (on != ((GetState() & BST_PUSHED) != 0)) {
            SetState(on);
            Invalidate();
        }
    } else if (!tracking) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = GetSafeHwnd();
        tme.dwHoverTime = 0;
        if (_TrackMouseEvent(&tme)) {
            tracking = true;
            Invalidate();
        }
    }
    return Default();
}

void CXSkinButton::OnMouseLeave() {
    tracking = false;
    Invalidate();
}

LRESULT CXSkinButton::OnKillFocus() {
    if (GetCapture() == GetSafeHwnd()) {
        ReleaseCapture();
        buttonDown = false;
    }
    return Default();
}

LRESULT CXSkinButton::OnKeyDown(WPARAM key) {
    if (kind != ButtonKind::Push && key == VK_SPACE) {
        SendMessage(BM_SETCHECK,
                    kind == ButtonKind::Check && checkState ? BST_UNCHECKED : BST_CHECKED);
    }
    return Default();
}

void CXSkinButton::SetLatched(bool on) {
    if (latched == on) return;
    latched = on;
    if (IsWindow()) Invalidate();
}

void CXSkinButton::SetFocusMargin(std::int16_t margin) {
    focusMargin = std::max<std::int16_t>(margin, 0);
    if (IsWindow()) Invalidate();
}

UINT CXSkinButton::OnGetCheck() {
    return checkState ? BST_CHECKED : BST_UNCHECKED;
}

void CXSkinButton::OnSetCheck(WPARAM check) {
    checkState = kind != ButtonKind::Push && check != 0;
    if (kind == ButtonKind::Radio && checkState) UncheckRestOfGroup();
    Invalidate();
}

void CXSkinButton::UncheckRestOfGroup() {
    const HWND self = GetSafeHwnd();
    const HWND parent = GetParent();
    if (!self || !parent) return;
    // The walk ends back at this button, or at any window it met before: a hidden or disabled
    // button may never lead back here.
    std::unordered_set<std::uint32_t> seen{self.id};
    for (HWND h = ui::GetNextDlgGroupItem(parent, self, false); h && seen.insert(h.id).second;
         h = ui::GetNextDlgGroupItem(parent, h, false)) {
        ui::PostMessage(h, UncheckGroupMessage, 0, 0);
    }
}

void CXSkinButton::OnUncheckGroup() {
    if (checkState) {
        checkState = false;
        Invalidate();
    }
}

std::optional<gdi::Region> MaskRegion(const gdi::Bitmap& mask, gdi::COLORREF transparent) {
    if (!mask) return std::nullopt;
    const int width = mask.Width();
    const int height = mask.Height();
    std::vector<RECT> runs;
    runs.reserve(40);
    for (int y = height - 1; y >= 0; --y) {
        int x = 0;
        while (x < width) {
            while (x < width && (mask.GetPixel(x, y) & 0xFFFFFF) == transparent)
                ++x;
            const int first = x;
            while (x < width && (mask.GetPixel(x, y) & 0xFFFFFF) != transparent)
                ++x;
            if (x > first) runs.push_back(RECT{first, y, x, y + 1});
        }
    }
    gdi::Region outline;
    for (const RECT& r : runs) {
        gdi::CombineRgn(outline, outline, gdi::CreateRectRgnIndirect(r), gdi::RGN_OR);
    }
    return outline;
}
