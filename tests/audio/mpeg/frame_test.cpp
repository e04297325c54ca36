// Frame header parsing, VBR tags, derived stream values, sync search and the decode checks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "audio/mpeg/decoder.h"

namespace {

using mpeg::FrameInfo;

// A buffer of n bytes starting with the four header bytes, the rest zero.
std::vector<std::uint8_t> Frame(std::initializer_list<std::uint8_t> header, std::size_t n = 1500) {
    std::vector<std::uint8_t> b(n, 0);
    std::copy(header.begin(), header.end(), b.begin());
    return b;
}

int Parse(const std::vector<std::uint8_t>& b, FrameInfo& info, std::int32_t available = -1) {
    return mpeg::ParseFrameInfo(
        b.data(), available < 0 ? static_cast<std::int32_t>(b.size()) : available, info, 1);
}

class FrameParse : public ::testing::Test {
protected:
    void SetUp() override { mpeg::DecoderInit(); }
};

TEST_F(FrameParse, Mpeg1Layer3Header) {
    auto b = Frame({0xFF, 0xFB, 0x90, 0x64});
    FrameInfo info;
    ASSERT_EQ(Parse(b, info), 1);
    EXPECT_EQ(info.header.version, 1);
    EXPECT_EQ(info.header.layer, 3);
    EXPECT_EQ(info.header.crcPresent, 0);
    EXPECT_EQ(info.header.bitRateIndex, 9);
    EXPECT_EQ(info.header.sampleRateIndex, 0);
    EXPECT_EQ(info.header.mode, mpeg::ModeJointStereo);
    EXPECT_EQ(info.header.modeExtension, 2);
    EXPECT_EQ(info.header.original, 1);
    EXPECT_EQ(info.bitRate, 128000);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.unpaddedLength, 417);
    EXPECT_EQ(info.paddedLength, 418);
    EXPECT_EQ(info.outputChannels, 2);
    EXPECT_EQ(info.outputBits, 16);
    EXPECT_EQ(info.pcmBytesPerFrame, 4608);
    EXPECT_EQ(info.tagFrameCount, 0);
    EXPECT_EQ(info.firstFrameLength, 0);
}

TEST_F(FrameParse, LowerSampleRatesAndOtherLayers) {
    FrameInfo info;
    // MPEG-2 Layer III, 80 kbit/s, 22050 Hz, single channel: 576 samples per frame.
    ASSERT_EQ(Parse(Frame({0xFF, 0xF3, 0x90, 0xC4}), info), 1);
    EXPECT_EQ(info.header.version, 2);
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.bitRate, 80000);
    EXPECT_EQ(info.unpaddedLength, 80000 * 144 / 22050 / 2);
    EXPECT_EQ(info.pcmBytesPerFrame, 576 * 2);
    // MPEG-2.5 Layer III at each sample-rate index.
    const int rates[3] = {11025, 12000, 8000};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(
            Parse(Frame({0xFF, 0xE3, static_cast<std::uint8_t>(0x40 | (i << 2)), 0x00}), info), 1);
        EXPECT_EQ(info.header.version, 3);
        EXPECT_EQ(info.sampleRate, rates[i]);
        EXPECT_EQ(info.bitRate, 32000);
        EXPECT_EQ(info.pcmBytesPerFrame, 576 * 2 * 2);
    }
    // MPEG-1 Layer I, 384 kbit/s, 44100 Hz, padded: slots of 4 bytes.
    ASSERT_EQ(Parse(Frame({0xFF, 0xFF, 0xC2, 0x00}), info), 1);
    EXPECT_EQ(info.header.layer, 1);
    EXPECT_EQ(info.header.padding, 1);
    EXPECT_EQ(info.unpaddedLength, 416);
    EXPECT_EQ(info.paddedLength, 420);
    EXPECT_EQ(info.pcmBytesPerFrame, 384 * 4);
    // MPEG-1 Layer II, 192 kbit/s, 48000 Hz.
    ASSERT_EQ(Parse(Frame({0xFF, 0xFD, 0xA4, 0x00}), info), 1);
    EXPECT_EQ(info.header.layer, 2);
    EXPECT_EQ(info.header.crcPresent, 0);
    EXPECT_EQ(info.unpaddedLength, 576);
    EXPECT_EQ(info.pcmBytesPerFrame, 1152 * 4);
}

