// Damaged and hostile input: the decoder refuses or decodes it, never writes outside its output,
// never reads outside its input, and keeps producing finite samples.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "audio/mpeg/decoder.h"
#include "tests/audio/mpeg/support.h"

namespace {

using namespace mpegtest;

constexpr std::uint8_t Canary = 0xA5;
constexpr std::size_t Guard = 4096;

// Decodes every frame of stream (starting at its first header) into a canary-guarded buffer;
// fails the test on a write past the PCM bytes of a frame or a non-finite sample. Each frame
// is handed over in its own allocation of exactly the bytes left, so that a read past the
// input is seen by the address sanitizer.
void DecodeGuarded(const std::vector<std::uint8_t>& stream, bool asFloat) {
    mpeg::DecoderInit();
    mpeg::SetFloatOutput(asFloat);
    auto length = static_cast<std::int32_t>(stream.size());
    mpeg::FrameInfo info;
    if (!mpeg::ParseFrameInfo(stream.data(), length, info, 1) ||
        !mpeg::DecoderStart(stream.data(), length)) {
        mpeg::SetFloatOutput(false);
        return;
    }
    std::size_t pcm = static_cast<std::size_t>(info.pcmBytesPerFrame);
    std::vector<std::uint8_t> out(pcm + Guard);
    std::int32_t offset = 0;
    int failures = 0;
    while (offset < length && failures < 64) {
        std::vector<std::uint8_t> rest(stream.begin() + offset, stream.end());
        std::fill(out.begin(), out.end(), Canary);
        mpeg::FrameJob job;
        job.input = rest.data();
        job.inputLength = static_cast<std::int32_t>(rest.size());
        job.output = out.data();
        if (!mpeg::DecodeFrame(job)) {
            ++failures;
            ++offset;
            for (std::uint8_t v : out)
                ASSERT_EQ(v, Canary) << "a refused frame wrote PCM";
            continue;
        }
        ASSERT_EQ(static_cast<std::size_t>(job.outputLength), pcm);
        for (std::size_t i = pcm; i < out.size(); ++i)
            ASSERT_EQ(out[i], Canary) << "overrun";
        if (asFloat) {
            for (std::size_t i = 0; i + 4 <= pcm; i += 4) {
                if (std::memcmp(&out[i], "\xA5\xA5\xA5\xA5", 4) == 0) continue;  // not written
                float f;
                std::memcpy(&f, &out[i], 4);
                ASSERT_TRUE(std::isfinite(f)) << "sample " << i / 4;
            }
        }
        offset += job.inputLength;
    }
    mpeg::SetFloatOutput(false);
}

std::vector<std::uint8_t> Corrupt(const std::vector<std::uint8_t>& s, std::mt19937& rng,
                                  int flips) {
    std::vector<std::uint8_t> c = s;
    std::uniform_int_distribution<std::size_t> at(0, c.size() - 1);
    std::uniform_int_distribution<int> bit(0, 7);
    for (int i = 0; i < flips; ++i)
        c[at(rng)] ^= static_cast<std::uint8_t>(1 << bit(rng));
    return c;
}

// Bit flips anywhere in a real stream, headers included (so frames change mode, rate and
// version under the decoder).
TEST(Robustness, CorruptedStreams) {
    std::vector<std::uint8_t> stream;
    std::filesystem::path dir = VectorDir();
    if (!dir.empty()) {
        stream = ReadFile(dir / "l3-he_mode.bit").value_or(std::vector<std::uint8_t>{});
    } else if (HaveProgram("sox") && HaveProgram("lame")) {
        std::filesystem::path tmp = TempDir("robust");
        auto mp3 = MakeClip(tmp, "clip",
                            "sox -R -n -r 44100 -c 2 -b 16 WAV synth 1.5 noise vol 0.3", "-b 128");
        stream = ReadFile(mp3).value_or(std::vector<std::uint8_t>{});
        std::filesystem::remove_all(tmp);
    }
    if (stream.empty()) GTEST_SKIP() << "no stream: shared vectors and lame both missing";
    std::mt19937 rng(1234);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        DecodeGuarded(Corrupt(stream, rng, 20 + round * 10), round % 2 == 0);
        if (HasFatalFailure()) return;
    }
}

// Valid headers of every version, mode and bit rate followed by random bytes.
TEST(Robustness, RandomFrameBodies) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::uint8_t b1 : {0xFB, 0xFA, 0xF3, 0xF2, 0xE3, 0xE2}) {
        for (int mode = 0; mode < 4; ++mode) {
            for (int rateIndex = 1; rateIndex < 15; rateIndex += 3) {
                std::vector<std::uint8_t> s(6000);
                for (auto& v : s)
                    v = static_cast<std::uint8_t>(byte(rng));
                for (std::size_t at = 0; at + 4 < s.size(); at += 300) {
                    s[at] = 0xFF;
                    s[at + 1] = b1;
                    s[at + 2] = static_cast<std::uint8_t>((rateIndex << 4) | (byte(rng) & 0x0E));
                    s[at + 3] = static_cast<std::uint8_t>((mode << 6) | (byte(rng) & 0x3F));
                }
                DecodeGuarded(s, (rateIndex & 1) != 0);
                if (HasFatalFailure()) return;
            }
        }
    }
}

