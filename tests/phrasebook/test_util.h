// Helpers shared by the phrasebook tests: a scratch folder, the real source, valid clips.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace phrasebook_test {

// A fresh folder under the system's temporary directory, removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::filesystem::path SourcePath();  // the repository's phrasebook/phrases.txt
std::string SourceText();

// A clip of frames back-to-back as the archive wants them; padded[i] sets frame i's padding.
std::vector<std::uint8_t> MakeClip(const std::vector<bool>& padded);

void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace phrasebook_test
