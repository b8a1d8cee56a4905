#include "WatchSet.h"
#include "ProgramState.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

namespace {

using vm::ProgramState;
using vm::WatchSet;

// A one-byte parameter at board address `index`, holding `value`.
void loadCell(ProgramState& s, int index, std::uint8_t value) {
    const std::array<std::uint8_t, 9> rec{0, static_cast<std::uint8_t>(index), 0x50, 0, 0, value, 0, 0, 0};
    s.FillCellFromMapRecord(index, 0, rec);
}

int count(const ProgramState& s, int index) {
    return s.cell(index, 0).at(vm::CellPos::WatchCount);
}

struct WatchSetTest : ::testing::Test {
    ProgramState s;
    void SetUp() override {
        for (int index : {5, 7, 9, 11})
            loadCell(s, index, static_cast<std::uint8_t>(10 * index));
        s.BoardPresent[0] = true;
    }
};

TEST_F(WatchSetTest, WatchesEachParameterOnceAndReleasesItOnceAlsoWhenDestroyed) {
    {
        WatchSet set(s);
        set.watch({5, 7, 5, 0, -3}); // doubles and indexes that are no parameter are left out
        set.watch(7);
        EXPECT_EQ(set.params(), (std::vector<int>{5, 7}));
        EXPECT_EQ(count(s, 5), 1);
        EXPECT_EQ(count(s, 7), 1);

        WatchSet other(s); // a second holder counts on its own
        other.watch({7, 9});
        EXPECT_EQ(count(s, 7), 2);
        other.release();
        EXPECT_TRUE(other.empty());
        EXPECT_EQ(count(s, 7), 1);
        EXPECT_EQ(count(s, 9), 0);
        other.watch(11); // left to the destructor
        EXPECT_EQ(count(s, 11), 1);
    }
    for (int index : {5, 7, 9, 11})
        EXPECT_EQ(count(s, index), 0) << index;
    EXPECT_FALSE(s.cell(5, 0).has(vm::Watched));
}

TEST_F(WatchSetTest, ReplaceKeepsTheOverlapWatchedAndItsValueValid) {
    WatchSet set(s);
    set.watch({5, 7});
    s.cell(7, 0).at(vm::CellPos::Status) = vm::Valid | vm::Watched; // read by the link
    set.replace({9, 7});
    EXPECT_EQ(set.params(), (std::vector<int>{9, 7}));
    EXPECT_EQ(count(s, 5), 0);
    EXPECT_EQ(count(s, 7), 1);
    EXPECT_EQ(count(s, 9), 1);
    // Never released in between: no re-read asked, the value stays valid.
    EXPECT_EQ(s.cell(7, 0).status(), vm::Valid | vm::Watched);
    EXPECT_EQ(s.cell(5, 0).status(), 0);
    set.replace({});
    EXPECT_EQ(count(s, 7), 0);
    EXPECT_EQ(count(s, 9), 0);
}

TEST_F(WatchSetTest, RenewAsksForTheOverlapAgainWithoutLettingItGo) {
    WatchSet set(s);
    set.watch({5, 7});
    s.cell(7, 0).at(vm::CellPos::Status) = vm::Valid | vm::Watched;
    set.renew({7, 11});
    EXPECT_EQ(count(s, 5), 0);
    EXPECT_EQ(count(s, 7), 1);
    EXPECT_EQ(count(s, 11), 1);
    // Watched afresh: pending again, and still valid because the count never reached zero.
    EXPECT_EQ(s.cell(7, 0).status(), vm::Valid | vm::Pending | vm::Watched);
}

TEST_F(WatchSetTest, ShowsTheValuesAlreadyKnownInWatchOrder) {
    WatchSet set(s);
    set.watch({9, 5, 7});
    s.cell(5, 0).at(vm::CellPos::Status) |= vm::Valid;
    s.cell(9, 0).at(vm::CellPos::Status) |= vm::Valid;
    std::vector<std::pair<int, vm::ParamData>> shown;
    set.showKnownValues([&](int index, const vm::ParamData& value) {
        shown.emplace_back(index, value);
        if (index == 9) set.replace({7, 5}); // the holder moves while values are shown
    });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], (std::pair<int, vm::ParamData>{9, 90.0}));
    EXPECT_EQ(shown[1], (std::pair<int, vm::ParamData>{5, 50.0}));
    EXPECT_EQ(set.params(), (std::vector<int>{7, 5}));
}

} // namespace
