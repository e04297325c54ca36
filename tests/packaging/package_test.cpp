// The Debian package as a user meets it: built with CPack from this build, unpacked with
// dpkg-deb into a temporary root and started through its launcher on an Xvfb display of its
// own, with temporary home folders. Skips when the tools or the bundled phrasebook are missing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/png.h"
#include "res/controlids.h"
#include "res/dialogs.h"
#include "res/layout.h"
#include "tests/support/process.h"
#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"
#include "tolkara/version.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

const fs::path BuildDir = PHRASEBOOK_BUILD_DIR;
const std::vector<std::string> BundledFiles = {
    "English.txt", "Pro3.txt", "MapEngSpec.data", "data.idx", "data.dat", "Help.chm", "Ipa.txt"};

bool HaveTools() {
    for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps", "Xvfb", "xdotool", "xwininfo"})
        if (!OnPath(tool)) return false;
    return true;
}

// Runs a program to its end; its exit code (-1 when it did not end) and everything it wrote.
std::pair<int, std::string> RunToEnd(std::vector<std::string> args,
                                     const std::map<std::string, std::string>& env = {}) {
    Child child(std::move(args), env, {}, true);
    if (!child.Started()) return {-1, "could not start"};
    std::string output = child.ReadAll(120s);
    return {child.Wait(5s).value_or(-1), std::move(output)};
}

// The files (not folders) below root, as paths relative to it.
std::set<std::string> FilesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_directory() || entry.is_symlink())
            files.insert(fs::relative(entry.path(), root).string());
    }
    return files;
}

// The centre of a control of the main window on the screen.
std::pair<int, int> ControlCentre(const Geometry& window, int id) {
    for (const ui::DialogItemTemplate& item : res::detail::MainDialogItems) {
        if (item.id != id) continue;
        const res::PixelRect r = res::ItemPixels(item);
        return {window.x + (r.left + r.right) / 2, window.y + (r.top + r.bottom) / 2};
    }
    return {-1, -1};
}

// The visible windows of a process (the main window and any message box over it).
std::vector<std::string> WindowsOf(const std::string& display, pid_t pid) {
    std::istringstream ids(
        RunX(display, "xdotool search --onlyvisible --pid " + std::to_string(pid) + " --name ."));
    std::vector<std::string> windows;
    for (std::string id; ids >> id;)
        windows.push_back(id);
    return windows;
}

// Under the leak checker, SDL's D-Bus allocations that live until exit are not reported.
std::string LeakCheckOptions() {
    return "suppressions=" +
           (fs::path(PHRASEBOOK_SOURCE_DIR) / "tests/app/lsan-suppressions.txt").string();
}

// One start of the installed launcher with a home folder of its own, until its window shows.
class Session {
public:
    Session(const fs::path& launcher, const std::string& display, const fs::path& home,
            std::map<std::string, std::string> env = {})
        : display_(display),
          program_({launcher.string()}, WithDefaults(env, display, home), home, true) {
        if (!program_.Started()) return;
        PollFor([&] {
            const std::vector<std::string> windows = WindowsOf(display_, program_.Pid());
            if (windows.size() == 1) window_ = windows.front();
            return !window_.empty() || !program_.Running();
        });
        if (window_.empty()) return;
        PollFor([&] { return (geometry_ = WindowGeometry(display_, window_)).has_value(); });
    }

    static std::map<std::string, std::string> WithDefaults(std::map<std::string, std::string> env,
                                                           const std::string& display,
                                                           const fs::path& home) {
        env.insert({{"DISPLAY", display},
                    {"HOME", home.string()},
                    {"XDG_DATA_HOME", ""},
                    {"SDL_AUDIODRIVER", "dummy"},
                    {"LSAN_OPTIONS", LeakCheckOptions()}});
        return env;
    }

    bool Shown() const { return geometry_.has_value(); }
    std::string Output() { return program_.ReadAll(1s); }

