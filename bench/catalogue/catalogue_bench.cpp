// The catalogue operations a user waits on: a search over all 782 phrases (under 2 ms), the
// largest subcategory listed (under 2 ms), and adding or removing a favourite with 500 stored,
// sync to disk included (under 5 ms each). Needs the run folder of "make data".
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "catalogue/favouritesstore.h"
#include "catalogue/search.h"
#include "catalogue/subcategories.h"
#include "catalogue/textconvert.h"

namespace {

using namespace catalogue;

const std::filesystem::path Run = PHRASEBOOK_RUN_DIR;

void Ignore(std::u16string_view) {}

// A scratch folder for one benchmark, removed afterwards.
struct Scratch {
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "catalogue-bench-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~Scratch() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

bool HaveRun(benchmark::State& state) {
    if (std::filesystem::exists(Run / "MapEngSpec.data")) return true;
    state.SkipWithError("no run folder: make data BUILD=build");
    return false;
}

// The search command: all phrases into the map, the keyword map searched, duplicates removed.
void SearchAllPhrases(benchmark::State& state) {
    if (!HaveRun(state)) return;
    Scratch scratch;
    ConvertEnglishText(Run / "English.txt", scratch.path / "English.dat");
    PhraseMap map;
    ListRows rows;
    for (auto _ : state) {
        LoadAllPhrases(scratch.path / "English.dat", map);
        rows.clear();
        SearchPhrases(Run / "MapEngSpec.data", u"e", false, rows, Ignore);
        RemoveDuplicateRows(rows);
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(SearchAllPhrases)->Unit(benchmark::kMillisecond);

// Travel's "All": 159 phrases, the largest range.
void ListLargestSubcategory(benchmark::State& state) {
    if (!HaveRun(state)) return;
    Scratch scratch;
    ConvertEnglishText(Run / "English.txt", scratch.path / "English.dat");
    StdFile english = StdFile::Open(scratch.path / "English.dat", "rb");
    const PhraseRange range = *FindSubcategoryRange(SubcategoryKey(2, 0));
    PhraseMap map;
    ListRows rows;
    for (auto _ : state) {
        LoadPhraseRange(english, Run / "MapEngSpec.data", range.first, range.last, map, rows,
                        Ignore);
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(ListLargestSubcategory)->Unit(benchmark::kMillisecond);

PhraseRecord Favourite(int n) {
    PhraseRecord record;
    const std::string text = "Favourite phrase number " + std::to_string(n);
    record.SetText(std::u16string(text.begin(), text.end()));
    record.number = n % PhraseCount + 1;
    return record;
}

// 500 favourites stored; one more added and removed again each round.
void AddFavourite(benchmark::State& state) {
    Scratch scratch;
    FavouritesStore store(scratch.path);
    for (int n = 0; n < 500; ++n)
        store.AddFavourite(Favourite(n));
    const PhraseRecord extra = Favourite(9999);
    for (auto _ : state) {
        if (store.AddFavourite(extra) != FavouritesStore::Result::Done)
            state.SkipWithError("add failed");
        state.PauseTiming();
        store.RemoveFavourite(extra);
        state.ResumeTiming();
    }
}
BENCHMARK(AddFavourite)->Unit(benchmark::kMillisecond)->UseRealTime();

void RemoveFavourite(benchmark::State& state) {
    Scratch scratch;
    FavouritesStore store(scratch.path);
    for (int n = 0; n < 500; ++n)
        store.AddFavourite(Favourite(n));
    const PhraseRecord extra = Favourite(9999);
    for (auto _ : state) {
        state.PauseTiming();
        store.AddFavourite(extra);
        state.ResumeTiming();
        if (store.RemoveFavourite(extra) != FavouritesStore::Result::Done)
            state.SkipWithError("remove failed");
    }
}
BENCHMARK(RemoveFavourite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
