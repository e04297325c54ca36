#include "catalogue/archive.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/tempdir.h"

namespace {

using catalogue::ClipFetch;
using catalogue::ReadClip;
using testing_support::TempDir;
using testing_support::WriteBytes;
using Outcome = ClipFetch::Outcome;

std::vector<std::uint8_t> Header(const char* magic = "quorvani", std::uint32_t version = 2102) {
    std::vector<std::uint8_t> bytes(magic, magic + 8);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(version >> (8 * i)));
    return bytes;
}

std::vector<std::uint8_t> Index(std::initializer_list<ClipIndexEntry> entries) {
    std::vector<std::uint8_t> bytes;
    for (const auto& e : entries) {
        auto raw = e.Encode();
        bytes.insert(bytes.end(), raw.begin(), raw.end());
    }
    return bytes;
}

struct Archive {
    TempDir dir;
    std::filesystem::path data = dir / "data.dat";
    std::filesystem::path index = dir / "data.idx";
    ClipFetch Fetch(PhraseNo phrase) { return ReadClip(data, index, phrase); }
};

TEST(ClipArchive, ClipStartsTwelveBytesPastItsOffset) {
    Archive a;
    auto data = Header();
    for (std::uint8_t b : {10, 11, 12, 13, 14, 15})
        data.push_back(b);
    WriteBytes(a.data, data);
    // Two entries and a trailing partial one, which does not count.
    auto index = Index({{2, 3}, {0, 0}});
    index.push_back(0xAA);
    WriteBytes(a.index, index);

    ClipFetch first = a.Fetch(1);
    ASSERT_EQ(first.outcome, Outcome::Clip);
    EXPECT_EQ(first.clip, (std::vector<std::uint8_t>{12, 13, 14}));
    EXPECT_EQ(first.Message(), nullptr);

    ClipFetch empty = a.Fetch(2);
    EXPECT_EQ(empty.outcome, Outcome::Clip);
    EXPECT_TRUE(empty.clip.empty());

    for (PhraseNo outside : {0, -1, 3}) {
        ClipFetch none = a.Fetch(outside);
        EXPECT_EQ(none.outcome, Outcome::OutOfRange) << outside;
        EXPECT_EQ(none.Message(), nullptr);
    }
}

TEST(ClipArchive, MissingFilesAndBadHeaders) {
    Archive a;
    ClipFetch noData = a.Fetch(1);
    EXPECT_EQ(noData.outcome, Outcome::NoDataFile);
    EXPECT_EQ(std::u16string(noData.Message()), u"Can't find data file!");

    // Without its index the archive is missing just as without its data.
    WriteBytes(a.data, Header());
    EXPECT_EQ(a.Fetch(1).outcome, Outcome::NoIndexFile);
    EXPECT_EQ(std::u16string(a.Fetch(1).Message()), u"Can't find data file!");

    WriteBytes(a.index, Index({{0, 0}}));
    for (auto header : {Header("quorvani", 2101), Header("quorvanX", 2102)}) {
        WriteBytes(a.data, header);
        ClipFetch bad = a.Fetch(1);
        EXPECT_EQ(bad.outcome, Outcome::BadFormat);
        EXPECT_EQ(std::u16string(bad.Message()), u"This file is not in right format!");
    }
    WriteBytes(a.data, {'q', 'u'});  // shorter than a header
    EXPECT_EQ(a.Fetch(1).outcome, Outcome::BadFormat);

    // Directories in their place are files that cannot be opened.
    std::filesystem::remove(a.index);
    std::filesystem::create_directory(a.index);
    WriteBytes(a.data, Header());
    EXPECT_EQ(a.Fetch(1).outcome, Outcome::NoIndexFile);
    std::filesystem::remove(a.data);
    std::filesystem::create_directory(a.data);
    ClipFetch dir = a.Fetch(1);
    EXPECT_EQ(dir.outcome, Outcome::NoDataFile);
    EXPECT_EQ(std::u16string(dir.Message()), u"Can't find data file!");
}

TEST(ClipArchive, EntryPastTheEndGivesNoClipAndNoMessage) {
    Archive a;
    auto data = Header();
    data.resize(data.size() + 10, 7);
    WriteBytes(a.data, data);
    WriteBytes(a.index, Index({{5, 6}, {0, 0xFFFFFFF0u}, {0xFFFFFFFFu, 1}}));
    for (PhraseNo phrase : {1, 2, 3}) {
        ClipFetch fetch = a.Fetch(phrase);
        EXPECT_EQ(fetch.outcome, Outcome::ShortRead) << phrase;
        EXPECT_TRUE(fetch.clip.empty());
        EXPECT_EQ(fetch.Message(), nullptr);
    }
}

TEST(ClipArchive, WrittenArchivesShareIdenticalClips) {
    Archive a;
    std::vector<std::vector<std::uint8_t>> clips = {{1, 2, 3}, {4, 5}, {1, 2, 3}, {}};
    ASSERT_TRUE(catalogue::WriteArchive(a.data, a.index, clips));
    EXPECT_EQ(std::filesystem::file_size(a.data), 12u + 5u);
    EXPECT_EQ(std::filesystem::file_size(a.index), 32u);
    for (PhraseNo n = 1; n <= 4; ++n) {
        ClipFetch fetch = a.Fetch(n);
        ASSERT_EQ(fetch.outcome, Outcome::Clip);
        EXPECT_EQ(fetch.clip, clips[n - 1]);
    }
}

}  // namespace
