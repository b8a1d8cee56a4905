// The live link: requests from marked cells, reply checks, retries, time-outs and delivery.
#include "LinkFixture.h"

namespace vm::link::test {
namespace {

const Bytes kReadWord = {0x51, 0x00, 0x23, 0x01, 0x75};
const Bytes kWriteSeven = {0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7};

class PumpTest : public LinkTest {
protected:
    void SetUp() override {
        board.memory[0x0123] = 0x34;
        board.memory[0x0124] = 0x12;
        connectBoard();
    }
    // Fails the first `n` frames with `fault`, then answers normally.
    void failFirst(int n, Fault fault) {
        board.script = [n, fault, count = 0](const Bytes&) mutable {
            return count++ < n ? fault : Fault::None;
        };
    }
    // Silences the board, marks the parameter (watch or write) and waits for its frame.
    void sendByHand(int index, std::optional<double> write = {}) {
        failFirst(1000, Fault::NoReply);
        write ? state.SetParamValue(index, *write) : state.WatchParam(index);
        ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
    }
    bool delivered(int index) const {
        return std::any_of(form.received.begin(), form.received.end(),
                           [&](auto& r) { return r.first == index; });
    }
    long faults() const { return std::count(observer.statuses.begin(), observer.statuses.end(), 6); }
    const ParamCell& cell(int index) { return state.cell(index, 0); }
};

TEST_F(PumpTest, ReadsAWatchedWordOnceDeliversItAndShowsTheIndicators) {
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    EXPECT_EQ(frames().at(0), kReadWord);
    ASSERT_EQ(form.received.size(), 1u);
    EXPECT_EQ(std::get<double>(form.received[0].second), 4660.0);
    EXPECT_TRUE(state.ParamIsValid(kWord, 0));
    EXPECT_FALSE(cell(kWord).has(Pending)); // poll divider 0: read once
    EXPECT_EQ(observer.statuses, (std::vector<int>{4, 5, 3}));
    observer.statuses.clear();
    timers.advance(kReceiveIndicatorMs);
    EXPECT_EQ(observer.statuses, (std::vector<int>{1, 2, 3})); // the send, then the receive indication ends
    timers.advance(1000);
    EXPECT_EQ(frames().size(), 1u);
    EXPECT_TRUE(engine->linkReady());
}

TEST_F(PumpTest, TextAndHighestIndexValuesAreDelivered) {
    const std::string text = "ESPRESSO LUNGO 1";
    std::copy(text.begin(), text.end(), board.memory.begin() + 0x0300);
    board.memory[0x0600] = 42;
    state.WatchParam(kText);
    state.WatchParam(kLastRecord);
    ASSERT_TRUE(runUntil([&] { return delivered(kText) && delivered(kLastRecord); }));
    const auto textDelivery =
        std::find_if(form.received.begin(), form.received.end(), [](auto& r) { return r.first == kText; });
    EXPECT_EQ(std::get<std::string>(textDelivery->second), text);
    EXPECT_EQ(state.ParamValue(kLastRecord, 0), 42.0);
}

TEST_F(PumpTest, AReplyIsTakenWhenCompleteValueFromTheFrontChecksumFromTheEnd) {
    for (const auto& pieces : {std::vector<Bytes>{{0x34}, {0x12}, {0x46}}, {{0x34, 0x12, 0x99, 0x46}}}) {
        form.received.clear();
        sendByHand(kWord);
        for (const Bytes& piece : pieces) {
            EXPECT_FALSE(delivered(kWord)); // size + 1 bytes are not yet a reply
            port.feed(piece);
        }
        EXPECT_TRUE(delivered(kWord));
        EXPECT_EQ(state.ParamValue(kWord, 0), 4660.0);
        frames().clear();
    }
}

TEST_F(PumpTest, ChecksumMismatchResendsTheSameFrame) {
    failFirst(3, Fault::BadChecksum);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    EXPECT_EQ(frames(), std::vector<Bytes>(4, kReadWord));
    EXPECT_EQ(faults(), 3);
    EXPECT_EQ(engine->retryCount(), 0);
}

TEST_F(PumpTest, FifthReplyIsDroppedEvenWhenRightAndTheCellStaysPending) {
    failFirst(4, Fault::BadChecksum);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return frames().size() == 5 && engine->linkReady(); }));
    EXPECT_FALSE(delivered(kWord));
    EXPECT_TRUE(cell(kWord).has(Pending));
    EXPECT_FALSE(cell(kWord).has(Valid));
    EXPECT_GT(engine->linkCursor(), kWord);                  // the cursor moved on
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); })); // met again in the next pass
    EXPECT_EQ(frames().size(), 6u);
}

