#include "catalogue/textconvert.h"

#include <gtest/gtest.h>

#include "catalogue/records.h"
#include "catalogue/stdfile.h"
#include "tests/support/tempdir.h"

namespace {

using catalogue::ConvertEnglishText;
using catalogue::ConvertPronunciationText;
using catalogue::ConvertResult;
using testing_support::TempDir;

std::u16string Lines(int count, const std::u16string& prefix, bool crlf = true) {
    std::u16string text = u"\uFEFF";
    for (int i = 1; i <= count; ++i) {
        std::string n = std::to_string(i);
        text += prefix + std::u16string(n.begin(), n.end()) + (crlf ? u"\r\n" : u"\n");
    }
    return text;
}

template <typename Record>
std::vector<Record> ReadAll(const std::filesystem::path& path) {
    std::vector<Record> records;
    auto file = catalogue::StdFile::Open(path, "rb");
    while (auto record = file.ReadRecord<Record>())
        records.push_back(*record);
    return records;
}

TEST(TextConvert, FullFilesGiveExactRecordFileSizes) {
    TempDir dir;
    testing_support::WriteBytes(dir / "English.txt",
                                testing_support::Utf16Bytes(Lines(782, u"Phrase ")));
    testing_support::WriteBytes(dir / "Pro3.txt",
                                testing_support::Utf16Bytes(Lines(782, u"Satz ")));
    ASSERT_EQ(ConvertEnglishText(dir / "English.txt", dir / "English.dat"), ConvertResult::Written);
    ASSERT_EQ(ConvertPronunciationText(dir / "Pro3.txt", dir / "Chinese.dat"),
              ConvertResult::Written);
    EXPECT_EQ(std::filesystem::file_size(dir / "English.dat"), 90'712u);
    EXPECT_EQ(std::filesystem::file_size(dir / "Chinese.dat"), 109'480u);

    auto english = ReadAll<PhraseRecord>(dir / "English.dat");
    ASSERT_EQ(english.size(), 782u);
    EXPECT_EQ(english[0].Text(), u"\uFEFFPhrase 1\r");  // byte-order mark and CR kept
    EXPECT_EQ(english[0].number, 1);
    EXPECT_EQ(english[781].Text(), u"Phrase 782\r");
    EXPECT_EQ(english[781].number, 782);
}

TEST(TextConvert, TabsLeaveEnglishButStayInPronunciations) {
    TempDir dir;
    std::u16string text = u"\uFEFFa\tb\r\n";
    testing_support::WriteBytes(dir / "in.txt", testing_support::Utf16Bytes(text));
    ASSERT_EQ(ConvertEnglishText(dir / "in.txt", dir / "e.dat"), ConvertResult::Written);
    ASSERT_EQ(ConvertPronunciationText(dir / "in.txt", dir / "p.dat"), ConvertResult::Written);
    EXPECT_EQ(ReadAll<PhraseRecord>(dir / "e.dat")[0].Text(), u"\uFEFFab\r");
    EXPECT_EQ(ReadAll<PronunciationRecord>(dir / "p.dat")[0].Text(), u"\uFEFFa\tb\r");
}

TEST(TextConvert, ShortMalformedAndOversizedInputsStayInBounds) {
    TempDir dir;
    // Three lines, the last without LF, the second longer than either field.
    std::u16string text = u"one\r\n" + std::u16string(100, u'x') + u"\r\nlast";
    testing_support::WriteBytes(dir / "in.txt", testing_support::Utf16Bytes(text));
    ASSERT_EQ(ConvertEnglishText(dir / "in.txt", dir / "e.dat"), ConvertResult::Written);
    ASSERT_EQ(ConvertPronunciationText(dir / "in.txt", dir / "p.dat"), ConvertResult::Written);

    auto english = ReadAll<PhraseRecord>(dir / "e.dat");
    ASSERT_EQ(english.size(), 782u);
    EXPECT_EQ(english[1].Text(), std::u16string(55, u'x'));
    EXPECT_EQ(english[2].Text(), u"last");
    EXPECT_EQ(english[3].Text(), u"");
    EXPECT_EQ(english[781].number, 782);
    auto pronunciations = ReadAll<PronunciationRecord>(dir / "p.dat");
    ASSERT_EQ(pronunciations.size(), 782u);
    EXPECT_EQ(pronunciations[1].Text(), std::u16string(69, u'x'));

    // A file beyond the read limit converts what fits in it.
    std::u16string huge(300'000, u'y');
    huge[10] = u'\n';
    testing_support::WriteBytes(dir / "huge.txt", testing_support::Utf16Bytes(huge));
    ASSERT_EQ(ConvertPronunciationText(dir / "huge.txt", dir / "h.dat"), ConvertResult::Written);
    EXPECT_EQ(std::filesystem::file_size(dir / "h.dat"), 109'480u);
    EXPECT_EQ(ReadAll<PronunciationRecord>(dir / "h.dat")[1].Text(), std::u16string(69, u'y'));
}

TEST(TextConvert, FailuresLeaveNoOutput) {
    TempDir dir;
    EXPECT_EQ(ConvertEnglishText(dir / "missing.txt", dir / "e.dat"), ConvertResult::NoSource);
    EXPECT_FALSE(std::filesystem::exists(dir / "e.dat"));
    testing_support::WriteBytes(dir / "in.txt", {0x41, 0});
    EXPECT_EQ(ConvertEnglishText(dir / "in.txt", dir / "no-such-dir" / "e.dat"),
              ConvertResult::CannotCreate);

    // A directory is no text file; a file that opens but fails to read builds nothing either.
    std::filesystem::create_directory(dir / "dir.txt");
    EXPECT_EQ(ConvertEnglishText(dir / "dir.txt", dir / "e.dat"), ConvertResult::NoSource);
    EXPECT_EQ(ConvertPronunciationText(dir / "dir.txt", dir / "c.dat"), ConvertResult::NoSource);
    // Reading this process's memory from its start fails with an I/O error.
    EXPECT_EQ(ConvertEnglishText("/proc/self/mem", dir / "e.dat"), ConvertResult::CannotRead);
    EXPECT_EQ(ConvertPronunciationText("/proc/self/mem", dir / "c.dat"), ConvertResult::CannotRead);
    EXPECT_FALSE(std::filesystem::exists(dir / "e.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir / "c.dat"));
}

TEST(TextConvert, WrittenTextFilesRoundTrip) {
    TempDir dir;
    ASSERT_TRUE(catalogue::WriteTextFile(dir / "t.txt", {u"Gr\u00fc\u00dfe", u"zwei"}));
    auto bytes = testing_support::ReadBytes(dir / "t.txt");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    ASSERT_EQ(ConvertPronunciationText(dir / "t.txt", dir / "p.dat"), ConvertResult::Written);
    auto records = ReadAll<PronunciationRecord>(dir / "p.dat");
    EXPECT_EQ(records[0].Text(), u"\uFEFFGr\u00fc\u00dfe\r");
    EXPECT_EQ(records[1].Text(), u"zwei\r");
}

}  // namespace
