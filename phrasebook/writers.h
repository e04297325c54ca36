// The catalogue's text and keyword-map files, written from a checked source.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/records.h"
#include "phrasebook/source.h"

namespace phrasebook {

// One line per phrase, in phrase order.
std::vector<std::u16string> EnglishLines(const Source& source);
std::vector<std::u16string> GermanLines(const Source& source);

// One record per phrase: a group's head record holds the head's text with all its slots and
// the group's size; every other record holds its own phrase's text and size 1, so that a
// related-phrase row built from a variant shows and finds that variant. Texts that the code
// page cannot hold come out empty (the checker rejects them first).
std::vector<SpecRecord> SpecRecords(const Source& source);

bool WriteSpecFile(const std::filesystem::path& path, const std::vector<SpecRecord>& records);

}  // namespace phrasebook
