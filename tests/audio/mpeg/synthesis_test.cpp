// The synthesis family against the polyphase filterbank computed directly from its definition
// (matrixing into a 1024-value history, windowing with D, summation), and the properties of
// its rates, layouts, widths and the equalizer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "audio/mpeg/decoder.h"
#include "audio/mpeg/pcm.h"
#include "audio/mpeg/synthesis.h"
#include "audio/mpeg/synthesisvariants.h"
#include "audio/mpeg/synthesiswindow.h"

namespace {

using namespace mpeg;

// The standard's synthesis for n = 32 bands, generalised to n = 16 and 8 with the window
// D[i * 32 / n]: the reduced rates are the full-rate filterbank restricted to the lowest bands.
class DirectSynthesis {
public:
    explicit DirectSynthesis(int n) : n_(n), v_(32 * n, 0.0) {}
    std::vector<double> Block(const float* s) {
        int n = n_;
        std::memmove(v_.data() + 2 * n, v_.data(), sizeof(double) * (30 * n));
        for (int i = 0; i < 2 * n; ++i) {
            double sum = 0;
            for (int k = 0; k < n; ++k) {
                sum += std::cos((n / 2 + i) * (2 * k + 1) * std::numbers::pi / (2 * n)) * s[k];
            }
            v_[i] = sum;
        }
        std::vector<double> u(16 * n);
        for (int i = 0; i < 8; ++i) {
            for (int j = 0; j < n; ++j) {
                u[2 * n * i + j] = v_[4 * n * i + j];
                u[2 * n * i + n + j] = v_[4 * n * i + 3 * n + j];
            }
        }
        std::vector<double> out(n, 0.0);
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < 16; ++i) {
                out[j] += u[j + n * i] * SynthesisWindowD[(j + n * i) * (32 / n)] / 65536.0;
            }
        }
        return out;
    }

private:
    int n_;
    std::vector<double> v_;
};

std::vector<float> RandomBlocks(int blocks, int stride, int bands, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-3000.0f, 3000.0f);
    std::vector<float> v(static_cast<std::size_t>(blocks * stride), 0.0f);
    for (int b = 0; b < blocks; ++b) {
        for (int k = 0; k < bands; ++k)
            v[static_cast<std::size_t>(b * stride + k)] = dist(rng);
    }
    return v;
}

class Synthesis : public ::testing::Test {
protected:
    void SetUp() override {
        DecoderInit();
        SetEqualizer(nullptr);
        SynthesisReset();
    }
};

TEST_F(Synthesis, EveryRateMatchesTheDirectFilterbank) {
    for (int reduction = 0; reduction < 3; ++reduction) {
        SynthesisReset();
        int n = 32 >> reduction;
        auto in = RandomBlocks(36, 64, n, 7 + reduction);
        std::vector<float> out(36 * n);
        SelectLayer12Synthesis(WidthFloat, reduction, LayoutOneChannel)(
            in.data(), reinterpret_cast<std::uint8_t*>(out.data()), 36);
        DirectSynthesis direct(n);
        double worst = 0;
        for (int b = 0; b < 36; ++b) {
            std::vector<double> ref = direct.Block(&in[b * 64]);
            for (int j = 0; j < n; ++j) {
                worst = std::max(worst, std::fabs(out[b * n + j] * 32768.0 - ref[j]));
            }
        }
        EXPECT_LT(worst, 0.02) << "reduction " << reduction;  // of values up to ~10^4
    }
}

// Half and quarter rate give every second and fourth sample of the full-rate output of the
// same lowest subbands.
TEST_F(Synthesis, ReducedRatesAreTheDecimatedFullRate) {
    auto in = RandomBlocks(24, 64, 8, 3);
    std::vector<float> full(24 * 32), half(24 * 16), quarter(24 * 8);
    SelectLayer12Synthesis(WidthFloat, 0, LayoutOneChannel)(
        in.data(), reinterpret_cast<std::uint8_t*>(full.data()), 24);
    SynthesisReset();
    SelectLayer12Synthesis(WidthFloat, 1, LayoutOneChannel)(
        in.data(), reinterpret_cast<std::uint8_t*>(half.data()), 24);
    SynthesisReset();
    SelectLayer12Synthesis(WidthFloat, 2, LayoutOneChannel)(
        in.data(), reinterpret_cast<std::uint8_t*>(quarter.data()), 24);
    for (std::size_t i = 0; i < half.size(); ++i)
        ASSERT_NEAR(half[i], full[2 * i], 1e-6);
    for (std::size_t i = 0; i < quarter.size(); ++i)
        ASSERT_NEAR(quarter[i], full[4 * i], 1e-6);
}

