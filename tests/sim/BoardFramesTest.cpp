// The frames a board answers, byte for byte.

#include "SimTestUtil.h"
#include "TestMaps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vm::sim::test {
namespace {

class BoardFrames : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(board.loadMaps(maps.dir(), error)) << error;
    }
    TestMaps maps;
    SimulatedBoard board;
};

TEST_F(BoardFrames, AnswersTheWorkedReadAndWriteExamples) {
    EXPECT_EQ(Ask(board, {0x51, 0x00, 0x23, 0x01, 0x75}), (Bytes{0x34, 0x12, 0x46}));
    EXPECT_EQ(Ask(board, {0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7}), (Bytes{0xCE}));
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 7);
    EXPECT_EQ(Ask(board, WithChecksum({0x50, 0x00, 0x10, 0x00})), (Bytes{0x07, 0x07}));
}

TEST_F(BoardFrames, StartsFromTheMapsInitialValuesInTheirSpaces) {
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 5);
    EXPECT_EQ(board.memory().read(kAuxSpace, 0x0008), 7);
    // A text parameter: four initial characters, spaces after them.
    EXPECT_EQ(Ask(board, WithChecksum({0x57, 0x00, 0x00, 0x02})),
              WithChecksum({'A', 'B', 'C', 'D', ' ', ' ', ' ', ' '}));
}

TEST_F(BoardFrames, ReplyTimeIsTheFirmwaresReactionTime) {
    const auto emissions = board.receive(Bytes{0x51, 0x00, 0x23, 0x01, 0x75}, 100);
    ASSERT_EQ(emissions.size(), 1u);
    EXPECT_EQ(emissions[0].atMs, 100 + board.settings().replyDelayMs);
}

TEST_F(BoardFrames, IgnoresGarbageBeforeAFrame) {
    EXPECT_EQ(Ask(board, {0x00, 0x13, 0x51, 0x00, 0x23, 0x01, 0x75}), (Bytes{0x34, 0x12, 0x46}));
    EXPECT_EQ(board.discardedBytes(), 2u);
    // A bad checksum is no frame at all: nothing is written and nothing answered.
    EXPECT_TRUE(Ask(board, {0xD0, 0x00, 0x10, 0x00, 0x09, 0x00}).empty());
    EXPECT_EQ(board.memory().read(kConfigSpace, 0x0010), 5);
}

TEST_F(BoardFrames, ReassemblesAFrameThatArrivesInPieces) {
    EXPECT_TRUE(Ask(board, {0xD0, 0x00}, 0).empty());
    EXPECT_TRUE(Ask(board, {0x10, 0x00, 0x07}, 3).empty());
    EXPECT_EQ(Ask(board, {0xE7}, 5), (Bytes{0xCE}));
}

TEST_F(BoardFrames, AStrayByteThatPromisesALongFrameIsGivenUpAfterTheGap) {
    // 0xDF announces a 21-byte block write; the real request behind it must still be answered.
    EXPECT_TRUE(Ask(board, {0xDF, 0x51, 0x00, 0x23, 0x01, 0x75}, 0).empty());
    ASSERT_TRUE(board.nextDeadline().has_value());
    EXPECT_TRUE(board.poll(*board.nextDeadline() - 1).empty());
    const auto late = board.poll(*board.nextDeadline());
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].bytes, (Bytes{0x34, 0x12, 0x46}));
    // A stale piece is dropped before new bytes are read.
    EXPECT_TRUE(Ask(board, {0xD0, 0x00, 0x10}, 1000).empty());
    EXPECT_EQ(Ask(board, {0x51, 0x00, 0x23, 0x01, 0x75}, 2000), (Bytes{0x34, 0x12, 0x46}));
}

