// Layer III conformance: the ISO and MPEG-2 streams against their reference output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "audio/mpeg/decoder.h"
#include "tests/audio/mpeg/support.h"

namespace {

using namespace mpegtest;

constexpr double LimitedRms = 1.4095e-4;  // 2^-11 / sqrt(12)
constexpr double FullRms = 8.8097e-6;     // 2^-15 / sqrt(12)
constexpr double FullMax = 6.1035e-5;     // 2^-14

struct Vector {
    const char* name;
    int skipFrames;  // decoder output frames before the reference starts
};

// Every Layer III MPEG-1 and MPEG-2 stream with a trusted reference; l3-he_mode has its own
// test (its channel count changes), l3-he_free is free format (refused).
const Vector vectors[] = {
    {"l3-compl", 0},
    {"l3-he_32khz", 0},
    {"l3-he_44khz", 0},
    {"l3-he_48khz", 0},
    {"l3-hecommon", 0},
    {"l3-si", 0},
    {"l3-si_block", 0},
    {"l3-si_huff", 0},
    {"l3-sin1k0db", 2},
    {"M2L3_bitrate_16_all", 0},
    {"M2L3_bitrate_22_all", 0},
    {"M2L3_bitrate_24_all", 0},
    {"M2L3_compl24", 0},
    {"M2L3_noise", 0},
};

class Conformance : public ::testing::TestWithParam<Vector> {};

TEST_P(Conformance, MatchesReferenceWithinLimitedAccuracy) {
    std::filesystem::path dir = VectorDir();
    if (dir.empty()) GTEST_SKIP() << "shared vectors absent";
    const Vector& v = GetParam();
    auto stream = ReadFile(dir / (std::string(v.name) + ".bit"));
    ASSERT_TRUE(stream);
    std::vector<double> ref = ReadPcm16(dir / (std::string(v.name) + ".pcm"));
    ASSERT_FALSE(ref.empty());

    Decoded f = DecodeStream(*stream, Output::Float);
    ASSERT_GT(f.frames, 0);
    std::size_t skip = v.skipFrames * static_cast<std::size_t>(f.frameSamples.at(0));
    Difference d = Compare(f.samples, skip, ref, 0, ref.size());
    std::printf("%s: float rms %.3g max %.3g over %zu\n", v.name, d.rms, d.max, d.count);

    Decoded p = DecodeStream(*stream, Output::Pcm16);
    double maxLsb = 0;
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < ref.size() && skip + i < p.pcm16.size(); ++i, ++n) {
        double e = p.pcm16[skip + i] - ref[i] * 32768.0;
        maxLsb = std::max(maxLsb, std::fabs(e));
        sum += e * e / (32768.0 * 32768.0);
    }
    double rms = std::sqrt(sum / static_cast<double>(n));
    std::printf("%s: 16-bit rms %.3g max %.0f LSB over %zu of %zu\n", v.name, rms, maxLsb, n,
                ref.size());
    EXPECT_GE(n, ref.size() - 1152);
    EXPECT_LE(maxLsb, 2.0);
    EXPECT_LT(rms, LimitedRms);
}

INSTANTIATE_TEST_SUITE_P(Layer3, Conformance, ::testing::ValuesIn(vectors), [](const auto& info) {
    std::string s = info.param.name;
    for (char& c : s) {
        if (c == '-') c = '_';
    }
    return s;
});

}  // namespace
