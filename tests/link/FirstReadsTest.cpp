// Parameters a window starts to watch are read back to back, each request as soon as the previous reply is
// in, until each has been read once; then the pump goes on at its tick.
#include "LinkFixture.h"

namespace vm::link::test {
namespace {

constexpr int kCounterSpace = 2;

class FirstReadsTest : public LinkTest {
protected:
    void SetUp() override {
        for (int i = 0; i < kCounters; ++i)
            board.memory().writeNumber(kCounterSpace, static_cast<std::uint16_t>(kCounterAddress + 4 * i), 4,
                                       1000u + static_cast<std::uint32_t>(i));
        connectBoard();
        port.onWrite = [&](const Bytes& frame) { sent.push_back({timers.nowMs(), AddressOf(frame), frame[0]}); };
    }
    void watchCounters() {
        for (int i = 0; i < kCounters; ++i)
            state.WatchParam(kCounter + i);
    }
    bool allRead() const {
        for (int i = 0; i < kCounters; ++i)
            if (!state.ParamIsValid(kCounter + i, 0)) return false;
        return true;
    }
    std::uint32_t boardCounter(int i) const {
        return board.memory().readNumber(kCounterSpace, static_cast<std::uint16_t>(kCounterAddress + 4 * i), 4);
    }

    struct Sent {
        std::int64_t at;
        int address;
        std::uint8_t command;
    };
    std::vector<Sent> sent;
};

TEST_F(FirstReadsTest, NeverReadCountersGoBackToBackThenAtThePumpsPace) {
    watchCounters();
    ASSERT_TRUE(runUntil([&] { return allRead(); }));
    ASSERT_EQ(sent.size(), 4u);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].address, kCounterAddress + 4 * static_cast<int>(i));
        EXPECT_LE(sent[i].at - sent[i - 1].at, kReplyMs + 1) << "request " << i << " waited for a tick";
    }
    for (int i = 0; i < kCounters; ++i)
        EXPECT_EQ(state.ParamValue(kCounter + i, 0), 1000 + i);
    // Read once, they are polled as before: one pass in five, each pass at least a tick.
    ASSERT_TRUE(runUntil([&] { return sent.size() == 5; }, 2000));
    EXPECT_GE(sent[4].at - sent[3].at, 4 * kPumpIntervalMs);
}

// The next request is on the line before a window gets the value just in, so what the windows do with it
// overlaps the wire; a parameter a window starts to watch as it takes a value is read right after.
TEST_F(FirstReadsTest, TheNextRequestGoesBeforeTheValueIsShown) {
    std::size_t framesAtDelivery = 0;
    struct Watcher : DeliveryTarget {
        std::function<void(int)> onValue;
        void deliver(int index, const ParamData&) override { onValue(index); }
    } watcher;
    watcher.onValue = [&](int index) {
        if (index != kCounter) return;
        framesAtDelivery = sent.size();
        state.WatchParam(kCounter + 3);
    };
    forms.add(&watcher);
    for (int i = 0; i < 3; ++i)
        state.WatchParam(kCounter + i);
    ASSERT_TRUE(runUntil([&] { return allRead(); }));
    forms.remove(&watcher);
    EXPECT_EQ(framesAtDelivery, 2u); // counter 1 was asked already
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[3].address, kCounterAddress + 12);
    EXPECT_LE(sent[3].at - sent[2].at, kReplyMs + 1);
}

// A value waiting to be written goes to the board as a write and is neither overwritten nor shown with the
// board's older value.
TEST_F(FirstReadsTest, AWriteWaitingKeepsItsValue) {
    state.SetParamValue(kCounter + 1, 77);
    watchCounters();
    ASSERT_TRUE(runUntil([&] { return allRead(); }));
    EXPECT_EQ(state.ParamValue(kCounter + 1, 0), 77);
    EXPECT_EQ(boardCounter(1), 77u);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1].command, 0xA3); // a write
    for (const auto& [index, value] : form.received) {
        if (index != kCounter + 1) continue;
        EXPECT_EQ(std::get<double>(value), 77.0);
    }
}

// A bad reply in the middle: the line guard waits for a quiet line and confirms the value; the others still go
// back to back.
TEST_F(FirstReadsTest, ALineFaultKeepsTheLineGuard) {
    failAt(kCounterAddress + 4, ReplyFault::CorruptChecksum, 1);
    watchCounters();
    ASSERT_TRUE(runUntil([&] { return allRead(); }));
    for (int i = 0; i < kCounters; ++i)
        EXPECT_EQ(state.ParamValue(kCounter + i, 0), 1000 + i);
    ASSERT_EQ(sent.size(), 6u); // counter 1 three times: the bad reply, then two that agree
    EXPECT_EQ(sent[2].address, kCounterAddress + 4);
    EXPECT_EQ(sent[3].address, kCounterAddress + 4);
    EXPECT_GE(sent[2].at - sent[1].at, kLineGuardMs);
    EXPECT_LE(sent[4].at - sent[3].at, kReplyMs + 1);
    EXPECT_LE(sent[5].at - sent[4].at, kReplyMs + 1);
}

} // namespace
} // namespace vm::link::test
