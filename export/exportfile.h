// Exporting phrases to a file whose extension chooses the format: ".apkg" a flashcard deck,
// ".csv" a table with its clips in a folder beside it, ".pdf" a printable phrase sheet.
//
// Nothing half-written ever lies under the file's name: the export is written beside it under
// a hidden scratch name, synced, and renamed over the file in one step, so an existing file is
// replaced only by a whole new one, and a failed export leaves it as it was. A CSV file's folder
// is made whole beside the old one before it takes the old one's place.
#pragma once

#include <filesystem>
#include <optional>
#include <span>

#include "export/exportphrase.h"
#include "export/writeresult.h"

namespace exporting {

enum class ExportFormat { Apkg, Csv, Pdf };

// The format an extension names (any letter case); nothing for any other name.
std::optional<ExportFormat> FormatOf(const std::filesystem::path& file);

// The folder that holds a CSV file's clips: "Phrases.csv" -> "Phrases_media".
std::filesystem::path CsvMediaFolder(const std::filesystem::path& csvFile);

WriteResult ExportToFile(const std::filesystem::path& file, std::span<const ExportPhrase> phrases);

}  // namespace exporting