TEST_F(PumpTest, WriteThenAcknowledgementStoresAndDeliversAndATwoByteReplyFails) {
    state.SetParamValue(kByte, 7);
    ASSERT_TRUE(runUntil([&] { return delivered(kByte); }));
    EXPECT_EQ(frames().at(0), kWriteSeven);
    EXPECT_EQ(board.memory[0x10], 7);
    EXPECT_EQ(std::get<double>(form.received.back().second), 7.0);
    EXPECT_TRUE(state.ParamIsValid(kByte, 0));
    EXPECT_FALSE(cell(kByte).has(WritePending));

    frames().clear();
    sendByHand(kByte, 7);
    port.feed({0xCE, 0xCE});
    EXPECT_EQ(frames(), std::vector<Bytes>(2, kWriteSeven));
    EXPECT_EQ(engine->retryCount(), 1);
}

TEST_F(PumpTest, TimeOutResetsThePortAndTheNextTickAsksAgainOrAtOnceForPollBitTwo) {
    for (const int index : {kWord, kPolled}) {
        frames().clear();
        failFirst(1, Fault::NoReply);
        state.WatchParam(index);
        ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
        const int closes = port.closeCount, opens = port.openCount;
        timers.advance(999);
        EXPECT_EQ(port.closeCount, closes);
        timers.advance(1);
        EXPECT_EQ(port.closeCount, closes + 1);
        EXPECT_EQ(port.openCount, opens + 1);
        if (index == kPolled) {
            EXPECT_EQ(frames().size(), 2u); // sent again at once
        }
        ASSERT_TRUE(runUntil([&] { return delivered(index); }, 100));
        EXPECT_EQ(frames()[1], frames()[0]);
    }
}

TEST_F(PumpTest, PollDividerSpacesCyclicReads) {
    std::vector<std::int64_t> sentAt;
    port.onWrite = [&, board = port.onWrite](const Bytes& frame) {
        sentAt.push_back(timers.nowMs());
        board(frame);
    };
    state.WatchParam(kPolled); // divider 2: one pass out of three
    timers.advance(40 * 30);
    ASSERT_GE(sentAt.size(), 5u);
    // A pass with the reply takes two ticks (send, then the rest of the table); two passes sat out.
    for (std::size_t i = 1; i < sentAt.size(); ++i)
        EXPECT_EQ(sentAt[i] - sentAt[i - 1], 4 * kPumpIntervalMs);
    EXPECT_TRUE(cell(kPolled).has(Pending));

    // A write of a polled cell goes without countdown.
    sentAt.clear();
    state.cell(kPolled, 0).at(CellPos::PollDivider) = 0x22;
    state.SetParamValue(kPolled, 9);
    frames().clear();
    timers.advance(kPumpIntervalMs);
    ASSERT_EQ(frames().size(), 1u);
    EXPECT_EQ(frames()[0][0], 0xD0);
}

// A write that is not acknowledged, or whose acknowledgement fails five times, is written again: it never
// becomes a read of the board's old value.
TEST_F(PumpTest, AnUnacknowledgedWriteStaysAWrite) {
    for (const auto& [fault, failures] : {std::pair{Fault::NoReply, 1}, {Fault::WrongAck, 5}}) {
        form.received.clear();
        frames().clear();
        board.memory[0x10] = 0;
        failFirst(failures, fault);
        state.SetParamValue(kByte, 7);
        ASSERT_TRUE(runUntil([&] { return delivered(kByte); }));
        EXPECT_EQ(frames(), std::vector<Bytes>(static_cast<std::size_t>(failures + 1), kWriteSeven));
        EXPECT_EQ(board.memory[0x10], 7);
    }
}

