#include "catalogue/phrasemap.h"

#include <gtest/gtest.h>

#include "catalogue/opencatalogue.h"
#include "catalogue/pronunciation.h"
#include "catalogue/textconvert.h"
#include "tests/support/tempdir.h"

namespace {

using namespace catalogue;
using testing_support::TempDir;

PhraseRecord Phrase(const std::u16string& text, PhraseNo number) {
    PhraseRecord record;
    record.SetText(text);
    record.number = number;
    return record;
}

void WriteRecords(const std::filesystem::path& path, const std::vector<PhraseRecord>& records) {
    auto file = StdFile::Open(path, "wb");
    for (const auto& r : records)
        ASSERT_TRUE(file.WriteRecord(r));
}

TEST(PhraseMap, KeysDropTabsLineEndsAndTheFirstPhrasesByteOrderMark) {
    EXPECT_EQ(CleanPhraseText(Phrase(u"\uFEFFHello\r", 1)), u"Hello");
    EXPECT_EQ(CleanPhraseText(Phrase(u"\uFEFFHello\r", 2)), u"\uFEFFHello");
    EXPECT_EQ(CleanPhraseText(Phrase(u"A\tB\nC\r", 5)), u"ABC");
    EXPECT_EQ(CleanPhraseText(Phrase(u"", 1)), u"");
}

TEST(PhraseMap, RangesFillTheMapAndTheLaterDuplicateWins) {
    TempDir dir;
    WriteRecords(dir / "English.dat", {Phrase(u"\uFEFFHi\r", 1), Phrase(u"Same\r", 2),
                                       Phrase(u"Other\r", 3), Phrase(u"Same\r", 4)});
    PhraseMap map;
    ASSERT_TRUE(LoadAllPhrases(dir / "English.dat", map));
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(map[u"Hi"], u"1");
    EXPECT_EQ(map[u"Same"], u"4");

    auto english = StdFile::Open(dir / "English.dat", "rb");
    PhraseMap part;
    EXPECT_EQ(ReadPhraseRange(english, 2, 3, part), 2);
    EXPECT_EQ(part.size(), 2u);
    EXPECT_EQ(part[u"Same"], u"2");
    EXPECT_EQ(ReadPhraseRange(english, 3, 100, part), 2);  // stops at the end of the file
    EXPECT_EQ(ReadPhraseRange(english, 0, 5, part), 0);

    PhraseMap none{{u"stale", u"9"}};
    EXPECT_FALSE(LoadAllPhrases(dir / "missing.dat", none));
    EXPECT_TRUE(none.empty());
}

TEST(PhraseMap, DecimalTextRoundTrips) {
    EXPECT_EQ(DecimalText(782), u"782");
    EXPECT_EQ(DecimalText(-3), u"-3");
    EXPECT_EQ(ParseDecimal(u"774"), 774);
    EXPECT_EQ(ParseDecimal(u"12abc"), 12);
    EXPECT_EQ(ParseDecimal(u"abc"), 0);
    EXPECT_EQ(ParseDecimal(u""), 0);
    EXPECT_EQ(ParseDecimal(u"99999999999"), INT32_MAX);
}

TEST(Pronunciation, RecordsAreFoundByNumberAndShownWithoutTheirLastUnit) {
    TempDir dir;
    catalogue::WriteTextFile(dir / "Pro3.txt", {u"Hallo", u"Danke sch\u00f6n"});
    ASSERT_EQ(ConvertPronunciationText(dir / "Pro3.txt", dir / "Chinese.dat"),
              ConvertResult::Written);
    auto file = StdFile::Open(dir / "Chinese.dat", "rb");

    auto first = ReadPronunciation(file, 1);
    EXPECT_EQ(PronunciationDisplayText(first, 1), u"Hallo");
    EXPECT_EQ(PronunciationDisplayText(ReadPronunciation(file, 2), 2), u"Danke sch\u00f6n");
    EXPECT_EQ(ReadPronunciation(file, 0).Text(), u"");
    EXPECT_EQ(ReadPronunciation(file, -4).Text(), u"");
    EXPECT_EQ(ReadPronunciation(file, 783).Text(), u"");

    StdFile closed;
    EXPECT_EQ(ReadPronunciation(closed, 1).Text(), u"");

    // The last unit goes whatever it is: a line without CR loses a visible character.
    PronunciationRecord bare;
    bare.SetText(u"Tschüss");
    EXPECT_EQ(PronunciationDisplayText(bare, 7), u"Tschüs");
    EXPECT_EQ(PronunciationDisplayText(PronunciationRecord{}, 1), u"");
}

TEST(OpenCatalogue, RebuildsOnlyWhatIsMissingOrNotWhole) {
    TempDir dir;
    catalogue::WriteTextFile(dir / "English.txt", {u"Hello"});
    catalogue::WriteTextFile(dir / "Pro3.txt", {u"Hallo"});
    WriteRecords(dir / "English.dat", std::vector<PhraseRecord>(PhraseCount, Phrase(u"kept", 1)));

    CatalogueFiles files;
    OpenReport report = OpenCatalogue(files, dir.path());
    EXPECT_FALSE(report.englishRebuilt);
    EXPECT_TRUE(report.pronunciationRebuilt);
    EXPECT_TRUE(files.englishFile);
    EXPECT_TRUE(files.pronunciationFile);
    EXPECT_TRUE(files.favourites.IsOpen());
    EXPECT_TRUE(std::filesystem::exists(dir / "favorite.dat"));
    EXPECT_EQ(files.englishFile.ReadRecord<PhraseRecord>()->Text(), u"kept");
    EXPECT_EQ(std::filesystem::file_size(dir / "Chinese.dat"), 109'480u);

    // A record file of fewer records, or with a record cut short, was not written whole.
    for (const std::size_t size : {std::size_t{400 * 140}, std::size_t{49'152}}) {
        auto bytes = testing_support::ReadBytes(dir / "Chinese.dat");
        bytes.resize(size);
        testing_support::WriteBytes(dir / "Chinese.dat", bytes);
        CatalogueFiles again;
        EXPECT_TRUE(OpenCatalogue(again, dir.path()).pronunciationRebuilt) << size;
        EXPECT_EQ(std::filesystem::file_size(dir / "Chinese.dat"), 109'480u);
    }
}

TEST(OpenCatalogue, MissingTextFilesLeaveStreamsClosedWithoutComplaint) {
    TempDir dir;
    CatalogueFiles files;
    OpenReport report = OpenCatalogue(files, dir.path());
    EXPECT_FALSE(report.englishRebuilt);
    EXPECT_FALSE(report.englishOutOfMemory);
    EXPECT_FALSE(files.englishFile);
    EXPECT_FALSE(files.pronunciationFile);
    EXPECT_FALSE(std::filesystem::exists(dir / "English.dat"));
}

TEST(OpenCatalogue, DirectoriesInPlaceOfFilesAreFailedOpensAndBuildNothing) {
    TempDir dir;
    for (const char* name : {"English.txt", "Pro3.txt", "favorite.dat"})
        std::filesystem::create_directory(dir / name);
    {
        CatalogueFiles files;
        OpenReport report = OpenCatalogue(files, dir.path());
        EXPECT_FALSE(report.englishRebuilt);
        EXPECT_FALSE(report.pronunciationRebuilt);
        EXPECT_FALSE(files.englishFile);
        EXPECT_FALSE(files.pronunciationFile);
        EXPECT_FALSE(files.favourites.IsOpen());
        EXPECT_FALSE(std::filesystem::exists(dir / "English.dat"));
        EXPECT_FALSE(std::filesystem::exists(dir / "Chinese.dat"));
    }
    // Once the text files are repaired the record files are built from them.
    for (const char* name : {"English.txt", "Pro3.txt"})
        std::filesystem::remove(dir / name);
    catalogue::WriteTextFile(dir / "English.txt", {u"Hello"});
    catalogue::WriteTextFile(dir / "Pro3.txt", {u"Hallo"});
    {
        CatalogueFiles files;
        OpenReport report = OpenCatalogue(files, dir.path());
        EXPECT_TRUE(report.englishRebuilt);
        EXPECT_TRUE(report.pronunciationRebuilt);
        PhraseMap map;
        ASSERT_TRUE(LoadAllPhrases(dir / "English.dat", map));
        EXPECT_EQ(map.count(u"Hello"), 1u);
    }
    // Directories in place of the record files: nothing opens, loading fails.
    for (const char* name : {"English.dat", "Chinese.dat"}) {
        std::filesystem::remove(dir / name);
        std::filesystem::create_directory(dir / name);
    }
    CatalogueFiles files;
    OpenReport report = OpenCatalogue(files, dir.path());
    EXPECT_FALSE(report.englishRebuilt);
    EXPECT_FALSE(files.englishFile);
    EXPECT_FALSE(files.pronunciationFile);
    PhraseMap map;
    EXPECT_FALSE(LoadAllPhrases(dir / "English.dat", map));
}

}  // namespace
