// The real desktop behind the shell interface: message boxes drawn by the framework, pages
// through xdg-open, programs started detached. Help goes to a CHM viewer (xchm) when one is
// installed, else the desktop's opener shows the file's pages as HTML: those of "Help.chm" lie
// in the folder "Help" beside it, "Help/index.html" first. Each call looks the programs up
// afresh, so one installed in the meantime is found.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/shell.h"
#include "platform/ui/types.h"

namespace ui {

class DesktopShell : public shell::Shell {
public:
    // How programs are found and started: on PATH and detached, unless a test says otherwise.
    struct Programs {
        std::function<std::optional<std::filesystem::path>(std::string_view)> find;
        std::function<bool(const std::vector<std::string>&)> start;
    };

    explicit DesktopShell(Application& app);
    DesktopShell(Application& app, Programs programs) : app_(app), programs_(std::move(programs)) {}

    int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                   UINT type) override;
    bool OpenPage(std::u16string_view address) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;
    bool ShowHelp(HWND owner, const std::string& file) override;

private:
    Application& app_;
    Programs programs_;
};

}  // namespace ui
