#include <gtest/gtest.h>

#include "catalogue/practiceschedule.h"
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

}  // namespace
