#include "catalogue/subcategories.h"

#include <gtest/gtest.h>

#include <set>

#include "catalogue/search.h"
#include "catalogue/selectedphrase.h"
#include "catalogue/textconvert.h"
#include "platform/shell/codepage.h"
#include "tests/catalogue/catalogue_fixture.h"
#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"

namespace {

using namespace catalogue;
using namespace cataloguetest;
using testing_support::TempDir;

TEST(Subcategories, TablesAsGiven) {
    // Every loadable key has a name, and every name but the favourites' has a range.
    std::set<int> named;
    for (const auto& entry : SubcategoryNames)
        named.insert(entry.key);
    EXPECT_EQ(named.size(), SubcategoryNames.size());
    for (const auto& entry : SubcategoryRanges) {
        EXPECT_TRUE(named.contains(entry.key)) << entry.key;
        EXPECT_LE(entry.range.first, entry.range.last);
    }
    // Each category's "All" covers exactly its entries, and the categories follow each other.
    PhraseNo next = 1;
    for (unsigned category = 1; category <= 10; ++category) {
        auto all = FindSubcategoryRange(SubcategoryKey(category, 0));
        ASSERT_TRUE(all);
        EXPECT_EQ(all->first, next);
        next = all->last + 1;
    }
    EXPECT_EQ(next, PhraseCount + 1);

    // The data as given: the two Travel rows out of order, 774 in two entries.
    EXPECT_EQ(FindSubcategoryRange(205)->first, 252);
    EXPECT_EQ(FindSubcategoryRange(205)->last, 277);
    EXPECT_EQ(FindSubcategoryRange(206)->first, 247);
    EXPECT_EQ(FindSubcategoryRange(206)->last, 251);
    EXPECT_EQ(FindSubcategoryRange(1003)->last, 774);
    EXPECT_EQ(FindSubcategoryRange(1004)->first, 774);
    EXPECT_FALSE(FindSubcategoryRange(1100));
    EXPECT_FALSE(FindSubcategoryRange(211));
    EXPECT_FALSE(FindSubcategoryRange(-1));

    // The combo keeps table order.
    SubcategoryChoice travel = FillSubcategories(2);
    EXPECT_EQ(travel.names,
              (std::vector<std::u16string>{u"All", u"Arrival", u"Loss and damage", u"Directions",
                                           u"Plane", u"Signs", u"Train/Bus", u"Car rental",
                                           u"Gas and Parking", u"Problems", u"Taxi"}));
    EXPECT_TRUE(travel.enabled);
    EXPECT_TRUE(travel.addMode);
    SubcategoryChoice favourites = FillSubcategories(FavouritesCategory);
    EXPECT_EQ(favourites.names, std::vector<std::u16string>{u"All"});
    EXPECT_FALSE(favourites.enabled);
    EXPECT_FALSE(favourites.addMode);
    for (unsigned outside : {0u, 12u}) {
        SubcategoryChoice none = FillSubcategories(outside);
        EXPECT_TRUE(none.names.empty());
        EXPECT_TRUE(none.enabled);
        EXPECT_TRUE(none.addMode);
    }
}

class RangeListing : public ::testing::Test {
protected:
    void SetUp() override {
        WriteRecords(dir / "English.dat",
                     std::vector<PhraseRecord>{Phrase(u"\uFEFFHello\r", 1), Phrase(u"A [x] B\r", 2),
                                               Phrase(u"A [y] B\r", 3), Phrase(u"[a] and [c]\r", 4),
                                               Phrase(u"Zero\r", 5), Phrase(u"Minus\r", 6),
                                               Phrase(u"Last\r", 7)});
        WriteRecords(dir / "MapEngSpec.data",
                     std::vector<SpecRecord>{Spec("Hello"), Spec("A [x|y] B", 2), Spec("A [y] B"),
                                             Spec("[a|b] and [c|d]"), Spec("Zero", 0),
                                             Spec("Minus", -5), Spec("Last")});
        english = StdFile::Open(dir / "English.dat", "rb");
    }

