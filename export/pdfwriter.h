// The phrase sheet: an A4 PDF in two columns, filed under category headings; each phrase its
// English line, its German line in bold and its IPA beneath, long lines wrapped to the column.
// A phrase never breaks across columns or pages, and a heading stays with its first phrase.
// Every page carries "Page N of M"; the fonts (Liberation Sans, and DejaVu Sans for the IPA)
// are embedded.
#pragma once

#include <filesystem>
#include <span>

#include "export/exportphrase.h"
#include "export/writeresult.h"

namespace exporting {

// The phrases go on the sheet in phrase order, whatever order they come in.
WriteResult WritePdf(const std::filesystem::path& file, std::span<const ExportPhrase> phrases);

}  // namespace exporting
