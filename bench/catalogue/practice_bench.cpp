// Practice on the whole phrasebook: opening a session over all 782 phrases (the deck read
// from practice.dat, the queue made) and moving to the next card (the grade, and the deck
// saved whole with its sync and rename). Target: each under 5 ms, medians.
//
//   build/bin/practice_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/practicesession.h"
#include "catalogue/practicestore.h"

namespace {

using namespace catalogue;

const Day Today = DayFromCivil(2026, 12, 9);

std::vector<PracticeRow> AllRows() {
    std::vector<PracticeRow> rows;
    for (std::uint32_t n = 1; n <= 782; ++n)
        rows.push_back({n, "Where is the nearest bus stop, please? " + std::to_string(n)});
    return rows;
}

// A folder holding a practice.dat of 400 cards, half of them due today.
struct Folder {
    Folder() {
        path = std::filesystem::temp_directory_path() / "practice_bench";
        std::filesystem::create_directories(path);
        const std::vector<PracticeRow> rows = AllRows();
        std::vector<PracticeCard> cards;
        for (std::uint32_t n = 1; n <= 400; ++n) {
            PracticeCard card{n, rows[n - 1].english, {}};
            card.schedule.due = Day{Today.n + static_cast<int>(n % 2)};
            card.schedule.introduced = Day{Today.n - 30};
            cards.push_back(card);
        }
        SavePracticeDeck(path, cards);
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

void BM_OpenPracticeOn782Phrases(benchmark::State& state) {
    Folder folder;
    const std::vector<PracticeRow> rows = AllRows();
    for (auto _ : state) {
        PracticeDeck deck = LoadPracticeDeck(folder.path, [](std::uint32_t) { return true; });
        PracticeSession session(std::move(deck.cards), rows, Today);
        benchmark::DoNotOptimize(session.Current());
    }
}
BENCHMARK(BM_OpenPracticeOn782Phrases)->Unit(benchmark::kMillisecond);

void BM_NextCardWithTheDeckSaved(benchmark::State& state) {
    Folder folder;
    PracticeDeck deck = LoadPracticeDeck(folder.path, [](std::uint32_t) { return true; });
    PracticeSession session(std::move(deck.cards), AllRows(), Today);
    for (auto _ : state) {
        session.Grade(Grade::Again);  // the card comes back: the queue never runs out
        SavePracticeDeck(folder.path, session.Deck());
        benchmark::DoNotOptimize(session.Current());
    }
}
BENCHMARK(BM_NextCardWithTheDeckSaved)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