    void Click(int control) {
        const auto [x, y] = ControlCentre(*geometry_, control);
        RunX(display_,
             "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    void Key(const std::string& key) {
        RunX(display_, "xdotool windowfocus --sync " + window_ + " key " + key);
    }
    // Repeats an input until `done` holds, at most three times: input that arrives while the
    // window is still disabled by a message box just closed is not taken.
    template <typename Input, typename F>
    bool Until(Input input, F done) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            input();
            if (PollFor(done, 5s)) return true;
        }
        return false;
    }
    bool MessageBoxShown() { return WindowsOf(display_, program_.Pid()).size() > 1; }
    // True when no message box has appeared over the window for a while.
    bool NoMessageBox() {
        return !PollFor([&] { return MessageBoxShown(); }, 1s);
    }
    // Waits for a message box over the window and closes it with Enter.
    bool CloseMessageBox() {
        if (!PollFor([&] { return WindowsOf(display_, program_.Pid()).size() == 2; })) return false;
        for (const std::string& id : WindowsOf(display_, program_.Pid())) {
            if (id != window_) RunX(display_, "xdotool windowfocus --sync " + id + " key Return");
        }
        return PollFor([&] { return WindowsOf(display_, program_.Pid()).size() == 1; });
    }
    // Escape on the main window; the program's exit code. A key that arrives while the
    // window is still disabled by a message box just closed is not taken, so a busy machine
    // may need the key again.
    std::optional<int> Close() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            RunX(display_, "xdotool windowfocus --sync " + window_ + " key Escape");
            if (const std::optional<int> code = program_.Wait(5s)) return code;
        }
        return program_.Wait();
    }

private:
    std::string display_;
    Child program_;
    std::string window_;
    std::optional<Geometry> geometry_;
};

