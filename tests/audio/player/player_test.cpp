#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/audioplayer.h"
#include "audio/mpeg/decoder.h"
#include "platform/media/capturewaveout.h"
#include "tests/audio/player/clips.h"

namespace {

using Kind = media::CaptureWaveOutDriver::EventKind;
using playertest::DecodeReference;
using playertest::ExpectedWrite;
using playertest::MakeClip;
using playertest::Reference;

using Bytes = std::vector<std::uint8_t>;

// A typical phrase clip: 22.05 kHz mono at 32 kbit/s (MPEG-2 Layer III, 104/105-byte frames).
Bytes PhraseClip(double seconds = 2.0) {
    return MakeClip(22050, 1, seconds, "sine 300-900", "-t --cbr -b 32 --resample 22.05 -m m");
}

// 44.1 kHz joint stereo at 128 kbit/s: MPEG-1, 417/418-byte frames.
Bytes StereoClip() {
    return MakeClip(44100, 2, 1.0, "sine 440-880 sine 660", "-t --cbr -b 128 --resample 44.1 -m j");
}

std::uint32_t Size(const Bytes& bytes) {
    return static_cast<std::uint32_t>(bytes.size());
}

// What the player writes for count frames from byte offset of clip: the decoder's output
// when the stream starts there.
Bytes ExpectedFrom(const Bytes& clip, std::uint32_t offset, std::uint32_t count,
                   std::uint32_t skip = 0) {
    auto length = static_cast<std::uint32_t>(clip.size()) - offset;
    return ExpectedWrite(DecodeReference(clip.data() + offset, length), length, 0, count, skip);
}

std::uint32_t FrameIndex(std::uint32_t ms, float frameMs) {
    return static_cast<std::uint32_t>(static_cast<float>(ms) / frameMs);
}

class PlayerTest : public ::testing::Test {
protected:
    // The clip's written samples for Cue(start, end) then Play, on a fresh player.
    Bytes PlayRange(Bytes clip, std::uint32_t start, std::uint32_t end) {
        media::CaptureWaveOutDriver driver;
        CAudioPlayer player(driver);
        EXPECT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
        player.Cue(start, end);
        player.Play();
        player.Close();
        auto writes = driver.Writes();
        return writes.size() == 1 ? writes[0] : Bytes{};
    }

    media::CaptureWaveOutDriver driver_;
};

#define REQUIRE_CLIP(clip) \
    if ((clip).empty()) GTEST_SKIP() << "sox or lame is missing"

TEST_F(PlayerTest, OpensAPhraseClipAtItsFormat) {
    Bytes clip = PhraseClip();
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    EXPECT_EQ(player.GetState(), CAudioPlayer::Ready);
    const media::WAVEFORMATEX& f = player.WaveFormat();
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 22050u);
    EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(f.nBlockAlign, 2);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);
    EXPECT_EQ(player.PayloadOffset(), 0u);
    EXPECT_EQ(player.PayloadLength(), length);
    EXPECT_EQ(player.Duration(), length / 32 * 8);

    auto events = driver_.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, Kind::Open);
    EXPECT_EQ(events[0].format.nSamplesPerSec, 22050u);
    EXPECT_EQ(events[0].format.nChannels, 1);
}

