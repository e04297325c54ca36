#include "export/phraseset.h"

#include <array>
#include <cstdio>
#include <set>
#include <string_view>

#include "catalogue/archive.h"
#include "catalogue/favouritesstore.h"
#include "catalogue/filenames.h"
#include "catalogue/ipatext.h"
#include "catalogue/opencatalogue.h"
#include "catalogue/phrasemap.h"
#include "catalogue/pronunciation.h"
#include "catalogue/subcategories.h"

namespace exporting {
namespace {

// The ten categories, as the phrasebook files them.
constexpr std::array<std::u16string_view, 10> CategoryNames = {
    u"Basic", u"Travel", u"Food",     u"Lodging",   u"Business",
    u"Sight", u"Social", u"Shopping", u"Emergency", u"Question"};

std::u16string_view SubcategoryName(int key) {
    for (const auto& entry : catalogue::SubcategoryNames)
        if (entry.key == key) return entry.name;
    return {};
}

// The text as a row shows it: without TAB, LF, CR and the brackets of a variant's slot.
std::u16string WithoutBrackets(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text)
        if (c != u'[' && c != u']' && c != u'\t' && c != u'\n' && c != u'\r') out.push_back(c);
    return out;
}

struct Wanted {
    PhraseNo number;
    std::u16string english;  // empty: the phrase's own English record
};

std::vector<Wanted> FavouritePhrases(const std::filesystem::path& dataDir, int& skipped) {
    std::vector<Wanted> wanted;
    catalogue::FavouritesStore store(dataDir);
    const auto records = store.ReadAll();
    if (!records) return wanted;
    std::set<PhraseNo> taken;
    for (const PhraseRecord& record : *records) {
        if (record.number < 1 || record.number > PhraseCount ||
            !taken.insert(record.number).second) {
            ++skipped;
            continue;
        }
        wanted.push_back({record.number, catalogue::CleanFavouriteText(record)});
    }
    return wanted;
}

std::vector<Wanted> RangePhrases(PhraseNo first, PhraseNo last) {
    std::vector<Wanted> wanted;
    for (PhraseNo n = first; n <= last; ++n)
        wanted.push_back({n, {}});
    return wanted;
}

std::u16string EnglishOf(catalogue::StdFile& english, PhraseNo number) {
    if (!english.Seek(static_cast<std::int64_t>(number - 1) * PhraseRecord::Size)) return {};
    const auto record = english.ReadRecord<PhraseRecord>();
    return record ? WithoutBrackets(catalogue::CleanPhraseText(*record)) : std::u16string();
}

}  // namespace

std::string ClipFileName(PhraseNo number) {
    char name[40];
    std::snprintf(name, sizeof name, "tolkara-german-%04d.mp3", static_cast<int>(number));
    return name;
}

std::u16string HeadingOf(PhraseNo number) {
    if (number < 1 || number > PhraseCount) return {};
    for (const auto& entry : catalogue::SubcategoryRanges) {
        const int category = entry.key / 100;
        if (entry.key % 100 == 0 || category < 1 || category > 10) continue;
        if (number < entry.range.first || number > entry.range.last) continue;
        std::u16string heading(CategoryNames[static_cast<std::size_t>(category - 1)]);
        heading += u": ";
        heading += SubcategoryName(entry.key);
        return heading;
    }
    return {};
}

PhraseSet CollectPhrases(const std::filesystem::path& dataDir, ExportScope scope) {
    PhraseSet set;
    std::vector<Wanted> wanted;
    switch (scope.kind) {
        case ExportScope::Kind::Favourites:
            wanted = FavouritePhrases(dataDir, set.skipped);
            break;
        case ExportScope::Kind::Category:
            if (const auto range =
                    catalogue::FindSubcategoryRange(catalogue::SubcategoryKey(scope.category, 0));
                range && scope.category >= 1 && scope.category <= 10)
                wanted = RangePhrases(range->first, range->last);
            break;
        case ExportScope::Kind::All:
            wanted = RangePhrases(1, PhraseCount);
            break;
    }
    if (wanted.empty()) {
        set.problem = scope.kind == ExportScope::Kind::Favourites
                          ? std::u16string(NothingToExport)
                          : u"There is no category " +
                                catalogue::DecimalText(static_cast<std::int32_t>(scope.category)) +
                                u": categories are 1 to 10.";
        return set;
    }

    catalogue::CatalogueFiles files;
    catalogue::OpenCatalogue(files, dataDir);
    if (!files.englishFile || !files.pronunciationFile) {
        set.problem = u"Can't read the phrases (English.dat, Chinese.dat) in the data folder.";
        return set;
    }
    const catalogue::IpaText ipa = catalogue::IpaText::Load(dataDir / catalogue::IpaTextName);
    for (const Wanted& w : wanted) {
        ExportPhrase phrase;
        phrase.number = w.number;
        phrase.english = w.english.empty() ? EnglishOf(files.englishFile, w.number) : w.english;
        phrase.german = catalogue::PronunciationDisplayText(
            catalogue::ReadPronunciation(files.pronunciationFile, w.number), w.number);
        phrase.ipa = ipa.Of(w.number);
        phrase.heading = HeadingOf(w.number);
        catalogue::ClipFetch fetch = catalogue::ReadClip(
            dataDir / catalogue::ClipDataName, dataDir / catalogue::ClipIndexName, w.number);
        if (fetch.ArchiveMissing()) {
            set.phrases.clear();
            set.problem = u"Can't read the audio archive (data.dat, data.idx) in the data folder.";
            return set;
        }
        if (fetch.outcome == catalogue::ClipFetch::Outcome::Clip)
            phrase.clip = std::move(fetch.clip);
        set.phrases.push_back(std::move(phrase));
    }
    return set;
}

}  // namespace exporting