std::uintmax_t SizeOr0(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

TEST(DebianPackage, InstallsWhatIsListedAndKeepsEachUsersFavouritesInTheirOwnFolder) {
    if (!HaveTools()) GTEST_SKIP() << "cpack, dpkg-dev, Xvfb, xdotool or x11-utils is missing";
    if (BundledRunFolder().empty())
        GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    TempDir temp;

    // Build the package from this build and unpack it.
    const auto [built, cpackOutput] =
        RunToEnd({"cpack", "--config", (BuildDir / "CPackConfig.cmake").string(), "-B",
                  (temp / "out").string()});
    ASSERT_EQ(built, 0) << cpackOutput;
    fs::path deb;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp / "out"))
        if (entry.path().extension() == ".deb") deb = entry.path();
    ASSERT_FALSE(deb.empty()) << cpackOutput;
    EXPECT_EQ(deb.filename().string().rfind("tolkara-german_" TOLKARA_VERSION "_", 0), 0u) << deb;
    const fs::path root = temp / "root";
    ASSERT_EQ(RunToEnd({"dpkg-deb", "-x", deb.string(), root.string()}).first, 0);

    // Exactly these files; dependencies computed from the program's shared libraries.
    std::set<std::string> expected = {
        "usr/bin/tolkara-german",
        "usr/lib/tolkara-german/tolkara-german",
        "usr/share/applications/example.tolkara.german.desktop",
        "usr/share/metainfo/example.tolkara.german.metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/example.tolkara.german.svg",
        "usr/share/man/man1/tolkara-german.1.gz",
        "usr/share/doc/tolkara-german/copyright",
        "usr/share/doc/tolkara-german/changelog.gz",
    };
    for (const std::string& file : BundledFiles)
        expected.insert("usr/share/tolkara-german/" + file);
    // Help.chm's pages as HTML beside it.
    const fs::path helpSources = fs::path(PHRASEBOOK_SOURCE_DIR) / "phrasebook/help";
    std::set<std::string> helpPages;
    for (const fs::directory_entry& entry : fs::directory_iterator(helpSources)) {
        const fs::path name = entry.path().filename();
        if (name.extension() == ".html" || name == "help.css") helpPages.insert(name.string());
    }
    EXPECT_TRUE(helpPages.count("index.html"));
    for (const std::string& page : helpPages)
        expected.insert("usr/share/tolkara-german/Help/" + page);
    for (int size : {16, 32, 48, 256}) {
        const std::string icon = "usr/share/icons/hicolor/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/example.tolkara.german.png";
        expected.insert(icon);
        const gdi::Bitmap png = gdi::LoadPng((root / icon).string());
        EXPECT_TRUE(png && png.Width() == size && png.Height() == size) << icon;
    }
    EXPECT_EQ(FilesBelow(root), expected);
    const auto [fielded, depends] = RunToEnd({"dpkg-deb", "-f", deb.string(), "Depends"});
    EXPECT_NE(depends.find("libsdl2-2.0-0"), std::string::npos) << depends;
    EXPECT_NE(depends.find("libc6"), std::string::npos) << depends;
    EXPECT_NE(depends.find("libatk-bridge2.0-0"), std::string::npos) << depends;
    EXPECT_NE(depends.find("libatk1.0-0"), std::string::npos) << depends;
    // The Arial-metric font the window's texts ask for; a viewer for the help file.
    EXPECT_NE(depends.find("fonts-liberation2 | fonts-liberation"), std::string::npos) << depends;
    // The exports' libraries and the phrase sheet's IPA font.
    for (const char* library : {"libsqlite3-0", "libzip4", "libcairo2", "fonts-dejavu-core"})
        EXPECT_NE(depends.find(library), std::string::npos) << depends;
    const auto [recommendsCode, recommends] =
        RunToEnd({"dpkg-deb", "-f", deb.string(), "Recommends"});
    EXPECT_NE(recommends.find("xchm"), std::string::npos) << recommends;

    // The program's one version is the metainfo's latest release, the changelog's latest entry
    // and the manual page's.
    std::ostringstream metainfo;
    metainfo
        << std::ifstream(root / "usr/share/metainfo/example.tolkara.german.metainfo.xml").rdbuf();
    EXPECT_NE(metainfo.str().find("<release version=\"" TOLKARA_VERSION "\""), std::string::npos)
        << metainfo.str();
    const auto [changelogCode, changelog] =
        RunToEnd({"gzip", "-dc", (root / "usr/share/doc/tolkara-german/changelog.gz").string()});
    EXPECT_EQ(changelogCode, 0);
    EXPECT_EQ(changelog.rfind("tolkara-german (" TOLKARA_VERSION ") ", 0), 0u) << changelog;
    const auto [manCode, man] =
        RunToEnd({"gzip", "-dc", (root / "usr/share/man/man1/tolkara-german.1.gz").string()});
    EXPECT_EQ(manCode, 0);
    EXPECT_NE(man.find("\"tolkara-german " TOLKARA_VERSION "\""), std::string::npos) << man;

    // Options answer on standard output without a display.
    const fs::path launcher = root / "usr/bin/tolkara-german";
    const auto [versionCode, version] =
        RunToEnd({launcher.string(), "--version"}, {{"DISPLAY", ""}});
    EXPECT_EQ(versionCode, 0);
    EXPECT_EQ(version, "tolkara-german " TOLKARA_VERSION "\n");
    const auto [helpCode, help] = RunToEnd({launcher.string(), "--help"}, {{"DISPLAY", ""}});
    EXPECT_EQ(helpCode, 0);
    EXPECT_NE(help.find("Usage: tolkara-german"), std::string::npos) << help;

    // A folder that cannot be made: a clear message and exit code 1.
    WriteBytes(temp / "plain-file", {'x'});
    const auto [failCode, failure] = RunToEnd(
        {launcher.string()}, {{"DISPLAY", ""}, {"XDG_DATA_HOME", (temp / "plain-file").string()}});
    EXPECT_EQ(failCode, 1);
    EXPECT_NE(failure.find("cannot create or write the folder " +
                           (temp / "plain-file" / "tolkara-german").string()),
              std::string::npos)
        << failure;

    // Other options go to the program started in the user's folder, prepared first (here the
    // program then refuses the scale).
    const fs::path optionData = temp / "option-data";
    const auto [scaleCode, scaleOutput] =
        RunToEnd({launcher.string(), "--scale", "4"},
                 {{"DISPLAY", ""}, {"XDG_DATA_HOME", optionData.string()}});
    EXPECT_EQ(scaleCode, 2) << scaleOutput;
    EXPECT_NE(scaleOutput.find("--scale takes 1, 2 or 3"), std::string::npos) << scaleOutput;
    EXPECT_TRUE(fs::is_symlink(optionData / "tolkara-german" / BundledFiles.front()));

    VirtualDisplay display;
    ASSERT_TRUE(display.Up()) << "Xvfb did not start";
    const fs::path first = temp / "home-1";
    const fs::path second = temp / "home-2";
    fs::create_directories(first);
    fs::create_directories(second);
    const fs::path folder = first / ".local/share/tolkara-german";
    {
        // First run: the folder appears with its links; the selected phrase becomes a favourite.
        Session run(launcher, display.Name(), first);
        ASSERT_TRUE(run.Shown()) << run.Output();
        for (const std::string& file : BundledFiles) {
            EXPECT_TRUE(fs::is_symlink(folder / file)) << file;
            std::error_code error;
            EXPECT_EQ(fs::canonical(folder / file, error),
                      fs::canonical(root / "usr/share/tolkara-german" / file))
                << file;
        }
        EXPECT_TRUE(fs::is_regular_file(folder / "English.dat"));
        EXPECT_TRUE(fs::is_regular_file(folder / "Chinese.dat"));
        run.Click(ids::AddButton);
        EXPECT_TRUE(run.CloseMessageBox()) << "no message that the favourite was added";
        EXPECT_GT(SizeOr0(folder / "favorite.dat"), 0u);
        EXPECT_EQ(run.Close(), 0) << run.Output();
    }
    {
        // Another home has none: the Favourites button says so.
        Session run(launcher, display.Name(), second);
        ASSERT_TRUE(run.Shown()) << run.Output();
        EXPECT_TRUE(fs::is_directory(second / ".local/share/tolkara-german"));
        EXPECT_EQ(SizeOr0(second / ".local/share/tolkara-german/favorite.dat"), 0u);
        run.Click(ids::FavouritesButton);
        EXPECT_TRUE(run.CloseMessageBox()) << "no message that there are no favourites";
        EXPECT_EQ(run.Close(), 0) << run.Output();
    }
    {
        // A desktop with no help viewer and no opener: Help and the links say so, each press
        // again; an opener installed meanwhile gets the installed help pages on the next press.
        const fs::path bin = temp / "bin";
        fs::create_directories(bin);
        for (const char* tool : {"readlink", "dirname", "mkdir", "ln", "rm"})
            fs::create_symlink(fs::path("/usr/bin") / tool, bin / tool);
        Session run(launcher, display.Name(), second, {{"PATH", bin.string()}});
        ASSERT_TRUE(run.Shown()) << run.Output();
        const auto help = [&] { run.Key("F1"); };
        const auto link = [&] { run.Click(ids::SupportButton); };
        const auto message = [&] { return run.MessageBoxShown(); };
        EXPECT_TRUE(run.Until(help, message)) << "no message that help cannot be shown";
        EXPECT_TRUE(run.CloseMessageBox());
        EXPECT_TRUE(run.Until(help, message)) << "the second press did not try again";
        EXPECT_TRUE(run.CloseMessageBox());
        EXPECT_TRUE(run.Until(link, message)) << "no message that the page cannot be opened";
        EXPECT_TRUE(run.CloseMessageBox());
        const fs::path opened = temp / "opened.txt";
        const std::string script = "#!/bin/sh\necho \"$1\" > '" + opened.string() + "'\n";
        WriteBytes(bin / "xdg-open", {script.begin(), script.end()});
        fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        EXPECT_TRUE(run.Until(help, [&] { return SizeOr0(opened) > 0; })) << "help was not opened";
        EXPECT_TRUE(run.NoMessageBox());
        const std::vector<std::uint8_t> bytes = ReadBytes(opened);
        std::string page(bytes.begin(), bytes.end());
        if (!page.empty() && page.back() == '\n') page.pop_back();
        std::error_code error;
        EXPECT_EQ(fs::canonical(page, error),
                  fs::canonical(root / "usr/share/tolkara-german/Help/index.html"))
            << page;
        EXPECT_EQ(run.Close(), 0) << run.Output();
    }
    {
        // Second run: the favourite is listed, so the Remove button removes it.
        Session run(launcher, display.Name(), first);
        ASSERT_TRUE(run.Shown()) << run.Output();
        run.Click(ids::FavouritesButton);
        run.Click(ids::AddButton);
        EXPECT_TRUE(run.CloseMessageBox()) << "no message that the favourite was removed";
        EXPECT_TRUE(PollFor([&] { return SizeOr0(folder / "favorite.dat") == 0; }));
        EXPECT_EQ(run.Close(), 0) << run.Output();
    }
}

}  // namespace
