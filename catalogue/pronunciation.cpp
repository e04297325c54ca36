#include "catalogue/pronunciation.h"

namespace catalogue {

PronunciationRecord ReadPronunciation(StdFile& pronunciations, PhraseNo number) {
    PronunciationRecord empty;
    if (number < 1 || !pronunciations) return empty;
    if (!pronunciations.Seek(static_cast<std::int64_t>(number - 1) * PronunciationRecord::Size))
        return empty;
    return pronunciations.ReadRecord<PronunciationRecord>().value_or(empty);
}

std::u16string PronunciationDisplayText(const PronunciationRecord& record, PhraseNo number) {
    std::u16string text = record.Text();
    if (!text.empty()) text.pop_back();
    if (number == 1 && !text.empty()) text.erase(0, 1);
    return text;
}

}  // namespace catalogue
