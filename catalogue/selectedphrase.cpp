#include "catalogue/selectedphrase.h"

#include "catalogue/clipfetch.h"
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
                                     const std::filesystem::path& indexFile, CAudioPlayer& player,
                                     const MessageSink& show) {
    SelectedPhrase selected;
    selected.currentPhrase = ResolveRowText(rowText, map);
    const PhraseNo number = selected.currentPhrase.number;
    if (!map.contains(std::u16string(rowText))) {
        player.Close();
        return selected;
    }
    FetchClip(dataFile, indexFile, number, player, show);
    selected.pronunciationRecord = ReadPronunciation(pronunciations, number);
    selected.pronunciationText = PronunciationDisplayText(selected.pronunciationRecord, number);
    return selected;
}

}  // namespace catalogue
