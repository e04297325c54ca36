#include "platform/ui/desktopshell.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/platform/ui/uitest.h"
#include "tests/support/tempdir.h"

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

// Help goes to the CHM viewer, else to the desktop's opener with the help pages beside the file
// (or the file itself when they are missing), always by its full path; with neither program
// it fails, and every press looks again, so a viewer installed in between is used.
TEST(DesktopShellHelp, TheViewerElseTheOpenerWithThePagesAndEveryPressLooksAgain) {
    Fixture f;
    testing_support::TempDir folder;
    const std::string chm = (folder / "Help.chm").string();
    {
        FakeDesktop desktop;
        desktop.installed = {{"xchm", "/usr/bin/xchm"}, {"xdg-open", "/usr/bin/xdg-open"}};
        DesktopShell shell(f.app, desktop.Programs());
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        const std::vector<std::string> call{"/usr/bin/xchm", "Help.chm"};
        EXPECT_EQ(desktop.started, (std::vector<std::vector<std::string>>{call, call}));
    }
    {
        // Without xchm the opener takes the pages when they are there, the file when not.
        FakeDesktop desktop;
        desktop.installed = {{"xdg-open", "/usr/bin/xdg-open"}};
        DesktopShell shell(f.app, desktop.Programs());
        EXPECT_TRUE(shell.ShowHelp(nullptr, chm));
        std::filesystem::create_directories(folder / "Help");
        testing_support::WriteBytes(folder / "Help/index.html", {'<'});
        EXPECT_TRUE(shell.ShowHelp(nullptr, chm));
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_EQ(
            desktop.started,
            (std::vector<std::vector<std::string>>{
                {"/usr/bin/xdg-open", chm},
                {"/usr/bin/xdg-open", (folder / "Help/index.html").string()},
                {"/usr/bin/xdg-open", (std::filesystem::current_path() / "Help.chm").string()}}));
    }
    {
        // With neither, help fails; the next press after an installation shows it.
        FakeDesktop desktop;
        DesktopShell shell(f.app, desktop.Programs());
        EXPECT_FALSE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_FALSE(shell.ShowHelp(nullptr, "Help.chm"));
        EXPECT_EQ(desktop.lookups,
                  (std::vector<std::string>{"xchm", "xdg-open", "xchm", "xdg-open"}));
        desktop.installed = {{"xchm", "/usr/bin/xchm"}};
        EXPECT_TRUE(shell.ShowHelp(nullptr, "Help.chm"));
        // Pages and programs open by their own lookup.
        EXPECT_TRUE(shell.OpenPage(u"https://example.org/a b"));
        EXPECT_TRUE(shell.StartProgram("/opt/AutoUpdate.exe", {"/tmp/CUADx y"}));
        EXPECT_EQ(desktop.started,
                  (std::vector<std::vector<std::string>>{{"/usr/bin/xchm", "Help.chm"},
                                                         {"xdg-open", "https://example.org/a b"},
                                                         {"/opt/AutoUpdate.exe", "/tmp/CUADx y"}}));
    }
}

}  // namespace
