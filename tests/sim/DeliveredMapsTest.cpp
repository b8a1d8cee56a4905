// The board on the map files delivered beside the programs (skipped when they have not been built).

#include "SimTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vm::sim::test {
namespace {

class DeliveredMaps : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::path(VMBOARD_SIM_PATH).parent_path();
        if (!std::filesystem::exists(dir / kIdentMapFileName)) GTEST_SKIP() << "no map files in " << dir;
        std::string error;
        ASSERT_TRUE(board.loadMaps(dir, error)) << error;
    }
    std::uint8_t readIdent(int record) {
        const IdentRecord& r = board.identRecords().at(record - 1);
        const auto reply =
            Ask(board, WithChecksum({r.command, r.page, static_cast<std::uint8_t>(r.address & 0xFF),
                                     static_cast<std::uint8_t>(r.address >> 8)}));
        EXPECT_EQ(reply.size(), 2u) << "identification records are read as one byte";
        return reply.empty() ? 0 : reply[0];
    }
    std::filesystem::path dir;
    SimulatedBoard board;
};

TEST_F(DeliveredMaps, IdentifiesAsTheDefaultBoard) {
    EXPECT_EQ(readIdent(10), 0);
    EXPECT_EQ(readIdent(11), 21);
    EXPECT_EQ(readIdent(12), 18);
    EXPECT_EQ(readIdent(13) + 256 * readIdent(14), 482);
    EXPECT_FALSE(board.mapRecords().empty());
}

TEST_F(DeliveredMaps, DemoDataSitsWhereTheMapPutsIt) {
    const auto locate = board.locator();
    const auto clockHours = locate(BoardParam::ClockHours);
    const auto alarmIndex = locate(BoardParam::AlarmIndex);
    const auto total = locate(11430);
    ASSERT_TRUE(clockHours && alarmIndex && total);
    EXPECT_LT(board.memory().read(clockHours->space, clockHours->address), 24);
    EXPECT_LT(board.memory().read(alarmIndex->space, alarmIndex->address), 15);
    EXPECT_GT(board.memory().readNumber(total->space, total->address, total->width), 0u);
    // The configuration area starts from the map: unit 1's type is set.
    const auto unit1 = locate(4779);
    ASSERT_TRUE(unit1);
    EXPECT_EQ(unit1->space, kConfigSpace);
    EXPECT_NE(board.memory().read(unit1->space, unit1->address), 0);
}

} // namespace
} // namespace vm::sim::test
