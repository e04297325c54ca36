#include "phrasebook/clipcheck.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/phrasebook/test_util.h"

namespace phrasebook {
namespace {

using phrasebook_test::MakeClip;

TEST(ClipCheck, AcceptsFramesBackToBack) {
    auto clip = MakeClip({false, true, false, true, true});
    ClipCheck check = CheckArchiveClip(clip);
    EXPECT_FALSE(check.problem) << *check.problem;
    EXPECT_EQ(check.frames, 5u);
    EXPECT_EQ(clip.size(), 3u * 105 + 2 * 104);
    // At 40 kbit/s a frame is 130 or 131 bytes; a clip keeps one rate throughout.
    std::vector<std::uint8_t> at40(2 * 131, 0);
    for (std::size_t start : {0u, 131u}) {
        const std::uint8_t header[] = {0xFF, 0xF3, 0x52, 0xC4};
        std::memcpy(at40.data() + start, header, 4);
    }
    check = CheckArchiveClip(at40);
    EXPECT_FALSE(check.problem) << *check.problem;
    EXPECT_EQ(check.frames, 2u);
    at40[133] = 0x42;
    EXPECT_TRUE(CheckArchiveClip(at40).problem);
}

TEST(ClipCheck, RejectsWhatThePlayerShouldNotGet) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> clip;
        const char* problem;
    };
    auto base = MakeClip({false, false});
    auto with = [&](std::size_t at, std::uint8_t value) {
        auto clip = base;
        clip[at] = value;
        return clip;
    };
    std::vector<std::uint8_t> cut(base.begin(), base.end() - 1);
    auto id3v1 = base;
    id3v1.insert(id3v1.end(), {'T', 'A', 'G'});
    id3v1.resize(id3v1.size() + 125);
    auto id3v2 = base;
    id3v2.insert(id3v2.begin(), {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0});
    auto xing = base;
    std::memcpy(xing.data() + 13, "Info", 4);

    for (const Case& c : {
             Case{"empty", {}, "too short"},
             Case{"a cut last frame", cut, "cut short at byte 104"},
             Case{"an ID3 version 1 tag", id3v1, "no frame sync at byte 208"},
             Case{"an ID3 version 2 tag", id3v2, "no frame sync at byte 0"},
             Case{"a tag frame", xing, "tag frame"},
             Case{"MPEG-1", with(1, 0xFB), "not MPEG-2 Layer III"},
             Case{"a CRC", with(105, 0xF2), "not MPEG-2 Layer III without CRC at byte 104"},
             Case{"64 kbit/s", with(2, 0x80), "the clip's bit rate"},
             Case{"24 kHz", with(2, 0x44), "not at 22.05 kHz"},
             Case{"stereo", with(3, 0x04), "not mono"},
         }) {
        ClipCheck check = CheckArchiveClip(c.clip);
        ASSERT_TRUE(check.problem.has_value()) << c.name;
        EXPECT_NE(check.problem->find(c.problem), std::string::npos)
            << c.name << ": " << *check.problem;
    }
}

}  // namespace
}  // namespace phrasebook
