// Exporting all 782 phrases, gathering included, to each format: the best of five runs against
// the budget of 2 s a user may wait. Prints one line per format and the ratio to the budget
// (below 1 is within it); exits 1 when a format is over it. Needs the run folder of
// "make data".
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "export/exportfile.h"
#include "export/phraseset.h"

namespace {

constexpr double BudgetSeconds = 2.0;
constexpr int Runs = 5;

}  // namespace

int main() {
    const std::filesystem::path run = PHRASEBOOK_RUN_DIR;
    if (!std::filesystem::exists(run / "data.dat")) {
        std::fprintf(stderr, "export_bench: no run folder: make data BUILD=build\n");
        return 2;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "export-bench-XXXXXX").string();
    const std::filesystem::path out = mkdtemp(pattern.data());
    bool within = true;
    for (const char* name : {"all.apkg", "all.csv", "all.pdf"}) {
        double best = 1e9;
        std::size_t phrases = 0;
        for (int i = 0; i < Runs; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const exporting::PhraseSet set =
                exporting::CollectPhrases(run, exporting::ExportScope::All());
            const exporting::WriteResult result = exporting::ExportToFile(out / name, set.phrases);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (!result.ok || set.phrases.size() != 782) {
                std::fprintf(stderr, "export_bench: %s failed\n", name);
                std::filesystem::remove_all(out);
                return 2;
            }
            phrases = set.phrases.size();
            best = std::min(best, took.count());
        }
        std::printf("export %zu phrases to %-9s %7.3f s  (budget %.1f s, ratio %.3f)  %8ju bytes\n",
                    phrases, name, best, BudgetSeconds, best / BudgetSeconds,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(out / name)));
        within = within && best < BudgetSeconds;
    }
    std::filesystem::remove_all(out);
    return within ? 0 : 1;
}
