// The audio archive: "data.dat" (header and clip bytes) and "data.idx" (one entry per phrase).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "catalogue/records.h"

namespace catalogue {

// The result of reading one phrase's clip. Only Clip hands over bytes; otherwise there is no
// clip for the phrase, and the caller shows Message() when it is not null.
struct ClipFetch {
    enum class Outcome {
        Clip,         // clip holds exactly the indexed bytes (possibly none)
        NoDataFile,   // "data.dat" cannot be opened
        NoIndexFile,  // "data.idx" cannot be opened
        NoIndex,      // "data.idx" cannot be read
        OutOfRange,   // phrase below 1 or past the last index entry
        BadFormat,    // header magic or version wrong
        ShortRead,    // the entry points past the end of "data.dat"
    };
    Outcome outcome = Outcome::NoDataFile;
    std::vector<std::uint8_t> clip;

    // The message box text for this outcome, or nullptr when none is shown.
    const char16_t* Message() const;
    // The archive is not there at all (either of its files missing).
    bool ArchiveMissing() const {
        return outcome == Outcome::NoDataFile || outcome == Outcome::NoIndexFile;
    }
};

ClipFetch ReadClip(const std::filesystem::path& dataFile, const std::filesystem::path& indexFile,
                   PhraseNo phrase);

// Writes an archive holding clips[n - 1] as phrase n's clip. Identical clips are stored
// once and share their bytes. False when a file cannot be written or the data exceed the
// 32-bit offsets.
bool WriteArchive(const std::filesystem::path& dataFile, const std::filesystem::path& indexFile,
                  const std::vector<std::vector<std::uint8_t>>& clips);

}  // namespace catalogue
