#include "phrasebook/writers.h"

#include "catalogue/stdfile.h"
#include "platform/shell/codepage.h"

namespace phrasebook {

std::vector<std::u16string> EnglishLines(const Source& source) {
    std::vector<std::u16string> lines;
    for (const auto& phrase : source.phrases)
        lines.push_back(phrase.english);
    return lines;
}

std::vector<std::u16string> GermanLines(const Source& source) {
    std::vector<std::u16string> lines;
    for (const auto& phrase : source.phrases)
        lines.push_back(phrase.german);
    return lines;
}

std::vector<SpecRecord> SpecRecords(const Source& source) {
    std::vector<SpecRecord> records(source.phrases.size());
    for (std::size_t i = 0; i < source.phrases.size(); ++i) {
        records[i].SetText(shell::Utf16ToAnsi(source.phrases[i].english).value_or(""));
        records[i].groupSize = 1;
    }
    for (const auto& group : source.groups) {
        if (group.size == 0 || group.first >= records.size()) continue;
        records[group.first].SetText(shell::Utf16ToAnsi(group.head).value_or(""));
        records[group.first].groupSize = static_cast<std::int16_t>(group.size);
    }
    return records;
}

bool WriteSpecFile(const std::filesystem::path& path, const std::vector<SpecRecord>& records) {
    catalogue::StdFile out = catalogue::StdFile::Open(path, "wb");
    if (!out) return false;
    for (const auto& record : records)
        if (!out.WriteRecord(record)) return false;
    return std::fflush(out.get()) == 0;
}

}  // namespace phrasebook
