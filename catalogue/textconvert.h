// The authored UTF-16LE text files and the fixed-record files built from them.
//
// A converter reads at most its read limit from the text file, cuts every line to its
// record's text field, writes exactly PhraseCount records (empty ones past the last line)
// and never reads or writes outside its buffers. The record file is replaced in one step:
// whenever the program stops, and on any failure, it is the old file (or none) or the whole
// new one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace catalogue {

enum class ConvertResult {
    Written,       // the record file was written whole
    NoSource,      // the text file could not be opened
    CannotRead,    // the text file opened but reading it failed
    CannotCreate,  // the record file could not be created or written
    NoMemory,      // the conversion buffer could not be allocated
};

// Limits of the authored text files, in bytes read.
inline constexpr std::size_t EnglishReadLimit = 999'900;
inline constexpr std::size_t PronunciationReadLimit = 353'000;

// "English.txt" to "English.dat": TAB and LF removed from each line, the CR kept;
// record i holds phrase number i + 1.
ConvertResult ConvertEnglishText(const std::filesystem::path& text,
                                 const std::filesystem::path& data);

// "Pro3.txt" to "Chinese.dat": each line kept as it is (TAB and CR included).
ConvertResult ConvertPronunciationText(const std::filesystem::path& text,
                                       const std::filesystem::path& data);

// Writes lines as the authored files are laid out: UTF-16LE, byte-order mark, CR LF after
// every line. For the tools that build the catalogue.
bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::u16string>& lines);

}  // namespace catalogue
