#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/backend/sdl/sdlbackend.h"

namespace {

// Without a display SDL quietly picks its off-screen driver; the backend says so instead of
// opening windows nobody can see.
TEST(SdlBackend, RefusesToRunWithoutADisplay) {
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string error;
    const auto backend = backend::SdlBackend::Create(error);
    if (previous != nullptr) {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    EXPECT_EQ(backend, nullptr);
    EXPECT_NE(error.find("no display"), std::string::npos) << error;
}

}  // namespace
