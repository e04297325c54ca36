// Ctrl+E in the window, and the favourites view's Export button: the favourites as "Tolkara German
// favourites.apkg" and ".pdf" in the documents folder that xdg-user-dir names, and a message naming
// both; with no favourites a message and no file.
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "mainwindow_fixture.h"
#include "platform/shell/codepage.h"
#include "tests/support/process.h"
#include "tests/support/tempdir.h"

namespace apptest {
namespace {

// An environment variable set for the test's length, restored afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

using ExportFavouritesUse = MainWindowUse;

TEST_F(ExportFavouritesUse, CtrlEAndExportWriteTheDeckAndTheSheetIntoTheDocumentsFolder) {
    if (!testing_support::OnPath("xdg-user-dir")) GTEST_SKIP() << "xdg-user-dirs is not installed";
    testing_support::TempDir home;
    const std::filesystem::path documents = home / "Dokumente";
    std::filesystem::create_directories(documents);
    std::filesystem::create_directories(home / ".config");
    std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    ScopedVariable homeVariable("HOME", home.path().string());
    ScopedVariable configVariable("XDG_CONFIG_HOME", (home / ".config").string());
    const std::filesystem::path deck = documents / "Tolkara German favourites.apkg";
    const std::filesystem::path sheet = documents / "Tolkara German favourites.pdf";
    const std::vector<std::u16string> exported{u"The favourites are exported to:\n" +
                                               shell::Utf8ToUtf16(deck.string()) + u"\n" +
                                               shell::Utf8ToUtf16(sheet.string())};
    auto ctrlE = [this] {
        backend.KeyDown(VK_CONTROL);
        backend.Key('E');
        backend.KeyUp(VK_CONTROL);
    };
    Run({[&] { ctrlE(); },
         [&] {
             EXPECT_EQ(Messages(), std::vector<std::u16string>{u"No favourite phrase to export!"});
             EXPECT_TRUE(std::filesystem::is_empty(documents));
             Click(ids::AddButton);  // "Hello.", selected at start
             ClickRow(3);
             Click(ids::AddButton);
         },
         [&] {
             shell.messages.clear();
             ctrlE();
         },
         [&] {
             EXPECT_EQ(Messages(), exported);
             EXPECT_GT(std::filesystem::file_size(deck), 1000u);
             EXPECT_GT(std::filesystem::file_size(sheet), 1000u);
             EXPECT_EQ(std::distance(std::filesystem::directory_iterator(documents),
                                     std::filesystem::directory_iterator()),
                       2);
             // The Export button shows in the favourites view only, in the search-run
             // button's place, and does what Ctrl+E does.
             EXPECT_FALSE(Control<CXSkinButton>(ids::ExportButton).IsWindowVisible());
             Click(ids::FavouritesButton);
         },
         [&] {
             EXPECT_TRUE(Control<CXSkinButton>(ids::ExportButton).IsWindowVisible());
             EXPECT_FALSE(Control<CXSkinButton>(ids::RunSearchButton).IsWindowVisible());
             EXPECT_EQ(TipOf(ids::ExportButton), u"Export favourites (Ctrl+E)");
             std::filesystem::remove(deck);
             std::filesystem::remove(sheet);
             shell.messages.clear();
             Click(ids::ExportButton);
         },
         [&] {
             EXPECT_EQ(Messages(), exported);
             EXPECT_TRUE(std::filesystem::exists(deck));
             EXPECT_TRUE(std::filesystem::exists(sheet));
             Click(ids::SearchViewButton);
         },
         [&] { EXPECT_FALSE(Control<CXSkinButton>(ids::ExportButton).IsWindowVisible()); }});
}

}  // namespace
}  // namespace apptest
