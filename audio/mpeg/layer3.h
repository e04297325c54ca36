// Layer III: stream set-up and frame decoding into the synthesis.
#pragma once

#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

// Builds the Layer III tables (called by DecoderInit).
void Layer3Init();

// Stream set-up for the stream whose first frame info is given (called by DecoderStart). 1.
int Layer3Start(const FrameInfo& info);

// Decodes the frame at frame (length in the decoder state's frameLength) into out.
void Layer3DecodeFrame(const FrameHeader& header, const std::uint8_t* frame, std::uint8_t* out);

}  // namespace mpeg
