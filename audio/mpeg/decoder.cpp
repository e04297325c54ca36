#include "audio/mpeg/decoder.h"

#include <cmath>
#include <cstring>

#include "audio/mpeg/layer12.h"
#include "audio/mpeg/layer3.h"
#include "audio/mpeg/state.h"
#include "audio/mpeg/tables.h"

namespace mpeg {
namespace {

constexpr std::int32_t MinimumParseLength = 156;

std::int32_t Fail(std::int32_t error) {
    decoderState.lastError = error;
    return 0;
}

// Fills the twelve header fields from the four bytes at data. 0, or the error code.
std::int32_t ParseHeader(const std::uint8_t* data, FrameHeader& h) {
    std::uint8_t b1 = data[1];
    std::uint8_t b2 = data[2];
    std::uint8_t b3 = data[3];
    if (data[0] != 0xFF) return ErrorNoSync;
    if (b1 >= 0xF0) {
        h.version = (b1 & 0x08) ? 1 : 2;
    } else if ((b1 & 0xF0) == 0xE0) {
        h.version = 3;
    } else {
        return ErrorNoSync;
    }
    int layerBits = (b1 >> 1) & 3;
    h.crcPresent = (b1 & 1) ? 0 : 1;
    h.bitRateIndex = b2 >> 4;
    h.sampleRateIndex = (b2 >> 2) & 3;
    h.padding = (b2 >> 1) & 1;
    h.privateBit = b2 & 1;
    h.mode = b3 >> 6;
    h.modeExtension = (b3 >> 4) & 3;
    h.copyright = (b3 >> 3) & 1;
    h.original = (b3 >> 2) & 1;
    h.emphasis = b3 & 3;
    if (layerBits == 0 || h.bitRateIndex == 0 || h.bitRateIndex == 15 || h.sampleRateIndex == 3) {
        return ErrorBadHeader;
    }
    h.layer = 4 - layerBits;
    return 0;
}

std::int32_t BitRateOf(const FrameHeader& h, int index) {
    return BitRateKbps[h.version == 1 ? 0 : 1][h.layer - 1][index] * 1000;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// Frame length in bytes for bit rate b and sample rate r, without padding.
std::int32_t UnpaddedLength(const FrameHeader& h, std::int32_t b, std::int32_t r) {
    if (h.layer == 1) return (b * 12 / r) * 4;
    if (h.layer == 2) return b * 144 / r;
    return b * 144 / r / (h.version == 1 ? 1 : 2);
}

std::int32_t SlotBytes(const FrameHeader& h) {
    return h.layer == 1 ? 4 : 1;
}

}  // namespace

void DecoderInit() {
    decoderState.options = DecodeOptions{};
    SynthesisInit();
    Layer3Init();
    Layer12Init();
}

int ParseFrameInfo(const std::uint8_t* data, std::int32_t available, FrameInfo& info, int record) {
    if (data == nullptr || available < MinimumParseLength) return Fail(ErrorTooLittleData);
    FrameHeader h;
    if (std::int32_t error = ParseHeader(data, h)) return Fail(error);
    info.header = h;

    const DecodeOptions& options = decoderState.options;
    const std::uint8_t* p = data + 4 + (h.crcPresent ? 2 : 0);
    if (h.layer == 3) {
        bool single = h.mode == ModeSingleChannel;
        if (h.version == 1) {
            p += single ? 17 : 32;
        } else {
            p += single ? 9 : 17;
        }
    }
    std::int32_t b = BitRateOf(h, h.bitRateIndex);
    std::int32_t r = SampleRateHz[h.version - 1][h.sampleRateIndex];

    bool tagged = false;
    std::int32_t frames = 0;
    std::int32_t bytes = 0;
    if (std::memcmp(p, "Xing", 4) == 0) {
        std::uint32_t flags = BigEndian32(p + 4);
        if ((flags & 3) == 0) return Fail(ErrorBadHeader);
        frames = static_cast<std::int32_t>(BigEndian32(p + 8));
        bytes = static_cast<std::int32_t>(BigEndian32(p + 12));
        tagged = true;
    } else if (std::memcmp(p, "VBRI", 4) == 0) {
        bytes = static_cast<std::int32_t>(BigEndian32(p + 10));
        frames = static_cast<std::int32_t>(BigEndian32(p + 14));
        tagged = true;
    }
    info.tagFrameCount = frames;
    info.tagByteCount = bytes;

    std::int32_t slot = SlotBytes(h);
    if (tagged) {
        std::int32_t lowest = BitRateOf(h, 1);
        std::int32_t highest = BitRateOf(h, 14);
        info.firstFrameLength = UnpaddedLength(h, b, r) + h.padding * slot;
        info.unpaddedLength = UnpaddedLength(h, lowest, r);
        info.paddedLength = UnpaddedLength(h, highest, r) + slot;
    } else {
        info.firstFrameLength = 0;
        info.unpaddedLength = UnpaddedLength(h, b, r);
        info.paddedLength = info.unpaddedLength + slot;
    }

    std::int32_t reduction = options.reduction;
    std::int32_t samples = (h.layer == 1 ? 384 : 1152) >> reduction;
    if (h.layer == 3 && h.version != 1) samples /= 2;
    info.outputChannels =
        (h.mode == ModeSingleChannel || (options.conversion & ConvertChannelMask) != 0) ? 1 : 2;
    int width = SynthesisWidth(options);
    info.outputBits = width == Width8 ? 8 : width == Width16 ? 16 : 32;
    info.pcmBytesPerFrame = samples * info.outputChannels * (info.outputBits / 8);

    if (record == 1) {
        decoderState.recordedSampleRate = r;
        decoderState.recordedPcmBytes = info.pcmBytesPerFrame;
    }
    info.sampleRate = r >> reduction;
    info.bitRate = tagged ? 0 : b;
    return 1;
}

int DecoderStart(const std::uint8_t* data, std::int32_t length) {
    DecoderState& s = decoderState;
    s.decodeFrame = nullptr;
    s.streamVersion = 0;
    s.streamLayer = 0;
    s.streamPcmBytes = 0;
    s.streamChannels = 0;
    FrameInfo info;
    if (!ParseFrameInfo(data, length, info, 1)) return 0;
    SynthesisReset();
    s.streamVersion = info.header.version;
    s.streamLayer = info.header.layer;
    s.streamPcmBytes = info.pcmBytesPerFrame;
    s.streamChannels = info.outputChannels;
    int ok = 0;
    FrameDecoder decoder = nullptr;
    switch (info.header.layer) {
        case 1:
            ok = Layer1Start(info);
            decoder = Layer1DecodeFrame;
            break;
        case 2:
            ok = Layer2Start(info);
            decoder = Layer2DecodeFrame;
            break;
        default:
            ok = Layer3Start(info);
            decoder = Layer3DecodeFrame;
            break;
    }
    if (!ok) return 0;
    s.decodeFrame = decoder;
    return 1;
}

int DecodeFrame(FrameJob& job) {
    DecoderState& s = decoderState;
    if (job.input == nullptr || job.inputLength <= 4) return Fail(ErrorTooLittleData);
    FrameHeader h;
    if (std::int32_t error = ParseHeader(job.input, h)) return Fail(error);
    // A stream keeps the version and layer of its first frame; the decoder's buffers and output
    // layout were set up for them.
    if (s.decodeFrame == nullptr || h.version != s.streamVersion || h.layer != s.streamLayer ||
        s.recordedSampleRate <= 0 || job.output == nullptr) {
        return Fail(ErrorBadHeader);
    }
    job.header = h;
    job.bitRate = BitRateOf(h, h.bitRateIndex);
    std::int32_t length =
        UnpaddedLength(h, job.bitRate, s.recordedSampleRate) + h.padding * SlotBytes(h);
    if (job.inputLength < length || length <= 4) return Fail(ErrorTooLittleData);
    s.frameLength = length;
    s.decodeFrame(h, job.input, job.output);
    job.inputLength = length;
    job.outputLength = s.streamPcmBytes;
    return 1;
}

std::int32_t DecoderLastError() {
    return decoderState.lastError;
}

int FindFrameSync(const std::uint8_t* data, std::int32_t length, std::int32_t& offset) {
    offset = 0;
    if (data == nullptr || length < 4) return Fail(ErrorTooLittleData);
    for (std::int32_t i = 0; i <= length - 4; ++i) {
        if (data[i] == 0xFF && (data[i + 1] >= 0xF0 || (data[i + 1] & 0xF0) == 0xE0)) {
            offset = i;
            return 1;
        }
    }
    return Fail(ErrorTooLittleData);
}

void GetDecodeOptions(DecodeOptions& options) {
    options = decoderState.options;
}

int SetDecodeOptions(const DecodeOptions& options) {
    decoderState.options = options;
    // Out-of-range values would shift by negative or huge amounts; keep them in range.
    DecodeOptions& o = decoderState.options;
    o.reduction = o.reduction < 0 ? 0 : o.reduction > 2 ? 2 : o.reduction;
    if (o.frequencyLimit < 0) o.frequencyLimit = 0;
    return 1;
}

void SetEqualizer(const std::int32_t* gains) {
    SynthesisState& s = decoderState.synthesis;
    if (gains == nullptr) {
        s.equalizerOn = false;
        return;
    }
    // Subbands covered by each of the ten gains.
    static constexpr int firstBand[11] = {0, 1, 2, 3, 4, 5, 6, 8, 12, 20, 32};
    for (int g = 0; g < 10; ++g) {
        float factor = static_cast<float>(std::pow(10.0, gains[g] / 200.0));
        for (int k = firstBand[g]; k < firstBand[g + 1]; ++k)
            s.gains[k] = factor;
    }
    s.equalizerOn = true;
}

void SetFloatOutput(bool on) {
    decoderState.floatOutput = on;
}

void LiftBandLimits(bool on) {
    decoderState.liftBandLimits = on;
}

void UseBaselineKernels(bool on) {
    decoderState.baselineKernels = on;
}

}  // namespace mpeg
