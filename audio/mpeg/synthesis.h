// The polyphase synthesis filterbank: blocks of subband samples to PCM. A family of small
// variants, chosen once per stream by output width (16-bit, 8-bit, or float for tools and
// tests), rate (full, half, quarter: the lowest 32, 16 or 8 subbands) and channel layout.
#pragma once

#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

// Layers I and II: blocks of 64 values (one per slot: a single channel in the first 32, or two
// channels interleaved, first channel at even positions); blockCount blocks per call (12 for a
// Layer I frame, 36 for a Layer II frame). A two-channel layout writes interleaved samples.
using Layer12Synthesis = void (*)(const float* blocks, std::uint8_t* out, int blockCount);

// Layer III: one granule of 18 time slots of 32 subband samples (time-major) per channel. The
// one-channel variants read first and write consecutive samples; the two-channel variants read
// first and second and write them interleaved, the first channel at even sample positions.
using Layer3Synthesis = void (*)(const float* first, const float* second, std::uint8_t* out);

// Layer I/II layouts, in this order.
inline constexpr int LayoutOneChannel = 0;
inline constexpr int LayoutTwoChannels = 1;
inline constexpr int LayoutMix = 2;
inline constexpr int LayoutFirst = 3;
inline constexpr int LayoutSecond = 4;

// Output widths.
inline constexpr int Width16 = 0;
inline constexpr int Width8 = 1;
inline constexpr int WidthFloat = 2;

// Synthesis state: the module-level history of matrixed blocks and the equalizer.
struct SynthesisState {
    // Per channel a ring of 32 matrixed blocks of 32 (half rate 16, quarter rate 8) values; the
    // windowing reads the 16 most recent, the rest lets several blocks be matrixed at once.
    // Ring blocks 0..15 are also kept after the ring (as blocks 32..47), so that the 16 blocks
    // from any ring index lie in one piece.
    alignas(32) float history[2][48 * 32] = {};
    int position[2] = {};  // per channel: ring index (0..31) of the next matrixed block
    bool equalizerOn = false;
    float gains[32] = {};  // amplitude factor per subband
};

// Both histories and positions to zero.
void SynthesisReset();

// Builds the matrixing coefficients and the ordered window table.
void SynthesisInit();

// The output width the options (and the float-output switch) ask for.
int SynthesisWidth(const DecodeOptions& options);

// width: Width16/Width8/WidthFloat; reduction 0..2; layout 0..4.
Layer12Synthesis SelectLayer12Synthesis(int width, int reduction, int layout);
Layer3Synthesis SelectLayer3Synthesis(int width, int reduction, bool twoChannels);

// The layout index for a Layer I/II stream: 0 for a single-channel stream, otherwise the
// options' channel conversion plus 1.
int Layer12Layout(std::int32_t mode, const DecodeOptions& options);

}  // namespace mpeg
