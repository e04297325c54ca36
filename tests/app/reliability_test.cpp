// The main window on the bundled phrasebook when its files are damaged, cut short by a killed
// start, linked elsewhere or read-only, and when it is used at random: it starts, says what
// went wrong or falls back, answers every view, never crashes or hangs, and "favorite.dat"
// only ever holds whole records that list again after a restart.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/controlids.h"
#include "app/phraseapp.h"
#include "app/skindlg.h"
#include "catalogue/favouritesstore.h"
#include "catalogue/settings.h"
#include "catalogue/stdfile.h"
#include "catalogue/textconvert.h"
#include "controls/mylistbox.h"
#include "controls/xskinbutton.h"
#include "platform/backend/headless/headlessbackend.h"
#include "runfolder.h"
#include "tests/support/recordingshell.h"
#include "tests/support/runfolder.h"
#include "tests/support/scopedvariable.h"

namespace {

using namespace ui;
using Bytes = std::vector<std::uint8_t>;

std::optional<Bytes> FileBytes(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

const std::vector<const char*> Linked = {"English.txt", "Pro3.txt", "MapEngSpec.data",
                                         "data.idx",    "data.dat", "Help.chm"};

// A run folder with the bundled phrasebook: the source files linked, the record files built,
// and two favourites.
class ProgramRun {
public:
    explicit ProgramRun(const std::filesystem::path& bundled) {
        for (const char* name : Linked)
            std::filesystem::create_symlink(bundled / name, folder.Path() / name);
        EXPECT_EQ(catalogue::ConvertEnglishText("English.txt", "English.dat"),
                  catalogue::ConvertResult::Written);
        EXPECT_EQ(catalogue::ConvertPronunciationText("Pro3.txt", "Chinese.dat"),
                  catalogue::ConvertResult::Written);
        auto english = catalogue::StdFile::Open("English.dat", "rb");
        auto favourites = catalogue::StdFile::Open("favorite.dat", "wb");
        for (int i = 0; i < 2; ++i) {
            auto record = english.ReadRecord<PhraseRecord>();
            EXPECT_TRUE(record && favourites.WriteRecord(*record));
        }
    }
    const std::filesystem::path& Path() const { return folder.Path(); }

private:
    apptest::RunFolder folder;
};

// The program's resources and control classes, before a window is made.
struct ProgramApplication : Application {
    explicit ProgramApplication(Backend& backend) : Application(backend) {
        CPhraseApp::Prepare(*this);
    }
};

// One start of the program's window on the headless backend, with its desktop calls recorded.
struct Session {
    backend::HeadlessBackend backend;
    ProgramApplication app{backend};
    testing_support::RecordingShell shell;
    CSkinDlg dlg{app};

    // As in the program, the window is the application's main window: the about box it opens
    // then blocks it until the box is closed.
    Session() {
        app.SetShell(&shell);
        app.SetMainWindow(&dlg);
    }
    ~Session() { app.SetMainWindow(nullptr); }

    void Click(int id, int clicks = 1) {
        Window* control = dlg.GetDlgItemWindow(id);
        if (control == nullptr) return;
        RECT r;
        control->GetClientRect(r);
        for (int i = 0; i < clicks; ++i)
            backend.Click(dlg.GetDlgItem(id), POINT{r.Width() / 2, r.Height() / 2});
    }
    CMyListBox& List() { return *dynamic_cast<CMyListBox*>(dlg.GetDlgItemWindow(ids::PhraseList)); }
    void ClickRow(int row, int clicks = 1) {
        RECT r;
        if (List().GetCount() <= row) return;
        List().GetItemRect(row, r);
        for (int i = 0; i < clicks; ++i)
            backend.Click(List().GetSafeHwnd(), POINT{r.left + 3, (r.top + r.bottom) / 2});
    }
    // The view shown, told by the controls it shows.
    enum class View { Category, Favourites, Search, Relate };
    View ShownView() {
        auto shown = [&](int id) {
            Window* w = dlg.GetDlgItemWindow(id);
            return w != nullptr && w->IsWindowVisible();
        };
        if (shown(ids::RunSearchButton)) return View::Search;
        if (shown(ids::RelatedLabel)) return View::Relate;
        // The Add button removes in the favourites view.
        auto* add = dynamic_cast<CXSkinButton*>(dlg.GetDlgItemWindow(ids::AddButton));
        const bool adds = add == nullptr || add->Tip() == nullptr ||
                          add->Tip()->GetText(*add) != u"Remove From Favourite";
        return adds ? View::Category : View::Favourites;
    }
    std::vector<std::u16string> Messages() const {
        std::vector<std::u16string> texts;
        for (const auto& m : shell.messages)
            texts.push_back(m.text);
        return texts;
    }
};

// Every message the window may show about its files or an empty view.
const std::set<std::u16string> KnownMessages = {
    u"Can't find data file!",
    u"This file is not in right format!",
    u"Can't read file",
    u"Can't read map file",
    u"Can't read MapEngSpec file",
    u"Not enough memory",
    u"No favourite phrase!",
    u"No related phrase(s) found!",
    u"This item has already existed in the favorite!",
    u"One item has just been added to favorite",
    u"One item has just been removed from the favorite!",
    u"Can't save the favorite!",
    u"No favourite phrase to export!",
    u"No phrase to practise here!",
    u"Can't save the practice progress!",
    u"The practice progress could not be read: it is kept as practice.dat.bad and practice starts "
    u"afresh.",
};
// The start of the message that names the exported favourites' files.
constexpr std::u16string_view ExportedPrefix = u"The favourites are exported to:";

enum class Damage { Missing, Empty, Truncated, Extended, Zeroed, Random, Directory, Unreadable };

const char* NameOf(Damage d) {
    static const char* const names[] = {"missing", "empty",  "truncated", "extended",
                                        "zeroed",  "random", "directory", "unreadable"};
    return names[static_cast<int>(d)];
}

// Replaces the file (or link) at path by its damaged form.
void Apply(Damage damage, const std::filesystem::path& path, std::mt19937& random) {
    Bytes bytes = FileBytes(path).value_or(Bytes{});
    auto noise = [&](std::size_t n) {
        Bytes b(n);
        for (auto& x : b)
            x = static_cast<std::uint8_t>(random());
        return b;
    };
    std::error_code ignored;
    switch (damage) {
        case Damage::Missing:
            std::filesystem::remove(path, ignored);
            break;
        case Damage::Empty:
            PutBytes(path, {});
            break;
        case Damage::Truncated:
            bytes.resize(bytes.size() / 2 + 3);
            PutBytes(path, bytes);
            break;
        case Damage::Extended: {
            Bytes tail = noise(333);
            bytes.insert(bytes.end(), tail.begin(), tail.end());
            PutBytes(path, bytes);
            break;
        }
        case Damage::Zeroed:
            PutBytes(path, Bytes(bytes.size(), 0));
            break;
        case Damage::Random:
            PutBytes(path, noise(bytes.size()));
            break;
        case Damage::Directory:
            std::filesystem::remove(path, ignored);
            std::filesystem::create_directory(path);
            break;
        case Damage::Unreadable:
            PutBytes(path, bytes);
            std::filesystem::permissions(path, std::filesystem::perms::none);
            break;
    }
}

// Runs body in a child process that has given up root for the "nobody" user, in a run folder
// that user owns; true when the child ran and met every expectation.
bool RunAsNobody(const std::filesystem::path& folder, const std::function<void()>& body) {
    constexpr uid_t nobody = 65534;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        bool ok = chown(folder.c_str(), nobody, nobody) == 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            ok = ok && lchown(entry.path().c_str(), nobody, nobody) == 0;
        ok = ok && setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
        if (!ok) _exit(3);
        body();
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One start of the window on a run folder whose `file` is damaged: it shows only its own
// messages, answers every view and closes, and leaves "favorite.dat" as it was.
void RunWithDamagedFile(const std::string& name, Damage damage) {
    Session s;
    const std::optional<Bytes> favouritesBefore = FileBytes("favorite.dat");
    std::vector<std::function<void()>> steps = {
        [&] { s.ClickRow(1); },
        [&] { s.Click(ids::SoundButton); },
        [&] { s.Click(ids::TravelButton); },
        [&] { s.ClickRow(0, 2); },
        [&] { s.Click(ids::SearchViewButton); },
        [&] { s.backend.Text(u"hotel"); },
        [&] { s.Click(ids::RunSearchButton); },
        [&] { s.ClickRow(0); },
        [&] { s.Click(ids::RelateButton); },
        [&] { s.ClickRow(0); },
        [&] { s.Click(ids::FavouritesButton); },
        [&] { s.ClickRow(0); },
        [&] { s.Click(ids::ReplayButton); },
        [&] { s.Click(ids::QuestionButton); },
        [&] { s.backend.Key(VK_F1); },
        [&] {
            s.backend.Wheel(s.List().GetSafeHwnd(), POINT{5, 5}, -3);
        },
        [&] { s.backend.Key(VK_DOWN); },
        [&] { s.backend.Key(VK_ESCAPE); },
    };
    for (auto& step : steps)
        s.backend.WhenIdle(std::move(step));
    EXPECT_EQ(s.dlg.DoModal(), IDCANCEL);

    const auto shown = s.Messages();
    for (const auto& text : shown)
        EXPECT_TRUE(KnownMessages.count(text)) << std::string(text.begin(), text.end());
    auto showed = [&](const std::u16string& text) {
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    };
    if (name == "data.dat" && (damage == Damage::Missing || damage == Damage::Directory ||
                               damage == Damage::Unreadable)) {
        EXPECT_TRUE(showed(u"Can't find data file!"));
    }
    if (name == "data.dat" && (damage == Damage::Zeroed || damage == Damage::Empty)) {
        EXPECT_TRUE(showed(u"This file is not in right format!"));
    }
    // The help file is the viewer's to read: the window only hands its name over.
    EXPECT_EQ(s.shell.helpFiles, std::vector<std::string>{"Help.chm"});
    // An unreadable text file builds no record file.
    if ((name == "English.txt" || name == "Pro3.txt") &&
        (damage == Damage::Missing || damage == Damage::Directory ||
         damage == Damage::Unreadable)) {
        EXPECT_FALSE(
            std::filesystem::exists(name == "English.txt" ? "English.dat" : "Chinese.dat"));
    }
    // The favourites are only read: whatever the file held, it holds still.
    const std::optional<Bytes> favouritesAfter = FileBytes("favorite.dat");
    if (favouritesBefore) {
        EXPECT_EQ(favouritesAfter, favouritesBefore);
    }
    if (name != "favorite.dat") {
        EXPECT_TRUE(favouritesAfter.has_value());
    }
}

// Each catalogue file damaged in each way. Root reads every file, so as root the unreadable
// cases run as "nobody".
TEST(DamagedFiles, TheWindowStartsAndStaysUsableWithEachFileDamagedInEachWay) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    const bool root = geteuid() == 0;
    std::mt19937 random(18);
    int runs = 0;
    for (const char* file :
         {"English.txt", "Pro3.txt", "English.dat", "Chinese.dat", "MapEngSpec.data", "data.idx",
          "data.dat", "favorite.dat", "Help.chm"}) {
        for (Damage damage :
             {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::Extended, Damage::Zeroed,
              Damage::Random, Damage::Directory, Damage::Unreadable}) {
            SCOPED_TRACE(std::string(file) + " " + NameOf(damage));
            ProgramRun run(bundled);
            const std::string name(file);
            // A text file is read only when its record file is missing.
            if (name == "English.txt") std::filesystem::remove("English.dat");
            if (name == "Pro3.txt") std::filesystem::remove("Chinese.dat");
            Apply(damage, file, random);
            if (damage == Damage::Unreadable && root) {
                EXPECT_TRUE(RunAsNobody(run.Path(), [&] { RunWithDamagedFile(name, damage); }));
            } else {
                RunWithDamagedFile(name, damage);
            }
            ++runs;
        }
    }
    EXPECT_EQ(runs, 72);
}

// A start killed while it built a record file (the system stops it here when the file reaches
// 49,152 bytes, where killed starts left one), and a record file cut short so by an earlier
// start: the next start builds it again, and the last category's phrases keep their German.
TEST(KilledStart, ARecordFileCutShortIsBuiltAgainAndTheLastPhrasesKeepTheirGermanLines) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    constexpr rlim_t CutAt = 49'152;
    for (const std::string file : {"English.dat", "Chinese.dat"}) {
        for (const bool killedNow : {true, false}) {
            SCOPED_TRACE(file + (killedNow ? " killed while built" : " cut short before"));
            ProgramRun run(bundled);
            const Bytes whole = FileBytes(file).value();
            std::filesystem::remove(file);
            if (killedNow) {
                const pid_t child = fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    const rlimit limit{CutAt, CutAt};
                    setrlimit(RLIMIT_FSIZE, &limit);
                    if (file == "English.dat") {
                        catalogue::ConvertEnglishText("English.txt", file);
                    } else {
                        catalogue::ConvertPronunciationText("Pro3.txt", file);
                    }
                    _exit(0);
                }
                int status = 0;
                ASSERT_EQ(waitpid(child, &status, 0), child);
                ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
                // Whole or not there, never cut short.
                EXPECT_FALSE(std::filesystem::exists(file));
            } else {
                PutBytes(file, Bytes(whole.begin(), whole.begin() + CutAt));
            }

            Session s;
            std::u16string german;
            s.backend.WhenIdle([&] { s.Click(ids::EmergencyButton); });
            s.backend.WhenIdle([&] {
                for (int row = 0; row < s.List().GetCount(); ++row) {
                    if (s.List().GetText(row) != u"I'm ill.") continue;
                    s.List().SetCurSel(row);
                    s.dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ids::PhraseList, LBN_SELCHANGE),
                                      HandleToParam(s.List().GetSafeHwnd()));
                    german = s.dlg.GetDlgItemText(ids::PronunciationLine);
                }
            });
            s.backend.WhenIdle([&] { s.backend.Key(VK_ESCAPE); });
            EXPECT_EQ(s.dlg.DoModal(), IDCANCEL);
            EXPECT_EQ(german, u"Ich bin krank.");
            EXPECT_TRUE(FileBytes(file) == whole) << "not built again whole";
        }
    }
}

