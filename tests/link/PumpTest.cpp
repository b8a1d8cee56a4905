// The live link: requests from marked cells, reply checks, retries, time-outs and delivery.
#include "LinkFixture.h"

namespace vm::link::test {
namespace {

const Bytes kReadWord = {0x51, 0x00, 0x23, 0x01, 0x75};
const Bytes kWriteSeven = {0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7};

class PumpTest : public LinkTest {
protected:
    void SetUp() override {
        setBoardByte(0x0123, 0x34);
        setBoardByte(0x0124, 0x12);
        connectBoard();
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
    for (std::size_t i = 0; i < text.size(); ++i)
        setBoardByte(0x0300 + static_cast<int>(i), static_cast<std::uint8_t>(text[i]));
    setBoardByte(0x0600, 42);
    state.WatchParam(kText);
    state.WatchParam(kLastRecord);
    ASSERT_TRUE(runUntil([&] { return delivered(kText) && delivered(kLastRecord); }));
    const auto textDelivery =
        std::find_if(form.received.begin(), form.received.end(), [](auto& r) { return r.first == kText; });
    EXPECT_EQ(std::get<std::string>(textDelivery->second), text);
    EXPECT_EQ(state.ParamValue(kLastRecord, 0), 42.0);
}

// A reply in pieces is taken when complete; one with a byte too many is refused and asked again.
TEST_F(PumpTest, AReplyIsTakenWhenCompleteAndOnlyWithItsOwnLength) {
    failFirst(1, ReplyFault::Split);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return port.bytesWaiting() > 0; }));
    EXPECT_FALSE(delivered(kWord));
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }, sim::kForcedSplitPauseMs));

    // A reply one byte too long is refused: after the quiet pause the value is read twice.
    form.received.clear();
    frames().clear();
    failFirst(1, ReplyFault::ExtraByte);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    EXPECT_EQ(state.ParamValue(kWord, 0), 4660.0);
    EXPECT_EQ(frames().size(), 3u);
}

// Bad checksums (for a write: a wrong or two-byte acknowledgement) send the same frame again once the line
// is quiet; the reply after the fourth failure is dropped even when right, and the cell is met again in
// the next pass. After a fault a value counts only when a second request gives the same reply.
TEST_F(PumpTest, ChecksumFailuresResendTheFrameAndTheFifthReplyIsDropped) {
    failFirst(3, ReplyFault::CorruptChecksum);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    EXPECT_EQ(frames(), std::vector<Bytes>(5, kReadWord));
    EXPECT_EQ(faults(), 3);
    EXPECT_EQ(engine->retryCount(), 0);

    frames().clear();
    form.received.clear();
    failFirst(4, ReplyFault::CorruptChecksum);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return frames().size() == 5 && engine->linkReady(); }));
    EXPECT_FALSE(delivered(kWord));
    EXPECT_TRUE(cell(kWord).has(Pending));
    EXPECT_GT(engine->linkCursor(), kWord); // the cursor moved on
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    EXPECT_EQ(frames().size(), 7u);

    frames().clear();
    failFirst(1, ReplyFault::ExtraByte);
    state.SetParamValue(kByte, 7);
    ASSERT_TRUE(runUntil([&] { return delivered(kByte); }));
    EXPECT_EQ(frames(), std::vector<Bytes>(3, kWriteSeven));
}

// After a fault the two reads of the confirmation must carry the same bytes, not only as many: a second
// reply with other value bytes of the same length (a stale answer that still sums right) is no value.
TEST_F(PumpTest, AfterAFaultTheConfirmationTakesOnlyTwoIdenticalReplies) {
    failFirst(1, ReplyFault::CorruptChecksum);
    // The second read of the first confirmation finds 0x5678 in place of 0x1234, the reads after it 0x1234.
    port.onWrite = [&](const Bytes&) {
        const bool other = frames().size() == 3;
        setBoardByte(0x0123, other ? 0x78 : 0x34);
        setBoardByte(0x0124, other ? 0x56 : 0x12);
    };
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    // Fault, first read, differing second read; then a fresh confirmation of two reads.
    EXPECT_EQ(frames(), std::vector<Bytes>(5, kReadWord));
    ASSERT_EQ(form.received.size(), 1u);
    EXPECT_EQ(std::get<double>(form.received[0].second), 4660.0);
    EXPECT_EQ(state.ParamValue(kWord, 0), 4660.0);
}

// After the time-out nothing is sent until the line has been quiet; then poll bit 2 asks again at once,
// other cells at the next tick, and the value is confirmed by a second request.
TEST_F(PumpTest, TimeOutResetsThePortAndTheNextTickAsksAgainOrAtOnceForPollBitTwo) {
    for (const int index : {kWord, kPolled}) {
        frames().clear();
        failFirst(1, ReplyFault::Drop);
        state.WatchParam(index);
        ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
        const int closes = port.closeCount, opens = port.openCount;
        timers.advance(999);
        EXPECT_EQ(port.closeCount, closes);
        timers.advance(1);
        EXPECT_EQ(port.closeCount, closes + 1);
        EXPECT_EQ(port.openCount, opens + 1);
        timers.advance(kLineGuardMs - 1);
        EXPECT_EQ(frames().size(), 1u);
        timers.advance(1);
        if (index == kPolled) {
            EXPECT_EQ(frames().size(), 2u); // at once
        }
        ASSERT_TRUE(runUntil([&] { return delivered(index); }, kPumpIntervalMs + kConfirmQuietMs + 10));
        EXPECT_EQ(frames(), std::vector<Bytes>(3, frames()[0]));
    }
}

