// The frames a board answers, byte for byte.

#include "SimTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace vm::sim::test {
namespace {

class BoardFrames : public ::testing::Test {
protected:
    TestMaps maps;
    SimulatedBoard board = LoadedBoard(maps);
};

Bytes Ack(const Bytes& write) {
    return {static_cast<std::uint8_t>(2 * write.back())};
}

// One board, the rows in order: later rows see what earlier ones wrote.
TEST_F(BoardFrames, AnswersEachFrameKindByteForByte) {
    board.memory().write(kConfigSpace, 0xFFFF, 0x11);
    board.memory().write(kConfigSpace, 0x0000, 0x22);
    const Bytes bankWrite = WithChecksum({0xF3, 0x00, 0x23, 0x01, 0x51, 'B', 0x78, 0x56});
    const struct {
        const char* what;
        Bytes request, reply;
    } rows[] = {
        {"worked read", kRead, kReply},
        {"bad checksum: no frame", {0xD0, 0x00, 0x10, 0x00, 0x09, 0x00}, {}},
        {"initial value", TestFrame(0x50, 0x0010), {0x05, 0x05}},
        {"worked write", {0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7}, {0xCE}},
        {"written value", TestFrame(0x50, 0x0010), {0x07, 0x07}},
        {"second area", TestFrame(0x10, 0x0008), {0x07, 0x07}},
        {"text padded with blanks", TestFrame(0x57, 0x0200),
         WithChecksum({'A', 'B', 'C', 'D', ' ', ' ', ' ', ' '})},
        {"read wraps at the end of the space", TestFrame(0x51, 0xFFFF), {0x11, 0x22, 0x33}},
        {"other bank read", WithChecksum({0xF1, 0x00, 0x23, 0x01, 0x51, 'B'}), kReply},
        {"other bank write", bankWrite, Ack(bankWrite)},
        {"after the other bank write", kRead, {0x78, 0x56, 0xCE}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Ask(board, row.request), row.reply) << row.what;
}

TEST_F(BoardFrames, ResynchronisesAfterGarbageAndReassemblesPieces) {
    Bytes garbled = {0x00, 0x13};
    garbled.insert(garbled.end(), kRead.begin(), kRead.end());
    EXPECT_EQ(Ask(board, garbled), kReply);
    EXPECT_EQ(board.discardedBytes(), 2u);

    EXPECT_TRUE(Ask(board, {0xD0, 0x00}, 0).empty());
    EXPECT_TRUE(Ask(board, {0x10, 0x00, 0x07}, 3).empty());
    EXPECT_EQ(Ask(board, {0xE7}, 5), (Bytes{0xCE}));
}

TEST_F(BoardFrames, AStrayByteThatPromisesALongFrameIsGivenUpAfterTheGap) {
    // 0xDF announces a 21-byte block write; the real request behind it must still be answered.
    Bytes bytes = {0xDF};
    bytes.insert(bytes.end(), kRead.begin(), kRead.end());
    EXPECT_TRUE(Ask(board, bytes, 0).empty());
    ASSERT_TRUE(board.nextDeadline().has_value());
    EXPECT_TRUE(board.poll(*board.nextDeadline() - 1).empty());
    EXPECT_EQ(Joined(board.poll(*board.nextDeadline())), kReply);
    // A stale piece is dropped before new bytes are read.
    EXPECT_TRUE(Ask(board, {0xD0, 0x00, 0x10}, 1000).empty());
    EXPECT_EQ(Ask(board, kRead, 2000), kReply);
}

TEST_F(BoardFrames, BlockFramesMoveConfigurationAndSecondArea) {
    Bytes block(16);
    std::iota(block.begin(), block.end(), 0xA0);
    // Block write across the end of area A (1934) and the following unused bytes, then read back.
    const Bytes write = TestFrame(0xDF, 1928, block);
    EXPECT_EQ(Ask(board, write), Ack(write));
    EXPECT_EQ(Ask(board, TestFrame(0x5F, 1928)), WithChecksum(block));

    // Short read of the 15-byte tail of area A at 1920.
    const auto tail = Ask(board, TestFrame(0x5E, 1920));
    ASSERT_EQ(tail.size(), 16u);
    EXPECT_EQ(Bytes(tail.begin() + 8, tail.begin() + 15), Bytes(block.begin(), block.begin() + 7));

    EXPECT_EQ(TestFrame(0x5F, 0x0C00).back(), 0x6B); // the worked block read's checksum
    const auto aux = Ask(board, TestFrame(0x1F, 0));
    ASSERT_EQ(aux.size(), 17u);
    EXPECT_EQ(aux[8], 7);

    // Command byte 127 is taken both as a read and as a block write.
    EXPECT_EQ(Ask(board, TestFrame(0x7F, 0x1000)).size(), 17u);
    std::iota(block.begin(), block.end(), 1);
    const Bytes write127 = TestFrame(0x7F, 0x1000, block);
    EXPECT_EQ(Ask(board, write127), Ack(write127));
    EXPECT_EQ(board.memory().read(7, 0x1000 + 15), 16);
}

TEST_F(BoardFrames, RepliesLeaveAfterTheReactionTimeAndWireTimeWhenAsked) {
    const auto untimed = board.receive(kRead, 100);
    ASSERT_EQ(untimed.size(), 1u);
    EXPECT_EQ(untimed[0].atMs, 100 + board.settings().replyDelayMs);

    BoardSettings settings;
    settings.wireTime = true;
    SimulatedBoard timed = LoadedBoard(maps, settings);
    // 5 request bytes + 3 reply bytes at 0.52 ms, plus the reaction time.
    const auto first = timed.receive(kRead, 0);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_DOUBLE_EQ(first[0].atMs, settings.replyDelayMs + 8 * 10 / 19.2);
    // Two frames at once: the second reply waits for the line to be free.
    const Bytes read = TestFrame(0x5F, 0x0010);
    Bytes both = read;
    both.insert(both.end(), read.begin(), read.end());
    const auto pair = timed.receive(both, 100);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_GE(pair[1].atMs - pair[0].atMs, 17 * 10 / 19.2);
}

} // namespace
} // namespace vm::sim::test
