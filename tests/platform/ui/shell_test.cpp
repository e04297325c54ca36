#include "platform/ui/desktopshell.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/platform/ui/uitest.h"

namespace {

using namespace uitest;

// Programs looked up in a table of our own, and started into a list.
struct FakeDesktop {
    std::map<std::string, std::filesystem::path> installed;
    std::vector<std::string> lookups;
    std::vector<std::vector<std::string>> started;

    DesktopShell::Programs Programs() {
        return {[this](std::string_view name) -> std::optional<std::filesystem::path> {
                    lookups.emplace_back(name);
                    auto found = installed.find(std::string(name));
                    if (found == installed.end()) return std::nullopt;
                    return found->second;
                },
                [this](const std::vector<std::string>& argv) {
                    started.push_back(argv);
                    return true;
                }};
    }
};

TEST(DesktopShellHelp, PressedTwiceLooksTheViewerUpOnceAndAMissingViewerEndsHelpForGood) {
    Fixture f;
    {
        FakeDesktop desktop;
        desktop.installed = {{"xchm", "/usr/bin/xchm"}, {"xdg-open", "/usr/bin/xdg-open"}};
        DesktopShell shell(f.app, desktop.Programs());
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_EQ(desktop.lookups, std::vector<std::string>{"xchm"});
        const std::vector<std::string> call{"/usr/bin/xchm", "Help.chm"};
        EXPECT_EQ(desktop.started, (std::vector<std::vector<std::string>>{call, call}));
    }
    {
        // Without xchm the desktop's opener takes the file.
        FakeDesktop desktop;
        desktop.installed = {{"xdg-open", "/usr/bin/xdg-open"}};
        DesktopShell shell(f.app, desktop.Programs());
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_EQ(desktop.lookups, (std::vector<std::string>{"xchm", "xdg-open"}));
        ASSERT_EQ(desktop.started.size(), 1u);
        EXPECT_EQ(desktop.started[0][0], "/usr/bin/xdg-open");
    }
    {
        // With neither, Help does nothing, now and after a viewer has been installed.
        FakeDesktop desktop;
        DesktopShell shell(f.app, desktop.Programs());
        EXPECT_FALSE(shell.ShowHelp(nullptr, "Help.chm"));
        desktop.installed = {{"xchm", "/usr/bin/xchm"}};
        EXPECT_FALSE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_EQ(desktop.lookups, (std::vector<std::string>{"xchm", "xdg-open"}));
        EXPECT_TRUE(desktop.started.empty());
        // Pages and programs still open.
        EXPECT_TRUE(shell.OpenPage(u"https://example.org/a b"));
        EXPECT_TRUE(shell.StartProgram("/opt/AutoUpdate.exe", {"/tmp/CUADx y"}));
        EXPECT_EQ(desktop.started,
                  (std::vector<std::vector<std::string>>{{"xdg-open", "https://example.org/a b"},
                                                         {"/opt/AutoUpdate.exe", "/tmp/CUADx y"}}));
    }
}

}  // namespace
