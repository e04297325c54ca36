// Layer II: stream set-up and frame decoding (allocation pass, scale-factor selection, scale
// factors, sample pass, synthesis).
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "audio/mpeg/l2alloc.h"
#include "audio/mpeg/l2frame.h"
#include "audio/mpeg/l2quant.h"
#include "audio/mpeg/layer12.h"
#include "audio/mpeg/state.h"

namespace mpeg {
namespace {

// Bits of one slot per group of three blocks for a class code (1..17).
inline int Layer2SlotBits(int code) {
    const L2QuantClass& c = L2Classes[static_cast<std::size_t>(code - 1)];
    return c.grouped ? c.bits : 3 * c.bits;
}

// Reads allocations, selection information and scale factors; compiles the code list and the
// scales of the three thirds of the frame.
void CompileLayer2(Layer12State& s, BitReader& reader, const L2AllocTable& table, int channels,
                   int bound, int limit) {
    std::uint8_t* codes = s.codes;
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
    std::uint8_t select[L12SlotsPerBlock] = {};
    for (i = 0; i < slots; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        select[i] = static_cast<std::uint8_t>(reader.Read(2));
        if (code > L2SharedOffset) {
            ++i;
            select[i] = static_cast<std::uint8_t>(reader.Read(2));
        }
    }

    // Scale factors: three, two or one per slot as its selection says, giving each third of
    // the frame its own scale.
    const auto readScales = [&](int slot, float factor) {
        std::uint32_t part[3];
        part[0] = reader.Read(6);
        switch (select[slot]) {
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
            s.scales[t][slot] = factor * s.scaleFactors[part[t]];
    };
    int skip = 0;
    for (i = 0; i < slots; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        const bool shared = code > L2SharedOffset;
        const int cls = shared ? code - L2SharedOffset : code;
        const float factor = s.layer2Factors[cls - 1];
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
    out[i + L12SlotsPerBlock] = b * s0;
    out[i + 2 * L12SlotsPerBlock] = c * s0;
    if constexpr (Shared) {
        const float s1 = scales[i + 1];
        out[i + 1] = a * s1;
        out[i + 1 + L12SlotsPerBlock] = b * s1;
        out[i + 1 + 2 * L12SlotsPerBlock] = c * s1;
    }
}

template <bool Shared>
inline void ReadGrouped(BitReader& reader, const std::int8_t (*table)[3], int bits, float* out,
                        const float* scales, int i) {
    const std::int8_t* t = table[reader.Read(bits)];
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

// Runs the code list once: three blocks starting at out, with the scales of one third.
void ReadLayer2Triplet(const Layer12State& s, BitReader& reader, float* out, const float* scales) {
    const std::uint8_t* codes = s.codes;
    for (int i = 0;;) {
        const int code = codes[i];
        switch (code) {
            case 0:
                out[i] = out[i + L12SlotsPerBlock] = out[i + 2 * L12SlotsPerBlock] = 0.0f;
                ++i;
                break;
            case 1:
                ReadGrouped<false>(reader, s.group3, 5, out, scales, i++);
                break;
            case 2:
                ReadGrouped<false>(reader, s.group5, 7, out, scales, i++);
                break;
            case 4:
                ReadGrouped<false>(reader, s.group9, 10, out, scales, i++);
                break;
            case 1 + L2SharedOffset:
                ReadGrouped<true>(reader, s.group3, 5, out, scales, i);
                i += 2;
                break;
            case 2 + L2SharedOffset:
                ReadGrouped<true>(reader, s.group5, 7, out, scales, i);
                i += 2;
                break;
            case 4 + L2SharedOffset:
                ReadGrouped<true>(reader, s.group9, 10, out, scales, i);
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
                    const auto cls = static_cast<std::size_t>(code - L2SharedOffset - 1);
                    ReadPlain<true>(reader, L2Classes[cls].bits, out, scales, i);
                    i += 2;
                }
                break;
        }
    }
}

void ReadLayer2Samples(Layer12State& s, BitReader& reader) {
    for (int t = 0; t < 3; ++t) {
        for (int q = 0; q < 4; ++q) {
            float* out = s.blocks + (t * 12 + q * 3) * L12SlotsPerBlock;
            ReadLayer2Triplet(s, reader, out, s.scales[t]);
        }
    }
}

}  // namespace

int Layer2Start(const FrameInfo& info) {
    Layer12State& s = decoderState.layer12;
    const L2AllocTable* table = L2ChooseAllocTable(info.header);
    s.allocation = table;
    if (table == nullptr) {
        s.synthesis = nullptr;
        return 0;
    }
    Layer12StartStream(info, table->subbands);
    return 1;
}

void Layer2DecodeFrame(const FrameHeader& header, const std::uint8_t* frame, std::uint8_t* out) {
    Layer12State& s = decoderState.layer12;
    const L2AllocTable* table = L2ChooseAllocTable(header);
    const auto* current = static_cast<const L2AllocTable*>(s.allocation);
    const int channels = header.mode == ModeSingleChannel ? 1 : 2;
    if (table != nullptr && current != nullptr && current->subbands * channels == s.slotCount) {
        if (table != current) {
            // The bit rate changed to one of another table: the layout of the slots changes.
            s.allocation = table;
            s.slotCount = table->subbands * channels;
            std::memset(s.blocks, 0, sizeof s.blocks);
        }
        BitReader& reader = decoderState.reader;
        Layer12StartReader(header, frame);
        const int slots = s.slotCount;
        CompileLayer2(s, reader, *table, channels,
                      L12BoundSlots(header.mode, header.modeExtension, slots),
                      std::min(s.subbandLimit, slots));
        ReadLayer2Samples(s, reader);
    } else {
        // The output layout was fixed by the stream's first frame: a frame with another channel
        // count, or one whose bit rate has no table, plays as silence.
        std::memset(s.blocks, 0, sizeof s.blocks);
    }
    s.synthesis(s.blocks, out, L2Blocks);
}

}  // namespace mpeg
