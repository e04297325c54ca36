// respreview OUTDIR: renders the composed main window, the about box and a contact sheet of
// every bitmap to OUTDIR/main.png, about.png and sheet.png.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/gdi/png.h"
#include "res/preview.h"
#include "res/programresources.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: respreview OUTDIR\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "respreview: cannot create %s: %s\n", argv[1],
                     error.message().c_str());
        return 1;
    }
    const shell::ResourceBundle& bundle = res::ProgramResources();
    struct Picture {
        const char* name;
        gdi::Bitmap bitmap;
    } pictures[] = {
        {"main.png", res::ComposeMainWindow(bundle, shell::UserLanguage())},
        {"about.png", res::ComposeAboutBox(bundle)},
        {"sheet.png", res::ComposeContactSheet(bundle)},
    };
    int failures = 0;
    for (const Picture& picture : pictures) {
        std::string path = (dir / picture.name).string();
        if (!picture.bitmap || !gdi::SavePng(picture.bitmap, path)) {
            std::fprintf(stderr, "respreview: cannot write %s\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return failures ? 1 : 0;
}
