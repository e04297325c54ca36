// Layer I frame decoding: allocation pass, scale factors, sample pass, synthesis.
#include <algorithm>
#include <cstdint>

#include "audio/mpeg/l2frame.h"
#include "audio/mpeg/l2quant.h"
#include "audio/mpeg/layer12.h"

namespace {

// The forbidden allocation value 15 is treated as "not allocated".
inline std::uint8_t Layer1Allocation(std::uint32_t value) {
    return value == 15 ? 0 : static_cast<std::uint8_t>(value);
}

// Reads allocations and scale factors and compiles the code list.
void CompileLayer1(L12State& s, BitReader& reader, int slots, int bound, int limit) {
    std::uint8_t* codes = s.codes.data();
    float* scales = s.scales.data();
    for (int i = 0; i < bound; ++i)
        codes[i] = Layer1Allocation(reader.Read(4));
    for (int i = bound; i < slots; i += 2) {
        const std::uint8_t a = Layer1Allocation(reader.Read(4));
        codes[i] = a == 0 ? 0 : static_cast<std::uint8_t>(a + L1SharedOffset);
        codes[i + 1] = 0;
    }

    int skip = 0;
    for (int i = 0; i < slots; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        if (code < L1SharedOffset) {
            scales[i] = L1StepFactors[code] * L12ScaleFactors[reader.Read(6)];
            if (i >= limit) skip += code + 1;
        } else {
            const float factor = L1StepFactors[code - L1SharedOffset];
            scales[i] = factor * L12ScaleFactors[reader.Read(6)];
            scales[i + 1] = factor * L12ScaleFactors[reader.Read(6)];
            if (i >= limit) skip += code - L1SharedOffset + 1;
            ++i;
        }
    }
    codes[limit] = limit < slots ? L1LimitCode : L1EndCode;
    s.skipBits = skip;
}

inline float Centred(std::uint32_t value, int allocation) {
    return static_cast<float>(static_cast<std::int32_t>(value) - ((1 << allocation) - 1));
}

void ReadLayer1Samples(L12State& s, BitReader& reader) {
    const std::uint8_t* codes = s.codes.data();
    const float* scales = s.scales.data();
    for (int b = 0; b < L1Blocks; ++b) {
        float* out = s.blocks.data() + b * L12MaxSlots;
        for (int i = 0;;) {
            const int code = codes[i];
            if (code == 0) {
                out[i] = 0.0f;
                ++i;
            } else if (code < L1SharedOffset) {
                out[i] = Centred(reader.Read(code + 1), code) * scales[i];
                ++i;
            } else if (code < L1EndCode) {
                const int a = code - L1SharedOffset;
                const float v = Centred(reader.Read(a + 1), a);
                out[i] = v * scales[i];
                out[i + 1] = v * scales[i + 1];
                i += 2;
            } else {
                if (code == L1LimitCode) reader.Skip(s.skipBits);
                break;
            }
        }
    }
}

}  // namespace
