#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "catalogue/practiceschedule.h"
#include "catalogue/practicesession.h"
#include "catalogue/practicestore.h"
#include "tests/support/tempdir.h"

namespace {

using namespace catalogue;

TEST(Practice, GradeRunsGiveSm2IntervalsAndDatesCrossMonthsAndYears) {
    struct Row {
        Day start;
        std::vector<Grade> grades;
        std::vector<std::string> dues;  // after each grade, reviewed on the day it fell due
        int easeMilli;
    };
    const std::vector<Row> rows = {
        {DayFromCivil(2026, 1, 30),
         {Grade::Good, Grade::Good, Grade::Good},
         {"2026-01-31", "2026-02-06", "2026-02-21"},
         2500},
        {DayFromCivil(2026, 12, 30),
         {Grade::Easy, Grade::Easy},
         {"2026-12-31", "2027-01-06"},
         2700},
        {DayFromCivil(2028, 2, 28),
         {Grade::Good, Grade::Again, Grade::Hard},
         {"2028-02-29", "2028-02-29", "2028-03-01"},
         1820},
    };
    for (const auto& row : rows) {
        CardSchedule card;
        Day today = row.start;
        for (std::size_t i = 0; i < row.grades.size(); ++i) {
            card = Review(card, row.grades[i], today);
            EXPECT_EQ(FormatDay(card.due), row.dues[i]) << FormatDay(row.start) << " grade " << i;
            today = card.due;
        }
        EXPECT_EQ(card.easeMilli, row.easeMilli) << FormatDay(row.start);
    }
    EXPECT_FALSE(ParseDay("2026-04-31"));
    EXPECT_FALSE(ParseDay("2026-13-01"));
    EXPECT_EQ(ParseDay("2024-02-29"), DayFromCivil(2024, 2, 29));
}

TEST(Practice, DeckRoundTripsSkipsUnknownPhrasesAndSetsDamageAside) {
    testing_support::TempDir dir;
    EXPECT_TRUE(LoadPracticeDeck(dir.path(), [](std::uint32_t) { return true; }).cards.empty());
    std::vector<PracticeCard> cards = {
        {12, "Where is the station?", Review({}, Grade::Good, DayFromCivil(2026, 12, 8))},
        {99999, "Ein Überbleibsel", {}},
    };
    ASSERT_TRUE(SavePracticeDeck(dir.path(), cards));
    const auto deck = LoadPracticeDeck(dir.path(), [](std::uint32_t n) { return n == 12; });
    ASSERT_EQ(deck.cards.size(), 1u);
    EXPECT_EQ(deck.cards[0], cards[0]);
    EXPECT_FALSE(deck.setAside);

    testing_support::WriteBytes(dir / "practice.dat", {'1', '2', '\t', 'x', '\n'});
    const auto damaged = LoadPracticeDeck(dir.path(), [](std::uint32_t) { return true; });
    EXPECT_TRUE(damaged.setAside);
    EXPECT_TRUE(damaged.cards.empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "practice.dat.bad"));
    EXPECT_FALSE(std::filesystem::exists(dir / "practice.dat"));
}

// A session over rows 1..n: which cards it asks, in which order, and what it keeps.
TEST(Practice, SessionsAskDueCardsFirstThenAtMostTwentyNewAndBringAgainBack) {
    const Day today = DayFromCivil(2026, 12, 31);
    const auto rows = [](int n) {
        std::vector<PracticeRow> r;
        for (int i = 1; i <= n; ++i)
            r.push_back({static_cast<std::uint32_t>(i), "Phrase " + std::to_string(i)});
        return r;
    };
    const auto card = [&](std::uint32_t n, int dueIn, int introducedAgo) {
        PracticeCard c{n, "Phrase " + std::to_string(n), {}};
        c.schedule.repetitions = 1;
        c.schedule.intervalDays = 1;
        c.schedule.due = Day{today.n + dueIn};
        c.schedule.introduced = Day{today.n - introducedAgo};
        return c;
    };
    struct Case {
        const char* what;
        std::vector<PracticeCard> deck;
        int rows;
        std::vector<std::uint32_t> asked;  // the first cards, in order
        std::size_t left;
    };
    const Case cases[] = {
        {"no deck: the first 20 listed", {}, 30, {1, 2, 3}, 20},
        {"due cards first, the longest overdue first, not-yet-due ones left out",
         {card(5, 0, 3), card(7, -4, 9), card(9, 2, 9)},
         10,
         {7, 5, 1, 2},
         2 + 7},
        {"five introduced today leave room for fifteen",
         {card(40, 1, 0), card(41, 1, 0), card(42, 1, 0), card(43, 1, 0), card(44, 1, 0)},
         100,
         {1, 2},
         15},
        {"a variant not listed is not asked", {card(3, -1, 5)}, 2, {1, 2}, 2},
    };
    for (const Case& c : cases) {
        PracticeSession session(c.deck, rows(c.rows), today);
        EXPECT_EQ(session.Left(), c.left) << c.what;
        std::vector<std::uint32_t> asked;
        PracticeSession walk = session;
        for (std::size_t i = 0; i < c.asked.size() && !walk.Done(); ++i) {
            asked.push_back(walk.Current().number);
            walk.Grade(Grade::Good);
        }
        EXPECT_EQ(asked, c.asked) << c.what;
    }

    // Again brings the card back after the others; the summary counts cards, not grades, and
    // only graded new cards are kept.
    PracticeSession session({card(9, 5, 9)}, rows(3), today);
    ASSERT_EQ(session.Left(), 3u);
    EXPECT_TRUE(session.CurrentIsNew());
    session.Grade(Grade::Again);  // 1 goes to the end
    session.Grade(Grade::Good);   // 2: tomorrow
    ASSERT_EQ(session.Current().number, 3u);
    session.Grade(Grade::Easy);  // 3: tomorrow
    ASSERT_EQ(session.Current().number, 1u);
    session.Grade(Grade::Hard);
    EXPECT_TRUE(session.Done());
    EXPECT_EQ(session.Reviewed(), 3);
    EXPECT_EQ(session.DueTomorrow(), 3);  // 1, 2 and 3; 9 is due in five days
    const std::vector<PracticeCard> kept = session.Deck();
    ASSERT_EQ(kept.size(), 4u);
    for (const PracticeCard& c : kept)
        EXPECT_EQ(c.schedule.introduced == today, c.number != 9) << c.number;
    EXPECT_EQ(PracticeSession(kept, rows(25), today).Left(), 17u) << "3 of today's 20 used";
}

TEST(Practice, KilledWhileSavingTheDeckFileHoldsTheOldOrTheNewDeckWhole) {
    testing_support::TempDir dir;
    const auto deck = [](std::uint32_t n) {
        std::vector<PracticeCard> cards;
        for (std::uint32_t i = 1; i <= n; ++i)
            cards.push_back({i, "Phrase " + std::to_string(i), {}});
        return cards;
    };
    const std::vector<PracticeCard> small = deck(10), large = deck(300);
    ASSERT_TRUE(SavePracticeDeck(dir.path(), small));
    std::mt19937 random(27);
    int sawLarge = 0;
    for (int kill = 0; kill < 120; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                SavePracticeDeck(dir.path(), i % 2 == 0 ? large : small);
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const PracticeDeck read = LoadPracticeDeck(dir.path(), [](std::uint32_t) { return true; });
        ASSERT_FALSE(read.setAside) << "kill " << kill;
        ASSERT_TRUE(read.cards == small || read.cards == large) << "kill " << kill;
        sawLarge += read.cards == large;
    }
    EXPECT_GT(sawLarge, 0);
}

}  // namespace