    TempDir dir;
    StdFile english;
    PhraseMap map;
    ListRows rows;
    Shown shown;
};

TEST_F(RangeListing, GroupHeadsBecomeRowsAndEveryRowResolves) {
    ASSERT_EQ(LoadPhraseRange(english, dir / "MapEngSpec.data", 1, 7, map, rows, shown.Sink()), 1);
    // The variant of the group is not listed; sizes 0 and below count as single phrases.
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"Hello", u"A [x] B", u"[a] and [c]",
                                                        u"Zero", u"Minus", u"Last"}));
    EXPECT_EQ(rows[1].item->raw, u"A [x|y] B");
    for (const auto& row : rows)
        EXPECT_GT(ResolveRowText(row.text, map).number, 0)
            << std::string(row.text.begin(), row.text.end());
    EXPECT_EQ(ResolveRowText(u"Hello", map).number, 1);
    EXPECT_TRUE(shown.texts.empty());

    // A range starting inside a group lists that record alone; a head in range is listed
    // whole even when its group reaches past the last phrase.
    ASSERT_EQ(LoadPhraseRange(english, dir / "MapEngSpec.data", 3, 3, map, rows, shown.Sink()), 1);
    EXPECT_EQ(Texts(rows), std::vector<std::u16string>{u"A [y] B"});
    ASSERT_EQ(LoadPhraseRange(english, dir / "MapEngSpec.data", 2, 2, map, rows, shown.Sink()), 1);
    EXPECT_EQ(Texts(rows), std::vector<std::u16string>{u"A [x] B"});

    // A range past the end of the files lists what there is and ends.
    ASSERT_EQ(LoadPhraseRange(english, dir / "MapEngSpec.data", 6, 99, map, rows, shown.Sink()), 1);
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"Minus", u"Last"}));
    EXPECT_EQ(map.size(), 2u);
}

TEST_F(RangeListing, ShortReadsEndTheListInsteadOfRepeatingStaleRecords) {
    // A keyword map cut inside its last record, and one whose last head claims a huge group.
    auto bytes = testing_support::ReadBytes(dir / "MapEngSpec.data");
    bytes.resize(bytes.size() - 100);
    testing_support::WriteBytes(dir / "cut.data", bytes);
    ListSpecRange(dir / "cut.data", 1, 7, rows, shown.Sink());
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"Hello", u"A [x] B", u"[a] and [c]",
                                                        u"Zero", u"Minus"}));
    WriteRecords(dir / "huge.data", std::vector<SpecRecord>{Spec("One"), Spec("Big", 32767)});
    ListSpecRange(dir / "huge.data", 1, 782, rows, shown.Sink());
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"One", u"Big"}));
    // A text filling its whole field, with no NUL, is bounded by the field.
    SpecRecord full;
    full.text.fill('w');
    WriteRecords(dir / "full.data", std::vector<SpecRecord>{full});
    ListSpecRange(dir / "full.data", 1, 1, rows, shown.Sink());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, std::u16string(SpecRecord::TextBytes, u'w'));
    EXPECT_TRUE(shown.texts.empty());
}

TEST_F(RangeListing, MissingFilesShowTheirMessages) {
    ASSERT_EQ(LoadPhraseRange(english, dir / "MapEngSpec.data", 1, 7, map, rows, shown.Sink()), 1);
    StdFile closed;
    EXPECT_EQ(LoadPhraseRange(closed, dir / "MapEngSpec.data", 1, 1, map, rows, shown.Sink()), 0);
    EXPECT_EQ(rows.size(), 6u);  // list and map keep their content
    EXPECT_EQ(map.size(), 7u);
    EXPECT_EQ(LoadPhraseRange(english, dir / "none.data", 1, 1, map, rows, shown.Sink()), 1);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(map.size(), 1u);  // the map holds the range, the list stays empty
    EXPECT_EQ(shown.texts,
              (std::vector<std::u16string>{u"Can't read map file", u"Can't read MapEngSpec file"}));
}

TEST_F(RangeListing, ARowNotInTheMapResolvesToNothingAndHasNoClip) {
    ASSERT_EQ(LoadPhraseRange(english, dir / "MapEngSpec.data", 1, 7, map, rows, shown.Sink()), 1);
    WriteRecords(dir / "Chinese.dat", std::vector<PronunciationRecord>{});
    StdFile pronunciations = StdFile::Open(dir / "Chinese.dat", "rb");
    // A row text with no English record.
    SelectedPhrase selected =
        ResolveSelectedPhrase(u"A [z] B", map, pronunciations, dir / "data.dat", dir / "data.idx");
    EXPECT_EQ(selected.currentPhrase.Text(), u"A [z] B");
    EXPECT_EQ(selected.currentPhrase.number, 0);
    EXPECT_TRUE(selected.pronunciationText.empty());
    EXPECT_NE(selected.clip.outcome, ClipFetch::Outcome::Clip);
    EXPECT_EQ(selected.clip.Message(), nullptr);

    // A found row reads its clip: here there is no archive.
    selected =
        ResolveSelectedPhrase(u"Hello", map, pronunciations, dir / "data.dat", dir / "data.idx");
    EXPECT_EQ(selected.currentPhrase.number, 1);
    EXPECT_TRUE(selected.clip.ArchiveMissing());
    // A row text longer than the record's field is cut to 55 code units.
    EXPECT_EQ(ResolveRowText(std::u16string(80, u'x'), map).Text().size(), 55u);
}

