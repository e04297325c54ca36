// phraseMap: from a phrase's cleaned English text to its phrase number, and the readers
// of "English.dat" that fill it.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace catalogue {

// Key: cleaned English text. Value: the phrase number in decimal ("%d").
using PhraseMap = std::map<std::u16string, std::u16string>;

// The key of a record: its text without TAB, LF and CR; phrase 1 also loses its first
// code unit (the byte-order mark of the authored file).
std::u16string CleanPhraseText(const PhraseRecord& record);

std::u16string DecimalText(std::int32_t value);
// Reads leading decimal digits (after an optional sign) as strtol does; none gives 0.
std::int32_t ParseDecimal(const std::u16string& text);

// Reads the records of phrases first..last from an open "English.dat" into map (which is
// not emptied first); stops early at the end of the file. Later records replace earlier
// ones with the same key. Returns how many records were read.
int ReadPhraseRange(StdFile& english, PhraseNo first, PhraseNo last, PhraseMap& map);

// Empties map and fills it from the whole of the given "English.dat", opened as a stream
// of its own. False when the file cannot be opened (map stays empty).
bool LoadAllPhrases(const std::filesystem::path& englishData, PhraseMap& map);

}  // namespace catalogue
