// Decode codes and stream limits shared by the Layer I and Layer II frame decoders.
//
// The allocation pass of a frame compiles one decode code per slot (slot = subband for a single
// channel, 2 x subband + channel for two) plus a ready-made scale per slot; the sample pass runs
// that code list once per block (Layer I) or per group of three blocks (Layer II) and writes
// every slot below the subband limit into the interleaved block store. Slots at or above the
// limit are never written and stay zero from the stream start.
#pragma once

#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

inline constexpr int L12SlotsPerBlock = 64;
inline constexpr int L1Blocks = 12;
inline constexpr int L2Blocks = 36;

// Layer I codes: 1..14 = allocation value n (read n + 1 bits); Layer II codes: 1..17 =
// quantisation class + 1. Adding the shared offset marks a joint-stereo slot pair above the
// bound: one sample read, written to both channels with each channel's scale.
inline constexpr std::uint8_t L1SharedOffset = 15;
inline constexpr std::uint8_t L1EndCode = 30;
inline constexpr std::uint8_t L1LimitCode = 31;
inline constexpr std::uint8_t L2SharedOffset = 18;
inline constexpr std::uint8_t L2EndCode = 36;
inline constexpr std::uint8_t L2LimitCode = 37;

// Subbands decoded for a stream: those below the frequency limit at the stream's full sample
// rate, at most 32 >> reduction, and one fewer than that when it is more than 8 (the top
// subband of the full and half rate is left out) unless keepTop is set (LiftBandLimits).
int L12SubbandLimit(int frequencyLimit, int sampleRate, int reduction, bool keepTop);

// The joint-stereo bound in slots: 8, 16, 24 or 32 in joint stereo, otherwise slotCount.
inline int L12BoundSlots(std::int32_t mode, std::int32_t modeExtension, int slotCount) {
    if (mode != 1) return slotCount;
    const int bound = 8 * (modeExtension + 1);
    return bound < slotCount ? bound : slotCount;
}

// Stream set-up shared by both layers for a stream of `subbands` coded subbands per channel:
// slot count, subband limit, synthesis variant, cleared code list and block store.
void Layer12StartStream(const FrameInfo& info, int subbands);

// Points the decoder's reader at the frame's data after the header and CRC, bounded by the
// frame length.
void Layer12StartReader(const FrameHeader& header, const std::uint8_t* frame);

}  // namespace mpeg
