// Pronunciation lines: one record per phrase in "Chinese.dat", and how a record is shown.
#pragma once

#include <string>

#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace catalogue {

// The record of phrase number from an open "Chinese.dat"; an empty record when the number
// is below 1, the stream is not open, or the record lies past the end of the file.
PronunciationRecord ReadPronunciation(StdFile& pronunciations, PhraseNo number);

// The shown text: the record's text without its last code unit (the line's CR) and, for
// phrase 1, without its first (the byte-order mark).
std::u16string PronunciationDisplayText(const PronunciationRecord& record, PhraseNo number);

}  // namespace catalogue
