#include "audio/mpeg/l2quant.h"

#include <cstddef>

namespace {

template <std::size_t Size>
constexpr std::array<L2Triple, Size> MakeGroupTable(int steps) {
    std::array<L2Triple, Size> table{};
    const int valid = steps * steps * steps;
    const int centre = steps / 2;
    for (int code = 0; code < valid; ++code) {
        int rest = code;
        for (int i = 0; i < 3; ++i) {
            table[static_cast<std::size_t>(code)][static_cast<std::size_t>(i)] =
                static_cast<float>(rest % steps - centre);
            rest /= steps;
        }
    }
    return table;
}

constexpr std::array<float, 64> MakeScaleFactors() {
    // 2^0, 2^(-1/3), 2^(-2/3)
    constexpr double thirds[3] = {1.0, 0.79370052598409973737585281963615,
                                  0.62996052494743658238360530363911};
    std::array<float, 64> table{};
    for (int i = 0; i < 64; ++i) {
        double value = 65536.0 * thirds[i % 3];
        for (int k = 0; k < i / 3; ++k)
            value *= 0.5;
        table[static_cast<std::size_t>(i)] = static_cast<float>(value);
    }
    return table;
}

constexpr std::array<float, 16> MakeLayer1Factors() {
    std::array<float, 16> table{};
    for (int n = 1; n < 15; ++n)
        table[static_cast<std::size_t>(n)] = static_cast<float>(2.0 / ((2 << n) - 1));
    return table;
}

}  // namespace

const std::array<L2QuantClass, L2ClassCount> L2Classes = {{
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

const std::array<float, 64> L12ScaleFactors = MakeScaleFactors();

const std::array<float, 16> L1StepFactors = MakeLayer1Factors();

const std::array<float, L2ClassCount> L2StepFactors = [] {
    std::array<float, L2ClassCount> table{};
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<float>(2.0 / L2Classes[k].steps);
    return table;
}();

const std::array<L2Triple, 32> L2Group3 = MakeGroupTable<32>(3);
const std::array<L2Triple, 128> L2Group5 = MakeGroupTable<128>(5);
const std::array<L2Triple, 1024> L2Group9 = MakeGroupTable<1024>(9);
