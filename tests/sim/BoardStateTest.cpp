// Identity, starting memory, demo data and the board's own behaviour behind its parameters.

#include "BoardConfigFile.h"
#include "SimTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vm::sim::test {
namespace {

std::uint8_t ReadIdent(SimulatedBoard& board, int record) {
    const auto reply = Ask(board, TestFrame(kTestSpace << 4, kIdentBase + record));
    EXPECT_EQ(reply.size(), 2u);
    return reply.empty() ? 0 : reply[0];
}

Bytes SetByte(std::uint16_t address, std::uint8_t value) {
    return TestFrame(0x80 | (kTestSpace << 4), address, {value});
}

TEST(BoardIdentity, ReadsAsConfiguredFromTheFirmwareMapOfItsSoftware) {
    TestMaps maps;
    maps.addFirmwareMap(22, 3, 99);
    const struct {
        BoardIdentity identity;
        int release, record2;
    } rows[] = {
        {{}, 42, 5},                   // the release as the default firmware map starts it
        {{17, 617, 22, 3, 9}, 9, 99},  // W0482BW03.inx
        {{18, 482, 20, 0, {}}, 42, 5}, // no map of its own: the default one
    };
    for (const auto& row : rows) {
        BoardSettings settings;
        settings.identity = row.identity;
        auto board = LoadedBoard(maps, settings);
        EXPECT_EQ(ReadIdent(board, 10), row.identity.revision);
        EXPECT_EQ(ReadIdent(board, 11), row.identity.software);
        EXPECT_EQ(ReadIdent(board, 12), row.identity.boardClass);
        EXPECT_EQ(ReadIdent(board, 13) + 256 * ReadIdent(board, 14), row.identity.boardType);
        EXPECT_EQ(ReadIdent(board, 18), row.release);
        EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), row.record2) << row.identity.software;
    }
}

TEST(BoardMemoryStart, LoadsAConfigurationFileAndRefusesABrokenOne) {
    TestMaps maps;
    auto board = LoadedBoard(maps);
    auto writeFile = [&](const char* name, const std::vector<char>& bytes) {
        std::ofstream(maps.dir() / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return maps.dir() / name;
    };
    // A plain record: image byte a at offset 76 + a; model code at 49, second-area bytes 32..34 at 59..61.
    std::vector<char> record(13004, 0);
    record[49] = 3;
    record[59] = 0x21;
    record[76 + 0x0010] = 0x44;
    record[76 + 5] = 0x55; // bytes 0..15 are not loaded from a record
    std::string error;
    ASSERT_TRUE(LoadBoardConfigFile(board, writeFile("machine.prm", record), error)) << error;
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 0x44);
    EXPECT_EQ(board.memory().read(kConfigSpace, 5), 0);
    EXPECT_EQ(board.memory().read(kAuxSpace, 8), 3);
    EXPECT_EQ(board.memory().read(kAuxSpace, 32), 0x21);

    // A protected-size file with a broken checksum changes nothing.
    EXPECT_FALSE(LoadBoardConfigFile(board, writeFile("broken.prm", std::vector<char>(26011, 1)), error));
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 0x44);
}

TEST(BoardDemo, ClockRunsAndCanBeSet) {
    TestMaps maps;
    BoardSettings settings;
    settings.clockStart = 1767225600 + 10 * 3600 + 59 * 60 + 30; // 2026-01-01 10:59:30, a Thursday
    auto board = LoadedBoard(maps, settings);
    auto readClock = [&](std::int64_t now) {
        return Ask(board, TestFrame((kTestSpace << 4) | 6, kClockBase), now);
    };
    auto clock = readClock(0);
    ASSERT_EQ(clock.size(), 8u);
    EXPECT_EQ(Bytes(clock.begin(), clock.end() - 1), (Bytes{30, 10, 59, 1, 1, 26, 5}));
    clock = readClock(45'000);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 3), (Bytes{15, 11, 0}));

    // The tool sets the hours; the clock goes on from the new time.
    Ask(board, SetByte(kClockBase + 1, 8), 50'000);
    clock = readClock(60'000);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 3), (Bytes{30, 8, 0}));
}

TEST(BoardDemo, AlarmLogAndClearingCommand) {
    TestMaps maps;
    auto board = LoadedBoard(maps);
    auto& memory = board.memory();
    EXPECT_LT(memory.read(kTestSpace, kAlarmIndexAddress), 15);
    EXPECT_NE(memory.read(kTestSpace, kAlarmIndexAddress + 1 + 5), 255);          // record 0 carries a code
    EXPECT_EQ(memory.read(kTestSpace, kAlarmIndexAddress + 1 + 7 * 14 + 5), 255); // the last slot is empty

    ASSERT_GT(memory.readNumber(kTestSpace, kTotalsBase, 4), 0u);
    ASSERT_GT(memory.readNumber(kTestSpace, kTotalsBase + 4, 4), 0u);
    Ask(board, SetByte(kClearAddress, 7));
    EXPECT_GT(memory.readNumber(kTestSpace, kTotalsBase, 4), 0u); // not resettable
    EXPECT_EQ(memory.readNumber(kTestSpace, kTotalsBase + 4, 4), 0u);
    EXPECT_EQ(memory.read(kTestSpace, kClearAddress), 0);
    Ask(board, SetByte(kClearAddress, 8));
    EXPECT_EQ(memory.readNumber(kTestSpace, kTotalsBase, 4), 0u);
}

} // namespace
} // namespace vm::sim::test