TEST_F(PlayerTest, CueDecodesAQuarterAndTheFirstPlayTheRestOnce) {
    Bytes clip = PhraseClip();
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    Reference ref = DecodeReference(clip.data(), length);
    ASSERT_GT(ref.frames.size(), 60u);

    CAudioPlayer player(driver_);
    // Whatever options the decoder was left with, the player decodes at full rate, as coded.
    mpeg::SetDecodeOptions({1, mpeg::ConvertMix | mpeg::Convert8Bit, 4000});
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    EXPECT_EQ(player.Cue(0, CAudioPlayer::DefaultRangeEnd), CAudioPlayer::Done);
    std::uint32_t duration = length / 32 * 8;
    EXPECT_EQ(player.RangeStart(), 0u);
    EXPECT_EQ(player.RangeEnd(), duration);
    std::uint32_t n = FrameIndex(duration, 26.122449f) + 1;
    ASSERT_EQ(player.FramesInBuffer(), n);
    EXPECT_EQ(player.FramesDecoded(), n / 4);

    // The first quarter is decoded, the rest of the buffer still silent.
    Bytes all = ExpectedWrite(ref, length, 0, n);
    auto buffer = player.Buffer();
    ASSERT_EQ(buffer.size(), all.size());
    std::size_t quarter = std::size_t{n / 4} * ref.pcmBytesPerFrame;
    EXPECT_TRUE(std::equal(all.begin(), all.begin() + quarter, buffer.begin()));
    EXPECT_TRUE(std::all_of(buffer.begin() + quarter, buffer.end(), [](auto b) { return !b; }));
    EXPECT_TRUE(driver_.Writes().empty());

    EXPECT_EQ(player.Play(), CAudioPlayer::Done);
    EXPECT_EQ(player.GetState(), CAudioPlayer::Playing);
    EXPECT_EQ(player.FramesDecoded(), n);
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], all);

    // A replay writes the same samples and decodes nothing.
    player.Stop();
    player.Play();
    EXPECT_EQ(player.FramesDecoded(), n);
    writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1], writes[0]);
    EXPECT_EQ(driver_.Kinds(), (std::vector{Kind::Open, Kind::Write, Kind::Reset, Kind::Write}));

    // The device plays the buffer to its end; the player stays Playing.
    driver_.PlayOut();
    EXPECT_EQ(player.GetState(), CAudioPlayer::Playing);
}

TEST_F(PlayerTest, RangesAreClampedToTheClip) {
    Bytes clip = PhraseClip();
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    std::uint32_t duration = length / 32 * 8;
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);

    // Start after end: the whole clip.
    player.Cue(900, 100);
    EXPECT_EQ(player.RangeStart(), 0u);
    EXPECT_EQ(player.RangeEnd(), duration);

    // 0 and 0: the duration of the whole nominal frames.
    player.Cue(0, 0);
    EXPECT_EQ(player.RangeEnd(), length / 208 * 208 / 32 * 8);
    EXPECT_EQ(player.FramesInBuffer(), FrameIndex(player.RangeEnd(), 26.122449f) + 1);

    // A start past the end of the clip starts at 0.
    player.Cue(duration + 500, 400000);
    EXPECT_EQ(player.RangeStart(), 0u);
    EXPECT_EQ(player.RangeEnd(), duration);

    // A range inside the clip is kept.
    player.Cue(100, 1000);
    EXPECT_EQ(player.RangeStart(), 100u);
    EXPECT_EQ(player.RangeEnd(), 1000u);
    EXPECT_EQ(player.FramesInBuffer(), 38u - 3u + 1u);
}

TEST_F(PlayerTest, FewerThanFourFramesAreAllDecodedByPlay) {
    Bytes clip = PhraseClip();
    REQUIRE_CLIP(clip);
    Reference ref = DecodeReference(clip.data(), Size(clip));
    std::uint32_t length = Size(clip);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    player.Cue(0, 50);  // frames 0 and 1
    EXPECT_EQ(player.FramesInBuffer(), 2u);
    EXPECT_EQ(player.FramesDecoded(), 0u);
    player.Play();
    EXPECT_EQ(player.FramesDecoded(), 2u);
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], ExpectedWrite(ref, length, 0, 2));
}

