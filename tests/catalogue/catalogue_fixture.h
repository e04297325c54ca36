// Small crafted catalogue files for the list loaders' tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/listrow.h"
#include "catalogue/records.h"
#include "catalogue/stdfile.h"

namespace cataloguetest {

inline PhraseRecord Phrase(const std::u16string& text, PhraseNo number) {
    PhraseRecord record;
    record.SetText(text);
    record.number = number;
    return record;
}

inline SpecRecord Spec(const std::string& text, std::int16_t groupSize = 1) {
    SpecRecord record;
    record.SetText(text);
    record.groupSize = groupSize;
    return record;
}

template <typename Record>
void WriteRecords(const std::filesystem::path& path, const std::vector<Record>& records) {
    auto file = catalogue::StdFile::Open(path, "wb");
    ASSERT_TRUE(file);
    for (const auto& r : records)
        ASSERT_TRUE(file.WriteRecord(r));
}

inline std::vector<std::u16string> Texts(const catalogue::ListRows& rows) {
    std::vector<std::u16string> texts;
    for (const auto& row : rows)
        texts.push_back(row.text);
    return texts;
}

// Records every message shown.
struct Shown {
    std::vector<std::u16string> texts;
    catalogue::MessageSink Sink() {
        return [this](std::u16string_view text) { texts.emplace_back(text); };
    }
};

}  // namespace cataloguetest
