// The built files read back through the program's own readers.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/item.h"
#include "catalogue/phrasemap.h"
#include "catalogue/pronunciation.h"
#include "catalogue/stdfile.h"
#include "catalogue/textconvert.h"
#include "phrasebook/build.h"
#include "phrasebook/source.h"
#include "phrasebook/subcategories.h"
#include "platform/shell/codepage.h"
#include "tests/phrasebook/test_util.h"

namespace phrasebook {
namespace {

using catalogue::StdFile;
using phrasebook_test::ScratchDir;

// The program's fixed table of related phrases: each row's phrase, then the phrases it names.
const std::vector<std::vector<int>> RelatedRows = {
    {1, 4, 2},
    {2, 1},
    {3, 4},
    {4, 2},
    {9, 98, 99, 12},
    {10, 98, 99, 12, 15},
    {12, 9, 10},
    {13, 9, 10, 15},
    {14, 15, 16, 18},
    {15, 14, 16, 18},
    {16, 15, 18},
    {17, 15, 18},
    {23, 98, 99, 23},
    {20, 18},
    {25, 98, 99},
    {26, 27, 28, 29, 30, 31},
    {32, 27, 28, 29, 30, 31},
    {33, 27, 28, 29, 30, 31},
    {34, 27, 28, 29, 30, 31},
    {35, 27, 28, 29, 30, 31},
    {36, 27, 28, 29, 30, 31},
    {37, 27, 28, 29, 30, 31},
    {38, 27, 28, 29, 30, 31},
    {47, 48, 49, 108},
    {100, 105},
    {104, 106},
    {105, 100},
    {106, 104, 222, 223},
    {108, 48, 49, 168, 255},
    {156, 476},
    {175, 168, 170, 528},
    {176, 168, 170, 528},
    {236, 238},
    {237, 239},
    {239, 240},
    {252, 168, 170, 18},
    {253, 168, 170, 18},
    {254, 168, 170, 18},
    {255, 168, 170, 18},
    {256, 168, 170, 18},
    {260, 18, 61, 62, 63, 64, 65},
    {261, 18},
    {265, 18, 59, 63},
    {267, 255, 168},
    {268, 255, 168},
    {269, 255, 168},
    {270, 18},
    {271, 272, 277},
    {270, 18},
    {310, 18, 255},
    {314, 60, 61},
    {315, 168, 255, 528},
    {316, 168, 255, 528},
    {317, 168, 255, 528},
    {318, 168, 255, 528},
    {319, 168, 255, 528},
    {320, 168, 255, 528},
    {321, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97},
    {322, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97},
    {327, 98, 99},
    {328, 98, 99},
    {330, 329},
    {331, 333, 334, 356},
    {332, 333, 334},
    {333, 334},
    {335, 336, 337},
    {363, 364},
    {373, 330},
    {374, 330},
    {375, 330},
    {376, 330},
    {377, 330},
    {378, 330},
    {379, 330},
    {380, 330},
    {459, 463, 460, 461, 462, 255},
    {460, 18, 461},
    {461, 465},
    {463, 168, 255},
    {464, 460},
    {465, 463, 168, 170},
    {466, 460},
    {467, 460},
    {468, 460},
    {469, 460},
    {470, 460},
    {471, 460},
    {472, 460},
    {473, 460},
    {474, 504, 505},
    {490, 491, 492},
    {511, 512},
    {519, 524},
    {520, 524},
    {521, 524},
    {522, 524},
    {523, 524},
    {526, 530, 531},
    {535, 18, 255},
    {537, 539},
    {552, 168, 169},
    {569, 18, 168, 170, 169},
    {572, 9, 13, 14, 15, 16, 19},
    {573, 9, 13, 14, 15, 16, 19},
    {574, 18, 21, 22, 9, 578},
    {575, 574},
    {587, 168, 170, 169},
    {588, 168, 170, 169},
    {589, 168, 170, 169},
    {590, 168, 170, 169},
    {591, 168, 170, 169},
    {592, 18},
    {593, 18},
    {594, 18},
    {596, 597},
    {598, 18, 21, 600},
    {638, 463, 18, 168, 170},
    {639, 463, 168, 170},
    {640, 463, 168, 170},
    {641, 463, 168, 170},
    {642, 463, 168, 170},
    {643, 463, 168, 170},
    {644, 463, 168, 170},
    {645, 463, 168, 170},
    {646, 463, 168, 170},
    {647, 463, 168, 170},
    {648, 463, 168, 170},
    {649, 463, 168, 170},
    {652, 654, 655, 665},
    {655, 665},
    {681, 683, 684},
    {682, 683, 684},
    {697, 168, 170, 169, 528, 711},
    {718, 168, 170, 169},
    {728, 168, 170, 169, 528},
    {729, 168, 170, 169, 528},
    {746, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97},
    {775, 777, 18}};

// Builds the text files and the keyword map of the bundled source once for all tests here,
// and the record files the program makes from them on its first start.
class RoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir;
        BuildOptions options;
        options.source = phrasebook_test::SourcePath();
        options.output = dir_->path();
        options.speech = false;
        std::string said;
        options.say = [&](const std::string& line) { said += line + "\n"; };
        ASSERT_TRUE(BuildCatalogue(options)) << said;
        ASSERT_EQ(catalogue::ConvertEnglishText(Path("English.txt"), Path("English.dat")),
                  catalogue::ConvertResult::Written);
        ASSERT_EQ(catalogue::ConvertPronunciationText(Path("Pro3.txt"), Path("Chinese.dat")),
                  catalogue::ConvertResult::Written);
        source_ = new Source(ParseSource(phrasebook_test::SourceText()).source);
        StdFile spec = StdFile::Open(Path("MapEngSpec.data"), "rb");
        specs_ = new std::vector<SpecRecord>;
        while (auto record = spec.ReadRecord<SpecRecord>())
            specs_->push_back(*record);
    }
    static void TearDownTestSuite() {
        delete specs_;
        delete source_;
        delete dir_;
    }
    static std::filesystem::path Path(const char* name) { return dir_->path() / name; }

