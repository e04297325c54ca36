// The program: the main window on the desktop's display (SDL2). "--help" and "--version"
// answer on standard output without opening a window; "--scale N" draws the window N times
// larger (high-density displays). "--export FILE" writes phrases to a file, also without a
// window.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/accessibility.h"
#include "app/displayscale.h"
#include "app/exportcommand.h"
#include "app/phraseapp.h"
#include "catalogue/updatehandoff.h"
#include "platform/a11y/atkbridge.h"
#include "platform/backend/sdl/sdlbackend.h"
#include "platform/ui/quitsignals.h"
#include "res/dialogs.h"
#include "res/layout.h"

namespace {

constexpr const char* Usage =
    "Usage: tolkara-german [--scale N] [--help | --version]\n"
    "       tolkara-german --export FILE [--category N | --all]\n"
    "A talking English to German travel phrasebook.\n"
    "\n"
    "Without an option the program opens its window. It reads and writes its files in the\n"
    "current folder (the launcher /usr/bin/tolkara-german starts it in\n"
    "$XDG_DATA_HOME/tolkara-german, by default ~/.local/share/tolkara-german).\n"
    "\n"
    "  --scale N  draw the window N times larger (1, 2 or 3), with sharp text; without it\n"
    "             the environment variable TOLKARA_SCALE (1, 2 or 3) decides, else the\n"
    "             display's density (2 from 192 dpi, 3 from 288 dpi, when the window fits)\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --export FILE  write the favourites (or --category N, 1 to 10, or --all phrases) to\n"
    "             FILE without opening a window: NAME.apkg an Anki deck with the audio,\n"
    "             NAME.csv a table with the MP3s in the folder NAME_media, NAME.pdf an A4\n"
    "             phrase sheet; prints the path (exit 0) or why it failed (exit 1)\n";

int BadArguments(const char* why, std::string_view what) {
    std::fprintf(stderr, "tolkara-german: %s '%.*s'\n%s", why, static_cast<int>(what.size()),
                 what.data(), Usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tolkara-german %.*s\n", static_cast<int>(catalogue::ProgramVersion.size()),
                    catalogue::ProgramVersion.data());
        return 0;
    }
    if (const std::vector<std::string_view> args(argv + 1, argv + argc); AsksForExport(args))
        return RunExportCommand(args, Usage);
    std::optional<int> scaleOption;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::optional<std::string_view> value;
        if (arg == "--scale") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tolkara-german: --scale needs a value: 1, 2 or 3\n%s", Usage);
                return 2;
            }
            value = argv[++i];
        } else if (arg.starts_with("--scale=")) {
            value = arg.substr(8);
        } else {
            return BadArguments("unknown option", arg);
        }
        scaleOption = ParseScale(*value);
        if (!scaleOption) return BadArguments("--scale takes 1, 2 or 3, not", *value);
    }
    // Before SDL can start a thread of its own, which would be ended by them.
    ui::QuitSignals::Block();
    std::string error;
    std::unique_ptr<backend::SdlBackend> display = backend::SdlBackend::Create(error);
    if (!display) {
        std::fprintf(stderr, "tolkara-german: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    const res::PixelRect window = res::DialogPixels(res::MainDialog);
    const ui::SIZE windowSize{window.Width(), window.Height()};
    const ui::SIZE screen = display->ScreenSize();
    const int scale = ChooseScale(scaleOption, std::getenv("TOLKARA_SCALE"), display->DisplayDpi(),
                                  screen, windowSize);
    display->SetScale(scale);
    if (const std::string misfit = ScaleMisfit(scale, screen, windowSize); !misfit.empty())
        std::fprintf(stderr, "tolkara-german: %s\n", misfit.c_str());
    CPhraseApp app(*display);
    // SIGTERM, SIGINT and SIGHUP close the window as its close button does, from any box.
    ui::QuitSignals quitSignals(*display);
    // Screen readers see the windows through the desktop's accessibility bus, when there is one.
    const std::unique_ptr<a11y::AtkBridge> accessibility =
        a11y::AtkBridge::Start(app, std::u16string(AccessibleAppName), DescribeProgramWindow);
    return app.Run();
}
