// Layer I: stream set-up and frame decoding (allocation pass, scale factors, sample pass,
// synthesis). Also the set-up steps that Layer II shares.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "audio/mpeg/l2frame.h"
#include "audio/mpeg/layer12.h"
#include "audio/mpeg/state.h"

namespace mpeg {

int L12SubbandLimit(int frequencyLimit, int sampleRate, int reduction, bool keepTop) {
    const int rateSubbands = 32 >> std::clamp(reduction, 0, 2);
    if (sampleRate <= 0) return 0;
    const std::int64_t wanted =
        (std::int64_t{std::max(frequencyLimit, 0)} * 64 + sampleRate / 2) / sampleRate;
    int limit = static_cast<int>(std::min<std::int64_t>(wanted, rateSubbands));
    if (rateSubbands > 8 && !keepTop) limit = std::min(limit, rateSubbands - 1);
    return limit;
}

namespace {

// Reads the allocations and scale factors of a frame and compiles its code list and scales.
void CompileLayer1(Layer12State& s, BitReader& reader, int slots, int bound, int limit) {
    std::uint8_t* codes = s.codes;
    float* scales = s.scales[0];
    // The forbidden allocation value 15 is taken as "not allocated".
    for (int i = 0; i < bound; ++i) {
        const std::uint32_t a = reader.Read(4);
        codes[i] = a == 15 ? 0 : static_cast<std::uint8_t>(a);
    }
    for (int i = bound; i < slots; i += 2) {
        const std::uint32_t a = reader.Read(4);
        codes[i] = a == 0 || a == 15 ? 0 : static_cast<std::uint8_t>(a + L1SharedOffset);
        codes[i + 1] = 0;
    }

    // Scale factors of every allocated slot, in slot order; above the bound each channel of a
    // shared pair has its own.
    int skip = 0;
    for (int i = 0; i < slots; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        if (code < L1SharedOffset) {
            scales[i] = s.layer1Factors[code] * s.scaleFactors[reader.Read(6)];
            if (i >= limit) skip += code + 1;
        } else {
            const int a = code - L1SharedOffset;
            scales[i] = s.layer1Factors[a] * s.scaleFactors[reader.Read(6)];
            scales[i + 1] = s.layer1Factors[a] * s.scaleFactors[reader.Read(6)];
            if (i >= limit) skip += a + 1;
            ++i;
        }
    }
    codes[limit] = limit < slots ? L1LimitCode : L1EndCode;
    s.skipBits = skip;
}

// A sample of allocation a (a + 1 bits), centred on zero.
inline float Centred(std::uint32_t value, int a) {
    return static_cast<float>(static_cast<std::int32_t>(value) - ((1 << a) - 1));
}

void ReadLayer1Samples(Layer12State& s, BitReader& reader) {
    const std::uint8_t* codes = s.codes;
    const float* scales = s.scales[0];
    for (int b = 0; b < L1Blocks; ++b) {
        float* out = s.blocks + b * L12SlotsPerBlock;
        for (int i = 0;;) {
            const int code = codes[i];
            if (code == 0) {
                out[i] = 0.0f;
                ++i;
            } else if (code < L1SharedOffset) {
                out[i] = Centred(reader.Read(code + 1), code) * scales[i];
                ++i;
            } else if (code < L1EndCode) {
                const int a = code - L1SharedOffset;
                const float v = Centred(reader.Read(a + 1), a);
                out[i] = v * scales[i];
                out[i + 1] = v * scales[i + 1];
                i += 2;
            } else {
                if (code == L1LimitCode) reader.Skip(s.skipBits);
                break;
            }
        }
    }
}

}  // namespace

void Layer12StartStream(const FrameInfo& info, int subbands) {
    DecoderState& d = decoderState;
    Layer12State& s = d.layer12;
    const int channels = info.header.mode == ModeSingleChannel ? 1 : 2;
    const int limit = L12SubbandLimit(d.options.frequencyLimit, d.recordedSampleRate,
                                      d.options.reduction, d.liftBandLimits);
    s.slotCount = subbands * channels;
    // Kept in slots; a frame decodes min(subbandLimit, its slot count). Layer II frames may
    // switch to a table of other size when the bit rate changes.
    s.subbandLimit = limit * channels;
    s.skipBits = 0;
    s.synthesis = SelectLayer12Synthesis(SynthesisWidth(d.options), d.options.reduction,
                                         Layer12Layout(info.header.mode, d.options));
    std::memset(s.codes, 0, sizeof s.codes);
    std::memset(s.scales, 0, sizeof s.scales);
    std::memset(s.blocks, 0, sizeof s.blocks);
}

void Layer12StartReader(const FrameHeader& header, const std::uint8_t* frame) {
    const int headerBytes = header.crcPresent ? 6 : 4;
    decoderState.reader.Start(frame + headerBytes, decoderState.frameLength - headerBytes);
}

int Layer1Start(const FrameInfo& info) {
    decoderState.layer12.allocation = nullptr;
    Layer12StartStream(info, 32);
    return 1;
}

void Layer1DecodeFrame(const FrameHeader& header, const std::uint8_t* frame, std::uint8_t* out) {
    Layer12State& s = decoderState.layer12;
    const int slots = header.mode == ModeSingleChannel ? 32 : 64;
    if (slots == s.slotCount) {
        BitReader& reader = decoderState.reader;
        Layer12StartReader(header, frame);
        const int limit = std::min(s.subbandLimit, slots);
        CompileLayer1(s, reader, slots, L12BoundSlots(header.mode, header.modeExtension, slots),
                      limit);
        ReadLayer1Samples(s, reader);
    } else {
        // The stream's output layout was fixed by its first frame; a frame with another
        // channel count plays as silence.
        std::memset(s.blocks, 0, sizeof(float) * L1Blocks * L12SlotsPerBlock);
    }
    s.synthesis(s.blocks, out, L1Blocks);
}

}  // namespace mpeg
