#include "export/csvwriter.h"

#include <fstream>

#include "platform/shell/codepage.h"

namespace exporting {
namespace {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::string CsvText(std::span<const ExportPhrase> phrases) {
    std::string text = "English,German,IPA,Audio\r\n";
    for (const ExportPhrase& phrase : phrases) {
        text += CsvField(shell::Utf16ToUtf8(phrase.english)) + ',' +
                CsvField(shell::Utf16ToUtf8(phrase.german)) + ',' +
                CsvField(shell::Utf16ToUtf8(phrase.ipa)) + ',';
        if (!phrase.clip.empty()) text += "[sound:" + ClipFileName(phrase.number) + "]";
        text += "\r\n";
    }
    return text;
}

WriteResult WriteCsv(const std::filesystem::path& file, const std::filesystem::path& folder,
                     std::span<const ExportPhrase> phrases) {
    for (const ExportPhrase& phrase : phrases) {
        if (phrase.clip.empty()) continue;
        const std::filesystem::path clip = folder / ClipFileName(phrase.number);
        if (!WriteFile(clip, std::string_view(reinterpret_cast<const char*>(phrase.clip.data()),
                                              phrase.clip.size())))
            return WriteResult::Failed(u"Can't write " + shell::Utf8ToUtf16(clip.string()));
    }
    if (!WriteFile(file, CsvText(phrases)))
        return WriteResult::Failed(u"Can't write " + shell::Utf8ToUtf16(file.string()));
    return WriteResult::Done();
}

}  // namespace exporting