TEST_F(Synthesis, SilenceAndConversion) {
    std::vector<float> zero(18 * 32, 0.0f);
    std::vector<std::uint8_t> out16(18 * 32 * 2, 0xEE), out8(18 * 32, 0xEE);
    SelectLayer3Synthesis(Width16, 0, false)(zero.data(), nullptr, out16.data());
    for (std::uint8_t v : out16)
        ASSERT_EQ(v, 0);
    SelectLayer3Synthesis(Width8, 0, false)(zero.data(), nullptr, out8.data());
    for (std::uint8_t v : out8)
        ASSERT_EQ(v, 128);

    EXPECT_EQ(ToPcm16(40000.7f), 32767);
    EXPECT_EQ(ToPcm16(-40000.2f), -32768);
    EXPECT_EQ(ToPcm16(123.9f), 123);
    EXPECT_EQ(ToPcm16(-123.9f), -123);
    EXPECT_EQ(ToPcm16(32767.5f), 32767);
    EXPECT_EQ(ToPcm8(123.9f), 128);
    EXPECT_EQ(ToPcm8(40000.7f), 255);
    EXPECT_EQ(ToPcm8(-40000.2f), 0);
    EXPECT_EQ(ToPcm8(-0.5f), 128);
    EXPECT_EQ(ToPcm8(-1.5f), 127);
    EXPECT_EQ(ToPcm8(-256.0f), 127);
}

// Two channels interleave, each through its own history, exactly as two one-channel runs; the
// mix is their mean, and first/second pick one.
TEST_F(Synthesis, Layer12LayoutsAgreeWithOneChannelRuns) {
    auto in = RandomBlocks(12, 64, 64, 11);
    std::vector<float> left(12 * 64, 0.0f), right(12 * 64, 0.0f), mean(12 * 64, 0.0f);
    for (int b = 0; b < 12; ++b) {
        for (int k = 0; k < 32; ++k) {
            left[b * 64 + k] = in[b * 64 + 2 * k];
            right[b * 64 + k] = in[b * 64 + 2 * k + 1];
            mean[b * 64 + k] = (left[b * 64 + k] + right[b * 64 + k]) * 0.5f;
        }
    }
    auto run = [&](const std::vector<float>& blocks, int layout, int samples) {
        SynthesisReset();
        std::vector<float> out(samples);
        SelectLayer12Synthesis(WidthFloat, 0, layout)(
            blocks.data(), reinterpret_cast<std::uint8_t*>(out.data()), 12);
        return out;
    };
    auto l = run(left, LayoutOneChannel, 384);
    auto r = run(right, LayoutOneChannel, 384);
    auto m = run(mean, LayoutOneChannel, 384);
    auto both = run(in, LayoutTwoChannels, 768);
    auto mix = run(in, LayoutMix, 384);
    auto first = run(in, LayoutFirst, 384);
    auto second = run(in, LayoutSecond, 384);
    for (int i = 0; i < 384; ++i) {
        ASSERT_EQ(both[2 * i], l[i]);
        ASSERT_EQ(both[2 * i + 1], r[i]);
        ASSERT_EQ(mix[i], m[i]);
        ASSERT_EQ(first[i], l[i]);
        ASSERT_EQ(second[i], r[i]);
    }
}

TEST_F(Synthesis, Layer3TwoChannelsInterleaveWithOwnHistories) {
    auto a = RandomBlocks(36, 32, 32, 21);  // two granules per channel
    auto b = RandomBlocks(36, 32, 32, 22);
    std::vector<float> both(2 * 36 * 32), one(36 * 32), two(36 * 32);
    Layer3Synthesis stereo = SelectLayer3Synthesis(WidthFloat, 0, true);
    auto* out = reinterpret_cast<std::uint8_t*>(both.data());
    for (int g = 0; g < 2; ++g)
        stereo(&a[g * 576], &b[g * 576], out + g * 576 * 2 * 4);
    Layer3Synthesis mono = SelectLayer3Synthesis(WidthFloat, 0, false);
    SynthesisReset();
    for (int g = 0; g < 2; ++g)
        mono(&a[g * 576], nullptr, reinterpret_cast<std::uint8_t*>(&one[g * 576]));
    SynthesisReset();
    for (int g = 0; g < 2; ++g)
        mono(&b[g * 576], nullptr, reinterpret_cast<std::uint8_t*>(&two[g * 576]));
    for (int i = 0; i < 36 * 32; ++i) {
        ASSERT_EQ(both[2 * i], one[i]);
        ASSERT_EQ(both[2 * i + 1], two[i]);
    }
}

