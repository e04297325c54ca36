// The web links along the skin's bottom edge, the about box, help and the update hand-off.
#include "app/aboutdlg.h"
#include "app/controlids.h"
#include "app/skindlg.h"
#include "catalogue/updatehandoff.h"
#include "platform/shell/codepage.h"

using namespace ui;

namespace {

// The page each link opens on the maker's site.
std::string_view LinkPath(int id) {
    switch (id) {
        case ids::SupportButton:
            return "/Tolkara_German/technicalsupport.jsp";
        case ids::ReportButton:
            return "/Tolkara_German/reportabug.jsp";
        case ids::UpdateButton:
            return "/Tolkara_German/checkforupdate.jsp";
        default:
            return {};
    }
}

}  // namespace

void CSkinDlg::OnLink(int id) {
    const std::string_view path = LinkPath(id);
    if (path.empty()) return;
    const std::string address = std::string(catalogue::MakerSite) + std::string(path);
    GetApplication().GetShell().OpenPage(shell::Utf8ToUtf16(address));
}

void CSkinDlg::OnAbout() {
    CAboutDlg about(GetApplication());
    about.DoModal();
}

void CSkinDlg::ShowHelp() {
    GetApplication().GetShell().ShowHelp(GetSafeHwnd(), "Help.chm");
}

void CSkinDlg::LaunchUpdater() {
    catalogue::LaunchUpdater(GetApplication().GetShell());
}
