// The program: the main window on the desktop's display (SDL2). "--help" and "--version"
// answer on standard output without opening a window.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/phraseapp.h"
#include "catalogue/updatehandoff.h"
#include "platform/backend/sdl/sdlbackend.h"

namespace {

constexpr const char* Usage =
    "Usage: tolkara-german [--help | --version]\n"
    "A talking English to German travel phrasebook.\n"
    "\n"
    "Without an option the program opens its window. It reads and writes its files in the\n"
    "current folder (the launcher /usr/bin/tolkara-german starts it in\n"
    "$XDG_DATA_HOME/tolkara-german, by default ~/.local/share/tolkara-german).\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
            std::printf("tolkara-german %.*s\n", static_cast<int>(catalogue::ProgramVersion.size()),
                        catalogue::ProgramVersion.data());
            return 0;
        }
        std::fprintf(stderr, "tolkara-german: unknown option '%s'\n%s", argv[1], Usage);
        return 2;
    }
    std::string error;
    std::unique_ptr<backend::SdlBackend> display = backend::SdlBackend::Create(error);
    if (!display) {
        std::fprintf(stderr, "tolkara-german: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    CPhraseApp app(*display);
    return app.Run();
}