// A "favorite.dat" the user may only read: its favourites are listed, and adding or removing
// one says that it cannot be saved and changes nothing. Root writes every file, so as root
// the window runs as "nobody".
TEST(Favourites, AFileTheUserMayOnlyReadIsListedAndAChangeSaysItCannotBeSaved) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    ProgramRun run(bundled);
    const Bytes before = FileBytes("favorite.dat").value();
    auto body = [&] {
        using std::filesystem::perms;
        std::filesystem::permissions("favorite.dat",
                                     perms::owner_read | perms::group_read | perms::others_read);
        Session s;
        int listed = -1;
        s.backend.WhenIdle([&] { s.Click(ids::FavouritesButton); });
        s.backend.WhenIdle([&] {
            listed = s.List().GetCount();
            s.Click(ids::AddButton);  // removes the selected favourite
        });
        s.backend.WhenIdle([&] { s.Click(ids::BasicButton); });
        s.backend.WhenIdle([&] {
            s.ClickRow(3);
            s.Click(ids::AddButton);
        });
        s.backend.WhenIdle([&] { s.backend.Key(VK_ESCAPE); });
        EXPECT_EQ(s.dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(listed, 2);
        EXPECT_EQ(s.Messages(), (std::vector<std::u16string>{u"Can't save the favorite!",
                                                             u"Can't save the favorite!"}));
        EXPECT_EQ(FileBytes("favorite.dat"), before);
    };
    if (geteuid() == 0) {
        EXPECT_TRUE(RunAsNobody(run.Path(), body));
    } else {
        body();
    }
}

