#include "app/skinneddialog.h"

#include "controls/skinregion.h"
#include "platform/gdi/bmp.h"

using namespace ui;

// clang-format off
const MessageMap CSkinnedDialog::messageMap{&Dialog::messageMap, {
    OnMessage<&CSkinnedDialog::OnEraseBackground>(WM_ERASEBKGND),
    OnMessage<&CSkinnedDialog::OnHitTest>(WM_NCHITTEST),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLORMSGBOX),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLOREDIT),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLORLISTBOX),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLORBTN),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLORDLG),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLORSCROLLBAR),
    OnMessage<&CSkinnedDialog::OnColourRequest>(WM_CTLCOLORSTATIC),
}};
// clang-format on

CSkinnedDialog::CSkinnedDialog(Application& app, int templateId, int skinId,
                               gdi::COLORREF tolerance, Window* parent)
    : Dialog(app, templateId, parent) {
    if (const shell::ResourceBundle* bundle = app.Resources()) {
        skin_ = gdi::LoadBitmap(*bundle, skinId);
    }
    if (skin_) region_ = RegionFromBitmap(skin_, gdi::RGB(0, 0, 0), false, tolerance);
}

CSkinnedDialog::~CSkinnedDialog() = default;

bool CSkinnedDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    if (region_) {
        SetWindowRgn(std::move(*region_), true);
        region_.reset();
    }
    return true;
}

bool CSkinnedDialog::OnEraseBackground(gdi::DC& dc) {
    if (PaintSkinBackground(dc, skin_)) {
        PaintOverSkin(dc);
        return true;
    }
    return Default() != 0;
}

LRESULT CSkinnedDialog::OnHitTest() {
    return HTCAPTION;  // the window's own surface drags it
}

LRESULT CSkinnedDialog::OnColourRequest(gdi::DC& dc, HWND control) {
    return OnControlColour(dc, control);
}

LRESULT CSkinnedDialog::OnControlColour(gdi::DC& dc, HWND) {
    const LRESULT standard = Default();  // labels apply their own fonts and colours
    if (CurrentMessage() != nullptr && CurrentMessage()->message == WM_CTLCOLORSTATIC) {
        dc.SetBkMode(gdi::TRANSPARENT);
        return BrushResult(StockBrush(gdi::NULL_BRUSH));
    }
    return standard;
}
