// Builds the Layer I/II requantisation tables of the decoder state.
#include "audio/mpeg/l2quant.h"

#include <cmath>
#include <cstddef>

#include "audio/mpeg/layer12.h"
#include "audio/mpeg/state.h"

namespace mpeg {
namespace {

// Splits every codeword of a grouped class into its three centred values, first sample in the
// least significant position. Codewords past steps^3 - 1 are invalid and give three zeros.
template <std::size_t Size>
void BuildGroupTable(std::int8_t (&table)[Size][3], int steps) {
    const int valid = steps * steps * steps;
    for (int code = 0; code < static_cast<int>(Size); ++code) {
        int rest = code;
        for (int i = 0; i < 3; ++i) {
            table[code][i] = static_cast<std::int8_t>(code < valid ? rest % steps - steps / 2 : 0);
            rest /= steps;
        }
    }
}

}  // namespace

void Layer12Init() {
    Layer12State& s = decoderState.layer12;
    // Scale factor index i -> 2^(-i/3) x 65536; index 63, unused by the standard, continues
    // the series.
    for (int i = 0; i < 64; ++i)
        s.scaleFactors[i] = static_cast<float>(65536.0 * std::exp2(-i / 3.0));
    // Layer I: allocation n reads n + 1 bits; 2^nb / (2^nb - 1) x 2^(1 - nb) = 2 / (2^nb - 1).
    // The forbidden allocation 15 decodes as "not allocated".
    s.layer1Factors[0] = 0.0f;
    s.layer1Factors[15] = 0.0f;
    for (int n = 1; n < 15; ++n)
        s.layer1Factors[n] = static_cast<float>(2.0 / ((2 << n) - 1));
    for (int k = 0; k < L2ClassCount; ++k)
        s.layer2Factors[k] = static_cast<float>(2.0 / L2Classes[static_cast<std::size_t>(k)].steps);
    BuildGroupTable(s.group3, 3);
    BuildGroupTable(s.group5, 5);
    BuildGroupTable(s.group9, 9);
}

}  // namespace mpeg
