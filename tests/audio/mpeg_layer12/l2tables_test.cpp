// The Layer I/II tables against the standards' published numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "audio/mpeg/l2alloc.h"
#include "audio/mpeg/l2quant.h"

namespace {

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

TEST(Layer2Tables, TableChoiceFollowsBitRatePerChannel) {
    // Sample-rate index: 0 = 44.1, 1 = 48, 2 = 32 kHz. Mode 3 = single channel.
    // Bit-rate index: 3 = 56, 4 = 64, 10 = 192, 14 = 384 kbit/s.
    EXPECT_EQ(L2ChooseAllocTable(1, 0, 0, 10), &L2TableB);  // 96 per channel, 44.1 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 0, 1, 10), &L2TableA);  // 96 per channel, 48 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 1, 1, 14), &L2TableA);  // 192 per channel, 48 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 3, 2, 3), &L2TableA);   // 56 mono, 32 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 2, 0, 4), &L2TableC);   // 32 per channel, 44.1 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 0, 2, 4), &L2TableD);   // 32 per channel, 32 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 3, 2, 1), &L2TableD);   // 32 mono, 32 kHz
    EXPECT_EQ(L2ChooseAllocTable(1, 3, 0, 14), nullptr);    // 384 mono: no table
    EXPECT_EQ(L2ChooseAllocTable(1, 0, 0, 1), nullptr);     // 16 per channel: no table
    EXPECT_EQ(L2ChooseAllocTable(1, 0, 0, 0), nullptr);     // free format
    EXPECT_EQ(L2ChooseAllocTable(2, 0, 1, 9), &L2TableLsf);
    EXPECT_EQ(L2ChooseAllocTable(3, 3, 2, 14), &L2TableLsf);
}

TEST(Layer2Tables, GroupingSplitsLeastSignificantFirst) {
    // 3 steps: code = s0 + 3 s1 + 9 s2, values centred on 1.
    EXPECT_EQ(L2Group3[0], (L2Triple{-1, -1, -1}));
    EXPECT_EQ(L2Group3[26], (L2Triple{1, 1, 1}));
    EXPECT_EQ(L2Group3[5], (L2Triple{1, 0, -1}));
    EXPECT_EQ(L2Group3[27], (L2Triple{0, 0, 0}));
    EXPECT_EQ(L2Group5[124], (L2Triple{2, 2, 2}));
    EXPECT_EQ(L2Group5[1 + 5 * 3 + 25 * 4], (L2Triple{-1, 1, 2}));
    EXPECT_EQ(L2Group9[8 + 9 * 0 + 81 * 4], (L2Triple{4, -4, 0}));
    EXPECT_EQ(L2Group9[1023], (L2Triple{0, 0, 0}));
}

TEST(Layer2Tables, FactorsMatchTheRequantisationFormulas) {
    // Scale factors: 2.0 x 32768 at index 0, one third of an octave per step.
    EXPECT_FLOAT_EQ(L12ScaleFactors[0], 65536.0f);
    EXPECT_FLOAT_EQ(L12ScaleFactors[3], 32768.0f);
    EXPECT_NEAR(L12ScaleFactors[1], 65536.0 * std::pow(2.0, -1.0 / 3.0), 1e-2);
    EXPECT_NEAR(L12ScaleFactors[62], 65536.0 * std::pow(2.0, -62.0 / 3.0), 1e-6);
    // Layer I: nb = n + 1 bits, 2^nb / (2^nb - 1) x 2^(1 - nb) = 2 / (2^nb - 1).
    EXPECT_FLOAT_EQ(L1StepFactors[1], 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(L1StepFactors[14], 2.0f / 32767.0f);
    EXPECT_EQ(L1StepFactors[15], 0.0f);
    // Layer II: the grouped classes' C x 2^(1 - nb) equals 2 / steps too (3 steps: C = 4/3).
    EXPECT_FLOAT_EQ(L2StepFactors[0], 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(L2StepFactors[3], 2.0f / 9.0f);
    EXPECT_FLOAT_EQ(L2StepFactors[16], 2.0f / 65535.0f);
}

}  // namespace
