#include "audio/mpeg/huffman.h"

#include <vector>

#include "audio/mpeg/tables.h"

namespace mpeg {
namespace {

struct Code {
    int length;
    std::uint32_t bits;
    int value;  // (x << 4) | y
};

// First-level widths by table (0 for the tables without codes).
constexpr int firstWidth[32] = {0, 3, 6, 6, 0, 8, 7, 6, 8, 6, 8, 8, 7, 6, 0, 8,
                                8, 8, 8, 8, 8, 8, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9};
constexpr int kindOf[32] = {0, 1, 1, 1, 0, 1, 1, 2, 2, 2, 2, 2, 2, 2, 0, 2,
                            3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
constexpr int maxSubWidth = 8;

// Builds one level for the codes whose first depth bits are consumed; returns its offset from
// root (the first entry of the table being built).
int BuildLevel(HuffmanTables& t, int root, const std::vector<Code>& codes, int depth, int width) {
    int level = t.used;
    t.used += 1 + (1 << width);
    t.storage[level] = static_cast<std::uint16_t>(width);
    for (int v = 0; v < (1 << width); ++v) {
        std::vector<Code> longer;
        int maxRemaining = 0;
        for (const Code& c : codes) {
            int remaining = c.length - depth;
            if (remaining <= width) {
                // A code that ends within this level fills every entry that starts with it.
                std::uint32_t prefix = c.bits & ((1u << remaining) - 1u);
                if ((static_cast<std::uint32_t>(v) >> (width - remaining)) == prefix) {
                    int nonZero = ((c.value >> 4) != 0) + ((c.value & 15) != 0);
                    t.storage[level + 1 + v] =
                        static_cast<std::uint16_t>((nonZero << 12) | (remaining << 8) | c.value);
                }
            } else {
                std::uint32_t head = (c.bits >> (remaining - width)) & ((1u << width) - 1u);
                if (head == static_cast<std::uint32_t>(v)) {
                    longer.push_back(c);
                    if (remaining - width > maxRemaining) maxRemaining = remaining - width;
                }
            }
        }
        if (!longer.empty()) {
            int sub = maxRemaining < maxSubWidth ? maxRemaining : maxSubWidth;
            int offset = BuildLevel(t, root, longer, depth + width, sub);
            t.storage[level + 1 + v] = static_cast<std::uint16_t>(HuffmanLink | (offset - root));
        }
    }
    return level;
}

}  // namespace

void BuildHuffmanTables(HuffmanTables& t) {
    t.used = 0;
    const std::uint16_t* built[32] = {};
    for (int n = 0; n < 32; ++n) {
        const HuffmanSource& source = HuffmanSources[n];
        t.big[n].linbits = source.linbits;
        t.big[n].kind = kindOf[n];
        if (source.codes == nullptr) {
            t.big[n].lookup = nullptr;
            continue;
        }
        // Tables 17..23 and 25..31 share the lookup of 16 and 24.
        int shared = n >= 17 && n <= 23 ? 16 : n >= 25 ? 24 : n;
        if (built[shared] == nullptr) {
            std::vector<Code> codes;
            for (int x = 0; x < source.size; ++x) {
                for (int y = 0; y < source.size; ++y) {
                    const HuffmanCode& c = source.codes[x * source.size + y];
                    codes.push_back({c.length, c.code, (x << 4) | y});
                }
            }
            int root = t.used;
            BuildLevel(t, root, codes, 0, firstWidth[n]);
            built[shared] = t.storage + root;
        }
        t.big[n].lookup = built[shared];
    }
    for (int v = 0; v < 64; ++v) {
        for (int value = 0; value < 16; ++value) {
            const HuffmanCode& c = HuffmanCodesA[value];
            if ((static_cast<std::uint32_t>(v) >> (6 - c.length)) == c.code) {
                t.quadA[v] = static_cast<std::uint8_t>((c.length << 4) | value);
            }
        }
    }
}

}  // namespace mpeg
