// Requantisation tables of Layers I and II: the scale factors, the per-class step factors, the
// Layer II quantisation classes and the grouping tables that split one codeword into three
// sample values.
//
// All values are ready for output in the 16-bit range: a sample is its centred code times the
// step factor times the scale factor.
#pragma once

#include <array>
#include <cstdint>

// One Layer II quantisation class.
struct L2QuantClass {
    std::uint32_t steps;  // number of quantisation steps
    std::uint8_t bits;    // bits per codeword: per three samples when grouped, else per sample
    bool grouped;         // three samples share one codeword
};

inline constexpr int L2ClassCount = 17;
extern const std::array<L2QuantClass, L2ClassCount> L2Classes;

// Scale factor index (6 bits) -> 2^(-i/3) x 65536. Index 63, which the standard leaves unused,
// continues the series.
extern const std::array<float, 64> L12ScaleFactors;

// Layer I: allocation value n (1..14) -> 2 / (2^(n+1) - 1); 0 and the forbidden 15 give 0.
extern const std::array<float, 16> L1StepFactors;

// Layer II: class -> 2 / steps.
extern const std::array<float, L2ClassCount> L2StepFactors;

// Grouping: a 5-, 7- or 10-bit codeword -> its three sample values, first sample first, each
// centred (-1..1, -2..2, -4..4). Codewords beyond the last valid one (27, 125, 729 and up) give
// three zeros.
using L2Triple = std::array<float, 3>;
extern const std::array<L2Triple, 32> L2Group3;
extern const std::array<L2Triple, 128> L2Group5;
extern const std::array<L2Triple, 1024> L2Group9;
