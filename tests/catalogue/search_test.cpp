#include "catalogue/search.h"

#include <gtest/gtest.h>

#include <set>

#include "catalogue/pronunciation.h"
#include "catalogue/selectedphrase.h"
#include "catalogue/textconvert.h"
#include "tests/catalogue/catalogue_fixture.h"
#include "tests/support/runfolder.h"
#include "tests/support/tempdir.h"

namespace {

using namespace catalogue;
using namespace cataloguetest;
using testing_support::TempDir;

class Search : public ::testing::Test {
protected:
    void SetUp() override {
        WriteRecords(dir / "MapEngSpec.data",
                     std::vector<SpecRecord>{
                         Spec("I need [one|two] ticket", 2), Spec("I need [two] ticket"),
                         Spec("Only in a variant"), Spec("I need [one|three] ticket", 2),
                         Spec("variant keyword"), Spec("Broken", 0), Spec("Broken too", -3),
                         Spec("where is it\nhidden"), Spec("Caf\xE9")});
    }
    std::vector<std::u16string> Find(std::u16string_view keyword, bool exact = false) {
        rows.clear();
        SearchPhrases(dir / "MapEngSpec.data", keyword, exact, rows, shown.Sink());
        return Texts(rows);
    }

    TempDir dir;
    ListRows rows;
    Shown shown;
};

TEST_F(Search, MatchesGroupHeadsByTheirWholeText) {
    // A keyword naming any alternative finds the head; the row shows the first variant whose
    // words hold the keyword, so that what is listed visibly matches.
    EXPECT_EQ(Find(u"TWO"), std::vector<std::u16string>{u"I need [two] ticket"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].item->raw, u"I need [one|two] ticket");
    // Variants are never examined; groups of size 0 or less are single phrases (the search
    // ends, and the records after them are searched).
    EXPECT_TRUE(Find(u"variant keyword").empty());
    EXPECT_EQ(Find(u"broken"), (std::vector<std::u16string>{u"Broken", u"Broken too"}));
    // The keyword as typed: a trailing space must be followed by a space in the text.
    EXPECT_EQ(Find(u"need "),
              (std::vector<std::u16string>{u"I need [one] ticket", u"I need [one] ticket"}));
    EXPECT_TRUE(Find(u"ticket ").empty());
    // The text searched ends at its first LF (the row shows the whole text).
    EXPECT_EQ(Find(u"is it"), std::vector<std::u16string>{u"where is it\nhidden"});
    EXPECT_TRUE(Find(u"hidden").empty());
    // Letters beyond ASCII fold too; the row shows the text by the ANSI code page.
    EXPECT_EQ(Find(u"CAFÉ"), std::vector<std::u16string>{u"Café"});

    // Exact match: letter case aside, the head's text with its brackets and bars.
    EXPECT_EQ(Find(u"i need [ONE|two] ticket", true),
              std::vector<std::u16string>{u"I need [one] ticket"});
    EXPECT_TRUE(Find(u"I need [one] ticket", true).empty());
    EXPECT_TRUE(shown.texts.empty());
}

TEST_F(Search, EmptyKeywordAndMissingMapLeaveTheListAlone) {
    rows.push_back(ListRow{u"kept", nullptr});
    SearchPhrases(dir / "MapEngSpec.data", u"", false, rows, shown.Sink());
    SearchPhrases(dir / "missing.data", u"need", false, rows, shown.Sink());
    EXPECT_EQ(Texts(rows), std::vector<std::u16string>{u"kept"});
    EXPECT_EQ(shown.texts, std::vector<std::u16string>{u"Can't read MapEngSpec file"});
    // Only the first 511 code units of a keyword take part.
    std::u16string longKeyword = u"need" + std::u16string(600, u'x');
    EXPECT_TRUE(Find(longKeyword).empty());
}

// Counts the items released, so that each is seen to go exactly once.
struct CountedItem : CItem {
    CountedItem(const std::u16string& text, int& released) : CItem(text), released_(released) {}
    ~CountedItem() override { ++released_; }
    int& released_;
};

TEST_F(Search, DuplicateTextsKeepTheFirstRowAndReleaseTheOthersOnce) {
    Find(u"need");
    ASSERT_EQ(rows.size(), 2u);
    RemoveDuplicateRows(rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].item->raw, u"I need [one|two] ticket");

    int released = 0;
    ListRows counted;
    for (const char16_t* text : {u"Hello", u"b", u"HELLO", u"hello", u"B", u"c"}) {
        counted.push_back(ListRow{text, std::make_unique<CountedItem>(text, released)});
    }
    RemoveDuplicateRows(counted);
    EXPECT_EQ(Texts(counted), (std::vector<std::u16string>{u"Hello", u"b", u"c"}));
    EXPECT_EQ(released, 3);
    counted.clear();
    EXPECT_EQ(released, 6);
}

