// Layer III main data: the scale factors and the Huffman-coded frequency lines of one channel.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/mpeg/layer3stages.h"
#include "audio/mpeg/state.h"

namespace mpeg {
namespace {

constexpr std::uint8_t slen1Table[16] = {0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4};
constexpr std::uint8_t slen2Table[16] = {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3};

bool IsShortBlock(const GranuleInfo& g) {
    return g.windowSwitching && g.blockType == 2;
}

void ReadScaleFactorsMpeg1(int gr, int ch) {
    Layer3State& l3 = decoderState.layer3;
    BitReader& r = decoderState.reader;
    const GranuleInfo& g = l3.side.granule[gr][ch];
    ScaleFactors& sf = l3.scalefactors[gr][ch];
    int slen1 = slen1Table[g.scalefacCompress & 15];
    int slen2 = slen2Table[g.scalefacCompress & 15];
    if (IsShortBlock(g)) {
        int firstShort = 0;
        if (g.mixedBlock) {
            for (int sfb = 0; sfb < 8; ++sfb)
                sf.longBands[sfb] = static_cast<std::uint8_t>(r.Read(slen1));
            firstShort = 3;
        }
        for (int sfb = firstShort; sfb < 12; ++sfb) {
            int slen = sfb < 6 ? slen1 : slen2;
            for (int w = 0; w < 3; ++w)
                sf.shortBands[sfb][w] = static_cast<std::uint8_t>(r.Read(slen));
        }
        for (int w = 0; w < 3; ++w)
            sf.shortBands[12][w] = 0;
        return;
    }
    static constexpr int groupStart[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; ++group) {
        int slen = group < 2 ? slen1 : slen2;
        bool reuse = gr == 1 && l3.side.scfsi[ch][group];
        for (int sfb = groupStart[group]; sfb < groupStart[group + 1]; ++sfb) {
            sf.longBands[sfb] = reuse ? l3.scalefactors[0][ch].longBands[sfb]
                                      : static_cast<std::uint8_t>(r.Read(slen));
        }
    }
    sf.longBands[21] = 0;
}

// Number of scale factors per partition by [table][block kind: long, short, mixed][partition].
constexpr std::uint8_t partitionSizes[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

void ReadScaleFactorsMpeg2(int gr, int ch, bool intensityRight) {
    Layer3State& l3 = decoderState.layer3;
    BitReader& r = decoderState.reader;
    GranuleInfo& g = l3.side.granule[gr][ch];
    ScaleFactors& sf = l3.scalefactors[gr][ch];
    int sfc = g.scalefacCompress;
    int slen[4] = {};
    int table = 0;
    g.preflag = 0;
    if (!intensityRight) {
        if (sfc < 400) {
            slen[0] = (sfc >> 4) / 5;
            slen[1] = (sfc >> 4) % 5;
            slen[2] = (sfc % 16) >> 2;
            slen[3] = sfc % 4;
            table = 0;
        } else if (sfc < 500) {
            slen[0] = ((sfc - 400) >> 2) / 5;
            slen[1] = ((sfc - 400) >> 2) % 5;
            slen[2] = (sfc - 400) % 4;
            table = 1;
        } else {
            slen[0] = (sfc - 500) / 3;
            slen[1] = (sfc - 500) % 3;
            g.preflag = 1;
            table = 2;
        }
    } else {
        int isc = sfc >> 1;
        if (isc < 180) {
            slen[0] = isc / 36;
            slen[1] = (isc % 36) / 6;
            slen[2] = (isc % 36) % 6;
            table = 3;
        } else if (isc < 244) {
            slen[0] = ((isc - 180) % 64) >> 4;
            slen[1] = ((isc - 180) % 16) >> 2;
            slen[2] = (isc - 180) % 4;
            table = 4;
        } else {
            slen[0] = (isc - 244) / 3;
            slen[1] = (isc - 244) % 3;
            table = 5;
        }
    }
    int kind = IsShortBlock(g) ? (g.mixedBlock ? 2 : 1) : 0;
    std::uint8_t values[54] = {};
    std::uint8_t limits[54] = {};
    int count = 0;
    for (int part = 0; part < 4; ++part) {
        int n = partitionSizes[table][kind][part];
        // A length of zero gives scale factors (and intensity positions) of zero, all legal.
        std::uint8_t limit = slen[part] ? static_cast<std::uint8_t>((1 << slen[part]) - 1) : 255;
        for (int i = 0; i < n && count < 54; ++i, ++count) {
            values[count] = static_cast<std::uint8_t>(r.Read(slen[part]));
            limits[count] = limit;
        }
    }
    sf = ScaleFactors{};
    std::memset(l3.longMax, 255, sizeof l3.longMax);
    std::memset(l3.shortMax, 255, sizeof l3.shortMax);
    int k = 0;
    if (kind == 0) {
        for (int sfb = 0; sfb < 21 && k < count; ++sfb, ++k) {
            sf.longBands[sfb] = values[k];
            l3.longMax[sfb] = limits[k];
        }
        return;
    }
    int firstShort = 0;
    if (kind == 2) {
        for (int sfb = 0; sfb < 6 && k < count; ++sfb, ++k) {
            sf.longBands[sfb] = values[k];
            l3.longMax[sfb] = limits[k];
        }
        firstShort = 3;
    }
    for (int sfb = firstShort; sfb < 12; ++sfb) {
        for (int w = 0; w < 3 && k < count; ++w, ++k) {
            sf.shortBands[sfb][w] = values[k];
            l3.shortMax[sfb] = limits[k];
        }
    }
}

// The four lines of a quadruple: [vwxy][sign bits of its non-zero values, first in the top bit].
struct QuadTable {
    float lines[16][16][4] = {};
    int signCount[16] = {};
    constexpr QuadTable() {
        for (int v = 0; v < 16; ++v) {
            int count = (v & 1) + ((v >> 1) & 1) + ((v >> 2) & 1) + (v >> 3);
            signCount[v] = count;
            for (int signs = 0; signs < (1 << count); ++signs) {
                int next = count - 1;
                for (int k = 0; k < 4; ++k) {
                    if ((v >> (3 - k)) & 1) {
                        lines[v][signs][k] = (signs >> next) & 1 ? -1.0f : 1.0f;
                        --next;
                    }
                }
            }
        }
    }
};
constexpr QuadTable quadTable;

// One big-value pair's table entry, its code bits consumed: level by level down the lookup
// table from root. The caller has topped the reader up with enough bits for the longest code.
inline std::uint16_t DecodePair(BitReader& r, const std::uint16_t* root, int rootWidth) {
    std::uint16_t e = root[1 + r.PeekLoaded(rootWidth)];
    if (e & HuffmanLink) {
        r.DropLoaded(rootWidth);
        const std::uint16_t* level = root + (e & 0x7FFF);
        e = level[1 + r.PeekLoaded(level[0])];
        while (e & HuffmanLink) {
            r.DropLoaded(level[0]);
            level = root + (e & 0x7FFF);
            e = level[1 + r.PeekLoaded(level[0])];
        }
    }
    r.DropLoaded((e >> 8) & 15);
    return e;
}

// A Huffman value as x * |x|^(1/3), the form the requantisation scales.
inline float Power43(int magnitude, bool negative, const float* small) {
    float p = magnitude < 32
                  ? small[magnitude + 32]
                  : static_cast<float>(magnitude) * std::cbrt(static_cast<float>(magnitude));
    return negative ? -p : p;
}

// Huffman pairs of lines [from, to) with table d, stored as x * |x|^(1/3); stops early past
// the end mark.
void DecodePairs(const HuffmanDescriptor& d, float* xr, int from, int to) {
    if (d.kind == 0 || d.lookup == nullptr) {
        for (int i = from; i < to; ++i)
            xr[i] = 0.0f;
        return;
    }
    // A copy of the reader, so that its fields stay in registers through the loop.
    BitReader r = decoderState.reader;
    const int linbits = d.linbits;
    const std::uint16_t* root = d.lookup;
    const int rootWidth = root[0];
    const float* small = decoderState.layer3.tables.pow43Small;
    const auto& pairs = decoderState.layer3.tables.pairs;
    int i = from;
    if (linbits == 0) {
        // Without linbits a pair is at most 19 code bits and 2 sign bits: one top-up covers it.
        // The reader only moves on when it loads, so the end mark is checked after loads.
        bool past = r.PastEnd();
        for (; i < to && !past; i += 2) {
            if (r.ValidBits() < 21) {
                r.Ensure(21);
                if (r.PastEnd()) break;
            }
            const std::uint16_t e = DecodePair(r, root, rootWidth);
            const float* pair = pairs[e & 0xFF][r.ReadLoaded((e >> 12) & 3)];
            xr[i] = pair[0];
            xr[i + 1] = pair[1];
        }
    } else {
        for (; i < to; i += 2) {
            if (r.PastEnd()) break;
            r.Ensure(21);
            const std::uint16_t e = DecodePair(r, root, rootWidth);
            int x = (e >> 4) & 15;
            int y = e & 15;
            if (x == 15) x += static_cast<int>(r.Read(linbits));
            bool xNegative = x && r.Read(1);
            if (y == 15) y += static_cast<int>(r.Read(linbits));
            bool yNegative = y && r.Read(1);
            xr[i] = Power43(x, xNegative, small);
            xr[i + 1] = Power43(y, yNegative, small);
        }
    }
    decoderState.reader = r;
    for (; i < to; ++i)
        xr[i] = 0.0f;
}

}  // namespace

void DecodeChannelSpectrum(const FrameHeader& h, int gr, int ch, int slot, int bitOffset,
                           bool intensityRight) {
    Layer3State& l3 = decoderState.layer3;
    BitReader& r = decoderState.reader;
    GranuleInfo& g = l3.side.granule[gr][ch];
    float* xr = l3.spectrum[ch][slot];

    int byte = bitOffset >> 3;
    if (byte < l3.fill) {
        r.Start(l3.mainData + byte, l3.fill - byte);
    } else {
        r.Start(l3.mainData, 0);
    }
    int startBit = bitOffset & 7;
    r.Skip(startBit);
    int endBit = startBit + g.part23Length;
    r.SetEndMark((endBit + 7) / 8 + 4);

    if (h.version == 1) {
        ReadScaleFactorsMpeg1(gr, ch);
    } else {
        ReadScaleFactorsMpeg2(gr, ch, intensityRight);
    }

    // Big values in up to three regions.
    const std::int16_t* bounds = l3.longBounds;
    int bigEnd = std::min(2 * g.bigValues, l3.lineLimit);
    int region1 = bounds[std::min(g.region0Count + 1, 22)];
    int region2 = bounds[std::min(g.region0Count + g.region1Count + 2, 22)];
    region1 = std::min(region1, bigEnd);
    region2 = std::min(std::max(region2, region1), bigEnd);
    const HuffmanDescriptor* big = l3.tables.huffman.big;
    DecodePairs(big[g.tableSelect[0]], xr, 0, region1);
    DecodePairs(big[g.tableSelect[1]], xr, region1, region2);
    DecodePairs(big[g.tableSelect[2]], xr, region2, bigEnd);

    // Quadruples up to the end of part 3, with a copy of the reader kept in registers.
    BitReader q4 = r;
    int i = bigEnd;
    int nonZero = bigEnd;
    int nonZeroBefore = bigEnd;
    const std::uint8_t* quadA = l3.tables.huffman.quadA;
    while (i < l3.lineLimit) {
        int remaining = endBit - q4.BitsUsed();
        int v;
        // A quadruple is at most 6 code bits and 4 sign bits: one top-up covers it.
        q4.Ensure(10);
        if (g.count1Table == 0) {
            if (remaining < 1) break;
            std::uint8_t e = quadA[q4.PeekLoaded(6)];
            q4.DropLoaded(e >> 4);
            v = e & 15;
        } else {
            if (remaining < 4) break;
            v = static_cast<int>(~q4.ReadLoaded(4) & 15u);
        }
        if (q4.PastEnd()) break;
        const float* q = quadTable.lines[v][q4.ReadLoaded(quadTable.signCount[v])];
        if (i + 4 <= 576) {
            std::memcpy(xr + i, q, 4 * sizeof(float));
        } else {
            // A quadruple may straddle line 576 when the whole spectrum is decoded.
            for (int k = 0; i + k < 576; ++k)
                xr[i + k] = q[k];
        }
        nonZeroBefore = nonZero;
        if (v & 3) {
            nonZero = i + 4;
        } else if (v) {
            nonZero = i + 2;
        }
        i += 4;
    }
    r = q4;
    if (endBit - r.BitsUsed() < 0 && i > bigEnd) {
        // Part 3 ran over its length: the last quadruple is not part of it.
        i -= 4;
        for (int k = 0; k < 4 && i + k < 576; ++k)
            xr[i + k] = 0.0f;
        nonZero = nonZeroBefore;
    }
    int end = IsShortBlock(g) ? l3.shortEnd : l3.longEnd;
    nonZero = std::min(nonZero, end);
    if (r.PastEnd()) nonZero = 0;
    std::memset(xr + nonZero, 0, sizeof(float) * static_cast<std::size_t>(576 - nonZero));
    l3.nonZero[ch][slot] = nonZero;
}

}  // namespace mpeg
