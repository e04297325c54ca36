// The final conversion of synthesised samples (in the 16-bit range) to PCM.
#pragma once

#include <cstdint>

namespace mpeg {

// Truncated toward zero and clipped to the 16-bit range.
// Clipping first to the integer limits and then truncating gives the same result and compiles
// to branch-free vector code.
inline std::int16_t ToPcm16(float v) {
    float c = v < -32768.0f ? -32768.0f : v;
    c = c > 32767.0f ? 32767.0f : c;
    return static_cast<std::int16_t>(static_cast<int>(c));
}

// The 16-bit value's high byte with the sign bit inverted (silence is 128).
inline std::uint8_t ToPcm8(float v) {
    int s = ToPcm16(v);
    return static_cast<std::uint8_t>(((s >> 8) ^ 0x80) & 0xFF);
}

}  // namespace mpeg
