#include "controls/aboutdlg.h"

#include "controls/skinregion.h"
#include "platform/gdi/bmp.h"
#include "platform/ui/dataexchange.h"

using namespace ui;

// clang-format off
const MessageMap CAboutDlg::messageMap{&Dialog::messageMap, {
    OnMessage<&CAboutDlg::OnEraseBkgnd>(WM_ERASEBKGND),
    OnMessage<&CAboutDlg::OnNcHitTest>(WM_NCHITTEST),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLORMSGBOX),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLOREDIT),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLORLISTBOX),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLORBTN),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLORDLG),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLORSCROLLBAR),
    OnMessage<&CAboutDlg::OnCtlColor>(WM_CTLCOLORSTATIC),
}};
// clang-format on

CAboutDlg::CAboutDlg(Application& app, Window* parent) : Dialog(app, TemplateId, parent) {
    if (const shell::ResourceBundle* bundle = app.Resources()) {
        skinBitmap = gdi::LoadBitmap(*bundle, SkinBitmapId);
    }
    if (skinBitmap) {
        windowRegion = RegionFromBitmap(skinBitmap, gdi::RGB(0, 0, 0), false, SkinToleranceAbout);
    }
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, cancelButton);
    DDX_Control(dx, NoticeLabel2, noticeLine2);
    DDX_Control(dx, NoticeLabel1, noticeLine1);
    DDX_Control(dx, VersionLabel, versionLabel);
    DDX_Control(dx, ProductLabel, productLabel);
}

bool CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (windowRegion) {
        SetWindowRgn(std::move(*windowRegion), true);
        windowRegion.reset();
    }
    cancelButton.ApplySkin(CancelNormal, CancelDown, CancelOver, CancelNormal, 0, 0,
                           CXSkinButton::Copy, 0, 0);
    productLabel.SetTextColour(ProductColour).SetBold(true).SetTextHeight(22);
    for (CLabel* line : {&versionLabel, &noticeLine1, &noticeLine2}) {
        line->SetTextColour(LineColour).SetBold(true).SetTextHeight(14);
    }
    return true;
}

LRESULT CAboutDlg::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    gdi::DC* dc = DCFromWParam(wParam);
    if (dc != nullptr && PaintSkinBackground(*dc, skinBitmap)) return 1;
    return Default();
}

LRESULT CAboutDlg::OnNcHitTest(WPARAM, LPARAM) {
    return HTCAPTION;  // a press anywhere on the box's own surface drags it
}

LRESULT CAboutDlg::OnCtlColor(WPARAM wParam, LPARAM) {
    const LRESULT standard = Default();  // the labels apply their fonts and colours
    if (CurrentMessage() != nullptr && CurrentMessage()->message == WM_CTLCOLORSTATIC) {
        if (gdi::DC* dc = DCFromWParam(wParam)) dc->SetBkMode(gdi::TRANSPARENT);
        return BrushResult(StockBrush(gdi::NULL_BRUSH));
    }
    return standard;
}