TEST_F(PlayerTest, NonZeroStartSkipsWholeSampleFramesOfTheFirstFrame) {
    Bytes clip = StereoClip();
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    Reference ref = DecodeReference(clip.data(), length);
    ASSERT_GT(ref.frames.size(), 36u);
    // The frames alternate between 417 and 418 bytes: the walk must follow each header.
    for (std::uint32_t start : {140u, 800u}) {
        std::uint32_t end = start + 100;
        std::uint32_t first = FrameIndex(start, 26.122449f);
        std::uint32_t count = FrameIndex(end, 26.122449f) - first + 1;
        std::uint32_t skip = (start * 44100 / 1000 - first * 1152) * 4;
        ASSERT_LT(skip, 4608u);
        Bytes written = PlayRange(clip, start, end);
        EXPECT_EQ(written.size() % 4, 0u);
        EXPECT_EQ(written, ExpectedFrom(clip, ref.offsets[first], count, skip)) << start;
    }
}

TEST_F(PlayerTest, RecognisesTheRiffLayouts) {
    Bytes clip = PhraseClip(1.0);
    REQUIRE_CLIP(clip);
    Bytes raw = PlayRange(clip, 0, CAudioPlayer::DefaultRangeEnd);
    ASSERT_FALSE(raw.empty());
    struct Layout {
        const char* form;
        std::uint32_t markerAt;
        const char* marker;
        std::uint32_t payloadAt;
    };
    for (Layout layout : {Layout{"WAVE", 50, "fact", 70}, Layout{"WAVE", 52, "fact", 72},
                          Layout{"WAVE", 50, "data", 58}, Layout{"RMP3", 12, "data", 20}}) {
        SCOPED_TRACE(layout.payloadAt);
        Bytes file = playertest::WrapInRiff(clip, layout.form, layout.markerAt, layout.marker,
                                            layout.payloadAt);
        CAudioPlayer player(driver_);
        ASSERT_EQ(player.Open(Bytes(file)), CAudioPlayer::Done);
        EXPECT_EQ(player.PayloadOffset(), layout.payloadAt);
        EXPECT_EQ(player.PayloadLength(), Size(clip));
        player.Close();
        EXPECT_EQ(PlayRange(file, 0, CAudioPlayer::DefaultRangeEnd), raw);
    }
}

TEST_F(PlayerTest, TrailingTagIsNotDecoded) {
    Bytes clip = PhraseClip(1.0);
    REQUIRE_CLIP(clip);
    Bytes raw = PlayRange(clip, 0, CAudioPlayer::DefaultRangeEnd);

    Bytes tagged = clip;
    Bytes tag(128, 'x');
    std::memcpy(tag.data(), "TAG", 3);
    tagged.insert(tagged.end(), tag.begin(), tag.end());
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(Bytes(tagged)), CAudioPlayer::Done);
    EXPECT_EQ(player.PayloadLength(), Size(clip));
    player.Close();
    EXPECT_EQ(PlayRange(tagged, 0, CAudioPlayer::DefaultRangeEnd), raw);

    // 128 trailing bytes that are not a tag stay part of the payload.
    Bytes untagged = clip;
    untagged.insert(untagged.end(), 128, 'x');
    ASSERT_EQ(player.Open(std::move(untagged)), CAudioPlayer::Done);
    EXPECT_EQ(player.PayloadLength(), Size(clip) + 128);
}

TEST_F(PlayerTest, StereoClipHasBlockAlignFour) {
    Bytes clip = StereoClip();
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    Reference ref = DecodeReference(clip.data(), length);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    EXPECT_EQ(player.WaveFormat().nChannels, 2);
    EXPECT_EQ(player.WaveFormat().nBlockAlign, 4);
    EXPECT_EQ(player.WaveFormat().nAvgBytesPerSec, 176400u);
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    player.Play();
    std::uint32_t n = player.FramesInBuffer();
    EXPECT_EQ(n, FrameIndex(length / 128 * 8, 26.122449f) + 1);
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], ExpectedWrite(ref, length, 0, n));
}