    // What a list row built from phrase n's keyword-map record shows.
    static std::u16string RowText(PhraseNo n) {
        return CItem(shell::AnsiToUtf16((*specs_)[n - 1].Text())).display;
    }

    static ScratchDir* dir_;
    static Source* source_;
    static std::vector<SpecRecord>* specs_;
};
ScratchDir* RoundTrip::dir_ = nullptr;
Source* RoundTrip::source_ = nullptr;
std::vector<SpecRecord>* RoundTrip::specs_ = nullptr;

TEST_F(RoundTrip, FilesHaveOneRecordPerPhrase) {
    EXPECT_EQ(std::filesystem::file_size(Path("English.dat")), 782u * 116);
    EXPECT_EQ(std::filesystem::file_size(Path("Chinese.dat")), 782u * 140);
    EXPECT_EQ(specs_->size(), 782u);
    // UTF-16LE with byte-order mark and CR LF line ends.
    auto text = ReadWholeFile(Path("English.txt")).value();
    EXPECT_EQ(text.substr(0, 4), std::string("\xFF\xFEH\0", 4));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 782);
}

TEST_F(RoundTrip, EveryHeadResolvesToItsGroupsFirstPhrase) {
    catalogue::PhraseMap map;
    ASSERT_TRUE(catalogue::LoadAllPhrases(Path("English.dat"), map));
    // Walk the keyword map as the list loaders do: a head, then skip its variants.
    int heads = 0;
    for (PhraseNo n = 1; n <= 782;) {
        const SpecRecord& head = (*specs_)[n - 1];
        auto found = map.find(RowText(n));
        ASSERT_NE(found, map.end()) << "phrase " << n;
        EXPECT_EQ(found->second, catalogue::DecimalText(n));
        n += std::max<int>(1, head.groupSize);
        ++heads;
    }
    EXPECT_EQ(
        heads, 782 - [&] {
            int variants = 0;
            for (const auto& group : source_->groups)
                variants += static_cast<int>(group.size) - 1;
            return variants;
        }());
}

