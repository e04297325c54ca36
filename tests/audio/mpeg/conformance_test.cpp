// Layer III conformance: the ISO and MPEG-2 streams against their reference output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/mpeg/decoder.h"
#include "tests/audio/mpeg/support.h"

namespace {

using namespace mpegtest;

constexpr double Lsb = 1.0 / 32768.0;
constexpr double LimitedRms = 1.4095e-4;  // 2^-11 / sqrt(12)
constexpr double FullRms = 8.8097e-6;     // 2^-15 / sqrt(12)
constexpr double FullMax = 6.1035e-5;     // 2^-14

struct Vector {
    const char* name;
    int skipFrames;  // decoder output frames before the reference starts
    // The fraction of the Nyquist frequency above which the decoder reconstructs nothing
    // (subband 31 at full rate, the top band of the lower rates), when the reference holds
    // content there that makes the stream miss the 2 LSB gate; 0 otherwise.
    double bandLimit;
};

// Every Layer III MPEG-1 and MPEG-2 stream with a trusted reference. l3-he_mode (channel count
// changes between frames) has its own tests; l3-he_free is free format, which is refused.
const Vector vectors[] = {
    {"l3-compl", 0, 0},
    {"l3-he_32khz", 0, 0},
    {"l3-he_44khz", 0, 0},
    {"l3-he_48khz", 0, 0},
    {"l3-hecommon", 0, 0},
    {"l3-si", 0, 0},
    {"l3-si_block", 0, 0},
    {"l3-si_huff", 0, 31.0 / 32},
    {"l3-sin1k0db", 2, 0},  // starts inside a bit reservoir: two frames give no output
    {"M2L3_bitrate_16_all", 0, 0},
    {"M2L3_bitrate_22_all", 0, 522.0 / 576},
    {"M2L3_bitrate_24_all", 0, 0},
    {"M2L3_compl24", 0, 540.0 / 576},
    {"M2L3_noise", 0, 522.0 / 576},
};

struct Measure {
    double maxLsb = 0;
    double rms = 0;
    std::size_t count = 0;
    std::vector<double> difference;
};

// 16-bit output against the 16-bit reference, aligned by skip output samples.
Measure Measure16(const Decoded& p, std::size_t skip, const std::vector<double>& ref) {
    Measure m;
    double sum = 0;
    for (std::size_t i = 0; i < ref.size() && skip + i < p.pcm16.size(); ++i) {
        double e = p.pcm16[skip + i] * Lsb - ref[i];
        m.maxLsb = std::max(m.maxLsb, std::fabs(e) / Lsb);
        sum += e * e;
        m.difference.push_back(e);
        ++m.count;
    }
    m.rms = m.count ? std::sqrt(sum / static_cast<double>(m.count)) : 0.0;
    return m;
}

class Conformance : public ::testing::TestWithParam<Vector> {
protected:
    void TearDown() override { mpeg::LiftBandLimits(false); }
};

// The 16-bit output differs from the reference by at most 2 LSB with an RMS difference within
// the limited-accuracy bound. Streams with content above the decoder's band limit meet that
// with the limit lifted, and with it their whole excess difference lies above the limit.
TEST_P(Conformance, MatchesReference) {
    std::filesystem::path dir = VectorDir();
    if (dir.empty()) GTEST_SKIP() << "shared vectors absent";
    const Vector& v = GetParam();
    auto stream = ReadFile(dir / (std::string(v.name) + ".bit"));
    ASSERT_TRUE(stream);
    std::vector<double> ref = ReadPcm16(dir / (std::string(v.name) + ".pcm"));
    ASSERT_FALSE(ref.empty());

    mpeg::LiftBandLimits(v.bandLimit > 0);
    Decoded p = DecodeStream(*stream, Output::Pcm16);
    ASSERT_GT(p.frames, v.skipFrames);
    std::size_t skip = static_cast<std::size_t>(v.skipFrames) * p.frameSamples.at(0);
    Measure m = Measure16(p, skip, ref);
    EXPECT_EQ(m.count, ref.size());
    EXPECT_LE(m.maxLsb, 2.0);
    EXPECT_LT(m.rms, LimitedRms);
    if (v.bandLimit == 0) return;

    // What the limit removes: the lifted decode minus the limited one lies above the limit
    // (allowing half a subband for the filterbank's transition), and it is about as much
    // energy as the reference holds there.
    Decoded liftedFloat = DecodeStream(*stream, Output::Float);
    mpeg::LiftBandLimits(false);
    Decoded limited = DecodeStream(*stream, Output::Pcm16);
    Measure l = Measure16(limited, skip, ref);
    Decoded limitedFloat = DecodeStream(*stream, Output::Float);
    ASSERT_EQ(limitedFloat.samples.size(), liftedFloat.samples.size());
    std::vector<double> removed(limitedFloat.samples.size());
    for (std::size_t i = 0; i < removed.size(); ++i) {
        removed[i] = static_cast<double>(liftedFloat.samples[i]) - limitedFloat.samples[i];
    }
    double cut = v.bandLimit - 1.0 / 64;
    Split removedSplit = SplitSpectrum(removed, p.channels, cut);
    Split refSplit = SplitSpectrum(ref, p.channels, cut);
    std::printf(
        "%s: with the band limit max %.0f LSB, rms %.3g. Energy per sample above %.4f of "
        "Nyquist: reference %.3g (%.2g of its total), removed by the limit %.3g (below: %.3g)\n",
        v.name, l.maxLsb, l.rms, cut, refSplit.above,
        refSplit.above / (refSplit.above + refSplit.below), removedSplit.above, removedSplit.below);
    EXPECT_GT(removedSplit.above, 20 * removedSplit.below);
    EXPECT_GT(refSplit.above, 0.2 * removedSplit.above);
}

INSTANTIATE_TEST_SUITE_P(Layer3, Conformance, ::testing::ValuesIn(vectors), [](const auto& info) {
    std::string s = info.param.name;
    std::replace(s.begin(), s.end(), '-', '_');
    return s;
});

// l3-he_mode changes its channel mode between frames. The reference holds 1152 samples for a
// single-channel frame and 2304 interleaved ones for a two-channel frame.
struct ModeStream {
    std::vector<std::uint8_t> bits;
    std::vector<double> ref24;
    std::vector<double> ref16;
    std::vector<std::size_t> frameOffset;  // byte offset of each frame
    std::vector<std::size_t> refOffset;    // first reference value of each frame
    std::vector<int> channels;             // of each frame
};

bool LoadModeStream(ModeStream& s) {
    std::filesystem::path dir = VectorDir();
    if (dir.empty()) return false;
    auto bits = ReadFile(dir / "l3-he_mode.bit");
    int wavChannels = 0;
    s.ref24 = ReadWav24(dir / "l3-he_mode.ref24.wav", wavChannels);
    s.ref16 = ReadPcm16(dir / "l3-he_mode.pcm");
    if (!bits || s.ref24.empty() || s.ref16.size() != s.ref24.size()) return false;
    s.bits = *bits;
    static constexpr int kbps[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                     112, 128, 160, 192, 224, 256, 320, 0};
    std::size_t at = 0;
    std::size_t refAt = 0;
    while (at + 4 <= s.bits.size() && s.bits[at] == 0xFF) {
        int length = 144 * kbps[s.bits[at + 2] >> 4] * 1000 / 44100 + ((s.bits[at + 2] >> 1) & 1);
        int channels = (s.bits[at + 3] >> 6) == 3 ? 1 : 2;
        s.frameOffset.push_back(at);
        s.refOffset.push_back(refAt);
        s.channels.push_back(channels);
        at += static_cast<std::size_t>(length);
        refAt += 1152u * static_cast<std::size_t>(channels);
    }
    return refAt == s.ref24.size();
}

// Difference of decoded frames [from, s.channels.size()) against the reference; the decoded
// output starts with frame first and has outChannels channels. A single-channel reference
// frame is compared with the first output channel, a single-channel output with the
// reference's first channel.
Difference CompareModeFrames(const ModeStream& s, const std::vector<double>& ref,
                             const std::vector<float>& out, int outChannels, std::size_t first,
                             std::size_t from) {
    Difference d;
    double sum = 0;
    for (std::size_t f = from; f < s.channels.size(); ++f) {
        std::size_t base = (f - first) * 1152u * static_cast<std::size_t>(outChannels);
        for (std::size_t k = 0; k < 1152; ++k) {
            for (int ch = 0; ch < std::min(outChannels, s.channels[f]); ++ch) {
                int refCh = ch;
                double r = ref[s.refOffset[f] + k * static_cast<std::size_t>(s.channels[f]) +
                               static_cast<std::size_t>(refCh)];
                double a = std::clamp(
                    static_cast<double>(out.at(base + k * static_cast<std::size_t>(outChannels) +
                                               static_cast<std::size_t>(ch))),
                    -1.0, 32767.0 / 32768.0);
                double e = a - r;
                sum += e * e;
                d.max = std::max(d.max, std::fabs(e));
                ++d.count;
            }
        }
    }
    d.rms = d.count ? std::sqrt(sum / static_cast<double>(d.count)) : 0.0;
    return d;
}

// Started on its first (single-channel) frame the stream decodes to one channel: every frame's
// first channel, at full accuracy against the 24-bit reference.
TEST(ModeChanges, FirstChannelOfEveryFrameAtFullAccuracy) {
    ModeStream s;
    if (!LoadModeStream(s)) GTEST_SKIP() << "shared vectors absent";
    Decoded f = DecodeStream(s.bits, Output::Float);
    ASSERT_EQ(f.channels, 1);
    ASSERT_EQ(static_cast<std::size_t>(f.frames), s.channels.size());
    Difference d = CompareModeFrames(s, s.ref24, f.samples, 1, 0, 0);
    EXPECT_LT(d.rms, FullRms);
    EXPECT_LE(d.max, FullMax);

    Decoded p = DecodeStream(s.bits, Output::Pcm16);
    std::vector<float> asFloat(p.pcm16.begin(), p.pcm16.end());
    for (float& x : asFloat)
        x *= static_cast<float>(Lsb);
    Difference d16 = CompareModeFrames(s, s.ref16, asFloat, 1, 0, 0);
    EXPECT_LE(d16.max, 2 * Lsb);
    EXPECT_LT(d16.rms, LimitedRms);
}

// Started on frame 10 (the first two-channel frame) the stream decodes to two channels; after
// the start-up (reservoir and overlap: three frames) both channels of every frame match at full
// accuracy, and the later single-channel frames sound on both channels.
TEST(ModeChanges, BothChannelsFromATwoChannelStart) {
    ModeStream s;
    if (!LoadModeStream(s)) GTEST_SKIP() << "shared vectors absent";
    std::vector<std::uint8_t> tail(s.bits.begin() + static_cast<long>(s.frameOffset.at(10)),
                                   s.bits.end());
    Decoded f = DecodeStream(tail, Output::Float);
    ASSERT_EQ(f.channels, 2);
    ASSERT_EQ(static_cast<std::size_t>(f.frames), s.channels.size() - 10);
    Difference d = CompareModeFrames(s, s.ref24, f.samples, 2, 10, 13);
    EXPECT_LT(d.rms, FullRms);
    EXPECT_LE(d.max, FullMax);
    // Frames 110 on are single-channel; once the second channel's synthesis has taken up the
    // single channel (within the first such frame), both channels are equal.
    ASSERT_EQ(s.channels[110], 1);
    for (std::size_t i = (111 - 10) * 2304; i < f.samples.size(); i += 2) {
        ASSERT_EQ(f.samples[i], f.samples[i + 1]) << "sample " << i;
    }
}

// The mix of the two channels is their mean, also in granules with mixed blocks (which this
// stream has), and the second channel is the channel itself.
TEST(ModeChanges, ChannelConversionOfATwoChannelStart) {
    ModeStream s;
    if (!LoadModeStream(s)) GTEST_SKIP() << "shared vectors absent";
    std::vector<std::uint8_t> tail(s.bits.begin() + static_cast<long>(s.frameOffset.at(10)),
                                   s.bits.end());
    Decoded both = DecodeStream(tail, Output::Float);
    mpeg::DecodeOptions o;
    o.conversion = mpeg::ConvertMix;
    Decoded mix = DecodeStream(tail, Output::Float, o);
    o.conversion = mpeg::ConvertSecond;
    Decoded second = DecodeStream(tail, Output::Float, o);
    ASSERT_EQ(mix.channels, 1);
    ASSERT_EQ(mix.samples.size() * 2, both.samples.size());
    // Frame 110, where the stream turns to one channel, starts from different overlaps: the mix
    // continues from the mixed channels, the two-channel decode from the first channel.
    double worst = 0;
    for (std::size_t i = 0; i < mix.samples.size(); ++i) {
        std::size_t frame = i / 1152 + 10;
        if (frame == 110) continue;
        double mean = (static_cast<double>(both.samples[2 * i]) + both.samples[2 * i + 1]) / 2;
        if (frame > 110) mean = both.samples[2 * i];  // one channel, on both sides
        worst = std::max(worst, std::fabs(mix.samples[i] - mean));
    }
    EXPECT_LT(worst, 2e-6);
    // Until the single-channel frames (110 on), the second channel is the stream's right one.
    for (std::size_t i = 0; i < (110 - 10) * 1152; ++i) {
        ASSERT_EQ(second.samples[i], both.samples[2 * i + 1]) << i;
    }
}

// Free format (bit-rate index 0) is refused with error 4.
TEST(Conformance, FreeFormatIsRefused) {
    std::filesystem::path dir = VectorDir();
    if (dir.empty()) GTEST_SKIP() << "shared vectors absent";
    auto stream = ReadFile(dir / "l3-he_free.bit");
    ASSERT_TRUE(stream);
    mpeg::DecoderInit();
    mpeg::FrameInfo info;
    EXPECT_EQ(
        mpeg::ParseFrameInfo(stream->data(), static_cast<std::int32_t>(stream->size()), info, 1),
        0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    EXPECT_EQ(mpeg::DecoderStart(stream->data(), static_cast<std::int32_t>(stream->size())), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
}

// The AVX2 kernels (synthesis, IMDCT) and the plain ones give the same stream, where the processor
// has both: float samples within 2^-17 of full scale, 16-bit samples within 1.
TEST(Conformance, PlainAndVectorKernelsAgree) {
    std::filesystem::path dir = VectorDir();
    if (dir.empty()) GTEST_SKIP() << "shared vectors absent";
#if defined(PHRASEBOOK_MPEG_AVX2)
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) {
        GTEST_SKIP() << "no AVX2 here";
    }
    // Long, short, mixed and switching blocks, and a joint-stereo stream.
    for (const char* name : {"l3-compl", "l3-si_block", "M2L3_bitrate_24_all"}) {
        auto stream = ReadFile(dir / (std::string(name) + ".bit"));
        ASSERT_TRUE(stream.has_value()) << name;
        for (Output output : {Output::Float, Output::Pcm16}) {
            mpeg::UseBaselineKernels(true);
            Decoded plain = DecodeStream(*stream, output);
            mpeg::UseBaselineKernels(false);
            Decoded vector = DecodeStream(*stream, output);
            if (output == Output::Float) {
                ASSERT_EQ(plain.samples.size(), vector.samples.size()) << name;
                ASSERT_GT(plain.samples.size(), 0u) << name;
                double worst = 0;
                for (std::size_t i = 0; i < plain.samples.size(); ++i) {
                    worst = std::max(worst, static_cast<double>(
                                                std::fabs(plain.samples[i] - vector.samples[i])));
                }
                EXPECT_LE(worst, 1.0 / 131072) << name;
                // The two sets round differently: equal output would mean one ran twice.
                EXPECT_GT(worst, 0.0) << name;
            } else {
                ASSERT_EQ(plain.pcm16.size(), vector.pcm16.size()) << name;
                int worst = 0;
                for (std::size_t i = 0; i < plain.pcm16.size(); ++i)
                    worst = std::max(worst, std::abs(plain.pcm16[i] - vector.pcm16[i]));
                EXPECT_LE(worst, 1) << name;
            }
        }
    }
#else
    GTEST_SKIP() << "baseline kernels only";
#endif
}

}  // namespace
