#include "platform/ui/desktopshell.h"

#include "platform/shell/codepage.h"
#include "platform/shell/launch.h"
#include "platform/ui/messagebox.h"

namespace ui {

DesktopShell::DesktopShell(Application& app)
    : app_(app),
      programs_{[](std::string_view name) { return shell::FindOnPath(name); },
                [](const std::vector<std::string>& argv) { return shell::StartProgram(argv); }} {}

int DesktopShell::MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                             UINT type) {
    return ui::MessageBox(app_, owner, text, caption, type);
}

bool DesktopShell::OpenPage(std::u16string_view address) {
    if (address.empty()) return false;
    return programs_.start({"xdg-open", shell::Utf16ToUtf8(address)});
}

bool DesktopShell::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    return programs_.start(argv);
}

bool DesktopShell::ShowHelp(HWND, const std::string& file) {
    if (helpFailed_) return false;
    if (!helpViewer_) {
        for (const char* viewer : {"xchm", "xdg-open"}) {
            if (const auto path = programs_.find(viewer)) {
                helpViewer_ = path->string();
                break;
            }
        }
        if (!helpViewer_) {
            helpFailed_ = true;
            return false;
        }
    }
    return programs_.start({*helpViewer_, file});
}

}  // namespace ui
