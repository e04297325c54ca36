// A run folder for the main window's tests: a fresh temporary directory made the current
// one (the program opens its files by bare name), with authored text files of 782 phrases.
// The previous directory is restored and the folder removed when the object goes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

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

    // "English.txt" and "Pro3.txt" as the phrasebook authors them.
    void WriteTextFiles() const {
        catalogue::WriteTextFile(path_ / "English.txt", NumberedLines(u"Phrase"));
        catalogue::WriteTextFile(path_ / "Pro3.txt", NumberedLines(u"Satz"));
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace apptest
