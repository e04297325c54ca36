// The per-stream state of the Layer I and Layer II decoders: the compiled code list of the
// current frame with its ready-made scales, and the interleaved block store that the synthesis
// reads.
//
// The allocation pass of a frame fills `codes` and `scales`; the sample pass then runs the code
// list once per block (Layer I) or per group of three blocks (Layer II), reading samples and
// writing every slot below the subband limit. Slots at or above the limit are never written and
// stay zero from the stream start.
#pragma once

#include <array>
#include <cstdint>

#include "audio/mpeg/l2alloc.h"

// Slots: subband x channels, channels interleaved (slot = 2 sb + ch) for two-channel streams.
inline constexpr int L12MaxSlots = 64;
inline constexpr int L1Blocks = 12;
inline constexpr int L2Blocks = 36;

// Decode codes. Layer I: 1..14 = allocation value (read value + 1 bits); Layer II: 1..17 =
// quantisation class + 1. Adding the shared offset marks a joint-stereo slot pair above the
// bound: one sample read, written to both channels with each channel's scale.
inline constexpr std::uint8_t L1SharedOffset = 15;
inline constexpr std::uint8_t L1EndCode = 30;
inline constexpr std::uint8_t L1LimitCode = 31;
inline constexpr std::uint8_t L2SharedOffset = 18;
inline constexpr std::uint8_t L2EndCode = 36;
inline constexpr std::uint8_t L2LimitCode = 37;

struct L12State {
    // Stream set-up.
    const L2AllocTable* table = nullptr;  // Layer II table of the first frame
    int channels = 1;                     // channels of the first frame
    int limitSubbands = 32;               // subbands decoded (frequency limit and rate)

    // The compiled frame.
    std::array<std::uint8_t, L12MaxSlots + 1> codes{};
    std::array<float, 3 * L12MaxSlots> scales{};  // [third][slot]; Layer I uses third 0
    int skipBits = 0;                             // per block (Layer I) or group of three (II)
    int writtenSlots = 0;  // slots the sample pass writes; those above stay zero

    alignas(64) std::array<float, L2Blocks * L12MaxSlots> blocks{};
};

// Subband limit for a stream: the subbands below the frequency limit, at most 32 >> reduction,
// one fewer when that is more than 8 (the top subband of the full and half rate is left out).
int L12SubbandLimit(int frequencyLimit, int sampleRate, int reduction);

// Resets the compiled frame and the block store for a new stream.
void L12ResetStore(L12State& state);

// Makes sure the slots from `slots` up are zero in the block store before a frame that writes
// only `slots` slots (the layout may shrink between frames).
void L12PrepareSlots(L12State& state, int slots);
