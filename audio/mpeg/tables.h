// The standards' numeric tables (ISO/IEC 11172-3 and 13818-3) that the decoder carries.
#pragma once

#include <cstdint>

namespace mpeg {

// Bit rates in kbit/s by [0 MPEG-1, 1 MPEG-2 and 2.5][layer - 1][bit-rate index]; 0 for the
// free-format and forbidden indices.
extern const std::int16_t BitRateKbps[2][3][16];

// Sample rates in Hz by [version - 1][sample-rate index 0..2].
extern const std::int32_t SampleRateHz[3][3];

// Layer III scale-factor band boundaries by [(version - 1) * 3 + sample-rate index]: the first
// line of each band and the closing line (576 long, 192 per short window).
extern const std::int16_t LongBandBounds[9][23];
extern const std::int16_t ShortBandBounds[9][14];

// Layer III pre-emphasis added to the long-band scale factors when preflag is set.
extern const std::uint8_t Pretab[22];

// Layer III alias-reduction coefficients c(i).
extern const float AliasC[8];

struct HuffmanCode {
    std::uint8_t length;
    std::uint32_t code;  // the code's bits, first transmitted bit most significant
};

// A big-value code table: size x size codes in row-major (x, y) order, or none.
struct HuffmanSource {
    const HuffmanCode* codes;
    int size;
    int linbits;
};

extern const HuffmanSource HuffmanSources[32];
extern const HuffmanCode HuffmanCodesA[16];  // quadruple table A by 8v + 4w + 2x + y
extern const HuffmanCode HuffmanCodesB[16];

}  // namespace mpeg