TEST_F(PlayerTest, ThirtyTwoKilohertzFramesLast36Milliseconds) {
    Bytes clip = MakeClip(32000, 1, 1.5, "sine 200-2000", "-t --cbr -b 64 --resample 32 -m m");
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    Reference ref = DecodeReference(clip.data(), length);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(Bytes(clip)), CAudioPlayer::Done);
    player.Cue(0, 360);
    EXPECT_EQ(player.FramesInBuffer(), 11u);
    player.Cue(0, 359);
    EXPECT_EQ(player.FramesInBuffer(), 10u);
    player.Close();
    // Frame 20 starts at 720 ms exactly; 100 ms lies 896 samples into frame 2.
    EXPECT_EQ(PlayRange(clip, 720, 1080), ExpectedFrom(clip, ref.offsets[20], 11));
    EXPECT_EQ(PlayRange(clip, 100, 400), ExpectedFrom(clip, ref.offsets[2], 10, 896 * 2));
}

TEST_F(PlayerTest, MpegTwoPointFiveOpensTheDeviceAtTheDecodersRate) {
    Bytes clip = MakeClip(8000, 1, 1.5, "sine 200-1200", "-t --cbr -b 32 --resample 8 -m m");
    REQUIRE_CLIP(clip);
    ASSERT_EQ(clip[1] & 0xF0, 0xE0);
    std::uint32_t length = Size(clip);
    Reference ref = DecodeReference(clip.data(), length);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    EXPECT_EQ(player.WaveFormat().nSamplesPerSec, 8000u);
    EXPECT_EQ(player.WaveFormat().nAvgBytesPerSec, 16000u);
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    std::uint32_t n = player.FramesInBuffer();
    EXPECT_EQ(n, FrameIndex(length / 32 * 8, 72.0f) + 1);  // 576 samples at 8000 Hz
    EXPECT_LE(n, ref.frames.size() + 1);
    player.Play();
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], ExpectedWrite(ref, length, 0, n));
}

TEST_F(PlayerTest, UnplayableClipsLeaveThePlayerClosed) {
    Bytes clip = PhraseClip(1.0);
    REQUIRE_CLIP(clip);
    // MPEG-1 at 44.1 kHz and 40 kbit/s: nominal frame length 130 bytes, below a header parse.
    Bytes shortFrames = MakeClip(44100, 1, 1.0, "sine 440", "-t --cbr -b 40 --resample 44.1 -m m");
    REQUIRE_CLIP(shortFrames);

    Bytes badBitRate = clip;
    badBitRate[2] = static_cast<std::uint8_t>(badBitRate[2] | 0xF0);  // index 15
    Bytes badRate = clip;
    badRate[2] = static_cast<std::uint8_t>(badRate[2] | 0x0C);  // sample-rate index 3
    Bytes freeFormat = clip;
    freeFormat[2] = static_cast<std::uint8_t>(freeFormat[2] & 0x0F);  // index 0
    Bytes id3 = clip;
    std::memcpy(id3.data(), "ID3\x03", 4);
    Bytes unknownRiff = playertest::WrapInRiff(clip, "WAVE", 40, "LIST", 80);
    Bytes shortRiff = playertest::WrapInRiff(clip, "WAVE", 50, "fact", 70);
    shortRiff.resize(54);
    Bytes rmp3NoData = playertest::WrapInRiff(clip, "RMP3", 12, "junk", 20);
    std::memcpy(rmp3NoData.data() + 12, "junk", 4);

    CAudioPlayer player(driver_);
    for (const Bytes& bad : {shortFrames, badBitRate, badRate, freeFormat, id3, unknownRiff,
                             shortRiff, rmp3NoData, Bytes{}, Bytes{0xFF, 0xF3, 0x40}}) {
        EXPECT_NE(player.Open(Bytes(bad)), CAudioPlayer::Done);
        EXPECT_EQ(player.GetState(), CAudioPlayer::Closed);
        EXPECT_EQ(player.PayloadLength(), 0u);
        EXPECT_EQ(player.FramesInBuffer(), CAudioPlayer::FramesPerBuffer);
        // Nothing works on a closed player, and nothing divides by zero.
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        player.Play();
        EXPECT_EQ(player.Pause(), CAudioPlayer::WrongState);
        player.Stop();
        player.Close();
    }
    EXPECT_TRUE(driver_.Events().empty());

    // A later Close/Open pair works.
    player.Close();
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    player.Play();
    EXPECT_EQ(driver_.Writes().size(), 1u);
}