TEST_F(Synthesis, EqualizerScalesSubbandsAtFullRateOnly) {
    auto in = RandomBlocks(18, 32, 32, 5);
    auto run = [&](int reduction) {
        SynthesisReset();
        std::vector<float> out(18 * 32);
        SelectLayer3Synthesis(WidthFloat, reduction, false)(
            in.data(), nullptr, reinterpret_cast<std::uint8_t*>(out.data()));
        return out;
    };
    auto plain = run(0);
    auto plainHalf = run(1);
    auto plainQuarter = run(2);
    // -6.0 dB everywhere halves the output (10^(-60/200) is 0.501).
    std::int32_t gains[10];
    for (std::int32_t& g : gains)
        g = -60;
    SetEqualizer(gains);
    auto lower = run(0);
    for (int i = 0; i < 18 * 32; ++i)
        ASSERT_NEAR(lower[i], plain[i] * 0.50119f, 1e-5);
    auto half = run(1);
    auto quarter = run(2);
    for (int i = 0; i < 18 * 16; ++i)
        ASSERT_EQ(half[i], plainHalf[i]);
    for (int i = 0; i < 18 * 8; ++i)
        ASSERT_EQ(quarter[i], plainQuarter[i]);
    // A gain on the last band (subbands 20..31) leaves a signal in subbands 0..19 alone.
    std::vector<float> low = in;
    for (int t = 0; t < 18; ++t) {
        for (int k = 20; k < 32; ++k)
            low[t * 32 + k] = 0.0f;
    }
    std::int32_t top[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, -200};
    SetEqualizer(top);
    in = low;
    auto eqLow = run(0);
    SetEqualizer(nullptr);
    auto plainLow = run(0);
    for (int i = 0; i < 18 * 32; ++i)
        ASSERT_NEAR(eqLow[i], plainLow[i], 1e-6);
}

#if defined(PHRASEBOOK_MPEG_AVX2)

// The AVX2 build of the variants computes what the baseline build computes (the conformance
// tests run whichever this processor picks).
TEST_F(Synthesis, InstructionSetsAgree) {
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) {
        GTEST_SKIP() << "no AVX2 here";
    }
    auto in = RandomBlocks(36, 64, 64, 17);
    // Outputs of the two builds: float samples within 2e-6, integer samples within 1.
    auto agree = [](const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                    int width) {
        for (std::size_t i = 0; i < a.size(); i += 4) {
            if (width == WidthFloat) {
                float x, y;
                std::memcpy(&x, &a[i], 4);
                std::memcpy(&y, &b[i], 4);
                if (std::fabs(x - y) > 2e-6f) return testing::AssertionFailure() << "at " << i;
            } else if (width == Width16) {
                for (std::size_t k = 0; k < 4; k += 2) {
                    std::int16_t x, y;
                    std::memcpy(&x, &a[i + k], 2);
                    std::memcpy(&y, &b[i + k], 2);
                    if (std::abs(x - y) > 1) return testing::AssertionFailure() << "at " << i + k;
                }
            } else {
                for (std::size_t k = 0; k < 4; ++k) {
                    if (std::abs(a[i + k] - b[i + k]) > 1)
                        return testing::AssertionFailure() << "at " << i + k;
                }
            }
        }
        return testing::AssertionSuccess();
    };
    for (int width : {Width16, Width8, WidthFloat}) {
        for (int reduction = 0; reduction < 3; ++reduction) {
            for (int layout = 0; layout < 5; ++layout) {
                std::vector<std::uint8_t> a(36 * 64 * 4), b(36 * 64 * 4);
                SynthesisReset();
                baseline::Layer12Variant(width, reduction, layout)(in.data(), a.data(), 36);
                SynthesisReset();
                avx2::Layer12Variant(width, reduction, layout)(in.data(), b.data(), 36);
                ASSERT_TRUE(agree(a, b, width)) << width << reduction << layout;
            }
            // Layer III: two granules of two channels, so that the history ring wraps.
            for (bool two : {false, true}) {
                std::vector<std::uint8_t> a(2 * 2 * 576 * 4), b(2 * 2 * 576 * 4);
                for (int set = 0; set < 2; ++set) {
                    SynthesisReset();
                    auto* out = (set == 0 ? a : b).data();
                    auto variant = set == 0 ? baseline::Layer3Variant(width, reduction, two)
                                            : avx2::Layer3Variant(width, reduction, two);
                    for (int g = 0; g < 2; ++g)
                        variant(&in[1152 * g], &in[1152 * g + 576], out + g * 2 * 576 * 4);
                }
                ASSERT_TRUE(agree(a, b, width)) << width << reduction << two;
            }
        }
    }
}
#endif

}  // namespace
