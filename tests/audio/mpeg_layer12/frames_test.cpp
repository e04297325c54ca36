// Hand-built Layer I and Layer II frames: joint-stereo sharing, scale-factor selection,
// grouping, the subband limit and its skipped bits, reduced rates, silence, frames whose
// allocation runs past their end, and streams without an allocation table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/mpeg/decoder.h"
#include "audio/mpeg/state.h"
#include "framewriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

double ScaleFactor(int index) {
    return 65536.0 * std::pow(2.0, -index / 3.0);
}

// Starts a stream on data (its first frame at offset 0) with the given options.
bool Start(const Bytes& data, const mpeg::DecodeOptions& options = {}, bool floatOutput = false) {
    mpeg::DecoderInit();
    mpeg::SetDecodeOptions(options);
    mpeg::SetFloatOutput(floatOutput);
    mpeg::FrameInfo info;
    const auto size = static_cast<std::int32_t>(data.size());
    const bool ok = mpeg::ParseFrameInfo(data.data(), size, info, 1) == 1 &&
                    mpeg::DecoderStart(data.data(), size) == 1;
    mpeg::SetFloatOutput(false);
    return ok;
}

// Decodes the frame at data + offset; returns its PCM (empty when refused).
Bytes Decode(const Bytes& data, std::size_t offset = 0) {
    Bytes pcm(8 * 2304, 0xAB);
    mpeg::FrameJob job;
    job.input = data.data() + offset;
    job.inputLength = static_cast<std::int32_t>(data.size() - offset);
    job.output = pcm.data();
    if (!mpeg::DecodeFrame(job)) return {};
    pcm.resize(static_cast<std::size_t>(job.outputLength));
    return pcm;
}

// Float tolerance for a stored sample of the expected value.
double Tolerance(double expected) {
    return 1e-3 + 1e-6 * std::fabs(expected);
}

float Stored(int block, int slot) {
    return mpeg::decoderState.layer12.blocks[block * 64 + slot];
}

// Layer I, 44.1 kHz stereo, 384 kbit/s (416 bytes): every slot allocated 2 bits per sample,
// first channel scale factor 3, second 6; sample codes (block + slot) % 3.
Bytes Layer1FullFrame() {
    FrameWriter w(1, 1, 12, 0, mpeg::ModeStereo, 0);
    for (int i = 0; i < 64; ++i)
        w.Put(1, 4);
    for (int i = 0; i < 64; ++i)
        w.Put(i % 2 ? 6 : 3, 6);
    for (int b = 0; b < 12; ++b)
        for (int i = 0; i < 64; ++i)
            w.Put(static_cast<std::uint32_t>((b + i) % 3), 2);
    return w.Finish(416);
}

double Layer1FullValue(int block, int slot) {
    return ((block + slot) % 3 - 1) * (2.0 / 3.0) * ScaleFactor(slot % 2 ? 6 : 3);
}

TEST(Layer12Frames, Layer1TopSubbandSkippedAndLaterBlocksStayAligned) {
    const Bytes frame = Layer1FullFrame();
    ASSERT_TRUE(Start(frame));  // 44.1 kHz, full rate: subbands 0..30
    EXPECT_EQ(Decode(frame).size(), 384u * 2 * 2);
    for (int b = 0; b < 12; ++b) {
        for (int i = 0; i < 64; ++i) {
            const double expected = i < 62 ? Layer1FullValue(b, i) : 0.0;
            ASSERT_NEAR(Stored(b, i), expected, Tolerance(expected))
                << "block " << b << " slot " << i;
        }
    }
}

TEST(Layer12Frames, HalfRateDecodesOnlyTheLowestFifteenSubbands) {
    const Bytes frame = Layer1FullFrame();
    mpeg::DecodeOptions options;
    options.reduction = 1;
    ASSERT_TRUE(Start(frame, options));
    EXPECT_EQ(Decode(frame).size(), 192u * 2 * 2);
    for (int b = 0; b < 12; ++b) {
        for (int i = 0; i < 64; ++i) {
            const double expected = i < 30 ? Layer1FullValue(b, i) : 0.0;
            ASSERT_NEAR(Stored(b, i), expected, Tolerance(expected))
                << "block " << b << " slot " << i;
        }
    }
}

