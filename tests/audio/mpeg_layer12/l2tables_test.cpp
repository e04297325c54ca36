// The Layer I/II tables against the standards' published numbers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "audio/mpeg/decoder.h"
#include "audio/mpeg/l2alloc.h"
#include "audio/mpeg/l2quant.h"
#include "audio/mpeg/state.h"

namespace {

using namespace mpeg;

const std::filesystem::path IsoTables = std::filesystem::path(PHRASEBOOK_SHARED_DIR) / "iso-tables";

// The group and its first subband for a subband of a table.
int GroupOf(const L2AllocTable& table, int sb) {
    int first = 0;
    for (int g = 0; g < L2GroupCount; ++g) {
        first += table.groupSubbands[static_cast<std::size_t>(g)];
        if (sb < first) return g;
    }
    return -1;
}

void ExpectTableMatchesFile(const L2AllocTable& table, const char* name) {
    std::ifstream in(IsoTables / name);
    ASSERT_TRUE(in) << name;
    int sblimit = 0;
    in >> sblimit;
    EXPECT_EQ(table.subbands, sblimit) << name;
    int groupTotal = 0;
    for (auto n : table.groupSubbands)
        groupTotal += n;
    EXPECT_EQ(groupTotal, table.subbands) << name;

    int sb, index, steps, bits, group, quant;
    int rows = 0;
    while (in >> sb >> index >> steps >> bits >> group >> quant) {
        ++rows;
        const int g = GroupOf(table, sb);
        ASSERT_GE(g, 0) << name << " sb " << sb;
        const auto gi = static_cast<std::size_t>(g);
        const auto code = table.codes[gi][static_cast<std::size_t>(index)];
        if (index == 0) {
            EXPECT_EQ(bits, L2GroupBits[gi]) << name << " sb " << sb;
            EXPECT_EQ(code, 0) << name << " sb " << sb;
            continue;
        }
        ASSERT_EQ(code, quant + 1) << name << " sb " << sb << " index " << index;
        const L2QuantClass& c = L2Classes[static_cast<std::size_t>(quant)];
        EXPECT_EQ(static_cast<int>(c.steps), steps);
        EXPECT_EQ(static_cast<int>(c.bits), bits);
        EXPECT_EQ(c.grouped, group == 1);
    }
    int expectedRows = 0;
    for (int g = 0; g < L2GroupCount; ++g)
        expectedRows += table.groupSubbands[static_cast<std::size_t>(g)]
                        << L2GroupBits[static_cast<std::size_t>(g)];
    EXPECT_EQ(rows, expectedRows) << name;
}

TEST(Layer2Tables, AllocationTablesMatchTheStandard) {
    if (!std::filesystem::exists(IsoTables)) GTEST_SKIP() << "shared tables absent";
    ExpectTableMatchesFile(L2TableA, "l2_alloc_table3-B.2a__dist10_alloc_0.txt");
    ExpectTableMatchesFile(L2TableB, "l2_alloc_table3-B.2b__dist10_alloc_1.txt");
    ExpectTableMatchesFile(L2TableC, "l2_alloc_table3-B.2c__dist10_alloc_2.txt");
    ExpectTableMatchesFile(L2TableD, "l2_alloc_table3-B.2d__dist10_alloc_3.txt");
    ExpectTableMatchesFile(L2TableLsf, "l2_alloc_13818-3_tableB.1_lsf__dist10_alloc_4.txt");
}

const L2AllocTable* Choose(int version, int mode, int sampleRateIndex, int bitRateIndex) {
    FrameHeader h;
    h.version = version;
    h.layer = 2;
    h.mode = mode;
    h.sampleRateIndex = sampleRateIndex;
    h.bitRateIndex = bitRateIndex;
    return L2ChooseAllocTable(h);
}

TEST(Layer2Tables, TableChoiceFollowsBitRatePerChannel) {
    // Sample-rate index: 0 = 44.1, 1 = 48, 2 = 32 kHz. Mode 3 = single channel.
    // Bit-rate index: 1 = 32, 3 = 56, 4 = 64, 10 = 192, 14 = 384 kbit/s.
    EXPECT_EQ(Choose(1, 0, 0, 10), &L2TableB);  // 96 per channel, 44.1 kHz
    EXPECT_EQ(Choose(1, 0, 1, 10), &L2TableA);  // 96 per channel, 48 kHz
    EXPECT_EQ(Choose(1, 1, 1, 14), &L2TableA);  // 192 per channel, 48 kHz
    EXPECT_EQ(Choose(1, 3, 2, 3), &L2TableA);   // 56 mono, 32 kHz
    EXPECT_EQ(Choose(1, 2, 0, 4), &L2TableC);   // 32 per channel, 44.1 kHz
    EXPECT_EQ(Choose(1, 0, 2, 4), &L2TableD);   // 32 per channel, 32 kHz
    EXPECT_EQ(Choose(1, 3, 2, 1), &L2TableD);   // 32 mono, 32 kHz
    EXPECT_EQ(Choose(1, 3, 0, 14), nullptr);    // 384 mono: no table
    EXPECT_EQ(Choose(1, 0, 0, 1), nullptr);     // 16 per channel: no table
    EXPECT_EQ(Choose(2, 0, 1, 9), &L2TableLsf);
    EXPECT_EQ(Choose(3, 3, 2, 14), &L2TableLsf);
}

using Triple = std::array<int, 3>;

Triple Group(const std::int8_t (*table)[3], int code) {
    return {table[code][0], table[code][1], table[code][2]};
}

TEST(Layer2Tables, GroupingSplitsLeastSignificantFirst) {
    DecoderInit();
    const Layer12State& s = decoderState.layer12;
    // 3 steps: code = s0 + 3 s1 + 9 s2, values centred on 1.
    EXPECT_EQ(Group(s.group3, 0), (Triple{-1, -1, -1}));
    EXPECT_EQ(Group(s.group3, 26), (Triple{1, 1, 1}));
    EXPECT_EQ(Group(s.group3, 5), (Triple{1, 0, -1}));
    EXPECT_EQ(Group(s.group3, 27), (Triple{0, 0, 0}));  // invalid codewords give silence
    EXPECT_EQ(Group(s.group5, 124), (Triple{2, 2, 2}));
    EXPECT_EQ(Group(s.group5, 1 + 5 * 3 + 25 * 4), (Triple{-1, 1, 2}));
    EXPECT_EQ(Group(s.group9, 8 + 9 * 0 + 81 * 4), (Triple{4, -4, 0}));
    EXPECT_EQ(Group(s.group9, 1023), (Triple{0, 0, 0}));
}

}  // namespace