TEST_F(PlayerTest, NeverReadsPastThePayload) {
    // Cut inside the last frames: a header with 10 bytes after it, and a frame that does not
    // fit. The frames that do not lie wholly within the clip stay silent.
    Bytes phrase = PhraseClip(1.0);
    Bytes stereo = StereoClip();
    REQUIRE_CLIP(phrase);
    REQUIRE_CLIP(stereo);
    Reference phraseRef = DecodeReference(phrase.data(), Size(phrase));
    Reference stereoRef = DecodeReference(stereo.data(), Size(stereo));
    std::size_t p = phraseRef.offsets.size() - 2;
    std::size_t s = stereoRef.offsets.size() - 3;
    for (auto [clip, cut] : {std::pair{phrase, phraseRef.offsets[p] + 10},
                             std::pair{stereo, stereoRef.offsets[s] + 200}}) {
        clip.resize(cut);
        clip.shrink_to_fit();
        Reference ref = DecodeReference(clip.data(), Size(clip));
        CAudioPlayer player(driver_);
        ASSERT_EQ(player.Open(Bytes(clip)), CAudioPlayer::Done);
        // Every frame that can exist, and more.
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        std::uint32_t n = player.FramesInBuffer();
        player.Play();
        player.Close();
        auto writes = driver_.Writes();
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(writes.back(), ExpectedWrite(ref, Size(clip), 0, n));
    }
}

TEST_F(PlayerTest, LongClipIsHeardUpToItsThreeHundredthFrame) {
    Bytes clip = PhraseClip(9.0);
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    Reference ref = DecodeReference(clip.data(), length);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    EXPECT_EQ(player.RangeEnd(), length / 32 * 8);
    EXPECT_EQ(player.FramesInBuffer(), CAudioPlayer::FramesPerBuffer);
    EXPECT_EQ(player.FramesDecoded(), 75u);
    player.Play();
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], ExpectedWrite(ref, length, 0, 300));
}

// A VBR clip's first frame carries a tag: the walk follows that frame's own length.
TEST_F(PlayerTest, TaggedFirstFrameIsSteppedOverByItsOwnLength) {
    Bytes clip = MakeClip(22050, 1, 2.0, "sine 300-900", "-V 6 --resample 22.05 -m m");
    REQUIRE_CLIP(clip);
    std::uint32_t length = Size(clip);
    ASSERT_NE(std::search(clip.begin(), clip.begin() + 64, "Xing", "Xing" + 4), clip.begin() + 64);
    Reference ref = DecodeReference(clip.data(), length);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    player.Play();
    std::uint32_t n = std::min<std::uint32_t>(player.FramesInBuffer(), ref.frames.size());
    ASSERT_GT(n, 8u);
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    Bytes expected = ExpectedWrite(ref, length, 0, n);
    ASSERT_GE(writes[0].size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), writes[0].begin()));
}

