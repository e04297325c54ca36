// phrasebook-build: checks the phrasebook's source and builds the catalogue files from it.
//
//   phrasebook-build check SOURCE
//   phrasebook-build text SOURCE OUTPUT
//   phrasebook-build all SOURCE OUTPUT CACHE SPEAKER [JOBS]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "phrasebook/build.h"

namespace {

int Usage() {
    std::fputs(
        "usage: phrasebook-build check SOURCE\n"
        "       phrasebook-build text SOURCE OUTPUT\n"
        "       phrasebook-build all SOURCE OUTPUT CACHE SPEAKER [JOBS]\n",
        stderr);
    return 2;
}

void Say(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string command = argv[1];
    if (command == "check" && argc == 3) return phrasebook::CheckSourceFile(argv[2], Say) ? 0 : 1;

    phrasebook::BuildOptions options;
    options.say = Say;
    if (command == "text" && argc == 4) {
        options.source = argv[2];
        options.output = argv[3];
        options.speech = false;
    } else if (command == "all" && (argc == 6 || argc == 7)) {
        options.source = argv[2];
        options.output = argv[3];
        options.cache = argv[4];
        options.speaker = argv[5];
        if (argc == 7) {
            options.parallel = std::atoi(argv[6]);
            if (options.parallel < 1) return Usage();
        }
    } else {
        return Usage();
    }
    return phrasebook::BuildCatalogue(options) ? 0 : 1;
}
