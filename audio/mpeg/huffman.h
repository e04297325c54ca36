// Layer III Huffman lookup tables, built from the standard's code tables at start.
#pragma once

#include <cstdint>

namespace mpeg {

// Descriptor of one big-value table. kind 0: the region decodes as zeros; 1: one lookup level;
// 2: several levels; 3: several levels and linbits.
struct HuffmanDescriptor {
    const std::uint16_t* lookup = nullptr;
    int linbits = 0;
    int kind = 0;
};

// A lookup level is a header entry holding the level's width w followed by 2^w entries. An
// entry is a leaf (bit 15 clear: the number of non-zero values among x and y in bits 12..13,
// code length within this level in bits 8..11, x in bits 4..7, y in bits 0..3) or a link (bit
// 15 set: offset of the next level from this level's header).
inline constexpr std::uint16_t HuffmanLink = 0x8000;

struct HuffmanTables {
    HuffmanDescriptor big[32];
    std::uint16_t storage[16384] = {};  // all lookup levels
    int used = 0;
    std::uint8_t quadA[64] = {};  // (code length << 4) | vwxy, indexed by 6 peeked bits
};

// Builds every table into tables (called by Layer3Init).
void BuildHuffmanTables(HuffmanTables& tables);

}  // namespace mpeg
