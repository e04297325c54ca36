// The MPEG audio decoder (Layers I, II and III; MPEG-1, MPEG-2 and MPEG-2.5): one stream at a
// time, decoded frame by frame from memory into 16-bit (or 8-bit) PCM memory. The decoder is a
// single instance whose state lives in DecoderState (state.h).
//
// Calling order: DecoderInit; optionally SetDecodeOptions and SetEqualizer; ParseFrameInfo on the
// first frame with record = 1; DecoderStart; DecodeFrame for each frame in stream order.
#pragma once

#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

// Options back to their defaults and every table built. The equalizer is left as it is.
void DecoderInit();

// Parses the frame header at data into info. available is the number of bytes readable at
// data; fewer than 156 fail with ErrorTooLittleData. With record = 1 the stream's full sample
// rate and PCM bytes per frame are recorded for DecoderStart and DecodeFrame. 1, or 0 with
// the last error set.
int ParseFrameInfo(const std::uint8_t* data, std::int32_t available, FrameInfo& info, int record);

// Prepares the decoder for the stream starting at data: parses the first header (recording it),
// clears the synthesis state and sets up the layer decoder. 1, or 0 when the header or the
// layer's set-up fails (then DecodeFrame writes no PCM).
int DecoderStart(const std::uint8_t* data, std::int32_t length);

// Decodes the frame at job.input into job.output (which must hold the recorded PCM bytes per
// frame). Never reads beyond job.inputLength bytes. 1, or 0 with the last error set; a failed
// call writes no PCM.
int DecodeFrame(FrameJob& job);

std::int32_t DecoderLastError();

// Finds the first frame sync in data[0, length). 1 with offset set, or 0 (ErrorTooLittleData).
int FindFrameSync(const std::uint8_t* data, std::int32_t length, std::int32_t& offset);

void GetDecodeOptions(DecodeOptions& options);
int SetDecodeOptions(const DecodeOptions& options);

// Ten gains in tenths of a decibel switch the equalizer on (subbands 0..5 one gain each, then
// 6..7, 8..11, 12..19, 20..31); a null pointer switches it off.
void SetEqualizer(const std::int32_t* gains);

// For tools and tests: with on, 16-bit output is replaced by 32-bit float samples (full scale
// 1.0) taken before the integer conversion; the PCM bytes per frame double accordingly. Takes
// effect at the next parse and DecoderStart; DecoderInit leaves it alone.
void SetFloatOutput(bool on);

// For tests: with on, streams started afterwards decode the whole spectrum (subband 31 at full
// rate, and for Layer III the top scale-factor band of the lower sample rates), which the decoder
// otherwise never reconstructs. Shows which differences from a reference come from those limits.
void LiftBandLimits(bool on);

// For tests: with on, the decoder runs its plain kernels even on a processor with AVX2 and FMA,
// so that the two sets can be compared. Takes effect at the next DecoderStart.
void UseBaselineKernels(bool on);

}  // namespace mpeg
