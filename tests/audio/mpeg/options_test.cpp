// Decoder options on clips made at test time with sox and lame, each checked against the
// full-rate, two-channel, 16-bit decode of the same clip.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/mpeg/decoder.h"
#include "tests/audio/mpeg/support.h"

namespace {

using namespace mpegtest;

struct Clips {
    std::vector<std::uint8_t> stereo;  // 44100 Hz: 440 Hz left, 9000 Hz right, joint stereo
    std::vector<std::uint8_t> mono;    // 22050 Hz single channel (MPEG-2)
};

const Clips* LoadClips() {
    static Clips clips;
    static bool tried = false;
    static bool ok = false;
    if (!tried) {
        tried = true;
        if (!HaveProgram("sox") || !HaveProgram("lame")) return nullptr;
        std::filesystem::path dir = TempDir("options");
        auto stereo = MakeClip(dir, "stereo",
                               "sox -R -n -r 44100 -c 2 -b 16 WAV synth 2 sine 440 sine 9000 "
                               "vol 0.4",
                               "-b 128");
        auto mono =
            MakeClip(dir, "mono", "sox -R -n -r 22050 -c 1 -b 16 WAV synth 2 sine 200:6000 vol 0.4",
                     "-b 32 -t");
        if (!stereo.empty() && !mono.empty()) {
            clips.stereo = ReadFile(stereo).value_or(std::vector<std::uint8_t>{});
            clips.mono = ReadFile(mono).value_or(std::vector<std::uint8_t>{});
            ok = !clips.stereo.empty() && !clips.mono.empty();
        }
        std::filesystem::remove_all(dir);
    }
    return ok ? &clips : nullptr;
}

double Rms(const std::vector<float>& x, int channels, int channel) {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = static_cast<std::size_t>(channel); i < x.size();
         i += static_cast<std::size_t>(channels), ++n) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

mpeg::DecodeOptions Conversion(int c) {
    mpeg::DecodeOptions o;
    o.conversion = c;
    return o;
}

// Mix is the mean of the two channels; first and second are those channels, sample for sample.
TEST(Options, ChannelConversion) {
    const Clips* clips = LoadClips();
    if (!clips) GTEST_SKIP() << "sox or lame missing";
    Decoded full = DecodeStream(clips->stereo, Output::Float);
    ASSERT_EQ(full.channels, 2);
    ASSERT_GT(full.frames, 50);
    Decoded mix = DecodeStream(clips->stereo, Output::Float, Conversion(mpeg::ConvertMix));
    Decoded first = DecodeStream(clips->stereo, Output::Float, Conversion(mpeg::ConvertFirst));
    Decoded second = DecodeStream(clips->stereo, Output::Float, Conversion(mpeg::ConvertSecond));
    ASSERT_EQ(mix.channels, 1);
    ASSERT_EQ(mix.samples.size() * 2, full.samples.size());
    ASSERT_EQ(first.samples.size(), mix.samples.size());
    ASSERT_EQ(second.samples.size(), mix.samples.size());
    double worstMix = 0;
    for (std::size_t i = 0; i < mix.samples.size(); ++i) {
        double mean = (static_cast<double>(full.samples[2 * i]) + full.samples[2 * i + 1]) / 2;
        worstMix = std::max(worstMix, std::fabs(mix.samples[i] - mean));
        ASSERT_EQ(first.samples[i], full.samples[2 * i]) << i;
        ASSERT_EQ(second.samples[i], full.samples[2 * i + 1]) << i;
    }
    EXPECT_LT(worstMix, 2e-6);
    // The channels really differ, so a swapped or duplicated channel would show.
    EXPECT_GT(Rms(full.samples, 2, 0), 0.1);
    EXPECT_GT(Rms(full.samples, 2, 1), 0.1);

    // A single-channel stream ignores the conversion.
    Decoded mono = DecodeStream(clips->mono, Output::Float);
    for (int c : {mpeg::ConvertMix, mpeg::ConvertFirst, mpeg::ConvertSecond}) {
        Decoded converted = DecodeStream(clips->mono, Output::Float, Conversion(c));
        EXPECT_EQ(converted.samples, mono.samples);
    }
}

// Half and quarter rate synthesise the lowest 16 and 8 subbands: their output is every second
// and fourth sample of the full-rate output of a stream decoded with the same subband limit.
TEST(Options, HalfAndQuarterRate) {
    const Clips* clips = LoadClips();
    if (!clips) GTEST_SKIP() << "sox or lame missing";
    for (const auto* clip : {&clips->stereo, &clips->mono}) {
        for (int reduction = 1; reduction <= 2; ++reduction) {
            mpeg::DecodeOptions reduced;
            reduced.reduction = reduction;
            Decoded r = DecodeStream(*clip, Output::Float, reduced);
            mpeg::DecodeOptions limited;
            // The frequency limit that gives the same subband limit at full rate (15 or 8).
            Decoded full = DecodeStream(*clip, Output::Float);
            limited.frequencyLimit = full.sampleRate * (reduction == 1 ? 15 : 8) / 64 + 10;
            Decoded f = DecodeStream(*clip, Output::Float, limited);
            ASSERT_EQ(r.sampleRate, f.sampleRate >> reduction);
            ASSERT_EQ(r.channels, f.channels);
            ASSERT_EQ(r.samples.size() << reduction, f.samples.size());
            int step = 1 << reduction;
            double worst = 0;
            for (std::size_t i = 0; i < r.samples.size() / r.channels; ++i) {
                for (int ch = 0; ch < r.channels; ++ch) {
                    double a = r.samples[i * r.channels + ch];
                    double b = f.samples[i * step * f.channels + ch];
                    worst = std::max(worst, std::fabs(a - b));
                }
            }
            EXPECT_LT(worst, 2e-6) << "reduction " << reduction;
            // And the reduced output still carries the clip's low tones.
            EXPECT_GT(Rms(r.samples, r.channels, 0), 0.1);
        }
    }
}

// 8-bit output is the high byte of the 16-bit output with its sign bit inverted.
TEST(Options, EightBitOutput) {
    const Clips* clips = LoadClips();
    if (!clips) GTEST_SKIP() << "sox or lame missing";
    Decoded p16 = DecodeStream(clips->stereo, Output::Pcm16);
    Decoded p8 = DecodeStream(clips->stereo, Output::Pcm8);
    ASSERT_EQ(p8.channels, 2);
    ASSERT_EQ(p8.pcm8.size(), p16.pcm16.size());
    for (std::size_t i = 0; i < p8.pcm8.size(); ++i) {
        ASSERT_EQ(p8.pcm8[i], static_cast<std::uint8_t>(((p16.pcm16[i] >> 8) ^ 0x80) & 0xFF)) << i;
    }
}

// Gains of 0 dB change nothing; -20 dB on the lowest subband takes the 440 Hz channel down
// tenfold and leaves the 9000 Hz channel alone; the equalizer survives DecoderInit.
TEST(Options, Equalizer) {
    const Clips* clips = LoadClips();
    if (!clips) GTEST_SKIP() << "sox or lame missing";
    Decoded plain = DecodeStream(clips->stereo, Output::Float);
    std::int32_t flat[10] = {};
    Decoded unity = DecodeStream(clips->stereo, Output::Float, {}, flat);
    EXPECT_EQ(unity.samples, plain.samples);
    std::int32_t bass[10] = {-200, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Decoded cut = DecodeStream(clips->stereo, Output::Float, {}, bass);
    double left = Rms(cut.samples, 2, 0) / Rms(plain.samples, 2, 0);
    double right = Rms(cut.samples, 2, 1) / Rms(plain.samples, 2, 1);
    EXPECT_NEAR(left, 0.1, 0.02);
    EXPECT_NEAR(right, 1.0, 0.01);
}

// MPEG-2.5 (8000, 11025, 12000 Hz) against mpg123 run as a program: no conformance stream
// exists for these rates.
TEST(Options, Mpeg25AgainstMpg123) {
    if (!HaveProgram("sox") || !HaveProgram("lame") || !HaveProgram("mpg123")) {
        GTEST_SKIP() << "sox, lame or mpg123 missing";
    }
    std::filesystem::path dir = TempDir("mpeg25");
    for (int rate : {8000, 11025, 12000}) {
        std::string name = "m25_" + std::to_string(rate);
        auto mp3 = MakeClip(dir, name,
                            "sox -R -n -r " + std::to_string(rate) +
                                " -c 1 -b 16 WAV synth 3 sine 100:3500 vol 0.3",
                            "-b 16 --cbr -t");
        ASSERT_FALSE(mp3.empty());
        std::filesystem::path raw = dir / (name + ".f32");
        std::string command = "mpg123 -q --no-gapless -e f32 -s '" + mp3.string() + "' > '" +
                              raw.string() + "' 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        auto peerBytes = ReadFile(raw);
        ASSERT_TRUE(peerBytes);
        std::vector<double> peer(peerBytes->size() / 4);
        for (std::size_t i = 0; i < peer.size(); ++i) {
            float f;
            std::memcpy(&f, peerBytes->data() + 4 * i, 4);
            peer[i] = f;
        }
        auto stream = ReadFile(mp3);
        Decoded ours = DecodeStream(*stream, Output::Float);
        ASSERT_EQ(ours.sampleRate, rate);
        Difference d = Compare(ours.samples, 0, peer, 0, peer.size());
        EXPECT_EQ(d.count, peer.size());
        EXPECT_LT(d.rms, 1e-5) << rate;
        EXPECT_LT(d.max, 1e-4) << rate;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