// Where the English finds nothing, the German lines are searched; both forgive case,
// umlauts and sharp s.
TEST(GermanSearch, ListsThePhrasesWhoseGermanLineHoldsTheKeyword) {
    TempDir dir;
    WriteRecords(dir / "MapEngSpec.data",
                 std::vector<SpecRecord>{Spec("Where is the [station|airport]?", 2),
                                         Spec("Where is the [airport]?"), Spec("My luggage"),
                                         Spec("Munich, please"), Spec("Street"),
                                         Spec("Thank you (bitte)"), Spec("Gr\xFC\xDF Gott")});
    std::vector<PronunciationRecord> lines;
    for (const char16_t* german :
         {u"\xFEFFWo ist der Bahnhof?\r", u"Wo ist der Flughafen?\r", u"Mein Gep\u00e4ck\r",
          u"M\u00fcnchen, bitte.\r", u"Stra\u00dfe\r", u"Bitte.\r", u"Servus\r"}) {
        lines.emplace_back();
        lines.back().SetText(german);
    }
    WriteRecords(dir / "Chinese.dat", lines);
    StdFile pronunciations = StdFile::Open(dir / "Chinese.dat", "rb");
    ListRows rows;
    Shown shown;
    auto find = [&](std::u16string_view keyword, bool exact = false) {
        rows.clear();
        SearchPhrases(dir / "MapEngSpec.data", pronunciations, keyword, exact, rows, shown.Sink());
        return Texts(rows);
    };
    using Rows = std::vector<std::u16string>;

    for (const char16_t* keyword : {u"gepack", u"GEPAECK", u"Gep\u00e4ck", u"p\u00c4"})
        EXPECT_EQ(find(keyword), Rows{u"My luggage"});
    for (const char16_t* keyword : {u"munchen", u"muenchen", u"M\u00fcnchen"})
        EXPECT_EQ(find(keyword), Rows{u"Munich, please"});
    for (const char16_t* keyword : {u"strasse", u"strase", u"STRA\u00dfE"})
        EXPECT_EQ(find(keyword), Rows{u"Street"});
    // A variant's line lists the variant, with its group's item behind it.
    EXPECT_EQ(find(u"flughafen"), Rows{u"Where is the [airport]?"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].item->raw, u"Where is the [station|airport]?");
    EXPECT_EQ(rows[0].item->display, u"Where is the [airport]?");
    // Phrase 1's line is read without its byte-order mark.
    EXPECT_EQ(find(u"wo ist", true), Rows{});
    EXPECT_EQ(find(u"wo ist der bahnhof?", true), Rows{u"Where is the [station]?"});
    EXPECT_EQ(find(u"WO IST"), (Rows{u"Where is the [station]?", u"Where is the [airport]?"}));
    // The English search forgives too, and when it finds something the German is not searched.
    EXPECT_EQ(find(u"bitte"), Rows{u"Thank you (bitte)"});
    EXPECT_EQ(find(u"grussgott"), Rows{});
    EXPECT_EQ(find(u"grus"), Rows{u"Gr\u00fc\u00df Gott"});
    EXPECT_EQ(find(u"gr\u00fc\u00df g"), Rows{u"Gr\u00fc\u00df Gott"});
    // Exact match keeps to the English text as it is, letter case aside.
    EXPECT_EQ(find(u"gruss gott", true), Rows{});
    EXPECT_EQ(find(u"GR\u00dc\u00df GOTT", true), Rows{u"Gr\u00fc\u00df Gott"});
    // Without the German lines, or with no keyword, nothing more is found.
    StdFile closed;
    rows.clear();
    SearchPhrases(dir / "MapEngSpec.data", closed, u"gepack", false, rows, shown.Sink());
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(find(u""), Rows{});
    EXPECT_TRUE(shown.texts.empty());
}

class Related : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<PhraseRecord> phrases;
        std::vector<SpecRecord> specs;
        for (PhraseNo n = 1; n <= PhraseCount; ++n) {
            const std::string text = "Phrase " + std::to_string(n);
            phrases.push_back(Phrase(std::u16string(text.begin(), text.end()) + u"\r", n));
            specs.push_back(Spec(text));
        }
        WriteRecords(dir / "English.dat", phrases);
        WriteRecords(dir / "MapEngSpec.data", specs);
        english = StdFile::Open(dir / "English.dat", "rb");
    }

    TempDir dir;
    StdFile english;
    PhraseMap map;
    ListRows rows;
    Shown shown;
};

