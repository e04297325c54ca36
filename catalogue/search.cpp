#include "catalogue/search.h"

#include <algorithm>
#include <unordered_set>

#include "catalogue/lenientmatch.h"
#include "catalogue/pronunciation.h"
#include "platform/shell/codepage.h"

namespace catalogue {
namespace {

// Lower case for the letters of ASCII and of Latin-1 (the keyword map's widened bytes).
char16_t FoldUnit(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

std::u16string Fold(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded)
        c = FoldUnit(c);
    return folded;
}

// Each byte becomes the code unit of the same value; the text ends at its NUL or first LF.
std::u16string WidenNarrowText(const std::string& text) {
    std::u16string wide;
    for (char c : text) {
        if (c == '\n') break;
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

}  // namespace

const std::array<RelatedRow, 138> RelatedTable{{
    {1, {4, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {2, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {3, {4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {4, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {9, {98, 99, 12, 0, 0, 0, 0, 0, 0, 0, 0}},
    {10, {98, 99, 12, 15, 0, 0, 0, 0, 0, 0, 0}},
    {12, {9, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {13, {9, 10, 15, 0, 0, 0, 0, 0, 0, 0, 0}},
    {14, {15, 16, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {15, {14, 16, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {16, {15, 18, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {17, {15, 18, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {23, {98, 99, 23, 0, 0, 0, 0, 0, 0, 0, 0}},
    {20, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {25, {98, 99, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {26, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {32, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {33, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {34, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {35, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {36, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {37, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {38, {27, 28, 29, 30, 31, 0, 0, 0, 0, 0, 0}},
    {47, {48, 49, 108, 0, 0, 0, 0, 0, 0, 0, 0}},
    {100, {105, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {104, {106, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {105, {100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {106, {104, 222, 223, 0, 0, 0, 0, 0, 0, 0, 0}},
    {108, {48, 49, 168, 255, 0, 0, 0, 0, 0, 0, 0}},
    {156, {476, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {175, {168, 170, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {176, {168, 170, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {236, {238, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {237, {239, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {239, {240, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {252, {168, 170, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {253, {168, 170, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {254, {168, 170, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {255, {168, 170, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {256, {168, 170, 18, 0, 0, 0, 0, 0, 0, 0, 0}},
    {260, {18, 61, 62, 63, 64, 65, 0, 0, 0, 0, 0}},
    {261, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {265, {18, 59, 63, 0, 0, 0, 0, 0, 0, 0, 0}},
    {267, {255, 168, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {268, {255, 168, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {269, {255, 168, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {270, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {271, {272, 277, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {270, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {310, {18, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {314, {60, 61, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {315, {168, 255, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {316, {168, 255, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {317, {168, 255, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {318, {168, 255, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {319, {168, 255, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {320, {168, 255, 528, 0, 0, 0, 0, 0, 0, 0, 0}},
    {321, {87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97}},
    {322, {87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97}},
    {327, {98, 99, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {328, {98, 99, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {330, {329, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {331, {333, 334, 356, 0, 0, 0, 0, 0, 0, 0, 0}},
    {332, {333, 334, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {333, {334, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {335, {336, 337, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {363, {364, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {373, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {374, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {375, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {376, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {377, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {378, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {379, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {380, {330, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {459, {463, 460, 461, 462, 255, 0, 0, 0, 0, 0, 0}},
    {460, {18, 461, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {461, {465, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {463, {168, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {464, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {465, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {466, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {467, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {468, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {469, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {470, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {471, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {472, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {473, {460, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {474, {504, 505, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {490, {491, 492, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {511, {512, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {519, {524, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {520, {524, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {521, {524, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {522, {524, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {523, {524, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {526, {530, 531, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {535, {18, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {537, {539, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {552, {168, 169, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {569, {18, 168, 170, 169, 0, 0, 0, 0, 0, 0, 0}},
    {572, {9, 13, 14, 15, 16, 19, 0, 0, 0, 0, 0}},
    {573, {9, 13, 14, 15, 16, 19, 0, 0, 0, 0, 0}},
    {574, {18, 21, 22, 9, 578, 0, 0, 0, 0, 0, 0}},
    {575, {574, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {587, {168, 170, 169, 0, 0, 0, 0, 0, 0, 0, 0}},
    {588, {168, 170, 169, 0, 0, 0, 0, 0, 0, 0, 0}},
    {589, {168, 170, 169, 0, 0, 0, 0, 0, 0, 0, 0}},
    {590, {168, 170, 169, 0, 0, 0, 0, 0, 0, 0, 0}},
    {591, {168, 170, 169, 0, 0, 0, 0, 0, 0, 0, 0}},
    {592, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {593, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {594, {18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {596, {597, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {598, {18, 21, 600, 0, 0, 0, 0, 0, 0, 0, 0}},
    {638, {463, 18, 168, 170, 0, 0, 0, 0, 0, 0, 0}},
    {639, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {640, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {641, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {642, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {643, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {644, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {645, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {646, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {647, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {648, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {649, {463, 168, 170, 0, 0, 0, 0, 0, 0, 0, 0}},
    {652, {654, 655, 665, 0, 0, 0, 0, 0, 0, 0, 0}},
    {655, {665, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {681, {683, 684, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {682, {683, 684, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {697, {168, 170, 169, 528, 711, 0, 0, 0, 0, 0, 0}},
    {718, {168, 170, 169, 0, 0, 0, 0, 0, 0, 0, 0}},
    {728, {168, 170, 169, 528, 0, 0, 0, 0, 0, 0, 0}},
    {729, {168, 170, 169, 528, 0, 0, 0, 0, 0, 0, 0}},
    {746, {87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97}},
    {775, {777, 18, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
}};

void SearchPhrases(const std::filesystem::path& specFile, std::u16string_view keyword,
                   bool exactMatch, ListRows& rows, const MessageSink& show) {
    if (keyword.empty()) return;
    StdFile spec = StdFile::Open(specFile, "rb");
    if (!spec) {
        show(CantReadSpecFile);
        return;
    }
    rows.clear();
    keyword = keyword.substr(0, KeywordLimit);
    const std::u16string needle = Fold(keyword);
    const LenientKeyword lenient(keyword);
    for (std::int64_t index = 0;;) {
        auto record = spec.ReadRecord<SpecRecord>();
        if (!record) break;
        const std::string text = record->Text();
        const std::u16string wide = WidenNarrowText(text);
        const auto matches = [&](const std::u16string& t) {
            return exactMatch ? Fold(t) == needle : lenient.FoundIn(t);
        };
        // Step over the group's variants; a size of 0 or less is a single phrase.
        const std::int64_t size = std::max<std::int64_t>(record->groupSize, 1);
        if (matches(wide)) {
            ListRow row = MakeItemRow(shell::AnsiToUtf16(text));
            // Found through a variant's words: the row shows that variant, so that what is
            // listed visibly holds the keyword.
            if (size > 1 && !matches(row.item->display)) {
                for (std::int64_t k = 1; k < size; ++k) {
                    if (!spec.Seek((index + k) * static_cast<std::int64_t>(SpecRecord::Size)))
                        break;
                    auto variant = spec.ReadRecord<SpecRecord>();
                    if (!variant) break;
                    const std::u16string shown = CItem(shell::AnsiToUtf16(variant->Text())).display;
                    if (!matches(shown)) continue;
                    row.text = shown;
                    row.item->display = shown;
                    break;
                }
            }
            rows.push_back(std::move(row));
        }
        index += size;
        if (size > 1 && !spec.Seek(index * static_cast<std::int64_t>(SpecRecord::Size))) break;
    }
}

void SearchPhrases(const std::filesystem::path& specFile, StdFile& pronunciations,
                   std::u16string_view keyword, bool exactMatch, ListRows& rows,
                   const MessageSink& show) {
    SearchPhrases(specFile, keyword, exactMatch, rows, show);
    if (rows.empty()) SearchGermanLines(specFile, pronunciations, keyword, exactMatch, rows);
}

void SearchGermanLines(const std::filesystem::path& specFile, StdFile& pronunciations,
                       std::u16string_view keyword, bool exactMatch, ListRows& rows) {
    const LenientKeyword lenient(keyword.substr(0, KeywordLimit));
    if (lenient.Empty() || !pronunciations) return;
    StdFile spec = StdFile::Open(specFile, "rb");
    if (!spec) return;
    // Every record in turn: a group head, or a variant of the last head while its group lasts.
    std::string head;
    std::int64_t groupEnd = 0;
    for (std::int64_t index = 0;; ++index) {
        auto record = spec.ReadRecord<SpecRecord>();
        if (!record) break;
        const bool isHead = index >= groupEnd;
        if (isHead) {
            head = record->Text();
            groupEnd = index + std::max<std::int64_t>(record->groupSize, 1);
        }
        const auto number = static_cast<PhraseNo>(index + 1);
        const std::u16string line =
            PronunciationDisplayText(ReadPronunciation(pronunciations, number), number);
        if (!(exactMatch ? lenient.Matches(line) : lenient.FoundIn(line))) continue;
        ListRow row = MakeItemRow(shell::AnsiToUtf16(head));
        if (!isHead) {
            // The variant's own words in the head's slots, as a pick in the list leaves them.
            row.text = CItem(shell::AnsiToUtf16(record->Text())).display;
            row.item->display = row.text;
        }
        rows.push_back(std::move(row));
    }
}

void RemoveDuplicateRows(ListRows& rows) {
    std::unordered_set<std::u16string> seen;
    std::erase_if(rows,
                  [&seen](const ListRow& row) { return !seen.insert(Fold(row.text)).second; });
}

const RelatedRow* FindRelatedRow(PhraseNo phrase) {
    for (const RelatedRow& row : RelatedTable) {
        if (row.phrase == phrase) return &row;
    }
    return nullptr;
}

bool LoadRelated(PhraseNo current, StdFile& english, const std::filesystem::path& specFile,
                 PhraseMap& map, ListRows& rows, const MessageSink& show) {
    const RelatedRow* row = FindRelatedRow(current);
    if (row == nullptr) return false;
    map.clear();
    rows.clear();
    bool any = false;
    for (PhraseNo related : row->related) {
        if (related == 0) continue;
        any = true;
        AddRelatedPhrase(related, english, specFile, map, rows, show);
    }
    return any;
}

int AddRelatedPhrase(PhraseNo n, StdFile& english, const std::filesystem::path& specFile,
                     PhraseMap& map, ListRows& rows, const MessageSink& show) {
    if (!english || n < 1 || ReadPhraseRange(english, n, n, map) != 1) {
        show(CantReadMapFile);
        return 0;
    }
    StdFile spec = StdFile::Open(specFile, "rb");
    std::optional<SpecRecord> record;
    if (spec && spec.Seek(std::int64_t{n - 1} * SpecRecord::Size))
        record = spec.ReadRecord<SpecRecord>();
    if (!record) {
        show(CantReadSpecFile);
        return 1;
    }
    // A group head offers its variants' words: they resolve through the map as well.
    if (record->groupSize > 1) {
        const auto end = static_cast<PhraseNo>(std::min<std::int64_t>(
            std::int64_t{n} + record->groupSize - 1, std::int64_t{PhraseCount}));
        ReadPhraseRange(english, n + 1, end, map);
    }
    rows.push_back(MakeItemRow(shell::AnsiToUtf16(record->Text())));
    return 1;
}

}  // namespace catalogue
