// What the program asks of the desktop around it: a message box, a page in the user's browser,
// another program started, a help file shown. The window framework's application owns one (its
// desktop shell unless told otherwise), so every such call of the program goes through one
// place, and tests hand the application a recording one instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {
// The window framework's window handle: the shell only passes it on to whoever shows a box.
struct HWND;
}  // namespace ui

namespace shell {

class Shell {
public:
    virtual ~Shell() = default;

    // A modal message box with one OK button (type: the framework's MB_* flags); an empty
    // caption gives the program's name. Answers IDOK, or 0 when no box could be shown.
    virtual int MessageBox(ui::HWND owner, std::u16string_view text, std::u16string_view caption,
                           std::uint32_t type) = 0;
    // Opens a web address (or a document) in the user's preferred program; false when nothing
    // could be started. Never waits for it.
    virtual bool OpenPage(std::u16string_view address) = 0;
    // Starts a program (a path, or a name on PATH) with these arguments, without a shell and
    // without waiting for it; false when it could not be started.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    // Shows a compiled help file in the help viewer; false when nothing could show it.
    virtual bool ShowHelp(ui::HWND owner, const std::string& file) = 0;
};

}  // namespace shell
