// The program: the main window on the desktop's display (SDL2).
#include <cstdio>
#include <memory>
#include <string>

#include "app/phraseapp.h"
#include "platform/backend/sdl/sdlbackend.h"

int main() {
    std::string error;
    std::unique_ptr<backend::SdlBackend> display = backend::SdlBackend::Create(error);
    if (!display) {
        std::fprintf(stderr, "tolkara-german: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    CPhraseApp app(*display);
    return app.Run();
}
