// The table: UTF-8 comma-separated values with a header row (English, German, IPA, Audio), one
// row per phrase, the Audio column "[sound:NAME.mp3]" naming the clip in the folder beside it
// (empty for a phrase without a clip). Fields are quoted when they hold a comma, a quote or a
// line break; lines end in CR LF.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "export/exportphrase.h"
#include "export/writeresult.h"

namespace exporting {

std::string CsvText(std::span<const ExportPhrase> phrases);

// Writes the table to file and each clip as NAME.mp3 into folder (which exists).
WriteResult WriteCsv(const std::filesystem::path& file, const std::filesystem::path& folder,
                     std::span<const ExportPhrase> phrases);

}  // namespace exporting