TEST_F(RoundTrip, EveryPhraseIsInEnglishDatUnderItsNumber) {
    catalogue::PhraseMap map;
    ASSERT_TRUE(catalogue::LoadAllPhrases(Path("English.dat"), map));
    ASSERT_EQ(map.size(), 782u);
    for (std::size_t i = 0; i < source_->phrases.size(); ++i)
        EXPECT_EQ(map[source_->phrases[i].english],
                  catalogue::DecimalText(static_cast<int>(i + 1)));
}

TEST_F(RoundTrip, EverySubcategoryListsWholeGroups) {
    for (const Subcategory& entry : Subcategories()) {
        PhraseNo n = entry.first;
        while (n <= entry.last)
            n += std::max<int>(1, (*specs_)[n - 1].groupSize);
        EXPECT_EQ(n, entry.last + 1) << entry.categoryName << " / " << entry.name;
    }
}

TEST_F(RoundTrip, VariantRecordsHoldTheirOwnText) {
    for (const auto& group : source_->groups) {
        EXPECT_EQ((*specs_)[group.first].groupSize, static_cast<int>(group.size));
        EXPECT_EQ(shell::AnsiToUtf16((*specs_)[group.first].Text()), group.head);
        for (std::size_t k = 1; k < group.size; ++k) {
            EXPECT_EQ((*specs_)[group.first + k].groupSize, 1);
            EXPECT_EQ(RowText(static_cast<PhraseNo>(group.first + k + 1)),
                      source_->phrases[group.first + k].english);
        }
    }
}

TEST_F(RoundTrip, EveryRelatedRowResolvesToThePhraseItNames) {
    StdFile english = StdFile::Open(Path("English.dat"), "rb");
    for (const auto& row : RelatedRows) {
        for (std::size_t k = 1; k < row.size(); ++k) {
            // The related view keys the map by the English record and shows the keyword-map
            // record: both must give the same text.
            catalogue::PhraseMap map;
            catalogue::ReadPhraseRange(english, row[k], row[k], map);
            auto found = map.find(RowText(row[k]));
            ASSERT_NE(found, map.end()) << "row " << row[0] << " names " << row[k];
            EXPECT_EQ(found->second, catalogue::DecimalText(row[k]));
        }
    }
}

TEST_F(RoundTrip, PronunciationShowsTheGermanLine) {
    StdFile pronunciations = StdFile::Open(Path("Chinese.dat"), "rb");
    for (PhraseNo n = 1; n <= 782; ++n) {
        auto record = catalogue::ReadPronunciation(pronunciations, n);
        EXPECT_EQ(catalogue::PronunciationDisplayText(record, n), source_->phrases[n - 1].german)
            << "phrase " << n;
    }
}

TEST(Build, ChangedTextFilesDropTheRecordFilesBuiltFromThem) {
    ScratchDir dir;
    BuildOptions options;
    options.source = phrasebook_test::SourcePath();
    options.output = dir.path();
    options.speech = false;
    auto stale = dir.path() / "English.dat";
    phrasebook_test::WriteFile(stale, "old");
    phrasebook_test::WriteFile(dir.path() / "Chinese.dat", "old");
    ASSERT_TRUE(BuildCatalogue(options));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Chinese.dat"));

    // Unchanged text: the program's record files stay.
    phrasebook_test::WriteFile(stale, "built by the program");
    ASSERT_TRUE(BuildCatalogue(options));
    EXPECT_TRUE(std::filesystem::exists(stale));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "English.txt.new"));
}

TEST(Build, ABrokenSourceWritesNothing) {
    ScratchDir dir;
    auto source = dir.path() / "phrases.txt";
    phrasebook_test::WriteFile(source, "@ Basic / Greetings\nHello. = Hallo.\n");
    BuildOptions options;
    options.source = source;
    options.output = dir.path() / "run";
    options.speech = false;
    std::vector<std::string> said;
    options.say = [&](const std::string& line) { said.push_back(line); };
    EXPECT_FALSE(BuildCatalogue(options));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "run"));
    ASSERT_FALSE(said.empty());
    EXPECT_NE(said.front().find("phrases.txt:2: the phrasebook holds 1 phrases"), std::string::npos)
        << said.front();
}

}  // namespace
}  // namespace phrasebook
