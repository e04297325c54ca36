// The Layer II bit-allocation tables of MPEG-1 (four tables) and of the lower sample rates (one
// table), and the rule that picks one for a stream.
//
// A table is stored by allocation group: the subbands of a table fall into four consecutive
// groups that read 4, 4, 3 and 2 allocation bits, and each group maps an allocation value to a
// decode code (0 = not allocated, otherwise the quantisation class + 1).
#pragma once

#include <array>
#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

inline constexpr int L2GroupCount = 4;
inline constexpr std::array<std::uint8_t, L2GroupCount> L2GroupBits = {4, 4, 3, 2};

struct L2AllocTable {
    std::uint8_t subbands;                                         // subbands that carry data
    std::array<std::uint8_t, L2GroupCount> groupSubbands;          // consecutive, sum = subbands
    std::array<std::array<std::uint8_t, 16>, L2GroupCount> codes;  // allocation value -> code
};

// The four MPEG-1 tables (in the order the standard labels them a, b, c, d) and the table of
// the lower sample rates.
extern const L2AllocTable L2TableA;
extern const L2AllocTable L2TableB;
extern const L2AllocTable L2TableC;
extern const L2AllocTable L2TableD;
extern const L2AllocTable L2TableLsf;

// The table for a frame: MPEG-1 by sample rate and the bit rate per channel (the total for a
// single channel, half of it otherwise); MPEG-2 and MPEG-2.5 always use the lower-rate table.
// nullptr for a combination that has no table (e.g. a single channel above 192 kbit/s).
const L2AllocTable* L2ChooseAllocTable(const FrameHeader& header);

}  // namespace mpeg
