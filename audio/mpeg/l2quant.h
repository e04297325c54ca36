// The Layer II quantisation classes. The requantisation tables built from them (scale factors,
// step factors, grouping) live in the decoder state and are built by Layer12Init.
//
// Requantised values are ready for output in the 16-bit range: a sample is its centred code
// times the step factor (2 / steps) times the scale factor (2^(-i/3) x 65536).
#pragma once

#include <array>
#include <cstdint>

namespace mpeg {

// One Layer II quantisation class.
struct L2QuantClass {
    std::uint32_t steps;  // number of quantisation steps
    std::uint8_t bits;    // bits per codeword: per three samples when grouped, else per sample
    bool grouped;         // three samples share one codeword
};

inline constexpr int L2ClassCount = 17;

inline constexpr std::array<L2QuantClass, L2ClassCount> L2Classes = {{
    {3, 5, true},
    {5, 7, true},
    {7, 3, false},
    {9, 10, true},
    {15, 4, false},
    {31, 5, false},
    {63, 6, false},
    {127, 7, false},
    {255, 8, false},
    {511, 9, false},
    {1023, 10, false},
    {2047, 11, false},
    {4095, 12, false},
    {8191, 13, false},
    {16383, 14, false},
    {32767, 15, false},
    {65535, 16, false},
}};

}  // namespace mpeg
