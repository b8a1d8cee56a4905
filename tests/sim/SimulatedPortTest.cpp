// The in-process port on a hand-driven clock.

#include "SimulatedPort.h"
#include "SimTestUtil.h"
#include "TestMaps.h"
#include "link/FakeTimerService.h"

#include <gtest/gtest.h>

namespace vm::sim::test {
namespace {

const Bytes kRead = {0x51, 0x00, 0x23, 0x01, 0x75};

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { makeBoard({}); }
    void makeBoard(BoardSettings settings) {
        board = std::make_unique<SimulatedBoard>(settings);
        std::string error;
        ASSERT_TRUE(board->loadMaps(maps.dir(), error));
        port = std::make_unique<SimulatedPort>(*board, timers);
        port->onReceive = [this] { ++notifications; };
    }
    TestMaps maps;
    vm::link::FakeTimerService timers;
    std::unique_ptr<SimulatedBoard> board;
    std::unique_ptr<SimulatedPort> port;
    int notifications = 0;
};

TEST_F(PortTest, RepliesArriveThroughTheTimers) {
    std::string error;
    ASSERT_TRUE(port->open(error));
    port->write(kRead);
    EXPECT_EQ(port->bytesWaiting(), 0u);
    timers.advance(board->settings().replyDelayMs);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(port->readAll(), (Bytes{0x34, 0x12, 0x46}));
    EXPECT_EQ(port->bytesWaiting(), 0u);

    // Without threshold the bytes wait silently for the reader.
    port->setReceiveThreshold(0);
    port->write(kRead);
    timers.advance(10);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(port->bytesWaiting(), 3u);
}

TEST_F(PortTest, AStuckPartialFrameIsGivenUpWithoutFurtherWrites) {
    std::string error;
    ASSERT_TRUE(port->open(error));
    Bytes bytes = {0xDF};
    bytes.insert(bytes.end(), kRead.begin(), kRead.end());
    port->write(bytes);
    timers.advance(board->settings().frameGapMs + board->settings().replyDelayMs);
    EXPECT_EQ(port->readAll(), (Bytes{0x34, 0x12, 0x46}));
    EXPECT_EQ(timers.pendingCount(), 0u);
}

TEST_F(PortTest, ClosingDiscardsRepliesOnTheirWay) {
    std::string error;
    ASSERT_TRUE(port->open(error));
    port->write(kRead);
    port->close();
    ASSERT_TRUE(port->open(error));
    timers.advance(100);
    EXPECT_EQ(port->bytesWaiting(), 0u);
    EXPECT_EQ(notifications, 0);
}

TEST_F(PortTest, DisappearingBoardClosesTheLineAndCannotBeOpened) {
    BoardSettings settings;
    settings.faults.disappearAfter = 1;
    makeBoard(settings);
    std::string lost;
    port->onLost = [&](const std::string& reason) { lost = reason; };
    std::string error;
    ASSERT_TRUE(port->open(error));
    port->write(kRead);
    timers.advance(10);
    EXPECT_EQ(port->readAll().size(), 3u);
    EXPECT_TRUE(lost.empty());
    port->write(kRead);
    timers.advance(10);
    EXPECT_FALSE(lost.empty());
    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(port->open(error));
    EXPECT_FALSE(error.empty());
}

TEST_F(PortTest, SilentBoardStaysOpenButNeverAnswers) {
    BoardSettings settings;
    settings.faults.disappearAfter = 1;
    settings.faults.disappearMode = DisappearMode::Silent;
    makeBoard(settings);
    std::string error;
    ASSERT_TRUE(port->open(error));
    port->write(kRead);
    port->write(kRead);
    timers.advance(2000);
    EXPECT_EQ(port->readAll().size(), 3u);
    port->close();
    EXPECT_TRUE(port->open(error));
}

} // namespace
} // namespace vm::sim::test
