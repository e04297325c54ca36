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

// A page or the help that nothing here can open is said, with what to install; the next press
// tries again, so an installation in between is found.
void CSkinDlg::OnLink(int id) {
    const std::string_view path = LinkPath(id);
    if (path.empty()) return;
    const std::u16string address =
        shell::Utf8ToUtf16(std::string(catalogue::MakerSite) + std::string(path));
    if (GetApplication().GetShell().OpenPage(address)) return;
    ShowMessage(u"This page cannot be opened: no program here opens web pages.\n" + address +
                    u"\nInstall a web browser and xdg-utils, then try again.",
                Title);
}

void CSkinDlg::OnAbout() {
    CAboutDlg about(GetApplication());
    about.DoModal();
}

void CSkinDlg::ShowHelp() {
    if (GetApplication().GetShell().ShowHelp(GetSafeHwnd(), "Help.chm")) return;
    ShowMessage(
        u"The help cannot be shown: no program here opens it.\n"
        u"Install xchm (or a web browser and xdg-utils), then press F1 again.",
        Title);
}

void CSkinDlg::LaunchUpdater() {
    catalogue::LaunchUpdater(GetApplication().GetShell());
}
