#include "app/aboutdlg.h"

#include "controls/skinregion.h"
#include "platform/ui/dataexchange.h"
#include "res/bitmaptable.h"
#include "res/controlids.h"
#include "res/dialogs.h"

using namespace ui;

CAboutDlg::CAboutDlg(Application& app, Window* parent)
    : CSkinnedDialog(app, res::AboutDialogId, res::AboutSkinBitmap, SkinToleranceAbout, parent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(DataExchange& dx) {
    CSkinnedDialog::DoDataExchange(dx);
    DDX_Control(dx, ids::CloseButton, cancelButton_);
    DDX_Control(dx, ids::AboutNoticeSecondLabel, noticeLine2_);
    DDX_Control(dx, ids::AboutNoticeLabel, noticeLine1_);
    DDX_Control(dx, ids::AboutVersionLabel, versionLabel_);
    DDX_Control(dx, ids::AboutTitleLabel, productLabel_);
}

bool CAboutDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    const res::ButtonSkin& skin = res::AboutCancelSkin;
    cancelButton_.ApplySkin(skin.normal, skin.down, skin.over, skin.normal, 0, 0,
                            CXSkinButton::Copy, 0, 0);
    productLabel_.SetTextColour(ProductColour).SetBold(true).SetTextHeight(22);
    for (CLabel* line : {&versionLabel_, &noticeLine1_, &noticeLine2_}) {
        line->SetTextColour(LineColour).SetBold(true).SetTextHeight(14);
    }
    return true;
}
