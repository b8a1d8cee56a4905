// The link monitor's figures after known exchanges with the simulated board, faults forced on chosen frames.
#include "LinkFixture.h"

#include "LinkMonitor.h"

namespace vm::link::test {
namespace {

class LinkMonitorTest : public LinkTest {
protected:
    void SetUp() override {
        connectBoard();
        engine->setTap(&monitor);
    }
    bool delivered(int index) const {
        return std::any_of(form.received.begin(), form.received.end(),
                           [&](auto& r) { return r.first == index; });
    }
    LinkMonitor monitor{8};
};

// A bad checksum, then a reply that never comes: each is counted once, the frames sent again are retries,
// the confirming reads after them are not, and only the replies taken give a round trip.
TEST_F(LinkMonitorTest, CountsFaultsRetriesAndRoundTrips) {
    failFirst(1, ReplyFault::CorruptChecksum);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return delivered(kWord); }));
    LinkCounts c = monitor.counts();
    EXPECT_EQ(c.checksumFailures, 1u);
    EXPECT_EQ(c.timeouts, 0u);
    EXPECT_EQ(c.requests, 3u); // the first, the retry after the line went quiet, the confirming read
    EXPECT_EQ(c.retries, 1u);
    EXPECT_EQ(c.replies, 1u);
    EXPECT_EQ(c.lastRoundTripMs, kReplyMs);

    failFirst(1, ReplyFault::Drop);
    state.WatchParam(kByte);
    ASSERT_TRUE(runUntil([&] { return delivered(kByte); }));
    c = monitor.counts();
    EXPECT_EQ(c.checksumFailures, 1u);
    EXPECT_EQ(c.timeouts, 1u);
    EXPECT_EQ(c.requests, 6u);
    EXPECT_EQ(c.retries, 2u);
    EXPECT_EQ(c.replies, 2u);
    EXPECT_EQ(c.worstRoundTripMs, kReplyMs);
    EXPECT_DOUBLE_EQ(c.meanRoundTripMs(), kReplyMs);

    monitor.reset();
    EXPECT_EQ(monitor.counts().requests, 0u);
    EXPECT_TRUE(monitor.trace().empty());
}

// The trace keeps the newest entries only, in order, stamped with the engine's clock.
TEST_F(LinkMonitorTest, TraceIsBoundedAndStamped) {
    state.WatchParam(kPolled); // re-read on every third pass: traffic for as long as it is watched
    ASSERT_TRUE(runUntil([&] { return monitor.counts().replies >= 6; }));
    const auto& trace = monitor.trace();
    ASSERT_EQ(trace.size(), 8u);
    for (std::size_t i = 1; i < trace.size(); ++i) {
        EXPECT_EQ(trace[i].serial, trace[i - 1].serial + 1);
        EXPECT_GE(trace[i].atMs, trace[i - 1].atMs);
    }
    EXPECT_GT(trace.front().serial, 1u); // older entries were dropped
    const TraceEntry& sent = trace[trace.back().kind == TraceKind::Sent ? trace.size() - 1 : trace.size() - 2];
    ASSERT_EQ(sent.kind, TraceKind::Sent);
    EXPECT_EQ(sent.bytes, (Bytes{0x50, 0x00, 0x00, 0x02, 0x52}));
}

TEST(TraceLine, ShowsTimeDirectionAndHex) {
    EXPECT_EQ(TraceLine({1, 12345, TraceKind::Sent, {0x51, 0x00, 0x23, 0x01, 0x75}}),
              "     12.345 > 51 00 23 01 75");
    EXPECT_EQ(TraceLine({2, 7, TraceKind::Received, {0x0A}}), "      0.007 < 0A");
    EXPECT_EQ(TraceLine({3, 1000, TraceKind::Discarded, {}}), "      1.000 x");
}

} // namespace
} // namespace vm::link::test
