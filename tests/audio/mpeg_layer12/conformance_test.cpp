// The ISO Layer I and Layer II conformance streams against their references, and the damaged
// streams for clean handling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "audio/mpeg/state.h"
#include "streamdecode.h"

namespace {

const std::filesystem::path Vectors =
    std::filesystem::path(PHRASEBOOK_SHARED_DIR) / "vectors" / "mpeg";

// Full accuracy of ISO/IEC 11172-4: RMS below 2^-15 / sqrt(12), maximum at most 2^-14.
const double FullAccuracyRms = std::pow(2.0, -15) / std::sqrt(12.0);
const double FullAccuracyMax = std::pow(2.0, -14);

// l1-fl6 carries a signal in subband 31, which the decoder leaves out at full rate; it is
// checked separately with the top subband kept.
const char* const Referenced24[] = {"l1-fl1",  "l1-fl2",  "l1-fl3",  "l1-fl4",  "l1-fl5",
                                    "l1-fl7",  "l1-fl8",  "l2-fl10", "l2-fl11", "l2-fl12",
                                    "l2-fl13", "l2-fl14", "l2-fl15", "l2-fl16"};

struct Deviation {
    double rms = 0;
    double max = 0;
    std::size_t compared = 0;
};

Deviation Compare(const std::vector<float>& decoded, const std::vector<double>& reference) {
    Deviation d;
    d.compared = std::min(decoded.size(), reference.size());
    double sum = 0;
    for (std::size_t i = 0; i < d.compared; ++i) {
        const double e = decoded[i] - reference[i];
        sum += e * e;
        d.max = std::max(d.max, std::fabs(e));
    }
    if (d.compared > 0) d.rms = std::sqrt(sum / static_cast<double>(d.compared));
    return d;
}

int WorstLsb(const std::vector<std::int16_t>& decoded, const std::vector<std::int16_t>& reference,
             std::size_t* compared = nullptr) {
    const std::size_t n = std::min(decoded.size(), reference.size());
    if (compared) *compared = n;
    int worst = 0;
    for (std::size_t i = 0; i < n; ++i)
        worst = std::max(worst, std::abs(decoded[i] - reference[i]));
    return worst;
}

class Layer12Conformance : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(Vectors)) GTEST_SKIP() << "shared vectors absent";
    }
};

TEST_F(Layer12Conformance, FullAccuracyAgainst24BitReferences) {
    for (const char* name : Referenced24) {
        SCOPED_TRACE(name);
        const DecodedStream out =
            DecodeStream(ReadBytes(Vectors / (std::string(name) + ".bit")), true);
        ASSERT_TRUE(out.started);
        const Deviation d =
            Compare(out.samples, ReadWave24(Vectors / (std::string(name) + ".ref24.wav")));
        EXPECT_EQ(d.compared, out.samples.size());  // the references are longer than the streams
        EXPECT_GT(d.compared, 10000u);
        EXPECT_LT(d.rms, FullAccuracyRms);
        EXPECT_LE(d.max, FullAccuracyMax);
    }
}

TEST_F(Layer12Conformance, SixteenBitOutputWithinTwoLsb) {
    std::vector<std::string> names(std::begin(Referenced24), std::end(Referenced24));
    names.push_back("l2-test32");  // MPEG-2 Layer II, 24 kHz
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const DecodedStream out = DecodeStream(ReadBytes(Vectors / (name + ".bit")), false);
        ASSERT_TRUE(out.started);
        std::size_t compared = 0;
        EXPECT_LE(WorstLsb(out.samples16, ReadPcm16(Vectors / (name + ".pcm")), &compared), 2);
        EXPECT_EQ(compared, out.samples16.size());
    }
}

TEST_F(Layer12Conformance, Mpeg2Layer2MatchesItsReference) {
    const DecodedStream out = DecodeStream(ReadBytes(Vectors / "l2-test32.bit"), true);
    ASSERT_TRUE(out.started);
    EXPECT_EQ(out.sampleRate, 24000);
    const std::vector<std::int16_t> reference = ReadPcm16(Vectors / "l2-test32.pcm");
    ASSERT_EQ(out.samples.size(), reference.size());
    // The reference is the exact output rounded half-up to 16 bits.
    int worst = 0;
    double sum = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const double rounded =
            std::clamp(std::floor(out.samples[i] * 32768.0 + 0.5), -32768.0, 32767.0);
        worst = std::max(worst, static_cast<int>(std::fabs(rounded - reference[i])));
        const double e = out.samples[i] - reference[i] / 32768.0;
        sum += e * e;
    }
    EXPECT_LE(worst, 1);
    EXPECT_LT(std::sqrt(sum / static_cast<double>(reference.size())), 1.0e-5);
}

