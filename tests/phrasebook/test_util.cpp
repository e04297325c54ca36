#include "tests/phrasebook/test_util.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "phrasebook/source.h"

namespace phrasebook_test {

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("phrasebook-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path SourcePath() {
    return std::filesystem::path(PHRASEBOOK_SOURCE_DIR) / "phrasebook" / "phrases.txt";
}

std::string SourceText() {
    return phrasebook::ReadWholeFile(SourcePath()).value_or("");
}

std::vector<std::uint8_t> MakeClip(const std::vector<bool>& padded) {
    std::vector<std::uint8_t> clip;
    for (bool pad : padded) {
        std::size_t start = clip.size();
        clip.resize(start + (pad ? 105 : 104), 0);
        clip[start] = 0xFF;
        clip[start + 1] = 0xF3;
        clip[start + 2] = pad ? 0x42 : 0x40;
        clip[start + 3] = 0xC4;
    }
    return clip;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace phrasebook_test
