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

// A secret (here the three bytes 745..747 of the configuration space 5) never shows in the trace: neither the
// values of a write to it nor the checksum and acknowledgement that would tell them, nor its bytes in the
// reply to a read, even one that arrives in pieces or covers more than the secret. Everything else shows as
// it was.
TEST(LinkMonitorSecrets, SecretBytesShowAsAsterisks) {
    LinkMonitor monitor;
    monitor.setSecrets([](int space, int address) { return space == 5 && address >= 745 && address <= 747; });
    const auto line = [&](std::size_t i) { return TraceLine(monitor.trace().at(i)).substr(12); };
    const Bytes write = {0xD2, 0x00, 0xE9, 0x02, 0x39, 0x30, 0x00, 0xEE}; // 12345 into 745..747
    monitor.requestSent(0, write, false);
    monitor.bytesRead(1, Bytes{0xDC}, false);
    monitor.requestSent(2, Bytes{0x50, 0x00, 0xE8, 0x02, 0x3A}, false); // 744 alone: no secret
    monitor.bytesRead(3, Bytes{0x07, 0x07}, false);
    monitor.requestSent(4, Bytes{0x5F, 0x00, 0xE0, 0x02, 0x41}, false); // 736..751 in one block
    monitor.bytesRead(5, Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 0x39}, false);
    monitor.bytesRead(6, Bytes{0x30, 0x00, 12, 13, 14, 15, 0x99}, false);
    monitor.requestSent(7, Bytes{0x52, 0x00, 0xE9, 0x02, 0x3D}, false); // a read of the code itself
    monitor.bytesRead(8, Bytes{0x39, 0x30, 0x00, 0x69, 0x55}, true);    // late, thrown away: still hidden
    ASSERT_EQ(monitor.trace().size(), 9u);
    EXPECT_EQ(line(0), "> D2 00 E9 02 ** ** ** **");
    EXPECT_EQ(line(1), "< **");
    EXPECT_EQ(line(2), "> 50 00 E8 02 3A");
    EXPECT_EQ(line(3), "< 07 07");
    EXPECT_EQ(line(4), "> 5F 00 E0 02 41");
    EXPECT_EQ(line(5), "< 00 01 02 03 04 05 06 07 08 **");
    EXPECT_EQ(line(6), "< ** ** 0C 0D 0E 0F **");
    EXPECT_EQ(line(7), "> 52 00 E9 02 3D");
    EXPECT_EQ(line(8), "x ** ** ** ** **");
    for (const TraceEntry& e : monitor.trace())
        for (std::size_t i = 0; i < e.hidden.size(); ++i)
            if (e.hidden[i]) EXPECT_EQ(e.bytes[i], 0) << "entry " << e.serial << " byte " << i;
}

} // namespace
} // namespace vm::link::test
