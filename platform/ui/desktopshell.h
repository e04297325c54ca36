// The real desktop behind the shell interface: message boxes drawn by the framework, pages
// through xdg-open, programs started detached. The help viewer is looked up on the first call
// (xchm on PATH, else xdg-open); once none was found, help is never looked up again.
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
    std::optional<std::string> helpViewer_;
    bool helpFailed_ = false;
};

}  // namespace ui
