// The decoder's module-level state: one instance, decoderState, defined in state.cpp. Every
// part of the decoder keeps its state here, so one stream is decoded at a time.
#pragma once

#include <cstdint>

#include "audio/mpeg/bitreader.h"
#include "audio/mpeg/frame.h"
#include "audio/mpeg/layer12state.h"
#include "audio/mpeg/layer3state.h"
#include "audio/mpeg/synthesis.h"

namespace mpeg {

using FrameDecoder = void (*)(const FrameHeader& header, const std::uint8_t* frame,
                              std::uint8_t* out);

struct DecoderState {
    DecodeOptions options;
    std::int32_t lastError = 0;
    std::int32_t recordedSampleRate = 0;  // full rate, from the last recording parse
    std::int32_t recordedPcmBytes = 0;    // PCM bytes per frame, from the last recording parse
    std::int32_t frameLength = 0;         // of the frame DecodeFrame is decoding
    // Fixed by DecoderStart from the stream's first frame: frames of another version or layer
    // are refused, and every decoded frame writes exactly streamPcmBytes.
    std::int32_t streamVersion = 0;
    std::int32_t streamLayer = 0;
    std::int32_t streamChannels = 0;  // output channels
    std::int32_t streamPcmBytes = 0;
    FrameDecoder decodeFrame = nullptr;  // the selected layer's frame decoder
    bool floatOutput = false;            // SetFloatOutput
    bool liftBandLimits = false;         // LiftBandLimits
    bool baselineKernels = false;        // UseBaselineKernels

    BitReader reader;
    SynthesisState synthesis;
    Layer12State layer12;
    Layer3State layer3;
};

extern DecoderState decoderState;

}  // namespace mpeg