// "favorite.dat" and "settings.ini" with modes of their own, as plain files and as links into
// a folder of the user's, and scratch files of another copy of the program beside them:
// removing a favourite and changing a setting replace the files (those the links name); the
// links, the modes and the other copy's files stay, and no scratch file is left.
TEST(Favourites, LinksModesAndAnotherCopysScratchFilesSurviveAChange) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    namespace fs = std::filesystem;
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write;
    const Bytes other = {'o', 't', 'h', 'e', 'r'};
    auto names = [](const fs::path& folder) {
        std::set<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder))
            found.insert(entry.path().filename());
        return found;
    };
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "linked" : "plain");
        ProgramRun run(bundled);
        const fs::path kept = linked ? "kept" : ".";
        fs::create_directory("kept");
        fs::rename("favorite.dat", kept / "favorite.dat");
        PutBytes(kept / "settings.ini", {'v', 'o', 'l', 'u', 'm', 'e', '=', '7', '\n'});
        for (const char* name : {"favorite.dat", "settings.ini"}) {
            if (linked) fs::create_symlink(kept / name, name);
            fs::permissions(kept / name, mode);
        }
        for (const char* name : {"temp.dat", "settings.ini.tmp"})
            PutBytes(name, other);
        const auto here = names(".");
        const auto inKept = names("kept");

        Session s;
        s.backend.WhenIdle([&] { s.Click(ids::FavouritesButton); });
        s.backend.WhenIdle([&] { s.Click(ids::AddButton); });
        s.backend.WhenIdle([&] { s.Click(ids::SlowSpeechButton); });
        s.backend.WhenIdle([&] { s.backend.Key(VK_ESCAPE); });
        EXPECT_EQ(s.dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(s.Messages(), std::vector<std::u16string>{
                                    u"One item has just been removed from the favorite!"});

        EXPECT_EQ(fs::file_size(kept / "favorite.dat"), PhraseRecord::Size);
        EXPECT_EQ(catalogue::ReadSettings(kept / "settings.ini"), (catalogue::Settings{true, 7}));
        for (const char* name : {"favorite.dat", "settings.ini"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(fs::is_symlink(name), linked);
            EXPECT_EQ(fs::status(kept / name).permissions(), mode);
        }
        for (const char* name : {"temp.dat", "settings.ini.tmp"})
            EXPECT_EQ(FileBytes(name), other) << name;
        EXPECT_EQ(names("."), here);
        EXPECT_EQ(names("kept"), inKept);
    }
}

