// Everything the catalogue files need of the phrasebook's source, checked before any file is
// written: counts, subcategory ranges, groups and their variants, lengths and encodings.
#pragma once

#include <string_view>
#include <vector>

#include "phrasebook/source.h"

namespace phrasebook {

// Lengths in UTF-16 code units as the record files hold them. Each line also carries its CR,
// and phrase 1 the byte-order mark of the text file, inside the record's text field.
inline constexpr std::size_t EnglishFieldUnits = 55;        // PhraseRecord text less its NUL
inline constexpr std::size_t PronunciationFieldUnits = 69;  // PronunciationRecord likewise
inline constexpr std::size_t HeadFieldBytes = 175;          // SpecRecord text less its NUL

// Every finding, each naming the source line it is about; empty when the source is sound.
std::vector<Diagnostic> CheckSource(const Source& source);

// Every finding of an IPA text file's bytes (catalogue::IpaText) for a phrasebook of phrases
// phrases: UTF-8, one line per phrase, each line IPA (catalogue::IsIpaLine). A finding's line
// is the file's line.
std::vector<Diagnostic> CheckIpaText(std::string_view bytes, std::size_t phrases);

}  // namespace phrasebook