TEST_F(PumpTest, ANewerValueSetDuringTheRequestIsNotOverwritten) {
    sendByHand(kByte, 7);
    state.SetParamValue(kByte, 9);
    port.feed({0xCE}); // the acknowledgement of 7
    EXPECT_FALSE(delivered(kByte));
    EXPECT_EQ(state.ParamValue(kByte, 0), 9.0);
    EXPECT_TRUE(cell(kByte).has(WritePending));
    board.script = nullptr;
    ASSERT_TRUE(runUntil([&] { return delivered(kByte); }, 200));
    EXPECT_EQ(frames().back(), (Bytes{0xD0, 0x00, 0x10, 0x00, 0x09, 0xE9}));
    EXPECT_EQ(std::get<double>(form.received.back().second), 9.0);
}

TEST_F(PumpTest, StrayBytesAndLateRepliesAreNotTakenForTheNextRequest) {
    board.memory[0x10] = 5;
    port.feed({0x99, 0x01}); // nothing in flight
    state.WatchParam(kByte);
    ASSERT_TRUE(runUntil([&] { return delivered(kByte); }));
    EXPECT_EQ(state.ParamValue(kByte, 0), 5.0);
    EXPECT_EQ(frames().size(), 1u);

    failFirst(1, Fault::Late);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }, 2000)); // the second request answers
    std::fill_n(board.memory.begin() + 0x0300, 16, 'T');
    timers.advance(3000); // the late reply of the first arrives with nothing in flight
    state.WatchParam(kText);
    ASSERT_TRUE(runUntil([&] { return delivered(kText); }));
    EXPECT_EQ(std::get<std::string>(form.received.back().second), std::string(16, 'T'));
}

TEST_F(PumpTest, AStaleTimeOutNeverActs) {
    timers.leaky = true; // cancelled reply time-outs still fire
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    const int closes = port.closeCount;
    const auto before = faults();
    timers.advance(2000);
    EXPECT_EQ(port.closeCount, closes);
    EXPECT_EQ(faults(), before);
    EXPECT_TRUE(engine->linkReady());
}

// A disconnect waits for the reply on its way, or for its time-out, and sends nothing more.
TEST_F(PumpTest, DisconnectWaitsForTheRequestInFlight) {
    for (const bool answered : {true, false}) {
        if (!answered) {
            observer.outcome.reset();
            form.received.clear();
            connectBoard();
        }
        answered ? state.WatchParam(kWord) : sendByHand(kPolled);
        ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
        engine->disconnect();
        timers.advance(answered ? FakeBoard::kReplyDelayMs - 1 : 999);
        EXPECT_TRUE(port.isOpen());
        EXPECT_TRUE(observer.disconnectReasons.empty());
        timers.advance(1);
        EXPECT_EQ(delivered(kWord), answered);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(observer.disconnectReasons.size(), 1u);
        EXPECT_FALSE(state.Online);
        EXPECT_EQ(engine->state(), LinkState::Closed);
        timers.advance(5000);
        EXPECT_EQ(frames().size(), 1u);
        observer.disconnectReasons.clear();
    }
}

TEST_F(PumpTest, LosingThePortEndsTheConnectionCleanly) {
    sendByHand(kWord);
    port.lose("device unplugged");
    EXPECT_EQ(observer.disconnectReasons, std::vector<std::string>{"device unplugged"});
    ASSERT_FALSE(observer.messages.empty());
    EXPECT_NE(observer.messages.back().text.find("device unplugged"), std::string::npos);
    EXPECT_FALSE(state.Online);
    timers.advance(5000);
    EXPECT_EQ(frames().size(), 1u);
    EXPECT_EQ(engine->state(), LinkState::Closed);
}

} // namespace
} // namespace vm::link::test
