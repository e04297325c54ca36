#include "catalogue/phrasemap.h"

#include <algorithm>

namespace catalogue {

std::u16string CleanPhraseText(const PhraseRecord& record) {
    std::u16string text = record.Text();
    std::erase_if(text, [](char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r'; });
    if (record.number == 1 && !text.empty()) text.erase(0, 1);
    return text;
}

std::u16string DecimalText(std::int32_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::int32_t ParseDecimal(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT32_MAX) return negative ? INT32_MIN : INT32_MAX;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

int ReadPhraseRange(StdFile& english, PhraseNo first, PhraseNo last, PhraseMap& map) {
    if (first < 1 || !english.Seek(static_cast<std::int64_t>(first - 1) * PhraseRecord::Size))
        return 0;
    int count = 0;
    for (PhraseNo i = first - 1; i < last; ++i) {
        auto record = english.ReadRecord<PhraseRecord>();
        if (!record) break;
        map[CleanPhraseText(*record)] = DecimalText(record->number);
        ++count;
    }
    return count;
}

bool LoadAllPhrases(const std::filesystem::path& englishData, PhraseMap& map) {
    map.clear();
    StdFile english = StdFile::Open(englishData, "rb");
    if (!english) return false;
    ReadPhraseRange(english, 1, PhraseCount, map);
    return true;
}

}  // namespace catalogue
