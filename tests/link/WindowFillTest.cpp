// A window's parameters are read in blocks of configuration memory when it starts to watch them.
#include "LinkFixture.h"

namespace vm::link::test {
namespace {

class WindowFillTest : public LinkTest {
protected:
    void SetUp() override {
        // 0x0120..0x0124: kByteA, kByteB, kByteC and the word kWord, all in the save's block at 0x0120.
        const std::uint8_t bytes[] = {0x11, 0x22, 0x33, 0x34, 0x12};
        for (int i = 0; i < 5; ++i)
            setBoardByte(0x0120 + i, bytes[i]);
        connectBoard();
    }
    void openWindow() {
        for (int index : {kWord, kByteA, kByteB, kByteC, kText})
            state.WatchParam(index);
    }
    std::map<int, std::vector<double>> delivered() const {
        std::map<int, std::vector<double>> values;
        for (const auto& [index, value] : form.received)
            if (const double* number = std::get_if<double>(&value)) values[index].push_back(*number);
        return values;
    }
};

// One block read for the four cells that share a block, the single cell of another block on its own.
TEST_F(WindowFillTest, OneBlockReadDeliversEveryValueOnce) {
    openWindow();
    ASSERT_TRUE(runUntil([&] { return form.received.size() == 5; }));
    timers.advance(1000);
    ASSERT_EQ(frames().size(), 2u);
    EXPECT_EQ(frames()[0], (Bytes{0x5F, 0x00, 0x20, 0x01, 0x80}));
    EXPECT_EQ(AddressOf(frames()[1]), 0x0300);
    const std::map<int, std::vector<double>> expected = {
        {kWord, {4660}}, {kByteA, {0x11}}, {kByteB, {0x22}}, {kByteC, {0x33}}};
    EXPECT_EQ(delivered(), expected);
    for (int index : {kWord, kByteA, kByteB, kByteC}) {
        EXPECT_TRUE(state.ParamIsValid(index, 0)) << index;
        EXPECT_FALSE(state.cell(index, 0).has(Pending)) << index;
    }
}

// A value waiting to be written, or changed while the block is on its way, is neither overwritten nor shown
// with the board's older value; it goes to the board.
TEST_F(WindowFillTest, AWriteWaitingOrMadeDuringTheBlockIsNotOverwritten) {
    state.SetParamValue(kByteB, 99);
    port.onWrite = [&](const Bytes& frame) {
        if (frame[0] == 0x5F && AddressOf(frame) == 0x0120) state.SetParamValue(kByteC, 77);
    };
    openWindow();
    ASSERT_TRUE(runUntil([&] { return boardByte(0x0121) == 99 && boardByte(0x0122) == 77; }));
    timers.advance(1000);
    EXPECT_EQ(AddressOf(frames()[0]), 0x0120); // the block went first
    EXPECT_EQ(state.ParamValue(kByteB, 0), 99);
    EXPECT_EQ(state.ParamValue(kByteC, 0), 77);
    const auto values = delivered();
    EXPECT_EQ(values.at(kByteB), std::vector<double>{99});
    EXPECT_EQ(values.at(kByteC), std::vector<double>{77});
    EXPECT_EQ(values.at(kByteA), std::vector<double>{0x11});
}

// Cells that no block serves on its own are read one by one, and no block is read for them at all.
TEST_F(WindowFillTest, TextsAcrossBlockBoundariesAreReadOnTheirOwn) {
    for (int index : {kTextA, kTextB})
        state.WatchParam(index);
    ASSERT_TRUE(runUntil([&] { return form.received.size() == 2; }));
    timers.advance(1000);
    ASSERT_EQ(frames().size(), 2u);
    EXPECT_EQ(AddressOf(frames()[0]), 0x0328);
    EXPECT_EQ(AddressOf(frames()[1]), 0x0338);
}

// A board that goes silent while a window fills: after five requests without a reply the program says so,
// once, and goes on asking; once the board answered, a new silence is reported again.
TEST_F(WindowFillTest, ABoardThatStopsAnsweringIsReportedOnceEachTime) {
    bool silent = true;
    board.faultHook = [&](const sim::Frame&) { return silent ? ReplyFault::Drop : ReplyFault::None; };
    openWindow();
    // Each request waits 1 s for its reply, then the line 1 s for quiet.
    timers.advance(8900);
    EXPECT_TRUE(observer.messages.empty());
    ASSERT_TRUE(runUntil([&] { return !observer.messages.empty(); }, 2100));
    EXPECT_EQ(observer.messages[0].title, "Serial");
    EXPECT_TRUE(observer.messages[0].text.starts_with("The board stopped answering"))
        << observer.messages[0].text;
    EXPECT_EQ(observer.messages[0].icon, kIconExclamation);
    EXPECT_TRUE(form.received.empty());
    timers.advance(30000);
    EXPECT_EQ(observer.messages.size(), 1u);

    silent = false;
    ASSERT_TRUE(runUntil([&] { return form.received.size() == 5; }, 5000));
    silent = true;
    state.WatchParam(kByte); // a request that gets no reply, asked again and again
    ASSERT_TRUE(runUntil([&] { return observer.messages.size() == 2; }, 12000));
}

} // namespace
} // namespace vm::link::test
