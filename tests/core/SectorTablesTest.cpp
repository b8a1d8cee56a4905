#include "SectorTables.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

TEST(SectorTables, KnownEntriesAndOutOfRangeZeroes) {
    vm::SectorParamTables t;
    EXPECT_EQ(t(1, 1, 1), 0); // empty until filled
    t.InitSectorParams();
    const std::array<int, 4> cases[] = {
        {1, 1, 1, 9954},   {1, 4, 1, 9958},   {1, 26, 1, 9986},  {1, 49, 1, 13019},
        {1, 70, 1, 13443}, {5, 48, 4, 11351}, {3, 57, 3, 13542}, {0, 1, 1, 0},
        {6, 1, 1, 0},      {1, 71, 1, 0},     {1, 1, 5, 0},
    };
    for (const auto& [table, sector, unit, index] : cases)
        EXPECT_EQ(t(table, sector, unit), index) << table << "/" << sector << "/" << unit;
}

TEST(SectorTables, SectorsOfOneUnitNeverShareAParameterAndSkipTheGaps) {
    vm::SectorParamTables t;
    t.InitSectorParams();
    for (int table = 1; table <= 5; ++table) {
        for (int unit = 1; unit <= 4; ++unit) {
            std::set<int> seen;
            std::set<int> firstBlock;
            for (int sector = 1; sector <= 70; ++sector) {
                const int index = t(table, sector, unit);
                if (unit == 4 && sector >= 57) {
                    EXPECT_EQ(index, 0);
                    continue;
                }
                EXPECT_NE(index, 0);
                EXPECT_TRUE(seen.insert(index).second) << table << "/" << sector << "/" << unit;
                if (sector <= 48) firstBlock.insert(index - t(table, 1, unit));
            }
            // Sectors 1..48 cover B..B+56 except B+3, B+7, ..., B+27 and B+43, B+47.
            std::set<int> expected;
            for (int o = 0; o <= 56; ++o)
                if (!((o % 4 == 3 && o <= 27) || o == 43 || o == 47)) expected.insert(o);
            EXPECT_EQ(firstBlock, expected) << table << "/" << unit;
        }
    }
}

} // namespace
