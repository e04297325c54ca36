#include "audio/mpeg/l2alloc.h"

#include "audio/mpeg/tables.h"

namespace mpeg {

namespace {

// Codes per group, shared by several tables. A code is the quantisation class + 1; the classes
// are 3, 5, 7, 9, 15, 31, ..., 65535 steps.
constexpr std::array<std::uint8_t, 16> HighLow = {0,  1,  3,  5,  6,  7,  8,  9,
                                                  10, 11, 12, 13, 14, 15, 16, 17};
constexpr std::array<std::uint8_t, 16> HighMid = {0, 1, 2,  3,  4,  5,  6,  7,
                                                  8, 9, 10, 11, 12, 13, 14, 17};
constexpr std::array<std::uint8_t, 16> HighUpper = {0, 1, 2, 3, 4, 5, 6, 17};
constexpr std::array<std::uint8_t, 16> HighTop = {0, 1, 2, 17};
constexpr std::array<std::uint8_t, 16> LowLow = {0, 1,  2,  4,  5,  6,  7,  8,
                                                 9, 10, 11, 12, 13, 14, 15, 16};
constexpr std::array<std::uint8_t, 16> LowUpper = {0, 1, 2, 4, 5, 6, 7, 8};
constexpr std::array<std::uint8_t, 16> LsfLow = {0, 1, 2,  3,  4,  5,  6,  7,
                                                 8, 9, 10, 11, 12, 13, 14, 15};
constexpr std::array<std::uint8_t, 16> LsfTop = {0, 1, 2, 4};
constexpr std::array<std::uint8_t, 16> None = {};

}  // namespace

const L2AllocTable L2TableA = {27, {3, 8, 12, 4}, {HighLow, HighMid, HighUpper, HighTop}};
const L2AllocTable L2TableB = {30, {3, 8, 12, 7}, {HighLow, HighMid, HighUpper, HighTop}};
const L2AllocTable L2TableC = {8, {2, 0, 6, 0}, {LowLow, None, LowUpper, None}};
const L2AllocTable L2TableD = {12, {2, 0, 10, 0}, {LowLow, None, LowUpper, None}};
const L2AllocTable L2TableLsf = {30, {4, 0, 7, 19}, {LsfLow, None, LowUpper, LsfTop}};

const L2AllocTable* L2ChooseAllocTable(const FrameHeader& header) {
    if (header.version != 1) return &L2TableLsf;
    if (header.bitRateIndex < 1 || header.bitRateIndex > 14) return nullptr;
    if (header.sampleRateIndex < 0 || header.sampleRateIndex > 2) return nullptr;
    const int total = BitRateKbps[0][1][header.bitRateIndex];
    const int perChannel = header.mode == ModeSingleChannel ? total : total / 2;
    const bool rate32k = header.sampleRateIndex == 2;
    const bool rate48k = header.sampleRateIndex == 1;
    switch (perChannel) {
        case 32:
        case 48:
            return rate32k ? &L2TableD : &L2TableC;
        case 56:
        case 64:
        case 80:
            return &L2TableA;
        case 96:
        case 112:
        case 128:
        case 160:
        case 192:
            return rate48k ? &L2TableA : &L2TableB;
        default:
            return nullptr;
    }
}

}  // namespace mpeg