TEST_F(FrameParse, BadHeadersGiveTheirErrors) {
    FrameInfo info;
    EXPECT_EQ(Parse(Frame({0xFE, 0xFB, 0x90, 0x64}), info), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorNoSync);
    EXPECT_EQ(Parse(Frame({0xFF, 0xDB, 0x90, 0x64}), info), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorNoSync);
    EXPECT_EQ(Parse(Frame({0xFF, 0xFB, 0x00, 0x64}), info), 0);  // free format
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    EXPECT_EQ(Parse(Frame({0xFF, 0xFB, 0xF0, 0x64}), info), 0);  // bit-rate index 15
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    EXPECT_EQ(Parse(Frame({0xFF, 0xFB, 0x9C, 0x64}), info), 0);  // sample-rate index 3
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    EXPECT_EQ(Parse(Frame({0xFF, 0xF9, 0x90, 0x64}), info), 0);  // layer bits 0
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    // A valid header with 155 bytes available is too little data.
    auto b = Frame({0xFF, 0xFB, 0x90, 0x64});
    EXPECT_EQ(Parse(b, info, 155), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorTooLittleData);
    EXPECT_EQ(Parse(b, info, 156), 1);
}

TEST_F(FrameParse, XingAndVbriTags) {
    FrameInfo info;
    auto put32 = [](std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    // Two-channel MPEG-1 Layer III: the tag follows 32 bytes of side information.
    auto b = Frame({0xFF, 0xFB, 0x92, 0x64});
    std::memcpy(&b[36], "Xing", 4);
    put32(b, 40, 1);  // frame-count flag only: both counts are still read
    put32(b, 44, 1234);
    put32(b, 48, 567890);
    ASSERT_EQ(Parse(b, info), 1);
    EXPECT_EQ(info.tagFrameCount, 1234);
    EXPECT_EQ(info.tagByteCount, 567890);
    EXPECT_EQ(info.bitRate, 0);
    EXPECT_EQ(info.firstFrameLength, 418);
    EXPECT_EQ(info.unpaddedLength, 32000 * 144 / 44100);
    EXPECT_EQ(info.paddedLength, 320000 * 144 / 44100 + 1);
    // Flags with neither count bit are an invalid header.
    for (std::uint32_t flags : {4u, 8u, 12u, 0u}) {
        put32(b, 40, flags);
        EXPECT_EQ(Parse(b, info), 0);
        EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    }
    // Single-channel MPEG-1 with CRC: the tag is 4 + 2 + 17 bytes in.
    auto mono = Frame({0xFF, 0xFA, 0x90, 0xC4});
    std::memcpy(&mono[23], "Xing", 4);
    put32(mono, 27, 2);
    put32(mono, 31, 77);
    put32(mono, 35, 99);
    ASSERT_EQ(Parse(mono, info), 1);
    EXPECT_EQ(info.tagFrameCount, 77);
    EXPECT_EQ(info.tagByteCount, 99);
    // VBRI: byte count at +10, frame count at +14.
    auto v = Frame({0xFF, 0xFB, 0x90, 0x64});
    std::memcpy(&v[36], "VBRI", 4);
    put32(v, 46, 4321);
    put32(v, 50, 88);
    ASSERT_EQ(Parse(v, info), 1);
    EXPECT_EQ(info.tagByteCount, 4321);
    EXPECT_EQ(info.tagFrameCount, 88);
    EXPECT_EQ(info.bitRate, 0);
}

TEST_F(FrameParse, OptionsShapeTheOutput) {
    FrameInfo info;
    auto b = Frame({0xFF, 0xFB, 0x90, 0x64});
    mpeg::DecodeOptions o;
    o.reduction = 1;
    ASSERT_EQ(mpeg::SetDecodeOptions(o), 1);
    ASSERT_EQ(Parse(b, info), 1);
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.pcmBytesPerFrame, 576 * 2 * 2);
    o.reduction = 2;
    o.conversion = mpeg::ConvertMix | mpeg::Convert8Bit;
    mpeg::SetDecodeOptions(o);
    ASSERT_EQ(Parse(b, info), 1);
    EXPECT_EQ(info.sampleRate, 11025);
    EXPECT_EQ(info.outputChannels, 1);
    EXPECT_EQ(info.outputBits, 8);
    EXPECT_EQ(info.pcmBytesPerFrame, 288);
    mpeg::DecodeOptions back;
    mpeg::GetDecodeOptions(back);
    EXPECT_EQ(back.reduction, 2);
    EXPECT_EQ(back.conversion, 9);
    // Out-of-range reductions are kept in range; DecoderInit restores the defaults.
    o.reduction = 7;
    mpeg::SetDecodeOptions(o);
    mpeg::GetDecodeOptions(back);
    EXPECT_EQ(back.reduction, 2);
    mpeg::DecoderInit();
    mpeg::GetDecodeOptions(back);
    EXPECT_EQ(back.reduction, 0);
    EXPECT_EQ(back.conversion, 0);
    EXPECT_EQ(back.frequencyLimit, 24000);
}

