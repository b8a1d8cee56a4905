// Identity, starting memory, demo data and the board's own behaviour behind its parameters.

#include "BoardConfigFile.h"
#include "SimTestUtil.h"
#include "TestMaps.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vm::sim::test {
namespace {

std::uint8_t ReadIdent(SimulatedBoard& board, int record) {
    const auto reply = Ask(
        board, WithChecksum({kTestSpace << 4, 0x00, static_cast<std::uint8_t>((kIdentBase + record) & 0xFF),
                             static_cast<std::uint8_t>((kIdentBase + record) >> 8)}));
    EXPECT_EQ(reply.size(), 2u);
    return reply.empty() ? 0 : reply[0];
}

SimulatedBoard MakeBoard(const TestMaps& maps, BoardSettings settings = {}) {
    SimulatedBoard board(settings);
    std::string error;
    EXPECT_TRUE(board.loadMaps(maps.dir(), error)) << error;
    return board;
}

TEST(BoardIdentity, DefaultsReadAsACompatibleBoard) {
    TestMaps maps;
    auto board = MakeBoard(maps);
    EXPECT_EQ(ReadIdent(board, 10), 0);    // revision
    EXPECT_EQ(ReadIdent(board, 11), 21);   // software
    EXPECT_EQ(ReadIdent(board, 12), 18);   // class
    EXPECT_EQ(ReadIdent(board, 13), 0xE2); // 482 low
    EXPECT_EQ(ReadIdent(board, 14), 0x01); // 482 high
    EXPECT_EQ(ReadIdent(board, 18), 42);   // release as the firmware map starts it
    EXPECT_EQ(board.identRecords().size(), 20u);
}

TEST(BoardIdentity, ConfiguredIdentityAndItsFirmwareMap) {
    TestMaps maps;
    maps.addFirmwareMap(22, 3, 99);
    BoardSettings settings;
    settings.identity = {17, 617, 22, 3, 9};
    auto board = MakeBoard(maps, settings);
    EXPECT_EQ(ReadIdent(board, 10), 3);
    EXPECT_EQ(ReadIdent(board, 11), 22);
    EXPECT_EQ(ReadIdent(board, 12), 17);
    EXPECT_EQ(ReadIdent(board, 13) + 256 * ReadIdent(board, 14), 617);
    EXPECT_EQ(ReadIdent(board, 18), 9);
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 99); // from W0482BW03.inx

    settings.identity = {18, 482, 20, 0, {}}; // no map of its own: the default one
    auto other = MakeBoard(maps, settings);
    EXPECT_EQ(other.memory().read(kConfigSpace, 0x0010), 5);
    EXPECT_EQ(ReadIdent(other, 11), 20);
}

TEST(BoardIdentity, MissingIdentificationMapIsAnError) {
    SimulatedBoard board;
    std::string error;
    EXPECT_FALSE(board.loadMaps("/nonexistent-folder", error));
    EXPECT_NE(error.find("W0482.inx"), std::string::npos);
}

TEST(BoardMemoryStart, EmptyConfigurationKeepsTheIdentity) {
    TestMaps maps;
    auto board = MakeBoard(maps);
    board.clearConfiguration();
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 0);
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0123), 0);
    EXPECT_EQ(ReadIdent(board, 12), 18);
}

TEST(BoardMemoryStart, LoadsAConfigurationFile) {
    TestMaps maps;
    auto board = MakeBoard(maps);
    // A plain record: image byte a at offset 76 + a; model code at 49, second-area bytes 32..34 at 59..61.
    std::vector<char> record(13004, 0);
    record[49] = 3;
    record[59] = 0x21;
    record[76 + 0x0010] = 0x44;
    record[76 + 5] = 0x55; // bytes 0..15 are not loaded from a record
    const auto file = maps.dir() / "machine.prm";
    std::ofstream(file, std::ios::binary).write(record.data(), static_cast<std::streamsize>(record.size()));
    std::string error;
    ASSERT_TRUE(LoadBoardConfigFile(board, file, error)) << error;
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 0x44);
    EXPECT_EQ(board.memory().read(kConfigSpace, 5), 0);
    EXPECT_EQ(board.memory().read(kAuxSpace, 8), 3);
    EXPECT_EQ(board.memory().read(kAuxSpace, 32), 0x21);

    // A protected-size file with a broken checksum changes nothing.
    std::vector<char> broken(26011, 1);
    const auto bad = maps.dir() / "broken.prm";
    std::ofstream(bad, std::ios::binary).write(broken.data(), static_cast<std::streamsize>(broken.size()));
    EXPECT_FALSE(LoadBoardConfigFile(board, bad, error));
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 0x44);
}

TEST(BoardDemo, ClockRunsAndCanBeSet) {
    TestMaps maps;
    BoardSettings settings;
    settings.clockStart = 1767225600 + 10 * 3600 + 59 * 60 + 30; // 2026-01-01 10:59:30, a Thursday
    auto board = MakeBoard(maps, settings);
    auto readClock = [&](std::int64_t now) {
        return Ask(board, WithChecksum({(kTestSpace << 4) | 6, 0x00, kClockBase & 0xFF, kClockBase >> 8}),
                   now);
    };
    auto clock = readClock(0);
    ASSERT_EQ(clock.size(), 8u);
    EXPECT_EQ(Bytes(clock.begin(), clock.end() - 1), (Bytes{30, 10, 59, 1, 1, 26, 5}));
    clock = readClock(45'000);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 3), (Bytes{15, 11, 0}));

    // The tool sets the hours; the clock goes on from the new time.
    Ask(board, WithChecksum({0x80 | (kTestSpace << 4), 0x00, (kClockBase + 1) & 0xFF, kClockBase >> 8, 8}),
        50'000);
    clock = readClock(60'000);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 3), (Bytes{30, 8, 0}));
}

TEST(BoardDemo, AlarmLogAndClearingCommand) {
    TestMaps maps;
    auto board = MakeBoard(maps);
    auto& memory = board.memory();
    EXPECT_LT(memory.read(kTestSpace, kAlarmIndexAddress), 15);
    EXPECT_NE(memory.read(kTestSpace, kAlarmIndexAddress + 1 + 5), 255);          // record 0 carries a code
    EXPECT_EQ(memory.read(kTestSpace, kAlarmIndexAddress + 1 + 7 * 14 + 5), 255); // the last slot is empty

    ASSERT_GT(memory.readNumber(kTestSpace, kTotalsBase, 4), 0u);
    ASSERT_GT(memory.readNumber(kTestSpace, kTotalsBase + 4, 4), 0u);
    Ask(board, WithChecksum({0x80 | (kTestSpace << 4), 0x00, kClearAddress & 0xFF, kClearAddress >> 8, 7}));
    EXPECT_GT(memory.readNumber(kTestSpace, kTotalsBase, 4), 0u); // not resettable
    EXPECT_EQ(memory.readNumber(kTestSpace, kTotalsBase + 4, 4), 0u);
    EXPECT_EQ(memory.read(kTestSpace, kClearAddress), 0);
    Ask(board, WithChecksum({0x80 | (kTestSpace << 4), 0x00, kClearAddress & 0xFF, kClearAddress >> 8, 8}));
    EXPECT_EQ(memory.readNumber(kTestSpace, kTotalsBase, 4), 0u);
}

} // namespace
} // namespace vm::sim::test
