// The in-process port on a hand-driven clock.

#include "SimulatedPort.h"
#include "SimTestUtil.h"
#include "FakeTimerService.h"

#include <gtest/gtest.h>

namespace vm::sim::test {
namespace {

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { makeBoard({}); }
    void makeBoard(BoardSettings settings) {
        port.reset();
        board = std::make_unique<SimulatedBoard>(LoadedBoard(maps, settings));
        port = std::make_unique<SimulatedPort>(*board, timers);
        port->onReceive = [this] { ++notifications; };
        ASSERT_TRUE(port->open(error));
    }
    TestMaps maps;
    vm::link::FakeTimerService timers;
    std::unique_ptr<SimulatedBoard> board;
    std::unique_ptr<SimulatedPort> port;
    int notifications = 0;
    std::string error;
};

TEST_F(PortTest, RepliesArriveThroughTheTimers) {
    port->write(kRead);
    EXPECT_EQ(port->bytesWaiting(), 0u);
    timers.advance(board->settings().replyDelayMs);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(port->readAll(), kReply);
    EXPECT_EQ(port->bytesWaiting(), 0u);

    // Without threshold the bytes wait silently for the reader.
    port->setReceiveThreshold(0);
    port->write(kRead);
    timers.advance(10);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(port->bytesWaiting(), 3u);
}

TEST_F(PortTest, AStuckPartialFrameIsGivenUpWithoutFurtherWrites) {
    Bytes bytes = {0xDF};
    bytes.insert(bytes.end(), kRead.begin(), kRead.end());
    port->write(bytes);
    timers.advance(board->settings().frameGapMs + board->settings().replyDelayMs);
    EXPECT_EQ(port->readAll(), kReply);
    EXPECT_EQ(timers.pendingCount(), 0u);
}

// A reset loses what was received and what the board sends while the port is closed; a reply that is still
// on its way when the port is open again arrives, as on a real line.
TEST_F(PortTest, ClosingLosesWhatArrivedButNotAReplyStillOnItsWay) {
    port->write(kRead);
    timers.advance(10);
    port->close();
    ASSERT_TRUE(port->open(error));
    EXPECT_EQ(port->bytesWaiting(), 0u);
    port->write(kRead);
    port->close();
    timers.advance(10);
    ASSERT_TRUE(port->open(error));
    EXPECT_EQ(port->bytesWaiting(), 0u);
    port->write(kRead);
    port->close();
    ASSERT_TRUE(port->open(error));
    timers.advance(10);
    EXPECT_EQ(port->readAll(), kReply);
}

// After the given number of frames a closing board takes the line away; a silent one keeps it but never
// answers again.
TEST_F(PortTest, ABoardDisappearsAfterTheGivenNumberOfFrames) {
    for (const DisappearMode mode : {DisappearMode::Close, DisappearMode::Silent}) {
        const bool silent = mode == DisappearMode::Silent;
        SCOPED_TRACE(silent ? "silent" : "close");
        BoardSettings settings;
        settings.faults.disappearAfter = 2;
        settings.faults.disappearMode = mode;
        makeBoard(settings);
        std::string lost;
        port->onLost = [&](const std::string& reason) { lost = reason; };
        for (int i = 0; i < 2; ++i) {
            port->write(kRead);
            timers.advance(10);
            EXPECT_EQ(port->readAll(), kReply);
        }
        EXPECT_FALSE(board->disappeared());
        port->write(kRead);
        timers.advance(2000);
        EXPECT_TRUE(board->disappeared());
        EXPECT_TRUE(port->readAll().empty());
        EXPECT_EQ(lost.empty(), silent);
        EXPECT_EQ(port->isOpen(), silent);
        port->close();
        EXPECT_EQ(port->open(error), silent);
    }
}

} // namespace
} // namespace vm::sim::test
