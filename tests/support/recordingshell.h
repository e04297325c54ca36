// A shell that shows nothing and starts nothing: it writes down every call, so a test can see
// which message a handler showed or which page and program it asked for.
#pragma once

#include <string>
#include <vector>

#include "platform/shell/shell.h"
#include "platform/ui/types.h"

namespace testing_support {

class RecordingShell : public shell::Shell {
public:
    struct Message {
        std::u16string text;
        std::u16string caption;
    };
    struct Started {
        std::string program;
        std::vector<std::string> args;
    };

    int MessageBox(ui::HWND, std::u16string_view text, std::u16string_view caption,
                   ui::UINT) override {
        messages.push_back({std::u16string(text), std::u16string(caption)});
        return 1;  // IDOK
    }
    bool OpenPage(std::u16string_view address) override {
        pages.emplace_back(address);
        return openSucceeds;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        started.push_back({program, args});
        return startSucceeds;
    }
    bool ShowHelp(ui::HWND, const std::string& file) override {
        helpFiles.push_back(file);
        return helpSucceeds;
    }

    std::vector<Message> messages;
    std::vector<std::u16string> pages;
    std::vector<Started> started;
    std::vector<std::string> helpFiles;
    bool openSucceeds = true;
    bool startSucceeds = true;
    bool helpSucceeds = true;
};

}  // namespace testing_support