TEST(Layer12Frames, AllocationZeroGivesSilenceAfterLoudFrames) {
    const Bytes loud = Layer1FullFrame();
    const Bytes quiet = FrameWriter(1, 1, 12, 0, mpeg::ModeStereo, 0).Finish(416);
    ASSERT_TRUE(Start(quiet));
    Bytes pcm = Decode(quiet);
    ASSERT_EQ(pcm.size(), 1536u);
    EXPECT_TRUE(std::all_of(pcm.begin(), pcm.end(), [](std::uint8_t v) { return v == 0; }));

    Bytes stream = loud;
    stream.insert(stream.end(), quiet.begin(), quiet.end());
    stream.insert(stream.end(), quiet.begin(), quiet.end());
    ASSERT_TRUE(Start(stream));
    EXPECT_FALSE(Decode(stream, 0).empty());
    EXPECT_FALSE(Decode(stream, 416).empty());
    pcm = Decode(stream, 832);
    ASSERT_EQ(pcm.size(), 1536u);
    // The synthesis remembers 16 blocks: the last 8 blocks of the second quiet frame are silent.
    EXPECT_TRUE(
        std::all_of(pcm.begin() + 4 * 32 * 4, pcm.end(), [](std::uint8_t v) { return v == 0; }));
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(Stored(11, i), 0.0f);
}

// Layer II, 48 kHz joint stereo with bound 8 (mode extension 1), 384 kbit/s: table a, 27
// subbands. Allocated: subband 3 first channel (3 steps, grouped), subband 5 second channel
// (15 steps), and above the bound subband 10 (15 steps) and subband 12 (5 steps, grouped), each
// read once for both channels.
Bytes Layer2JointFrame() {
    FrameWriter w(1, 2, 14, 1, mpeg::ModeJointStereo, 1);
    for (int sb = 0; sb < 27; ++sb) {
        const int bits = sb < 3 ? 4 : sb < 11 ? 4 : sb < 23 ? 3 : 2;
        if (sb < 8) {
            w.Put(sb == 3 ? 1 : 0, bits);  // first channel
            w.Put(sb == 5 ? 5 : 0, bits);  // second channel
        } else {
            w.Put(sb == 10 ? 5 : sb == 12 ? 2 : 0, bits);
        }
    }
    // Selection information, slots 6, 11, 20, 21, 24, 25.
    for (int select : {0, 2, 2, 1, 3, 2})
        w.Put(static_cast<std::uint32_t>(select), 2);
    // Scale factors in the same order.
    for (int index : {0, 3, 6, /*11*/ 9, /*20*/ 0, /*21*/ 3, 6, /*24*/ 0, 3, /*25*/ 12})
        w.Put(static_cast<std::uint32_t>(index), 6);
    for (int g = 0; g < 12; ++g) {
        w.Put(static_cast<std::uint32_t>(g % 3 + 3 * ((g + 1) % 3) + 9 * ((g + 2) % 3)), 5);
        for (int k = 0; k < 3; ++k)
            w.Put(static_cast<std::uint32_t>((g + k) % 15), 4);
        for (int k = 0; k < 3; ++k)
            w.Put(static_cast<std::uint32_t>((2 * g + k) % 15), 4);
        w.Put(static_cast<std::uint32_t>(g % 5 + 5 * ((g + 3) % 5) + 25 * ((g + 4) % 5)), 7);
    }
    return w.Finish(1152);
}

