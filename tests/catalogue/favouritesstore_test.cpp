#include "catalogue/favouritesstore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iterator>
#include <random>
#include <set>
#include <thread>

#include "catalogue/selectedphrase.h"
#include "tests/catalogue/catalogue_fixture.h"
#include "tests/support/tempdir.h"

namespace {

using namespace catalogue;
using namespace cataloguetest;
using testing_support::ReadBytes;
using testing_support::TempDir;

std::vector<std::u16string> StoredTexts(FavouritesStore& store) {
    std::vector<std::u16string> texts;
    const auto records = store.ReadAll().value_or(std::vector<PhraseRecord>{});
    for (const auto& record : records)
        texts.push_back(record.Text());
    return texts;
}

TEST(Favourites, AddListResolveAndRemove) {
    TempDir dir;
    FavouritesStore store(dir.path());
    PhraseMap map;
    ListRows rows;
    EXPECT_FALSE(store.HasFavourites());  // created empty
    EXPECT_TRUE(std::filesystem::exists(dir / "favorite.dat"));

    EXPECT_EQ(store.AddFavourite(Phrase(u"I need [two] ticket", 12)),
              FavouritesStore::Result::Done);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.AddFavourite(Phrase(u"I need [two] ticket", 12)),
              FavouritesStore::Result::AlreadyPresent);
    EXPECT_EQ(std::filesystem::file_size(dir / "favorite.dat"), 116u);
    EXPECT_EQ(store.AddFavourite(Phrase(u"", 3)), FavouritesStore::Result::AlreadyPresent);
    // The same phrase from a row showing another alternative is another favourite.
    EXPECT_EQ(store.AddFavourite(Phrase(u"I need [one] ticket", 12)),
              FavouritesStore::Result::Done);
    EXPECT_EQ(store.AddFavourite(Phrase(u"\tTab\r", 40)), FavouritesStore::Result::Done);

    ASSERT_TRUE(store.LoadFavourites(map, rows));
    EXPECT_EQ(Texts(rows),
              (std::vector<std::u16string>{u"I need two ticket", u"I need one ticket", u"Tab"}));
    EXPECT_FALSE(rows[0].item);
    EXPECT_EQ(ResolveRowText(rows[0].text, map).number, 12);
    EXPECT_EQ(ResolveRowText(u"Tab", map).number, 40);
    EXPECT_TRUE(store.HasFavourites());

    // Removal compares the cleaned texts, and takes the first match only.
    EXPECT_EQ(store.AddFavourite(Phrase(u"I need [two] ticket!", 12)),
              FavouritesStore::Result::Done);
    EXPECT_EQ(store.RemoveFavourite(Phrase(u"I need one ticket", 12)),
              FavouritesStore::Result::Done);
    EXPECT_EQ(StoredTexts(store), (std::vector<std::u16string>{u"I need [two] ticket", u"\tTab\r",
                                                               u"I need [two] ticket!"}));
    EXPECT_EQ(store.RemoveFavourite(Phrase(u"not there", 1)), FavouritesStore::Result::Done);
    EXPECT_EQ(StoredTexts(store).size(), 3u);
    for (const char16_t* text : {u"I need two ticket", u"Tab", u"I need two ticket!"})
        EXPECT_EQ(store.RemoveFavourite(Phrase(text, 0)), FavouritesStore::Result::Done);
    EXPECT_EQ(std::filesystem::file_size(dir / "favorite.dat"), 0u);
    EXPECT_FALSE(store.HasFavourites());
    // No scratch file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(Favourites, TwoRecordsWithTheSameTextLoseOneAtATime) {
    TempDir dir;
    WriteRecords(
        dir / "favorite.dat",
        std::vector<PhraseRecord>{Phrase(u"Same", 1), Phrase(u"Other", 2), Phrase(u"Same", 3)});
    FavouritesStore store(dir.path());
    EXPECT_EQ(store.RemoveFavourite(Phrase(u"Same", 0)), FavouritesStore::Result::Done);
    auto records = store.ReadAll().value();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].Text(), u"Same");
    EXPECT_EQ(records[1].number, 3);
}

TEST(Favourites, APartialTrailingRecordIsNeverListedAndALaterAddReadsBackRight) {
    TempDir dir;
    WriteRecords(dir / "favorite.dat", std::vector<PhraseRecord>{Phrase(u"Whole", 7)});
    auto bytes = ReadBytes(dir / "favorite.dat");
    bytes.insert(bytes.end(), 50, 0x41);  // a write cut short
    testing_support::WriteBytes(dir / "favorite.dat", bytes);

    FavouritesStore store(dir.path());
    PhraseMap map;
    ListRows rows;
    ASSERT_TRUE(store.LoadFavourites(map, rows));
    EXPECT_EQ(Texts(rows), std::vector<std::u16string>{u"Whole"});
    // Read, then write on the same file: the new record starts where the last whole one ends.
    EXPECT_EQ(store.AddFavourite(Phrase(u"Added", 9)), FavouritesStore::Result::Done);
    EXPECT_EQ(std::filesystem::file_size(dir / "favorite.dat"), 232u);
    ASSERT_TRUE(store.LoadFavourites(map, rows));
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"Whole", u"Added"}));
    EXPECT_EQ(ResolveRowText(u"Added", map).number, 9);

    // A removal never copies a partial record either.
    bytes = ReadBytes(dir / "favorite.dat");
    bytes.insert(bytes.end(), 3, 0x42);
    testing_support::WriteBytes(dir / "favorite.dat", bytes);
    EXPECT_EQ(store.RemoveFavourite(Phrase(u"Whole", 0)), FavouritesStore::Result::Done);
    EXPECT_EQ(std::filesystem::file_size(dir / "favorite.dat"), 116u);
}