// The bundled phrasebook's keyword map with an "English.dat" converted from its text file.
class Bundled : public ::testing::Test {
protected:
    void SetUp() override {
        if (run.empty()) GTEST_SKIP() << "no bundled phrasebook (make data BUILD=build)";
        ASSERT_EQ(ConvertEnglishText(run / "English.txt", dir / "English.dat"),
                  ConvertResult::Written);
        english = StdFile::Open(dir / "English.dat", "rb");
    }

    const std::filesystem::path run = testing_support::BundledRunFolder();
    TempDir dir;
    StdFile english;
    Shown shown;
    PhraseMap map;
    ListRows rows;
};

// Every row of every subcategory resolves to a phrase of its range.
TEST_F(Bundled, EveryRowOfEverySubcategoryResolvesInsideItsRange) {
    std::set<int> holding774;
    for (const auto& [key, range] : SubcategoryRanges) {
        ASSERT_EQ(LoadPhraseRange(english, run / "MapEngSpec.data", range.first, range.last, map,
                                  rows, shown.Sink()),
                  1);
        ASSERT_FALSE(rows.empty()) << key;
        EXPECT_EQ(ResolveRowText(rows[0].text, map).number, range.first) << key;
        for (const auto& row : rows) {
            PhraseNo n = ResolveRowText(row.text, map).number;
            EXPECT_GE(n, range.first) << key;
            EXPECT_LE(n, range.last) << key;
        }
        for (const auto& [text, number] : map) {
            if (number == u"774") holding774.insert(key);
        }
    }
    EXPECT_TRUE(shown.texts.empty());
    EXPECT_EQ(holding774, (std::set<int>{1000, 1003, 1004}));
}

// Every text a row can show after one word pick: slot k of the display text replaced by each of
// the alternatives of slot k of the raw text.
std::vector<std::u16string> EveryPick(const CItem& item) {
    std::vector<std::u16string> picks;
    std::size_t open = 0, rawOpen = 0;
    while ((open = item.display.find(u'[', open)) != std::u16string::npos &&
           (rawOpen = item.raw.find(u'[', rawOpen)) != std::u16string::npos) {
        const std::size_t close = item.display.find(u']', open);
        const std::size_t rawClose = item.raw.find(u']', rawOpen);
        if (close == std::u16string::npos || rawClose == std::u16string::npos) break;
        const std::u16string choices = item.raw.substr(rawOpen + 1, rawClose - rawOpen - 1);
        for (std::size_t from = 0;;) {
            const std::size_t bar = choices.find(u'|', from);
            picks.push_back(item.display.substr(0, open + 1) +
                            choices.substr(from, bar == std::u16string::npos ? bar : bar - from) +
                            item.display.substr(close));
            if (bar == std::u16string::npos) break;
            from = bar + 1;
        }
        open = close;
        rawOpen = rawClose;
    }
    return picks;
}

// Whatever view lists a row, each word it offers resolves to a phrase of its own.
TEST_F(Bundled, EveryWordARowOffersInAnyViewResolvesToAPhrase) {
    int picks = 0;
    const auto expectEveryPickResolves = [&](const std::string& view) {
        for (const ListRow& row : rows) {
            if (!row.item) continue;
            for (const std::u16string& pick : EveryPick(*row.item)) {
                ++picks;
                EXPECT_GT(ResolveRowText(pick, map).number, 0)
                    << view << ": a pick in \"" << shell::Utf16ToUtf8(row.text) << "\"";
            }
        }
    };
    for (const auto& [key, range] : SubcategoryRanges) {
        ASSERT_EQ(LoadPhraseRange(english, run / "MapEngSpec.data", range.first, range.last, map,
                                  rows, shown.Sink()),
                  1);
        expectEveryPickResolves("subcategory " + std::to_string(key));
    }
    for (const RelatedRow& related : RelatedTable) {
        ASSERT_TRUE(
            LoadRelated(related.phrase, english, run / "MapEngSpec.data", map, rows, shown.Sink()));
        expectEveryPickResolves("related to " + std::to_string(related.phrase));
    }
    ASSERT_TRUE(LoadAllPhrases(dir / "English.dat", map));
    for (const std::u16string_view keyword : {u"ticket", u"the", u"a"}) {
        rows.clear();
        SearchPhrases(run / "MapEngSpec.data", keyword, false, rows, shown.Sink());
        expectEveryPickResolves("search");
    }
    EXPECT_GT(picks, 1000);
    EXPECT_TRUE(shown.texts.empty());
}

}  // namespace
