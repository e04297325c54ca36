#include "catalogue/records.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(Records, PhraseRecordLayoutIsLittleEndianAndExact) {
    PhraseRecord record;
    record.SetText(u"Hi\u00e4");
    record.number = 0x01020304;
    auto bytes = record.Encode();
    ASSERT_EQ(bytes.size(), 116u);
    EXPECT_EQ(bytes[0], 'H');
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[4], 0xE4);
    EXPECT_EQ(bytes[6], 0);  // NUL
    EXPECT_EQ(bytes[112], 0x04);
    EXPECT_EQ(bytes[115], 0x01);

    PhraseRecord back = PhraseRecord::Decode(bytes.data());
    EXPECT_EQ(back.Text(), u"Hi\u00e4");
    EXPECT_EQ(back.number, 0x01020304);
}

TEST(Records, TextsAreCutToTheFieldAndStayTerminated) {
    PhraseRecord phrase;
    phrase.SetText(std::u16string(80, u'x'));
    EXPECT_EQ(phrase.Text().size(), 55u);
    EXPECT_EQ(phrase.text[55], 0);

    PronunciationRecord pronunciation;
    pronunciation.SetText(std::u16string(80, u'y'));
    EXPECT_EQ(pronunciation.Text().size(), 69u);
    EXPECT_EQ(pronunciation.Encode().size(), 140u);

    SpecRecord spec;
    spec.SetText(std::string(300, 'z'));
    EXPECT_EQ(spec.Text().size(), 175u);
}

TEST(Records, FieldWithoutNulIsBoundedByTheField) {
    std::array<std::uint8_t, PhraseRecord::Size> bytes{};
    for (std::size_t i = 0; i < 112; i += 2)
        bytes[i] = 'a';
    bytes[112] = 7;
    PhraseRecord record = PhraseRecord::Decode(bytes.data());
    EXPECT_EQ(record.Text(), std::u16string(56, u'a'));
    EXPECT_EQ(record.number, 7);

    std::array<std::uint8_t, SpecRecord::Size> spec{};
    std::fill_n(spec.begin(), 176, 'b');
    spec[176] = 0xFE;
    spec[177] = 0xFF;
    SpecRecord decoded = SpecRecord::Decode(spec.data());
    EXPECT_EQ(decoded.Text(), std::string(176, 'b'));
    EXPECT_EQ(decoded.groupSize, -2);
}

TEST(Records, ArchiveHeaderAndIndexEntry) {
    auto bytes = ArchiveHeader::Current().Encode();
    const std::uint8_t expected[12] = {'q', 'u', 'o', 'r', 'v', 'a', 'n', 'i', 0x36, 0x08, 0, 0};
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), expected));
    EXPECT_TRUE(ArchiveHeader::Decode(bytes.data()).IsValid());

    bytes[8] = 0x35;  // version 2101
    EXPECT_FALSE(ArchiveHeader::Decode(bytes.data()).IsValid());
    bytes[8] = 0x36;
    bytes[0] = 'Q';
    EXPECT_FALSE(ArchiveHeader::Decode(bytes.data()).IsValid());

    ClipIndexEntry entry{0x11223344, 5};
    auto raw = entry.Encode();
    EXPECT_EQ(raw[0], 0x44);
    EXPECT_EQ(raw[4], 5);
    ClipIndexEntry back = ClipIndexEntry::Decode(raw.data());
    EXPECT_EQ(back.offset, 0x11223344u);
    EXPECT_EQ(back.length, 5u);
}

}  // namespace