TEST_F(PumpTest, PollDividerSpacesCyclicReads) {
    std::vector<std::int64_t> sentAt;
    port.onWrite = [&](const Bytes&) { sentAt.push_back(timers.nowMs()); };
    state.WatchParam(kPolled); // divider 2: one pass out of three
    timers.advance(40 * 30);
    ASSERT_GE(sentAt.size(), 5u);
    // A pass with the reply takes two ticks (send, then the rest of the table); two passes sat out.
    for (std::size_t i = 1; i < sentAt.size(); ++i)
        EXPECT_EQ(sentAt[i] - sentAt[i - 1], 4 * kPumpIntervalMs);
    EXPECT_TRUE(cell(kPolled).has(Pending));

    // A write of a polled cell goes without countdown.
    state.cell(kPolled, 0).at(CellPos::PollDivider) = 0x22;
    state.SetParamValue(kPolled, 9);
    frames().clear();
    timers.advance(kPumpIntervalMs);
    ASSERT_EQ(frames().size(), 1u);
    EXPECT_EQ(frames()[0][0], 0xD0);
}

// A write is stored and delivered once acknowledged. One that is not acknowledged, or whose acknowledgement
// fails five times, is written again: it never becomes a read of the board's old value.
TEST_F(PumpTest, AWriteIsRepeatedUntilAcknowledgedThenStoredAndDelivered) {
    for (const auto& [fault, failures] :
         {std::pair{ReplyFault::None, 0}, {ReplyFault::Drop, 1}, {ReplyFault::CorruptChecksum, 5}}) {
        form.received.clear();
        frames().clear();
        setBoardByte(0x10, 0);
        failFirst(failures, fault);
        state.SetParamValue(kByte, 7);
        ASSERT_TRUE(runUntil([&] { return delivered(kByte); }));
        const int confirmation = failures > 0 ? 1 : 0;
        EXPECT_EQ(frames(),
                  std::vector<Bytes>(static_cast<std::size_t>(failures + 1 + confirmation), kWriteSeven));
        EXPECT_EQ(boardByte(0x10), 7);
        EXPECT_EQ(std::get<double>(form.received.back().second), 7.0);
        EXPECT_TRUE(state.ParamIsValid(kByte, 0));
        EXPECT_FALSE(cell(kByte).has(WritePending));
    }
}

TEST_F(PumpTest, ANewerValueSetDuringTheRequestIsNotOverwritten) {
    state.SetParamValue(kByte, 7);
    ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
    state.SetParamValue(kByte, 9); // before the acknowledgement of 7 arrives
    // The acknowledgement of 7 delivers nothing; 9 goes out right after it.
    ASSERT_TRUE(runUntil([&] { return delivered(kByte); }, 200));
    EXPECT_EQ(state.ParamValue(kByte, 0), 9.0);
    EXPECT_EQ(frames().back(), (Bytes{0xD0, 0x00, 0x10, 0x00, 0x09, 0xE9}));
    ASSERT_EQ(form.received.size(), 1u);
    EXPECT_EQ(std::get<double>(form.received.back().second), 9.0);
}

TEST_F(PumpTest, ALateReplyIsNotTakenForTheNextRequest) {
    failFirst(1, ReplyFault::Late);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }, 3000)); // asked again after the time-out
    for (int i = 0; i < 16; ++i)
        setBoardByte(0x0300 + i, 'T');
    timers.advance(3000); // the late reply arrives with nothing in flight
    state.WatchParam(kText);
    ASSERT_TRUE(runUntil([&] { return delivered(kText); }));
    EXPECT_EQ(std::get<std::string>(form.received.back().second), std::string(16, 'T'));
}

// Replies carry no address: a reply that comes after the time-out, whether later replies overtake it or
// queue behind it as on a real board, must never be delivered as the value of another parameter.
TEST_F(PumpTest, LateRepliesNeverDeliverAValueToAnotherParameter) {
    const std::map<int, std::pair<int, int>> expected = {
        // index: address, value
        {kByte, {0x0010, 11}}, {4779, {0x0500, 22}},  {4780, {0x0501, 33}},       {4781, {0x0502, 44}},
        {4782, {0x0503, 55}},  {11733, {0x0510, 66}}, {kLastRecord, {0x0600, 77}}};
    for (const bool inOrder : {false, true})
        for (const std::uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "in order " << inOrder << ", seed " << seed);
            useLateBoard(seed, inOrder);
            for (const auto& [index, at] : expected)
                setBoardByte(at.first, static_cast<std::uint8_t>(at.second));
            for (int round = 0; round < 8; ++round) {
                form.received.clear();
                for (const auto& entry : expected)
                    state.WatchParam(entry.first);
                ASSERT_TRUE(runUntil([&] { return form.received.size() >= expected.size(); }, 60000));
                for (const auto& [index, value] : form.received)
                    EXPECT_EQ(std::get<double>(value), expected.at(index).second) << "parameter " << index;
            }
        }
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

// A disconnect waits for the reply on its way, or for its time-out and a quiet line, and sends nothing
// more.
TEST_F(PumpTest, DisconnectWaitsForTheRequestInFlight) {
    for (const bool answered : {true, false}) {
        if (!answered) {
            observer.outcome.reset();
            form.received.clear();
            connectBoard();
            failFirst(1, ReplyFault::Drop);
        }
        state.WatchParam(answered ? kWord : kPolled);
        ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
        engine->disconnect();
        timers.advance(answered ? kReplyMs - 1 : kReplyTimeoutMs + kLineGuardMs - 1);
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
    failFirst(1, ReplyFault::Drop);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
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