// l1-fl6 (44.1 kHz) has content in subband 31. By default that subband is left out at full
// rate (silent); with the band limits lifted the stream meets full accuracy and the 16-bit
// output lies within 2 LSB of its reference, which shows that the subband decodes correctly.
TEST_F(Layer12Conformance, TopSubbandLeftOutByDefaultAndExactWhenKept) {
    const std::vector<std::uint8_t> data = ReadBytes(Vectors / "l1-fl6.bit");
    const std::vector<double> reference = ReadWave24(Vectors / "l1-fl6.ref24.wav");

    const DecodedStream cut = DecodeStream(data, true);
    ASSERT_TRUE(cut.started);
    EXPECT_EQ(mpeg::decoderState.layer12.subbandLimit, 62);
    EXPECT_GT(Compare(cut.samples, reference).max, 1e-2);

    mpeg::LiftBandLimits(true);
    const DecodedStream kept = DecodeStream(data, true);
    const DecodedStream kept16 = DecodeStream(data, false);
    mpeg::LiftBandLimits(false);
    ASSERT_TRUE(kept.started);
    const Deviation d = Compare(kept.samples, reference);
    EXPECT_EQ(d.compared, kept.samples.size());
    EXPECT_LT(d.rms, FullAccuracyRms);
    EXPECT_LE(d.max, FullAccuracyMax);
    EXPECT_LE(WorstLsb(kept16.samples16, ReadPcm16(Vectors / "l1-fl6.pcm")), 2);
}

// The five Layer I/II output layouts at every rate: one channel of two (first, second) equals
// that channel of the two-channel output, the mix is their average, and the 8-bit output is the
// 16-bit output's top byte with its sign bit inverted.
TEST_F(Layer12Conformance, ChannelLayoutsAndWidthsAtEveryRate) {
    for (const char* name : {"l1-fl5", "l2-fl14", "l2-fl13"}) {  // dual channel x 2, mono
        const std::vector<std::uint8_t> data = ReadBytes(Vectors / (std::string(name) + ".bit"));
        for (int reduction = 0; reduction <= 2; ++reduction) {
            SCOPED_TRACE(std::string(name) + " reduction " + std::to_string(reduction));
            mpeg::DecodeOptions options;
            options.reduction = reduction;
            const DecodedStream both = DecodeStream(data, true, options);
            ASSERT_TRUE(both.started);
            const std::size_t perChannel =
                both.samples.size() / static_cast<std::size_t>(both.channels);
            const std::size_t frameSamples = (name[1] == '1' ? 384u : 1152u) >> reduction;
            EXPECT_EQ(perChannel, frameSamples * static_cast<std::size_t>(both.frames));
            const auto channel = [&](std::size_t n, int ch) {
                return both.samples[n * static_cast<std::size_t>(both.channels) +
                                    static_cast<std::size_t>(both.channels == 2 ? ch : 0)];
            };
            for (int conversion = 1; conversion <= 3; ++conversion) {
                options.conversion = conversion;
                const DecodedStream one = DecodeStream(data, true, options);
                ASSERT_EQ(one.channels, 1);
                ASSERT_EQ(one.samples.size(), perChannel);
                double worst = 0;
                for (std::size_t n = 0; n < perChannel; ++n) {
                    const double expected = conversion == 1   ? (channel(n, 0) + channel(n, 1)) / 2
                                            : conversion == 2 ? channel(n, 0)
                                                              : channel(n, 1);
                    worst = std::max(worst, std::fabs(one.samples[n] - expected));
                }
                EXPECT_LT(worst, 1e-6) << "conversion " << conversion;
            }
            options.conversion = 0;
            const DecodedStream wide = DecodeStream(data, false, options);
            options.conversion = mpeg::Convert8Bit;
            const DecodedStream narrow = DecodeStream(data, false, options);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(narrow.samples16.data());
            ASSERT_EQ(narrow.samples16.size() * 2, wide.samples16.size());
            for (std::size_t n = 0; n < wide.samples16.size(); ++n)
                ASSERT_EQ(bytes[n],
                          static_cast<std::uint8_t>(((wide.samples16[n] >> 8) & 0xFF) ^ 0x80))
                    << n;
        }
    }
}

// The damaged and illegal streams decode or are refused without a crash, a hang or a sanitizer
// report, whatever the options.
TEST_F(Layer12Conformance, DamagedStreamsDecodeCleanly) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Vectors)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ILL", 0) != 0 || entry.path().extension() != ".bit") continue;
        ++files;
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> data = ReadBytes(entry.path());
        for (int reduction = 0; reduction <= 2; ++reduction) {
            mpeg::DecodeOptions options;
            options.reduction = reduction;
            options.conversion = reduction;  // as coded, mix, first channel
            const DecodedStream out = DecodeStream(data, false, options);
            if (out.started) {
                EXPECT_GE(out.frames, 1);
            }
        }
    }
    EXPECT_GE(files, 28);
}

}  // namespace
