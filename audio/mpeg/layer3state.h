// Module-level state of the Layer III decoder (part of DecoderState).
#pragma once

#include <cstdint>

#include "audio/mpeg/huffman.h"
#include "audio/mpeg/synthesis.h"

namespace mpeg {

// Side information of one granule of one channel.
struct GranuleInfo {
    int part23Length = 0;
    int bigValues = 0;
    int globalGain = 0;
    int scalefacCompress = 0;
    int windowSwitching = 0;
    int blockType = 0;
    int mixedBlock = 0;
    int tableSelect[3] = {};
    int subblockGain[3] = {};
    int region0Count = 0;
    int region1Count = 0;
    int preflag = 0;
    int scalefacScale = 0;
    int count1Table = 0;
};

struct SideInfo {
    int mainDataBegin = 0;
    int privateBits = 0;
    int scfsi[2][4] = {};
    GranuleInfo granule[2][2];  // [granule][channel]
};

struct ScaleFactors {
    std::uint8_t longBands[22] = {};
    std::uint8_t shortBands[13][3] = {};  // [band][window]
};

// What the requantisation learnt about one channel's granule.
struct BandRecord {
    bool isShort = false;  // block type 2
    int blockType = 0;
    int mixed = 0;
    int maxLongBand = -1;                // highest long band holding a non-zero line, -1 for none
    int firstShortBand = 0;              // 0, or 3 for a mixed block
    int longBands = 0;                   // long bands before the short part (mixed block)
    int maxShortBand[3] = {-1, -1, -1};  // per window, -1 for none
};

// Output paths.
inline constexpr int PathFirst = 0;
inline constexpr int PathSecond = 1;
inline constexpr int PathBoth = 2;
inline constexpr int PathMix = 3;

// Tables built by Layer3Init.
struct Layer3Tables {
    bool built = false;
    float imdct36[18][20] = {};  // DCT-IV kernel of the 36-point transform (rows padded)
    // The 36-point transform four subbands at a time: cosines of the even and odd inputs of
    // the 18-point DCT-III it reduces to (each broadcast to four lanes), and the output scales.
    alignas(16) float imdctEven[9][9][4] = {};
    alignas(16) float imdctOdd[9][9][4] = {};
    alignas(32) float imdctEven8[9][9][8] = {};  // the same, eight lanes
    alignas(32) float imdctOdd8[9][9][8] = {};
    float imdctScale[18] = {};
    float imdct12[6][6] = {};  // DCT-IV kernel of the 12-point transform
    float window[4][36] = {};  // normal, start, short (first 12), stop; signs folded in
    float aliasCs[8] = {};
    float aliasCa[8] = {};
    float isRatio[2][8][2] = {};    // MPEG-1: [mid/side on][position][left, right]
    float isLsf[2][32][2] = {};     // MPEG-2: [intensity scale][position][left, right]
    float gain[262] = {};           // 2^((i - 156) / 4)
    float scaleMul[2][4][32] = {};  // 2^(-(s + 1) / 2 * (p + k))
    float subblockGain[8] = {};     // 2^(-2j)
    float pow43Small[64] = {};      // x * |x|^(1/3) for x = -32..31, at index x + 32
    // A pair of values below 16 as x * |x|^(1/3) with their signs: [(x << 4) | y][sign bits of
    // the non-zero ones, x's first][x, y].
    float pairs[256][4][2] = {};
    HuffmanTables huffman;
};

struct Layer3State {
    // Bit reservoir.
    std::uint8_t mainData[8192] = {};
    int fill = 0;
    int mainStart = 0;

    SideInfo side;
    ScaleFactors scalefactors[2][2];  // [granule][channel]
    // Largest scale factor each band's length allows (MPEG-2 intensity positions of the right
    // channel: that value marks an illegal position); 255 where every value is legal.
    std::uint8_t longMax[22] = {};
    std::uint8_t shortMax[13] = {};

    // Spectrum, requantised in place; afterwards the overlap for the next granule.
    alignas(16) float spectrum[2][2][576] = {};  // [channel][granule slot][line]
    int nonZero[2][2] = {};                      // [channel][granule slot]
    BandRecord bands[2];                         // [channel], of the granule being decoded
    // Hybrid output, synthesis input: one block per output channel, so that the synthesis
    // of a two-channel stream runs both channels at once.
    alignas(32) float subbands[2][18 * 32] = {};
    int blockFilled[2] = {};              // per block: subbands that may be non-zero
    alignas(16) float scratch[576] = {};  // short-block reordering
    int slot = 0;                         // MPEG-2/2.5 granule slot toggle

    // Stream set-up.
    int subbandLimit = 0;
    int lineLimit = 0;
    int subbandsProduced = 0;  // (line limit + 17) / 18
    int longEnd = 0;
    int shortEnd = 0;
    int mixedLongBands = 0;
    const std::int16_t* longBounds = nullptr;   // 23 boundaries
    const std::int16_t* shortBounds = nullptr;  // 14 boundaries
    int path = PathFirst;
    Layer3Synthesis synthesis = nullptr;

    Layer3Tables tables;
};

}  // namespace mpeg
