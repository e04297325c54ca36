// A run folder for the main window's tests: a fresh temporary directory made the current
// one (the program opens its files by bare name), with authored text files of 782 phrases.
// The previous directory is restored and the folder removed when the object goes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/archive.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"
#include "catalogue/textconvert.h"

namespace apptest {

// "Phrase n" and "Satz n" for n = 1 … 782.
inline std::vector<std::u16string> NumberedLines(const std::u16string& word) {
    std::vector<std::u16string> lines;
    for (int n = 1; n <= 782; ++n) {
        const std::string digits = std::to_string(n);
        lines.push_back(word + u" " + std::u16string(digits.begin(), digits.end()));
    }
    return lines;
}

class RunFolder {
public:
    RunFolder() : previous_(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tolkara-app-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        std::filesystem::current_path(path_);
    }
    ~RunFolder() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // "English.txt" and "Pro3.txt" as the phrasebook authors them, a keyword map of single
    // phrases ("Phrase n") and an archive whose clips are the same short silence, so the
    // window starts without a message.
    void WriteTextFiles() const {
        catalogue::WriteTextFile(path_ / "English.txt", NumberedLines(u"Phrase"));
        catalogue::WriteTextFile(path_ / "Pro3.txt", NumberedLines(u"Satz"));
        auto spec = catalogue::StdFile::Open(path_ / "MapEngSpec.data", "wb");
        for (int n = 1; n <= 782; ++n) {
            SpecRecord record;
            record.SetText("Phrase " + std::to_string(n));
            record.groupSize = 1;
            spec.WriteRecord(record);
        }
        catalogue::WriteArchive(path_ / "data.dat", path_ / "data.idx",
                                std::vector<std::vector<std::uint8_t>>(782, SilentClip(20)));
    }

    // Silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono): a valid header, zero data.
    static std::vector<std::uint8_t> SilentClip(int frames) {
        std::vector<std::uint8_t> clip;
        for (int i = 0; i < frames; ++i) {
            const std::size_t at = clip.size();
            clip.resize(at + 417, 0);
            clip[at] = 0xFF;
            clip[at + 1] = 0xFB;
            clip[at + 2] = 0x90;
            clip[at + 3] = 0xC0;
        }
        return clip;
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace apptest
