// The final conversion of synthesised samples (in the 16-bit range) to PCM.
#pragma once

#include <cstdint>

namespace mpeg {

// Truncated toward zero and clipped to the 16-bit range.
inline std::int16_t ToPcm16(float v) {
    if (v > -32768.0f && v < 32767.0f) return static_cast<std::int16_t>(static_cast<int>(v));
    return v >= 32767.0f ? std::int16_t{32767} : std::int16_t{-32768};
}

// The 16-bit value's high byte with the sign bit inverted (silence is 128).
inline std::uint8_t ToPcm8(float v) {
    int s = ToPcm16(v);
    return static_cast<std::uint8_t>(((s >> 8) ^ 0x80) & 0xFF);
}

}  // namespace mpeg