TEST_F(FrameParse, FindFrameSync) {
    std::vector<std::uint8_t> b = {0x00, 0xFF, 0x12, 0xFF, 0xE2, 0x00, 0x00};
    std::int32_t offset = -1;
    ASSERT_EQ(mpeg::FindFrameSync(b.data(), static_cast<std::int32_t>(b.size()), offset), 1);
    EXPECT_EQ(offset, 3);
    std::vector<std::uint8_t> none = {0xFF, 0x00, 0xFF, 0xD0, 0x00, 0xFF};
    EXPECT_EQ(mpeg::FindFrameSync(none.data(), static_cast<std::int32_t>(none.size()), offset), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorTooLittleData);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(mpeg::FindFrameSync(b.data(), 3, offset), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorTooLittleData);
}

// The checks DecodeFrame makes before it writes anything.
TEST_F(FrameParse, DecodeFrameRefusesShortOrForeignFrames) {
    auto b = Frame({0xFF, 0xFB, 0x90, 0x64}, 2000);
    std::vector<std::uint8_t> out(5000, 0xA5);
    mpeg::FrameJob job;
    job.input = b.data();
    job.output = out.data();
    // Not started yet: nothing is decoded.
    job.inputLength = 2000;
    EXPECT_EQ(mpeg::DecodeFrame(job), 0);

    ASSERT_EQ(mpeg::DecoderStart(b.data(), 2000), 1);
    job.inputLength = 4;
    EXPECT_EQ(mpeg::DecodeFrame(job), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorTooLittleData);
    job.inputLength = 416;  // one byte short of the frame
    EXPECT_EQ(mpeg::DecodeFrame(job), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorTooLittleData);
    for (std::uint8_t v : out)
        ASSERT_EQ(v, 0xA5);

    // A Layer II frame inside a Layer III stream is refused.
    auto other = Frame({0xFF, 0xFD, 0x90, 0x64}, 2000);
    job.input = other.data();
    job.inputLength = 2000;
    EXPECT_EQ(mpeg::DecodeFrame(job), 0);
    EXPECT_EQ(mpeg::DecoderLastError(), mpeg::ErrorBadHeader);
    for (std::uint8_t v : out)
        ASSERT_EQ(v, 0xA5);

    job.input = b.data();
    job.inputLength = 2000;
    ASSERT_EQ(mpeg::DecodeFrame(job), 1);
    EXPECT_EQ(job.inputLength, 417);
    EXPECT_EQ(job.outputLength, 4608);
    EXPECT_EQ(job.bitRate, 128000);
    EXPECT_EQ(job.header.layer, 3);
    // Nothing beyond the frame's PCM was touched.
    for (std::size_t i = 4608; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0xA5);
}

}  // namespace