// The expected block store of Layer2JointFrame, or zero for slots at or above limitSlots.
double Layer2JointValue(int block, int slot, int limitSlots) {
    if (slot >= limitSlots) return 0.0;
    const int third = block / 12;
    const int g = block / 3;
    const int k = block % 3;
    switch (slot) {
        case 6: {
            const int s[3] = {g % 3, (g + 1) % 3, (g + 2) % 3};
            return (s[k] - 1) * (2.0 / 3.0) * ScaleFactor(third * 3);
        }
        case 11:
            return ((g + k) % 15 - 7) * (2.0 / 15.0) * ScaleFactor(9);
        case 20:
        case 21: {
            const int index = slot == 20 ? 0 : third < 2 ? 3 : 6;
            return ((2 * g + k) % 15 - 7) * (2.0 / 15.0) * ScaleFactor(index);
        }
        case 24:
        case 25: {
            const int s[3] = {g % 5, (g + 3) % 5, (g + 4) % 5};
            const int index = slot == 25 ? 12 : third == 0 ? 0 : 3;
            return (s[k] - 2) * (2.0 / 5.0) * ScaleFactor(index);
        }
        default:
            return 0.0;
    }
}

TEST(Layer12Frames, Layer2JointStereoSharesSamplesWithEachChannelsScale) {
    const Bytes frame = Layer2JointFrame();
    ASSERT_TRUE(Start(frame));
    EXPECT_EQ(mpeg::decoderState.layer12.slotCount, 54);
    ASSERT_EQ(Decode(frame).size(), 1152u * 2 * 2);
    for (int b = 0; b < 36; ++b)
        for (int i = 0; i < 64; ++i)
            ASSERT_NEAR(Stored(b, i), Layer2JointValue(b, i, 64),
                        Tolerance(Layer2JointValue(b, i, 64)))
                << "block " << b << " slot " << i;
}

TEST(Layer12Frames, Layer2FrequencyLimitSkipsTheUpperSlotsBits) {
    const Bytes frame = Layer2JointFrame();
    mpeg::DecodeOptions options;
    options.frequencyLimit = 6000;  // 8 subbands at 48 kHz: slots 0..15
    ASSERT_TRUE(Start(frame, options));
    ASSERT_FALSE(Decode(frame).empty());
    for (int b = 0; b < 36; ++b)
        for (int i = 0; i < 64; ++i)
            ASSERT_NEAR(Stored(b, i), Layer2JointValue(b, i, 16),
                        Tolerance(Layer2JointValue(b, i, 16)))
                << "block " << b << " slot " << i;
}

// Layer II, 44.1 kHz stereo, one slot allocated (first channel of subband sb, selection 2,
// scale factor 3). 112 kbit/s (56 per channel) uses table a (27 subbands), 192 kbit/s (96 per
// channel) table b (30 subbands). Group layout of both: 3, 8, 12 subbands, then the rest.
Bytes Layer2OneSlotFrame(int bitRateIndex, int sb, int value, int sampleBits) {
    const bool tableB = bitRateIndex == 10;
    FrameWriter w(1, 2, bitRateIndex, 0, mpeg::ModeStereo, 0);
    for (int k = 0; k < (tableB ? 30 : 27); ++k) {
        const int bits = k < 11 ? 4 : k < 23 ? 3 : 2;
        w.Put(k == sb ? static_cast<std::uint32_t>(value) : 0, bits);
        w.Put(0, bits);
    }
    w.Put(2, 2);
    w.Put(3, 6);
    for (int n = 0; n < 36; ++n)
        w.Put(static_cast<std::uint32_t>(n * 7 % (1 << sampleBits)), sampleBits);
    return w.Finish(tableB ? 626 : 365);
}

