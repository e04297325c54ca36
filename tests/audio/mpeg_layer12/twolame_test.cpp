// Layer II clips made by twolame at test time: every allocation table, every channel mode and a
// variable bit rate, checked against the sine tones that went in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "streamdecode.h"

namespace {

bool HaveTwolame() {
    return std::system("command -v twolame >/dev/null 2>&1") == 0;
}

struct Clip {
    int sampleRate;
    int channels;
    const char* mode;  // twolame's -m
    int bitRate;       // kbit/s
    const char* extra;
};

// Tone of channel ch: a different frequency per channel so that crossed channels show.
double ToneHz(int ch) {
    return ch == 0 ? 440.0 : 1250.0;
}

// Encodes one second of tones with twolame; the MP2 bytes, or empty on failure.
std::vector<std::uint8_t> Encode(const Clip& clip) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string stem = "layer12_" + std::to_string(getpid()) + "_" +
                             std::to_string(clip.sampleRate) + clip.mode +
                             std::to_string(clip.bitRate);
    const std::filesystem::path raw = dir / (stem + ".raw");
    const std::filesystem::path mp2 = dir / (stem + ".mp2");
    {
        std::ofstream out(raw, std::ios::binary);
        for (int n = 0; n < clip.sampleRate; ++n) {
            for (int ch = 0; ch < clip.channels; ++ch) {
                const double v =
                    0.4 * std::sin(2 * std::numbers::pi * ToneHz(ch) * n / clip.sampleRate);
                const auto s = static_cast<std::int16_t>(std::lround(v * 32767));
                out.put(static_cast<char>(s & 0xFF));
                out.put(static_cast<char>((s >> 8) & 0xFF));
            }
        }
    }
    const std::string command = "twolame --quiet -r -s " + std::to_string(clip.sampleRate) +
                                " -N " + std::to_string(clip.channels) + " -m " + clip.mode +
                                " -b " + std::to_string(clip.bitRate) + " " + clip.extra + " " +
                                raw.string() + " " + mp2.string() + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    std::vector<std::uint8_t> bytes;
    if (status == 0) bytes = ReadBytes(mp2);
    std::filesystem::remove(raw);
    std::filesystem::remove(mp2);
    return bytes;
}

// Signal-to-residual ratio in dB of one channel against the best-fitting sine of frequency hz,
// over the middle half of the signal.
double ToneSnrDb(const std::vector<float>& samples, int channels, int ch, double hz, int rate) {
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    const std::size_t begin = frames / 4;
    const std::size_t end = 3 * frames / 4;
    double ss = 0, cc = 0, sc = 0, sy = 0, cy = 0;
    for (std::size_t n = begin; n < end; ++n) {
        const double w = 2 * std::numbers::pi * hz * static_cast<double>(n) / rate;
        const double s = std::sin(w);
        const double c = std::cos(w);
        const double y =
            samples[n * static_cast<std::size_t>(channels) + static_cast<std::size_t>(ch)];
        ss += s * s;
        cc += c * c;
        sc += s * c;
        sy += s * y;
        cy += c * y;
    }
    const double det = ss * cc - sc * sc;
    const double a = (sy * cc - cy * sc) / det;
    const double b = (cy * ss - sy * sc) / det;
    double signal = 0, residual = 0;
    for (std::size_t n = begin; n < end; ++n) {
        const double w = 2 * std::numbers::pi * hz * static_cast<double>(n) / rate;
        const double fit = a * std::sin(w) + b * std::cos(w);
        const double y =
            samples[n * static_cast<std::size_t>(channels) + static_cast<std::size_t>(ch)];
        signal += fit * fit;
        residual += (y - fit) * (y - fit);
    }
    return 10 * std::log10(signal / std::max(residual, 1e-30));
}

TEST(Layer12Twolame, EveryTableAndModeRebuildsItsTones) {
    if (!HaveTwolame()) GTEST_SKIP() << "twolame not installed";
    const Clip clips[] = {
        {44100, 2, "s", 192, ""},    // table b (96 per channel)
        {48000, 2, "s", 192, ""},    // table a
        {32000, 1, "m", 32, ""},     // table d
        {44100, 2, "j", 64, ""},     // table c, joint stereo
        {48000, 2, "d", 384, "-p"},  // table a, dual channel, CRC
        {44100, 2, "j", 256, ""},    // table b, joint stereo
        {24000, 2, "s", 96, ""},     // MPEG-2 lower-rate table
        {16000, 1, "m", 32, ""},     // MPEG-2 lower-rate table, mono
        {44100, 2, "j", 192, "-v"},  // variable bit rate: the table may change between frames
    };
    for (const Clip& clip : clips) {
        SCOPED_TRACE(std::to_string(clip.sampleRate) + " Hz -m " + clip.mode + " -b " +
                     std::to_string(clip.bitRate) + " " + clip.extra);
        const std::vector<std::uint8_t> mp2 = Encode(clip);
        ASSERT_GT(mp2.size(), 1000u);
        const DecodedStream out = DecodeStream(mp2, true);
        ASSERT_TRUE(out.started);
        ASSERT_EQ(out.channels, clip.channels);
        EXPECT_GE(out.samples.size(),
                  static_cast<std::size_t>(clip.sampleRate * clip.channels) * 9 / 10);
        for (int ch = 0; ch < clip.channels; ++ch)
            EXPECT_GT(ToneSnrDb(out.samples, clip.channels, ch, ToneHz(ch), clip.sampleRate), 30.0)
                << "channel " << ch;
    }
}

}  // namespace
