#include "SectorTables.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(SectorTables, KnownEntries) {
    vm::SectorParamTables t;
    EXPECT_EQ(t(1, 1, 1), 0); // empty until filled
    t.InitSectorParams();
    EXPECT_EQ(t(1, 1, 1), 9954);
    EXPECT_EQ(t(1, 4, 1), 9958);
    EXPECT_EQ(t(1, 26, 1), 9986);
    EXPECT_EQ(t(1, 49, 1), 13019);
    EXPECT_EQ(t(1, 70, 1), 13443);
    EXPECT_EQ(t(5, 48, 4), 11295 + 56);
    EXPECT_EQ(t(3, 57, 3), 13542);
    EXPECT_EQ(t(0, 1, 1), 0);
    EXPECT_EQ(t(6, 1, 1), 0);
    EXPECT_EQ(t(1, 71, 1), 0);
    EXPECT_EQ(t(1, 1, 5), 0);
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

TEST(AlarmCodes, ListsInTheirOrderWithTheRepeatedCodes) {
    vm::AlarmCodeLists codes;
    EXPECT_EQ(codes.AlarmCodes1(0), "");
    codes.InitAlarmCodes1();
    codes.InitAlarmCodes2();
    EXPECT_EQ(codes.AlarmCodes1(0), "O01P01");
    EXPECT_EQ(codes.AlarmCodes1(7), "O05P02");
    EXPECT_EQ(codes.AlarmCodes1(15), "O05P05");
    EXPECT_EQ(codes.AlarmCodes1(23), "O05P05");
    EXPECT_EQ(codes.AlarmCodes1(30), "O00P00");
    EXPECT_EQ(codes.AlarmCodes1(38), "O00P00");
    EXPECT_EQ(codes.AlarmCodes1(39), "O18P00");
    EXPECT_EQ(codes.AlarmCodes1(40), "");
    EXPECT_EQ(codes.AlarmCodes1(41), "");
    EXPECT_EQ(codes.AlarmCodes2(0), "11");
    EXPECT_EQ(codes.AlarmCodes2(7), "18");
    EXPECT_EQ(codes.AlarmCodes2(8), "21");
    EXPECT_EQ(codes.AlarmCodes2(47), "68");
    EXPECT_EQ(codes.AlarmCodes2(48), "");
    EXPECT_EQ(codes.AlarmCodes2(-1), "");
}

} // namespace