// The number of random events: PHRASEBOOK_RANDOM_EVENTS, or a short run for the suite.
int EventCount() {
    const char* value = std::getenv("PHRASEBOOK_RANDOM_EVENTS");
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : 2000;
}

unsigned Seed() {
    const char* value = std::getenv("PHRASEBOOK_RANDOM_SEED");
    return value != nullptr ? static_cast<unsigned>(std::strtoul(value, nullptr, 10))
                            : std::random_device{}();
}

// "favorite.dat" holds whole records only, each listed by a fresh store.
void ExpectWholeFavourites(const char* when) {
    SCOPED_TRACE(when);
    const auto size = std::filesystem::file_size("favorite.dat");
    EXPECT_EQ(size % PhraseRecord::Size, 0u);
    catalogue::FavouritesStore store;
    auto records = store.ReadAll();
    ASSERT_TRUE(records.has_value());
    EXPECT_EQ(records->size(), size / PhraseRecord::Size);
    catalogue::PhraseMap map;
    catalogue::ListRows rows;
    ASSERT_TRUE(store.LoadFavourites(map, rows));
    EXPECT_EQ(rows.size(), records->size());
}

// Random clicks, double clicks, keys, wheel turns and typed text over the whole window, the
// views visited in turn; the window is started again whenever the events close it. Run with
// PHRASEBOOK_RANDOM_SEED=n to repeat a run.
TEST(RandomUse, TheWindowSurvivesRandomInputAndKeepsTheFavouritesWhole) {
    const std::filesystem::path bundled = testing_support::BundledRunFolder();
    if (bundled.empty()) GTEST_SKIP() << "the bundled phrasebook is not prepared (make data)";
    const unsigned seed = Seed();
    const int events = EventCount();
    SCOPED_TRACE("PHRASEBOOK_RANDOM_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

    ProgramRun run(bundled);
    // Exports (Ctrl+E) go to the run folder, not the documents of whoever runs the tests.
    const testing_support::ScopedVariable home("HOME", run.Path().string());
    const testing_support::ScopedVariable config("XDG_CONFIG_HOME", (run.Path() / "none").string());
    // Every 40th event is the next of these, so that every view is reached whatever else happens.
    // -1: Basic, its first row ("Hello.", which has related phrases) and Relate, in one event, so
    // that random events in between cannot select a phrase without any.
    const int directed[] = {-1,
                            ids::SearchViewButton,
                            ids::RunSearchButton,
                            ids::FavouritesButton,
                            ids::AddButton,
                            ids::FoodButton,
                            ids::EmergencyButton,
                            ids::SubcategoryCombo};
    const UINT keys[] = {VK_DOWN,  VK_UP,   VK_NEXT,   VK_PRIOR, VK_HOME,  VK_END,    VK_TAB,
                         VK_SPACE, VK_BACK, VK_DELETE, VK_LEFT,  VK_RIGHT, VK_RETURN, VK_ESCAPE};
    const std::u16string words[] = {u"hotel",  u"bus",          u"a",  u"?",       u"[x]",
                                    u"Wasser", u"\u00e4\u00df", u"  ", u"help me", u"zzzz"};
    int done = 0;
    int starts = 0;
    int restores = 0;
    std::set<Session::View> modes;
    const auto began = std::chrono::steady_clock::now();
    while (done < events) {
        Session s;
        ++starts;
        // One event per idle turn until the window closes or the events are used up.
        std::function<void()> next = [&] {
            if (done >= events) {
                s.backend.Key(VK_ESCAPE);
                return;
            }
            ++done;
            if (done % 100 == 0) {
                std::error_code error;
                EXPECT_EQ(std::filesystem::file_size("favorite.dat", error) % PhraseRecord::Size,
                          0u);
            }
            // The user brings a minimised window back and closes a box left open over it, so
            // that the events keep reaching the window.
            if (s.dlg.IsIconic()) {
                s.dlg.ShowWindow(SW_RESTORE);
                ++restores;
            } else if (!s.dlg.IsWindowEnabled()) {
                s.backend.Key(VK_ESCAPE);
                ++restores;
            } else if (done % 2500 == 0) {
                s.Click(ids::CloseButton);  // and starts the program again
            } else if (done % 40 == 0) {
                const int id = directed[(done / 40) % std::size(directed)];
                if (id < 0) {
                    s.Click(ids::BasicButton);
                    s.ClickRow(0);
                    s.Click(ids::RelateButton);
                } else {
                    s.Click(id);
                }
            } else {
                RECT r;
                s.dlg.GetClientRect(r);
                const POINT at{pick(std::max(1, r.Width())), pick(std::max(1, r.Height()))};
                const HWND window = s.dlg.GetSafeHwnd();
                switch (pick(10)) {
                    case 0:
                    case 1:
                    case 2:
                        s.backend.Click(window, at);
                        break;
                    case 3:
                        s.backend.Click(window, at);
                        s.backend.Click(window, at);
                        break;
                    case 4:
                        s.backend.Wheel(window, at, pick(7) - 3);
                        break;
                    case 5:
                    case 6: {
                        const UINT key = keys[pick(std::size(keys))];
                        // Escape and Enter close the window now and then, not every few events.
                        if ((key == VK_ESCAPE || key == VK_RETURN) && pick(20) != 0) break;
                        s.backend.Key(key);
                        break;
                    }
                    case 7:
                        s.backend.Text(words[pick(std::size(words))]);
                        break;
                    case 8:
                        s.ClickRow(pick(8), 1 + pick(2));
                        break;
                    case 9:
                        s.backend.Advance(static_cast<std::uint64_t>(pick(1500)));
                        break;
                }
            }
            modes.insert(s.ShownView());
            s.backend.WhenIdle(next);
        };
        s.backend.WhenIdle(next);
        s.dlg.DoModal();
        for (const auto& text : s.Messages())
            EXPECT_TRUE(KnownMessages.count(text) || text.starts_with(ExportedPrefix))
                << std::string(text.begin(), text.end());
        ExpectWholeFavourites("after a window closed");
        if (::testing::Test::HasFailure()) break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("random use: %d events, %d starts, %d restores, seed %u, %.1f s\n", done, starts,
                restores, seed, seconds);
    // Every 2,500th event clicks the close button: each of those closes the window.
    EXPECT_GT(starts, done / 2500) << "a click on the close button left the window open";
    using View = Session::View;
    for (const View view : {View::Category, View::Search, View::Relate, View::Favourites})
        EXPECT_TRUE(modes.count(view)) << "view " << static_cast<int>(view) << " never visited";
}

}  // namespace