TEST_F(PlayerTest, StatesAndResults) {
    Bytes clip = PhraseClip(1.0);
    REQUIRE_CLIP(clip);
    CAudioPlayer player(driver_);
    // Closed: nothing happens.
    EXPECT_EQ(player.Play(), CAudioPlayer::Done);
    EXPECT_EQ(player.Stop(), CAudioPlayer::Done);
    EXPECT_EQ(player.Pause(), CAudioPlayer::WrongState);
    EXPECT_EQ(player.Resume(), CAudioPlayer::WrongState);
    EXPECT_EQ(player.Close(), CAudioPlayer::Done);
    EXPECT_TRUE(driver_.Events().empty());

    ASSERT_EQ(player.Open(Bytes(clip)), CAudioPlayer::Done);
    // Open while open takes nothing over.
    Bytes second = clip;
    EXPECT_EQ(player.Open(std::move(second)), CAudioPlayer::Done);
    EXPECT_EQ(second.size(), clip.size());
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    EXPECT_EQ(player.Stop(), CAudioPlayer::Done);
    EXPECT_EQ(player.Pause(), CAudioPlayer::WrongState);
    EXPECT_EQ(player.Resume(), CAudioPlayer::WrongState);
    EXPECT_EQ(player.GetState(), CAudioPlayer::Ready);

    player.Play();
    EXPECT_EQ(player.Resume(), CAudioPlayer::WrongState);
    EXPECT_EQ(player.Pause(), CAudioPlayer::Done);
    EXPECT_EQ(player.GetState(), CAudioPlayer::Paused);
    EXPECT_EQ(player.Pause(), CAudioPlayer::WrongState);
    // A paused device holds the buffer.
    driver_.PlayOut();
    EXPECT_EQ(player.Resume(), CAudioPlayer::Done);
    EXPECT_EQ(player.GetState(), CAudioPlayer::Playing);
    // Cue only in Ready.
    std::uint32_t end = player.RangeEnd();
    player.Cue(0, 100);
    EXPECT_EQ(player.RangeEnd(), end);
    // Play from Paused stops first.
    player.Pause();
    player.Play();
    EXPECT_EQ(player.GetState(), CAudioPlayer::Playing);
    EXPECT_EQ(driver_.Kinds(), (std::vector{Kind::Open, Kind::Write, Kind::Pause, Kind::Restart,
                                            Kind::Pause, Kind::Reset, Kind::Write}));

    EXPECT_EQ(player.Close(), CAudioPlayer::Done);
    EXPECT_EQ(player.GetState(), CAudioPlayer::Closed);
    EXPECT_EQ(player.FramesInBuffer(), CAudioPlayer::FramesPerBuffer);
    EXPECT_EQ(player.PayloadLength(), 0u);
    EXPECT_EQ(player.RangeEnd(), 0u);
    EXPECT_EQ(player.WaveFormat().nSamplesPerSec, 0u);
    EXPECT_TRUE(player.Buffer().empty());
    EXPECT_EQ(driver_.Kinds().back(), Kind::Close);
    EXPECT_EQ(driver_.OpenDevices(), 0);
}

TEST_F(PlayerTest, PlayWithoutCuePlaysTheWholeClip) {
    Bytes clip = PhraseClip(1.0);
    REQUIRE_CLIP(clip);
    Bytes cued = PlayRange(clip, 0, CAudioPlayer::DefaultRangeEnd);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    player.Play();
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], cued);
}

TEST_F(PlayerTest, EachCueDecodesItsRangeAfresh) {
    Bytes clip = StereoClip();
    REQUIRE_CLIP(clip);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(std::move(clip)), CAudioPlayer::Done);
    player.Cue(200, 600);
    player.Play();
    player.Stop();
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    player.Play();
    player.Stop();
    player.Cue(200, 600);
    player.Play();
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[2], writes[0]);
}

TEST_F(PlayerTest, ReopeningWithNewClips) {
    Bytes phrase = PhraseClip(1.0);
    Bytes stereo = StereoClip();
    REQUIRE_CLIP(phrase);
    REQUIRE_CLIP(stereo);
    Bytes phraseAlone = PlayRange(phrase, 0, CAudioPlayer::DefaultRangeEnd);
    Bytes stereoAlone = PlayRange(stereo, 0, CAudioPlayer::DefaultRangeEnd);
    // What the main window does for each chosen phrase: Close, Open, Cue; then Stop, Play.
    CAudioPlayer player(driver_);
    for (const Bytes* clip : {&phrase, &stereo, &phrase}) {
        player.Close();
        ASSERT_EQ(player.Open(Bytes(*clip)), CAudioPlayer::Done);
        player.Cue(0, CAudioPlayer::DefaultRangeEnd);
        player.Stop();
        player.Play();
    }
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], phraseAlone);
    EXPECT_EQ(writes[1], stereoAlone);
    EXPECT_EQ(writes[2], phraseAlone);
    EXPECT_EQ(driver_.OpenDevices(), 1);
}

