#include "catalogue/subcategories.h"

#include <algorithm>

#include "platform/shell/codepage.h"

namespace catalogue {

const std::array<SubcategoryName, 60> SubcategoryNames{{
    {100, u"All"},
    {101, u"Greetings"},
    {102, u"Language"},
    {103, u"Weather"},
    {104, u"Signs"},
    {105, u"Date and Time"},
    {106, u"Numbers"},
    {107, u"Key words and phrase"},
    {200, u"All"},
    {201, u"Arrival"},
    {202, u"Loss and damage"},
    {203, u"Directions"},
    {204, u"Plane"},
    {205, u"Signs"},
    {206, u"Train/Bus"},
    {207, u"Car rental"},
    {208, u"Gas and Parking"},
    {209, u"Problems"},
    {210, u"Taxi"},
    {300, u"All"},
    {301, u"Finding Restaurant"},
    {302, u"At Restaurant"},
    {303, u"Personal Needs"},
    {304, u"Complains"},
    {305, u"Menu Reader"},
    {400, u"All"},
    {401, u"Reservation"},
    {402, u"At Hotel"},
    {403, u"Check in"},
    {404, u"About Hotel"},
    {405, u"Personal Needs"},
    {406, u"Problems"},
    {407, u"Check out"},
    {500, u"All"},
    {501, u"Basic"},
    {502, u"Exchange Information"},
    {600, u"All"},
    {601, u"Questions"},
    {602, u"Useful Words"},
    {603, u"Leisure"},
    {700, u"All"},
    {701, u"Conversation"},
    {702, u"Get Together"},
    {703, u"Exchange Information"},
    {800, u"All"},
    {801, u"Finding places"},
    {802, u"Purchase"},
    {803, u"Return"},
    {804, u"Banking"},
    {900, u"All"},
    {901, u"Medical"},
    {902, u"Loss and missing"},
    {903, u"Help"},
    {1000, u"All"},
    {1001, u"Where"},
    {1002, u"When"},
    {1003, u"How much/many"},
    {1004, u"Why"},
    {1005, u"Who/Which"},
    {1100, u"All"},
}};

const std::array<SubcategoryRange, 59> SubcategoryRanges{{
    {100, {1, 155}},    {101, {1, 8}},      {102, {9, 25}},     {103, {26, 44}},
    {104, {45, 53}},    {105, {54, 87}},    {106, {88, 98}},    {107, {99, 155}},
    {200, {156, 314}},  {201, {156, 162}},  {202, {163, 166}},  {203, {167, 173}},
    {204, {174, 246}},  {205, {252, 277}},  {206, {247, 251}},  {207, {278, 295}},
    {208, {296, 299}},  {209, {300, 305}},  {210, {306, 314}},  {300, {315, 458}},
    {301, {315, 322}},  {302, {323, 338}},  {303, {339, 392}},  {304, {393, 399}},
    {305, {400, 458}},  {400, {459, 532}},  {401, {459, 463}},  {402, {464, 474}},
    {403, {475, 498}},  {404, {499, 503}},  {405, {504, 514}},  {406, {515, 524}},
    {407, {525, 532}},  {500, {533, 551}},  {501, {533, 542}},  {502, {543, 551}},
    {600, {552, 595}},  {601, {552, 575}},  {602, {576, 581}},  {603, {582, 595}},
    {700, {596, 637}},  {701, {596, 627}},  {702, {628, 633}},  {703, {634, 637}},
    {800, {638, 692}},  {801, {638, 651}},  {802, {652, 680}},  {803, {681, 684}},
    {804, {685, 692}},  {900, {693, 736}},  {901, {693, 721}},  {902, {722, 730}},
    {903, {731, 736}},  {1000, {737, 782}}, {1001, {737, 744}}, {1002, {745, 762}},
    {1003, {763, 774}}, {1004, {774, 778}}, {1005, {779, 782}},
}};

std::optional<PhraseRange> FindSubcategoryRange(int key) {
    for (const SubcategoryRange& entry : SubcategoryRanges) {
        if (entry.key == key) return entry.range;
    }
    return std::nullopt;
}

SubcategoryChoice FillSubcategories(unsigned category) {
    SubcategoryChoice choice;
    if (category < 1 || category > FavouritesCategory) return choice;
    for (const SubcategoryName& entry : SubcategoryNames) {
        if (entry.key / 100 == static_cast<int>(category)) choice.names.emplace_back(entry.name);
    }
    if (category == FavouritesCategory) {
        choice.enabled = false;
        choice.addMode = false;
    }
    return choice;
}

int LoadPhraseRange(StdFile& english, const std::filesystem::path& specFile, PhraseNo first,
                    PhraseNo last, PhraseMap& map, ListRows& rows, const MessageSink& show) {
    if (!english) {
        show(CantReadMapFile);
        return 0;
    }
    map.clear();
    rows.clear();
    ReadPhraseRange(english, first, last, map);
    PhraseNo listedEnd = last;
    ListSpecRange(specFile, first, last, rows, show, &listedEnd);
    // A group listed whole past the range's end: its variants are picked in the list too.
    if (listedEnd > last) ReadPhraseRange(english, last + 1, listedEnd, map);
    return 1;
}

bool ListSpecRange(const std::filesystem::path& specFile, PhraseNo first, PhraseNo last,
                   ListRows& rows, const MessageSink& show, PhraseNo* listedEnd) {
    StdFile spec = StdFile::Open(specFile, "rb");
    if (!spec) {
        show(CantReadSpecFile);
        return false;
    }
    rows.clear();
    if (first < 1 || !spec.Seek(std::int64_t{first - 1} * SpecRecord::Size)) return true;
    for (std::int64_t n = first; n <= last;) {
        auto record = spec.ReadRecord<SpecRecord>();
        if (!record) break;
        rows.push_back(MakeItemRow(shell::AnsiToUtf16(record->Text())));
        // The variants after a head are stepped over; a size of 0 or less is a single phrase.
        std::int64_t size = std::max<std::int64_t>(record->groupSize, 1);
        if (listedEnd != nullptr)
            *listedEnd = static_cast<PhraseNo>(std::min<std::int64_t>(n - 1 + size, PhraseCount));
        if (size > 1 && !spec.Seek((n - 1 + size) * static_cast<std::int64_t>(SpecRecord::Size)))
            break;
        n += size;
    }
    return true;
}

}  // namespace catalogue