TEST_F(BoardFrames, BlockFramesMoveConfigurationAndSecondArea) {
    Bytes block(16);
    for (int i = 0; i < 16; ++i)
        block[i] = static_cast<std::uint8_t>(0xA0 + i);
    // Block write across the end of area A (1934) and the following unused bytes.
    Bytes write = {0xDF, 0x00, 1928 & 0xFF, 1928 >> 8};
    write.insert(write.end(), block.begin(), block.end());
    write = WithChecksum(write);
    EXPECT_EQ(Ask(board, write), (Bytes{static_cast<std::uint8_t>(2 * write.back())}));

    const Bytes read = {0x5F, 0x00, 1928 & 0xFF, 1928 >> 8};
    auto expected = block;
    expected.push_back(Checksum(block));
    EXPECT_EQ(Ask(board, WithChecksum(read)), expected);

    // Short read of the 15-byte tail of area A at 1920.
    const auto tail = Ask(board, WithChecksum({0x5E, 0x00, 1920 & 0xFF, 1920 >> 8}));
    ASSERT_EQ(tail.size(), 16u);
    EXPECT_EQ(Bytes(tail.begin() + 8, tail.begin() + 15), Bytes(block.begin(), block.begin() + 7));

    // The 0x5F read of 0x0C00 ends in 0x6B.
    EXPECT_EQ(WithChecksum({0x5F, 0x00, 0x00, 0x0C}).back(), 0x6B);

    const auto aux = Ask(board, WithChecksum({0x1F, 0x00, 0x00, 0x00}));
    ASSERT_EQ(aux.size(), 17u);
    EXPECT_EQ(aux[8], 7);
}

TEST_F(BoardFrames, ReadsWrapAtTheEndOfTheSpace) {
    board.memory().write(kConfigSpace, 0xFFFF, 0x11);
    board.memory().write(kConfigSpace, 0x0000, 0x22);
    EXPECT_EQ(Ask(board, WithChecksum({0x51, 0x00, 0xFF, 0xFF})), (Bytes{0x11, 0x22, 0x33}));
}

TEST_F(BoardFrames, AnswersOtherBankFrames) {
    EXPECT_EQ(Ask(board, WithChecksum({0xF1, 0x00, 0x23, 0x01, 0x51, 'B'})), (Bytes{0x34, 0x12, 0x46}));
    const auto write = WithChecksum({0xF3, 0x00, 0x23, 0x01, 0x51, 'B', 0x78, 0x56});
    EXPECT_EQ(Ask(board, write), (Bytes{static_cast<std::uint8_t>(2 * write.back())}));
    EXPECT_EQ(board.memory().readNumber(kConfigSpace, 0x0123, 2), 0x5678u);
}

TEST_F(BoardFrames, CommandByte127IsTakenInBothForms) {
    EXPECT_EQ(Ask(board, WithChecksum({0x7F, 0x00, 0x00, 0x10})).size(), 17u);
    Bytes write = {0x7F, 0x00, 0x00, 0x10};
    for (int i = 0; i < 16; ++i)
        write.push_back(static_cast<std::uint8_t>(i + 1));
    write = WithChecksum(write);
    EXPECT_EQ(Ask(board, write), (Bytes{static_cast<std::uint8_t>(2 * write.back())}));
    EXPECT_EQ(board.memory().read(7, 0x1000 + 15), 16);
}

TEST_F(BoardFrames, WireTimeDelaysRequestAndReply) {
    BoardSettings settings;
    settings.wireTime = true;
    SimulatedBoard timed(settings);
    std::string error;
    ASSERT_TRUE(timed.loadMaps(maps.dir(), error));
    // 5 request bytes + 3 reply bytes at 0.52 ms, plus the reaction time.
    const auto first = timed.receive(Bytes{0x51, 0x00, 0x23, 0x01, 0x75}, 0);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].atMs, static_cast<std::int64_t>(std::ceil(settings.replyDelayMs + 8 * kByteTimeMs)));
    // Two frames at once: the second reply waits for the line to be free.
    const Bytes read = {0x5F, 0x00, 0x10, 0x00, 0x6F};
    Bytes both = read;
    both.insert(both.end(), read.begin(), read.end());
    const auto pair = timed.receive(both, 100);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_GE(pair[1].atMs - pair[0].atMs, static_cast<std::int64_t>(17 * kByteTimeMs));
}

} // namespace
} // namespace vm::sim::test
