#include "catalogue/selectedphrase.h"

#include "catalogue/pronunciation.h"

namespace catalogue {

PhraseRecord ResolveRowText(std::u16string_view rowText, const PhraseMap& map) {
    PhraseRecord record;
    record.SetText(rowText);
    auto found = map.find(std::u16string(rowText));
    record.number = found == map.end() ? 0 : ParseDecimal(found->second);
    return record;
}

SelectedPhrase ResolveSelectedPhrase(std::u16string_view rowText, const PhraseMap& map,
                                     StdFile& pronunciations, const std::filesystem::path& dataFile,
                                     const std::filesystem::path& indexFile) {
    SelectedPhrase selected;
    selected.currentPhrase = ResolveRowText(rowText, map);
    selected.clip.outcome = ClipFetch::Outcome::OutOfRange;
    if (!map.contains(std::u16string(rowText))) return selected;
    const PhraseNo number = selected.currentPhrase.number;
    selected.clip = ReadClip(dataFile, indexFile, number);
    selected.pronunciationRecord = ReadPronunciation(pronunciations, number);
    selected.pronunciationText = PronunciationDisplayText(selected.pronunciationRecord, number);
    return selected;
}

}  // namespace catalogue
