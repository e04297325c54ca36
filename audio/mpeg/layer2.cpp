// Layer II frame decoding: allocation pass, scale-factor selection, scale factors, sample pass,
// synthesis.
#include <algorithm>
#include <cstdint>

#include "audio/mpeg/l2alloc.h"
#include "audio/mpeg/l2frame.h"
#include "audio/mpeg/l2quant.h"
#include "audio/mpeg/layer12.h"

namespace {

// Per-block (group of three blocks) bits of one slot of a class code.
inline int Layer2SlotBits(int code) {
    const L2QuantClass& c = L2Classes[static_cast<std::size_t>(code - 1)];
    return c.grouped ? c.bits : 3 * c.bits;
}

// Reads allocations, selection information and scale factors; compiles the code list.
void CompileLayer2(L12State& s, BitReader& reader, const L2AllocTable& table, int channels,
                   int bound, int limit) {
    std::uint8_t* codes = s.codes.data();
    const int slots = table.subbands * channels;

    int i = 0;
    for (int g = 0; g < L2GroupCount; ++g) {
        const auto gi = static_cast<std::size_t>(g);
        const int bits = L2GroupBits[gi];
        const auto& map = table.codes[gi];
        for (int k = 0; k < table.groupSubbands[gi]; ++k) {
            if (i < bound) {
                for (int ch = 0; ch < channels; ++ch)
                    codes[i++] = map[reader.Read(bits)];
            } else {
                const std::uint8_t code = map[reader.Read(bits)];
                codes[i] = code == 0 ? 0 : static_cast<std::uint8_t>(code + L2SharedOffset);
                codes[i + 1] = 0;
                i += 2;
            }
        }
    }

    // Scale-factor selection information: one per allocated slot of either channel.
    std::array<std::uint8_t, L12MaxSlots> select{};
    for (i = 0; i < slots; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        select[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(reader.Read(2));
        if (code > L2SharedOffset) {
            ++i;
            select[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(reader.Read(2));
        }
    }

    // Scale factors: three, two or one per slot as the selection says, giving each third of
    // the frame its scale.
    float* scales = s.scales.data();
    const auto readScales = [&](int slot, float factor) {
        std::uint32_t part[3];
        part[0] = reader.Read(6);
        switch (select[static_cast<std::size_t>(slot)]) {
            case 0:
                part[1] = reader.Read(6);
                part[2] = reader.Read(6);
                break;
            case 1:
                part[1] = part[0];
                part[2] = reader.Read(6);
                break;
            case 2:
                part[1] = part[2] = part[0];
                break;
            default:
                part[1] = part[2] = reader.Read(6);
                break;
        }
        for (int t = 0; t < 3; ++t)
            scales[t * L12MaxSlots + slot] = factor * L12ScaleFactors[part[t]];
    };
    int skip = 0;
    for (i = 0; i < slots; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        const bool shared = code > L2SharedOffset;
        const int cls = shared ? code - L2SharedOffset : code;
        const float factor = L2StepFactors[static_cast<std::size_t>(cls - 1)];
        if (i >= limit) skip += Layer2SlotBits(cls);
        readScales(i, factor);
        if (shared) readScales(++i, factor);
    }
    codes[limit] = limit < slots ? L2LimitCode : L2EndCode;
    s.skipBits = skip;
}

// Writes three consecutive samples of one slot (and of its partner when shared).
template <bool Shared>
inline void Put3(float* out, const float* scales, int i, float a, float b, float c) {
    const float s0 = scales[i];
    out[i] = a * s0;
    out[i + L12MaxSlots] = b * s0;
    out[i + 2 * L12MaxSlots] = c * s0;
    if constexpr (Shared) {
        const float s1 = scales[i + 1];
        out[i + 1] = a * s1;
        out[i + 1 + L12MaxSlots] = b * s1;
        out[i + 1 + 2 * L12MaxSlots] = c * s1;
    }
}

template <bool Shared>
inline void ReadGrouped(BitReader& reader, const L2Triple* table, int bits, float* out,
                        const float* scales, int i) {
    const L2Triple& t = table[reader.Read(bits)];
    Put3<Shared>(out, scales, i, t[0], t[1], t[2]);
}

template <bool Shared>
inline void ReadPlain(BitReader& reader, int bits, float* out, const float* scales, int i) {
    const auto centre = static_cast<std::int32_t>((1u << (bits - 1)) - 1);
    const float a = static_cast<float>(static_cast<std::int32_t>(reader.Read(bits)) - centre);
    const float b = static_cast<float>(static_cast<std::int32_t>(reader.Read(bits)) - centre);
    const float c = static_cast<float>(static_cast<std::int32_t>(reader.Read(bits)) - centre);
    Put3<Shared>(out, scales, i, a, b, c);
}

// Runs the code list once: three blocks starting at `out`, with the scales of one third.
void ReadLayer2Triplet(const L12State& s, BitReader& reader, float* out, const float* scales) {
    const std::uint8_t* codes = s.codes.data();
    for (int i = 0;;) {
        const int code = codes[i];
        switch (code) {
            case 0:
                out[i] = out[i + L12MaxSlots] = out[i + 2 * L12MaxSlots] = 0.0f;
                ++i;
                break;
            case 1:
                ReadGrouped<false>(reader, L2Group3.data(), 5, out, scales, i++);
                break;
            case 2:
                ReadGrouped<false>(reader, L2Group5.data(), 7, out, scales, i++);
                break;
            case 4:
                ReadGrouped<false>(reader, L2Group9.data(), 10, out, scales, i++);
                break;
            case 1 + L2SharedOffset:
                ReadGrouped<true>(reader, L2Group3.data(), 5, out, scales, i);
                i += 2;
                break;
            case 2 + L2SharedOffset:
                ReadGrouped<true>(reader, L2Group5.data(), 7, out, scales, i);
                i += 2;
                break;
            case 4 + L2SharedOffset:
                ReadGrouped<true>(reader, L2Group9.data(), 10, out, scales, i);
                i += 2;
                break;
            case L2EndCode:
                return;
            case L2LimitCode:
                reader.Skip(s.skipBits);
                return;
            default:
                if (code < L2SharedOffset) {
                    ReadPlain<false>(reader, L2Classes[static_cast<std::size_t>(code - 1)].bits,
                                     out, scales, i);
                    ++i;
                } else {
                    ReadPlain<true>(
                        reader, L2Classes[static_cast<std::size_t>(code - L2SharedOffset - 1)].bits,
                        out, scales, i);
                    i += 2;
                }
                break;
        }
    }
}

void ReadLayer2Samples(L12State& s, BitReader& reader) {
    for (int t = 0; t < 3; ++t) {
        const float* scales = s.scales.data() + t * L12MaxSlots;
        for (int q = 0; q < 4; ++q)
            ReadLayer2Triplet(s, reader, s.blocks.data() + (t * 12 + q * 3) * L12MaxSlots, scales);
    }
}

}  // namespace
