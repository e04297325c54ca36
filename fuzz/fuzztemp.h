// A scratch folder for one fuzzing process, and a way to put bytes into a file there.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fuzzsupport {

inline const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tolkara-fuzz-XXXXXX").string();
        return std::filesystem::path(mkdtemp(pattern.data()));
    }();
    return dir;
}

inline void PutFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) __builtin_trap();
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace fuzzsupport