// A bit rate change between frames that needs another allocation table switches tables (the
// stream starts on table a, then table b, then a again) and leaves no stale slots behind.
TEST(Layer12Frames, Layer2BitRateChangeSwitchesTheTable) {
    // Table b, subband 28 (2 allocation bits), value 3: 65535 steps, 16-bit samples.
    const Bytes high = Layer2OneSlotFrame(10, 28, 3, 16);
    // Table a, subband 0, value 2: 7 steps, 3-bit samples.
    const Bytes low = Layer2OneSlotFrame(7, 0, 2, 3);
    Bytes stream = low;
    stream.insert(stream.end(), high.begin(), high.end());
    stream.insert(stream.end(), low.begin(), low.end());
    ASSERT_TRUE(Start(stream));
    EXPECT_EQ(mpeg::decoderState.layer12.slotCount, 54);
    const auto lowValue = [](int n) { return (n * 7 % 8 - 3) * (2.0 / 7.0) * ScaleFactor(3); };
    const auto highValue = [](int n) { return (n * 7 - 32767) * (2.0 / 65535.0) * ScaleFactor(3); };
    for (std::size_t offset : {std::size_t{0}, low.size(), low.size() + high.size()}) {
        SCOPED_TRACE(offset);
        ASSERT_FALSE(Decode(stream, offset).empty());
        const bool isHigh = offset == low.size();
        EXPECT_EQ(mpeg::decoderState.layer12.slotCount, isHigh ? 60 : 54);
        for (int b = 0; b < 36; ++b) {
            for (int i = 0; i < 64; ++i) {
                const double expected =
                    isHigh ? (i == 56 ? highValue(b) : 0.0) : (i == 0 ? lowValue(b) : 0.0);
                ASSERT_NEAR(Stored(b, i), expected, Tolerance(expected))
                    << "block " << b << " slot " << i;
            }
        }
    }
}

// A frame whose allocation asks for far more bits than it holds reads zeros past its end, not
// the bytes that follow it in memory.
TEST(Layer12Frames, ReadsPastTheFrameEndGiveZeroBits) {
    // 48 kHz stereo: Layer I at 32 kbit/s (32 bytes), Layer II at 64 kbit/s (192 bytes).
    struct Case {
        int layer;
        int bitRateIndex;
        std::size_t length;
    };
    for (const Case c : {Case{1, 1, 32}, Case{2, 4, 192}}) {
        SCOPED_TRACE(c.layer);
        FrameWriter w(1, c.layer, c.bitRateIndex, 1, mpeg::ModeStereo, 0);
        for (int i = 0; i < 80; ++i)
            w.Put(0xFFFFFFu, 24);  // maximal allocations throughout
        Bytes zeros = w.Finish(c.length);
        Bytes ones = zeros;
        zeros.resize(2048, 0x00);
        ones.resize(2048, 0xFF);
        ASSERT_TRUE(Start(zeros));
        const Bytes a = Decode(zeros);
        ASSERT_TRUE(Start(ones));
        const Bytes b = Decode(ones);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a, b);
    }
}

TEST(Layer12Frames, Layer2WithoutAllocationTableIsRefused) {
    // Single channel at 384 kbit/s: no table for 384 kbit/s per channel.
    FrameWriter w(1, 2, 14, 1, mpeg::ModeSingleChannel, 0);
    w.Put(0x5A5A5A, 24);
    const Bytes frame = w.Finish(1152);
    EXPECT_FALSE(Start(frame));
    Bytes pcm(4608, 0xAB);
    mpeg::FrameJob job;
    job.input = frame.data();
    job.inputLength = static_cast<std::int32_t>(frame.size());
    job.output = pcm.data();
    EXPECT_EQ(mpeg::DecodeFrame(job), 0);
    EXPECT_TRUE(std::all_of(pcm.begin(), pcm.end(), [](std::uint8_t v) { return v == 0xAB; }));
}

// The output layout is fixed by the first frame: a later frame with another channel count plays
// as silence instead of being read with the wrong layout.
TEST(Layer12Frames, ChannelCountChangeMidStreamPlaysSilence) {
    FrameWriter mono(1, 1, 12, 0, mpeg::ModeSingleChannel, 0);
    for (int i = 0; i < 32; ++i)
        mono.Put(3, 4);
    for (int i = 0; i < 32 + 12 * 32; ++i)
        mono.Put(5, 6);
    Bytes stream = FrameWriter(1, 1, 12, 0, mpeg::ModeStereo, 0).Finish(416);
    const Bytes second = mono.Finish(416);
    stream.insert(stream.end(), second.begin(), second.end());
    ASSERT_TRUE(Start(stream));
    ASSERT_FALSE(Decode(stream, 0).empty());
    const Bytes pcm = Decode(stream, 416);
    ASSERT_EQ(pcm.size(), 1536u);
    EXPECT_TRUE(std::all_of(pcm.begin(), pcm.end(), [](std::uint8_t v) { return v == 0; }));
}

}  // namespace
