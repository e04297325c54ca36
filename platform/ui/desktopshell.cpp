#include "platform/ui/desktopshell.h"

#include <filesystem>
#include <system_error>

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
    if (file.empty()) return false;
    if (const auto viewer = programs_.find("xchm"))
        return programs_.start({viewer->string(), file});
    const auto opener = programs_.find("xdg-open");
    if (!opener) return false;
    // The opener is handed a full path: a relative one would be read against whatever folder
    // the desktop's program runs in.
    std::error_code error;
    std::filesystem::path pages = std::filesystem::path(file).replace_extension() / "index.html";
    if (!std::filesystem::is_regular_file(pages, error)) pages = file;
    const std::filesystem::path full = std::filesystem::absolute(pages, error);
    return programs_.start({opener->string(), (error ? pages : full).string()});
}

}  // namespace ui
