// The phrase clips: each German line spoken by an external speaker script, kept in a cache
// folder under one file per line, so that a build only speaks the lines that changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "phrasebook/source.h"

namespace phrasebook {

// Where the clip of a German line lives. The name depends on the line and on the recipe
// (the speaker script's bytes), so a changed script speaks every line again. The same cache
// keeps other per-line products (the IPA text) under another extension.
class ClipCache {
public:
    ClipCache(std::filesystem::path folder, std::string recipe, std::string extension = ".mp3");

    std::filesystem::path ClipPath(const std::u16string& german) const;
    const std::filesystem::path& Folder() const { return folder_; }

    // Removes cached clips that no line in keep uses, and partial clips of runs that ended
    // before finishing them; clips another running build is making stay.
    void Prune(const std::vector<std::u16string>& keep) const;

private:
    std::filesystem::path folder_;
    std::string recipe_;
    std::string extension_;
};

struct SpeechLine {
    std::u16string german;
    int line = 0;  // the source line, for messages
};

struct SpeechReport {
    std::size_t spoken = 0;  // clips made in this run
    std::size_t reused = 0;  // clips found in the cache
    std::vector<Diagnostic> failures;
};

// What is wrong with a product of the speaker, or nothing when it may enter the cache.
using ProductCheck =
    std::function<std::optional<std::string>(const std::vector<std::uint8_t>& bytes)>;

// Makes every missing clip by running "speaker GERMAN OUTPUT" at most parallel at a time.
// A clip enters the cache only when the speaker succeeded and the clip passed check
// (CheckArchiveClip when none is given). progress, when set, is told of each clip made.
SpeechReport SpeakMissingClips(
    const ClipCache& cache, const std::vector<SpeechLine>& lines,
    const std::filesystem::path& speaker, int parallel,
    const std::function<void(std::size_t done, std::size_t total)>& progress = {},
    const ProductCheck& check = {});

// The bytes of a file, or nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBytes(const std::filesystem::path& path);

}  // namespace phrasebook
