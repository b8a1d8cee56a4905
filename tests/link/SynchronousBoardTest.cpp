// A board that answers from inside the port's write (an in-process simulated board does): every path of
// the engine must cope with the reply arriving before write() returns.
#include "LinkFixture.h"

namespace vm::link::test {
namespace {

class SynchronousBoardTest : public LinkTest {
protected:
    void SetUp() override {
        board.synchronous = true;
        for (int a = 0; a < kConfigAreaSize; ++a)
            board.memory[a] = static_cast<std::uint8_t>(a * 3);
        board.setIdentity(0, 21, 18, 482, 5);
        board.memory[0x0123] = 0x34;
        board.memory[0x0124] = 0x12;
    }
};

TEST_F(SynchronousBoardTest, ConnectReadWriteSaveAndDisconnect) {
    engine->connect(ConnectPurpose::Edit);
    ASSERT_TRUE(observer.outcome.has_value()); // the whole identification ran inside connect()
    ASSERT_EQ(*observer.outcome, ConnectOutcome::Connected);

    state.WatchParam(kWord);
    state.SetParamValue(kByte, 77);
    timers.advance(200);
    EXPECT_EQ(state.ParamValue(kWord, 0), 4660.0);
    EXPECT_EQ(board.memory[0x10], 77);

    engine->saveRead();
    ASSERT_TRUE(runUntil([&] { return !observer.finished.empty(); }, 60000));
    EXPECT_TRUE(observer.finished[0].ok);
    EXPECT_EQ(state.ConfigImage[5000], board.memory[5000]);

    state.ConfigImage[5001] = 0xAB;
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return observer.finished.size() == 2; }, 60000));
    EXPECT_TRUE(observer.finished[1].ok);
    EXPECT_EQ(board.memory[5001], 0xAB);

    engine->disconnect();
    EXPECT_EQ(observer.disconnectReasons.size(), 1u);
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace vm::link::test
