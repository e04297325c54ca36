// What the program asks of the desktop around it: a message box, a page in the user's browser,
// another program started, a help file shown. The application owns one (a DesktopShell unless
// told otherwise), so every such call of the program goes through one place, and tests hand
// the application a recording one instead.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/types.h"

namespace ui {

class Application;

class Shell {
public:
    virtual ~Shell() = default;

    // A modal message box with one OK button; an empty caption gives the program's name.
    // Answers IDOK, or 0 when no box could be shown.
    virtual int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                           UINT type) = 0;
    // Opens a web address (or a document) in the user's preferred program; false when nothing
    // could be started. Never waits for it.
    virtual bool OpenPage(std::u16string_view address) = 0;
    // Starts a program (a path, or a name on PATH) with these arguments, without a shell and
    // without waiting for it; false when it could not be started.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    // Shows a compiled help file in the help viewer; false when nothing could show it.
    virtual bool ShowHelp(HWND owner, const std::string& file) = 0;
};

// The real desktop: message boxes drawn by the framework, pages through xdg-open, programs
// started detached. Help goes to a CHM viewer (xchm) when one is installed, else the desktop's
// opener shows the file's pages as HTML: those of "Help.chm" lie in the folder "Help" beside
// it, "Help/index.html" first. Each call looks the programs up afresh, so one installed in
// the meantime is found.
class DesktopShell : public Shell {
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
