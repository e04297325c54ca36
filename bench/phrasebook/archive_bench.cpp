// Builds every catalogue file, the whole clip archive included, from an empty clip cache and
// then again with the cache full, and prints both times against their targets.
//   phrasebook_archive_bench [JOBS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "phrasebook/build.h"

namespace {

double TimedBuild(const phrasebook::BuildOptions& options) {
    auto start = std::chrono::steady_clock::now();
    if (!phrasebook::BuildCatalogue(options)) {
        std::fprintf(stderr, "the build failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path root(PHRASEBOOK_SOURCE_DIR);
    auto scratch =
        std::filesystem::temp_directory_path() / ("phrasebook-bench-" + std::to_string(getpid()));
    phrasebook::BuildOptions options;
    options.source = root / "phrasebook" / "phrases.txt";
    options.output = scratch / "run";
    options.cache = scratch / "clips";
    options.speaker = root / "phrasebook" / "speak-clip";
    options.parallel = argc > 1 ? std::atoi(argv[1]) : 2;
    options.say = [](const std::string& line) {
        if (line.find("spoken") == std::string::npos) std::fprintf(stderr, "%s\n", line.c_str());
    };

    double cold = TimedBuild(options);
    double warm = TimedBuild(options);
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);

    constexpr double ColdTarget = 120.0, WarmTarget = 2.0;
    std::printf("whole archive, empty cache: %6.2f s  (target %5.1f s, ratio %.2f)\n", cold,
                ColdTarget, cold / ColdTarget);
    std::printf("nothing changed, full cache: %6.2f s  (target %5.1f s, ratio %.2f)\n", warm,
                WarmTarget, warm / WarmTarget);
    return 0;
}
