#include "catalogue/textconvert.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <span>

#include "catalogue/records.h"
#include "catalogue/safewrite.h"
#include "catalogue/stdfile.h"

namespace catalogue {
namespace {

// Reads up to limit bytes and yields the UTF-16LE code units they hold (an odd last byte
// is ignored). NoMemory when the buffers cannot be had, CannotRead on a read error.
ConvertResult ReadUnits(StdFile& in, std::size_t limit, std::unique_ptr<char16_t[]>& units,
                        std::size_t& count) {
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[limit]);
    units.reset(new (std::nothrow) char16_t[limit / 2]);
    if (!bytes || !units) return ConvertResult::NoMemory;
    std::size_t got = std::fread(bytes.get(), 1, limit, in.get());
    if (std::ferror(in.get()) != 0) return ConvertResult::CannotRead;
    count = got / 2;
    for (std::size_t i = 0; i < count; ++i)
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return ConvertResult::Written;
}

// The shared line loop: PhraseCount lines, each handed to makeRecord; the records replace
// the record file in one step, so that whenever the program stops the file is either the old
// one or whole.
template <typename MakeRecord>
ConvertResult ConvertLines(const std::filesystem::path& textPath,
                           const std::filesystem::path& dataPath, std::size_t readLimit,
                           bool removeTabs, MakeRecord makeRecord) {
    StdFile in = StdFile::Open(textPath, "rb");
    if (!in) return ConvertResult::NoSource;
    std::unique_ptr<char16_t[]> units;
    std::size_t count = 0;
    if (ConvertResult read = ReadUnits(in, readLimit, units, count); read != ConvertResult::Written)
        return read;

    std::vector<std::byte> records;
    std::size_t pos = 0;
    std::u16string line;
    for (PhraseNo number = 1; number <= PhraseCount; ++number) {
        line.clear();
        while (pos < count && units[pos] != u'\n') {
            char16_t unit = units[pos++];
            if (!(removeTabs && unit == u'\t')) line.push_back(unit);
        }
        if (pos < count) ++pos;  // past the LF
        const auto record = makeRecord(line, number).Encode();
        const auto bytes = std::as_bytes(std::span(record));
        records.insert(records.end(), bytes.begin(), bytes.end());
    }
    return ReplaceFile(dataPath, dataPath.filename().string(), records)
               ? ConvertResult::Written
               : ConvertResult::CannotCreate;
}

}  // namespace

ConvertResult ConvertEnglishText(const std::filesystem::path& text,
                                 const std::filesystem::path& data) {
    return ConvertLines(text, data, EnglishReadLimit, true,
                        [](const std::u16string& line, PhraseNo number) {
                            PhraseRecord record;
                            record.SetText(line);
                            record.number = number;
                            return record;
                        });
}

ConvertResult ConvertPronunciationText(const std::filesystem::path& text,
                                       const std::filesystem::path& data) {
    return ConvertLines(text, data, PronunciationReadLimit, false,
                        [](const std::u16string& line, PhraseNo) {
                            PronunciationRecord record;
                            record.SetText(line);
                            return record;
                        });
}

bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::u16string>& lines) {
    StdFile out = StdFile::Open(path, "wb");
    if (!out) return false;
    std::vector<std::uint8_t> bytes;
    auto put = [&bytes](char16_t unit) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    put(u'\xFEFF');
    for (const auto& line : lines) {
        for (char16_t unit : line)
            put(unit);
        put(u'\r');
        put(u'\n');
    }
    return out.WriteAll(bytes.data(), bytes.size()) && std::fflush(out.get()) == 0;
}

}  // namespace catalogue
