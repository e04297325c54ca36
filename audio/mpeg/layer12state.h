// Module-level state of the Layer I and II decoders (part of DecoderState).
#pragma once

#include <cstdint>

#include "audio/mpeg/synthesis.h"

namespace mpeg {

struct Layer12State {
    // Stream set-up.
    int slotCount = 0;     // 32 for one channel, 64 for two (Layer II: table subbands, doubled)
    int subbandLimit = 0;  // slots actually decoded
    int skipBits = 0;      // sample bits per block of the slots at or above the limit
    const void* allocation = nullptr;  // the chosen Layer II allocation table
    Layer12Synthesis synthesis = nullptr;

    // Per frame.
    std::uint8_t codes[68] = {};  // one decode code per slot, then the limit and end codes
    float scales[3][64] = {};     // per third of the frame (Layer I uses the first) and slot
    float blocks[36 * 64] = {};   // the block store the synthesis consumes

    // Tables built by Layer12Init.
    float layer1Factors[16] = {};
    float layer2Factors[17] = {};
    float scaleFactors[64] = {};
    std::int8_t group3[32][3] = {};
    std::int8_t group5[128][3] = {};
    std::int8_t group9[1024][3] = {};
};

}  // namespace mpeg