TEST(Favourites, AFailedRemovalChangesNothingAndIsNotReportedAsDone) {
    TempDir dir;
    WriteRecords(dir / "favorite.dat",
                 std::vector<PhraseRecord>{Phrase(u"One", 1), Phrase(u"Two", 2)});
    const auto before = ReadBytes(dir / "favorite.dat");
    FavouritesStore store(dir.path());
    {
        // The new content cannot be written: the disk is full, as far as this process goes.
        const auto previousAction = std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit full = previous;
        full.rlim_cur = 100;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
        const auto result = store.RemoveFavourite(Phrase(u"One", 1));
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousAction);
        EXPECT_EQ(result, FavouritesStore::Result::Failed);
    }
    EXPECT_EQ(ReadBytes(dir / "favorite.dat"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);  // the scratch file went with the failure
    // "favorite.dat" cannot be opened: add and remove fail, nothing is listed.
    FavouritesStore nowhere(dir / "missing-folder");
    PhraseMap map{{u"old", u"1"}};
    ListRows rows;
    EXPECT_EQ(nowhere.AddFavourite(Phrase(u"One", 1)), FavouritesStore::Result::Failed);
    EXPECT_EQ(nowhere.RemoveFavourite(Phrase(u"One", 1)), FavouritesStore::Result::Failed);
    EXPECT_FALSE(nowhere.LoadFavourites(map, rows));
    EXPECT_TRUE(map.empty());
    EXPECT_FALSE(nowhere.HasFavourites());
}

// The child's endless round of adds and removes, from whichever state the file is in; the
// file's content is always one of these states.
const std::vector<std::vector<std::u16string>> Round = {
    {}, {u"A"}, {u"A", u"B"}, {u"A", u"B", u"C"}, {u"A", u"C"}, {u"C"}, {},
};

[[noreturn]] void RunRound(const std::filesystem::path& dir) {
    FavouritesStore store(dir);
    for (;;) {
        auto records = store.ReadAll();
        if (!records) _exit(2);
        std::vector<std::u16string> texts;
        for (const auto& r : *records)
            texts.push_back(r.Text());
        std::size_t at = 0;
        while (at + 1 < Round.size() && Round[at] != texts)
            ++at;
        if (Round[at] != texts) _exit(3);
        const auto& next = Round[at + 1 < Round.size() ? at + 1 : 1];
        FavouritesStore::Result result;
        if (next.size() > texts.size()) {
            result = store.AddFavourite(Phrase(next.back(), static_cast<PhraseNo>(next.size())));
        } else {
            std::u16string gone;
            for (const auto& t : texts) {
                if (std::find(next.begin(), next.end(), t) == next.end()) gone = t;
            }
            result = store.RemoveFavourite(Phrase(gone, 0));
        }
        if (result != FavouritesStore::Result::Done) _exit(4);
    }
}

TEST(Favourites, KilledAtAnyPointTheFileHoldsTheOldOrTheNewContentWhole) {
    TempDir dir;
    std::set<std::vector<std::u16string>> valid(Round.begin(), Round.end());
    std::set<std::vector<std::u16string>> seen;
    std::mt19937 random(16);
    // Kills fall anywhere within a few operations; on a busy machine an operation takes
    // longer, so the span grows while the kills keep finding the file unchanged.
    int spanUs = 4000;
    int unchanged = 0;
    std::vector<std::u16string> last;
    testing_support::WriteBytes(dir / "favorite.dat", {});
    for (int kill = 0; kill < 600 && (kill < 200 || seen.size() < 4); ++kill) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) RunRound(dir.path());
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, spanUs)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << WEXITSTATUS(status);

        ASSERT_TRUE(std::filesystem::exists(dir / "favorite.dat")) << "after kill " << kill;
        const auto size = std::filesystem::file_size(dir / "favorite.dat");
        ASSERT_EQ(size % PhraseRecord::Size, 0u) << "after kill " << kill;
        FavouritesStore store(dir.path());
        auto texts = StoredTexts(store);
        ASSERT_TRUE(valid.contains(texts)) << "after kill " << kill;
        unchanged = texts == last ? unchanged + 1 : 0;
        if (unchanged >= 10 && spanUs < 200000) {
            spanUs *= 2;
            unchanged = 0;
        }
        last = texts;
        seen.insert(texts);
    }
    // The kills landed all over the round.
    EXPECT_GE(seen.size(), 4u);
}

}  // namespace