// The damaged and illegal streams of the conformance set: decoded or refused, cleanly.
TEST(Robustness, IllegalConformanceStreams) {
    std::filesystem::path dir = VectorDir();
    if (dir.empty()) GTEST_SKIP() << "shared vectors absent";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("ILL", 0) != 0 || entry.path().extension() != ".bit") continue;
        auto stream = ReadFile(entry.path());
        ASSERT_TRUE(stream);
        SCOPED_TRACE(name);
        DecodeGuarded(*stream, false);
        DecodeGuarded(*stream, true);
        ++seen;
    }
    EXPECT_GT(seen, 20);
}

// Writes side information and main data bit by bit.
class BitWriter {
public:
    void Put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (used_ % 8));
            ++used_;
        }
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 0;
};

struct Granule {
    int part23 = 0;
    int bigValues = 0;
    int globalGain = 0;
    int table = 0;
};

// An MPEG-1 Layer III 128 kbit/s 44100 Hz stereo frame (417 bytes) with long blocks, no scale
// factors, the given granules ([granule][channel]) and main data.
std::vector<std::uint8_t> MakeFrame(int mainDataBegin, const Granule (&g)[2][2],
                                    const std::vector<std::uint8_t>& mainData) {
    BitWriter w;
    w.Put(0xFFFB9000, 32);  // stereo, no padding
    w.Put(static_cast<std::uint32_t>(mainDataBegin), 9);
    w.Put(0, 3);  // private bits
    w.Put(0, 8);  // scfsi
    for (int gr = 0; gr < 2; ++gr) {
        for (int ch = 0; ch < 2; ++ch) {
            const Granule& x = g[gr][ch];
            w.Put(static_cast<std::uint32_t>(x.part23), 12);
            w.Put(static_cast<std::uint32_t>(x.bigValues), 9);
            w.Put(static_cast<std::uint32_t>(x.globalGain), 8);
            w.Put(0, 4);  // scalefac_compress: no scale factors
            w.Put(0, 1);  // no window switching
            for (int r = 0; r < 3; ++r)
                w.Put(static_cast<std::uint32_t>(x.table), 5);
            w.Put(15, 4);  // region0_count: everything in region 0
            w.Put(7, 3);
            w.Put(0, 3);  // preflag, scalefac_scale, count1 table A
        }
    }
    std::vector<std::uint8_t> frame = w.Bytes();
    frame.insert(frame.end(), mainData.begin(), mainData.end());
    frame.resize(417, 0);
    return frame;
}

// A first frame that refers to earlier main data writes no PCM; the next frame decodes. A
// channel whose Huffman data runs far past its part 3 is silent for that granule while the
// other channel is not.
TEST(Robustness, ReservoirUnderflowAndOverrunningChannel) {
    Granule silent[2][2] = {};
    std::vector<std::uint8_t> stream = MakeFrame(100, silent, {});
    // Second frame: channel 0 claims 8 bits but 288 pairs of table 24 (at least 4 bits each)
    // read on through random bytes; channel 1 holds a single +1 line with table 1 ("01", +).
    Granule g[2][2] = {};
    g[0][0] = {8, 288, 180, 24};
    g[0][1] = {3, 1, 180, 1};
    std::vector<std::uint8_t> main(300);
    std::mt19937 rng(5);
    for (auto& v : main)
        v = static_cast<std::uint8_t>(rng());
    main[1] = 0x20;  // channel 1 starts at bit 8: "01" then sign 0
    std::vector<std::uint8_t> second = MakeFrame(0, g, main);
    stream.insert(stream.end(), second.begin(), second.end());

    mpeg::DecoderInit();
    auto length = static_cast<std::int32_t>(stream.size());
    ASSERT_EQ(mpeg::DecoderStart(stream.data(), length), 1);
    std::vector<std::uint8_t> out(4608, Canary);
    mpeg::FrameJob job;
    job.input = stream.data();
    job.inputLength = length;
    job.output = out.data();
    ASSERT_EQ(mpeg::DecodeFrame(job), 1);
    EXPECT_EQ(job.inputLength, 417);
    for (std::uint8_t v : out)
        ASSERT_EQ(v, Canary);

    job.input = stream.data() + 417;
    job.inputLength = length - 417;
    ASSERT_EQ(mpeg::DecodeFrame(job), 1);
    std::vector<std::int16_t> pcm(2304);
    std::memcpy(pcm.data(), out.data(), out.size());
    int leftNonZero = 0;
    int rightNonZero = 0;
    for (std::size_t i = 0; i < pcm.size(); i += 2) {
        leftNonZero += pcm[i] != 0;
        rightNonZero += pcm[i + 1] != 0;
    }
    EXPECT_EQ(leftNonZero, 0);
    EXPECT_GT(rightNonZero, 100);
}

TEST(Robustness, StartNeedsAWholeHeaderArea) {
    std::vector<std::uint8_t> b(155, 0);
    b[0] = 0xFF;
    b[1] = 0xFB;
    b[2] = 0x90;
    mpeg::DecoderInit();
    EXPECT_EQ(mpeg::DecoderStart(b.data(), 155), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorTooLittleData);
    EXPECT_EQ(mpeg::DecoderStart(nullptr, 0), 0);
}

}  // namespace
