// Layers I and II: stream set-up and frame decoding into the synthesis.
#pragma once

#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

// Builds the Layer I/II tables (called by DecoderInit).
void Layer12Init();

// Stream set-up for the stream whose first frame info is given (called by DecoderStart).
// 1, or 0 when the stream cannot be decoded (a Layer II stream without an allocation table).
int Layer1Start(const FrameInfo& info);
int Layer2Start(const FrameInfo& info);

// Decodes the frame at frame (whose length DecodeFrame has checked and stored in the decoder
// state's frameLength) into out (the recorded PCM bytes per frame).
void Layer1DecodeFrame(const FrameHeader& header, const std::uint8_t* frame, std::uint8_t* out);
void Layer2DecodeFrame(const FrameHeader& header, const std::uint8_t* frame, std::uint8_t* out);

}  // namespace mpeg