std::vector<std::int16_t> Samples(const Bytes& pcm) {
    std::vector<std::int16_t> samples(pcm.size() / 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    return samples;
}

// A tone's frequency from its upward zero crossings between two sample positions.
double ToneFrequency(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to,
                     double rate) {
    int crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            if (crossings++ == 0) first = i;
            last = i;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * rate / static_cast<double>(last - first);
}

std::size_t LastLoud(const std::vector<std::int16_t>& s) {
    std::size_t i = s.size();
    while (i > 0 && std::abs(s[i - 1]) < 2000)
        --i;
    return i;
}

TEST_F(PlayerTest, SlowerSpeechStretchesTheWholeRangeKeepingThePitchAndTheVolumeScales) {
    Bytes clip = MakeClip(22050, 1, 1.0, "sine 440", "-t --cbr -b 32 --resample 22.05 -m m");
    REQUIRE_CLIP(clip);
    CAudioPlayer player(driver_);
    ASSERT_EQ(player.Open(Bytes(clip)), CAudioPlayer::Done);
    player.Cue(0, CAudioPlayer::DefaultRangeEnd);
    player.Play();
    const std::uint32_t decoded = player.FramesDecoded();
    player.SetSlowSpeech(true);
    player.Play();  // the cued clip again, stretched
    player.Play();
    player.SetSlowSpeech(false);
    player.Play();
    auto writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(player.FramesDecoded(), decoded);
    EXPECT_EQ(writes[3], writes[0]);
    EXPECT_EQ(writes[2], writes[1]);
    const auto plain = Samples(writes[0]);
    const auto slow = Samples(writes[1]);

    // 70 % speed: 1/0.7 as many samples, the tone where it was in time and to its end (the
    // stretcher was flushed), at the same pitch and loudness.
    EXPECT_EQ(slow.size(), static_cast<std::size_t>(std::llround(plain.size() / 0.7)));
    EXPECT_NEAR(static_cast<double>(slow.size()) / plain.size(), 1.43, 0.01);
    EXPECT_NEAR(static_cast<double>(LastLoud(slow)), LastLoud(plain) / 0.7, 22050 * 0.03);
    const std::size_t n = plain.size();
    const double plainHz = ToneFrequency(plain, n / 5, n * 4 / 5, 22050);
    const double slowHz = ToneFrequency(slow, slow.size() / 5, slow.size() * 4 / 5, 22050);
    EXPECT_NEAR(plainHz, 440, 3);
    EXPECT_NEAR(slowHz, 440, 3);
    auto rms = [](const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += static_cast<double>(s[i]) * s[i];
        return std::sqrt(sum / static_cast<double>(to - from));
    };
    EXPECT_NEAR(rms(slow, slow.size() / 5, slow.size() * 4 / 5), rms(plain, n / 5, n * 4 / 5),
                rms(plain, n / 5, n * 4 / 5) * 0.1);

    // Half volume halves every sample, on this device and on the next clip's.
    player.SetVolume(0x7FFF7FFF);
    player.Play();
    player.Close();
    ASSERT_EQ(player.Open(Bytes(clip)), CAudioPlayer::Done);
    player.Play();
    writes = driver_.Writes();
    ASSERT_EQ(writes.size(), 6u);
    for (const std::size_t w : {4u, 5u}) {
        const auto half = Samples(writes[w]);
        ASSERT_EQ(half.size(), plain.size());
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(half[i], plain[i] * 0x7FFF / 0xFFFF) << w << " " << i;
    }
    EXPECT_EQ(player.Volume(), 0x7FFF7FFFu);
}

}  // namespace