TEST_F(Related, TheFirstRowOfThePhraseListsItsSlotsInOrder) {
    EXPECT_EQ(RelatedTable.size(), 138u);
    EXPECT_EQ(std::count_if(RelatedTable.begin(), RelatedTable.end(),
                            [](const RelatedRow& r) { return r.phrase == 270; }),
              2);
    for (const RelatedRow& row : RelatedTable)
        EXPECT_NE(row.related[0], 0) << row.phrase;

    ASSERT_TRUE(LoadRelated(1, english, dir / "MapEngSpec.data", map, rows, shown.Sink()));
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"Phrase 4", u"Phrase 2"}));
    EXPECT_EQ(ResolveRowText(u"Phrase 4", map).number, 4);
    EXPECT_EQ(map.size(), 2u);

    ASSERT_TRUE(LoadRelated(23, english, dir / "MapEngSpec.data", map, rows, shown.Sink()));
    EXPECT_EQ(Texts(rows), (std::vector<std::u16string>{u"Phrase 98", u"Phrase 99", u"Phrase 23"}));
    ASSERT_TRUE(LoadRelated(321, english, dir / "MapEngSpec.data", map, rows, shown.Sink()));
    EXPECT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows.back().text, u"Phrase 97");

    // No row: list and map unchanged (the caller says "No related phrase(s) found!").
    EXPECT_FALSE(LoadRelated(5, english, dir / "MapEngSpec.data", map, rows, shown.Sink()));
    EXPECT_EQ(rows.size(), 11u);
    EXPECT_TRUE(shown.texts.empty());
}

TEST_F(Related, MissingFilesAreSaidOncePerRelatedPhrase) {
    StdFile closed;
    EXPECT_TRUE(LoadRelated(1, closed, dir / "MapEngSpec.data", map, rows, shown.Sink()));
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(shown.texts,
              (std::vector<std::u16string>{u"Can't read map file", u"Can't read map file"}));
    shown.texts.clear();
    EXPECT_TRUE(LoadRelated(1, english, dir / "none.data", map, rows, shown.Sink()));
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(shown.texts, (std::vector<std::u16string>{u"Can't read MapEngSpec file",
                                                        u"Can't read MapEngSpec file"}));
}

// The bundled phrasebook: every search row resolves through the map of all phrases.
TEST(BundledSearch, EveryRowFoundResolves) {
    const auto run = testing_support::BundledRunFolder();
    if (run.empty()) GTEST_SKIP() << "no bundled phrasebook (make data BUILD=build)";
    TempDir dir;
    ASSERT_EQ(ConvertEnglishText(run / "English.txt", dir / "English.dat"), ConvertResult::Written);
    PhraseMap map;
    ASSERT_TRUE(LoadAllPhrases(dir / "English.dat", map));
    Shown shown;
    for (const char16_t* keyword : {u"where", u"I", u"e", u"ticket"}) {
        ListRows rows;
        SearchPhrases(run / "MapEngSpec.data", keyword, false, rows, shown.Sink());
        RemoveDuplicateRows(rows);
        EXPECT_FALSE(rows.empty());
        for (const auto& row : rows)
            EXPECT_GT(ResolveRowText(row.text, map).number, 0);
    }
    // Names and words the English does not hold are found by their German lines, typed
    // without umlauts: each row is a phrase whose line holds the word (in any letter case).
    ASSERT_EQ(ConvertPronunciationText(run / "Pro3.txt", dir / "Chinese.dat"),
              ConvertResult::Written);
    StdFile pronunciations = StdFile::Open(dir / "Chinese.dat", "rb");
    const std::pair<const char16_t*, const char16_t*> german[] = {{u"munchen", u"\u00fcnchen"},
                                                                  {u"muenchen", u"\u00fcnchen"},
                                                                  {u"gepack", u"ep\u00e4ck"},
                                                                  {u"gepaeck", u"ep\u00e4ck"},
                                                                  {u"weiswein", u"ei\u00dfwein"}};
    for (const auto& [keyword, word] : german) {
        ListRows rows;
        SearchPhrases(run / "MapEngSpec.data", keyword, false, rows, shown.Sink());
        EXPECT_TRUE(rows.empty()) << "the English holds " << rows.size();
        SearchPhrases(run / "MapEngSpec.data", pronunciations, keyword, false, rows, shown.Sink());
        RemoveDuplicateRows(rows);
        EXPECT_FALSE(rows.empty());
        for (const auto& row : rows) {
            const PhraseNo number = ResolveRowText(row.text, map).number;
            EXPECT_NE(PronunciationDisplayText(ReadPronunciation(pronunciations, number), number)
                          .find(word),
                      std::u16string::npos);
        }
    }
    ListRows all;
    SearchPhrases(run / "MapEngSpec.data", u" ", false, all, shown.Sink());
    EXPECT_GT(all.size(), 300u);
    EXPECT_TRUE(shown.texts.empty());
}

}  // namespace
