// Connect: opening the port, identification, compatibility, the parameter map of the board.
#include "LinkFixture.h"
#include "LinkTexts.h"
#include "ParamMap.h"

#include <tuple>

namespace vm::link::test {
namespace {

using IdentificationTest = LinkTest;

TEST_F(IdentificationTest, AcceptedBoardIsAskedSixBytesAndLoadsTheMapOfItsRevision) {
    WriteParamMap(dir / "W0482BV01.inx", 10);
    setIdentity(1, 21, 18, 617, 33);
    state.ConfigImage[100] = 7;
    engine->connect(ConnectPurpose::Edit);
    ASSERT_TRUE(runUntil([&] { return observer.outcome == ConnectOutcome::Connected; }));
    const int records[] = {10, 11, 12, 13, 14, 18};
    ASSERT_EQ(frames().size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(frames()[i][0], 0x50); // one byte, whatever the record's size
        EXPECT_EQ(AddressOf(frames()[i]), kIdentBase + records[i]);
    }
    EXPECT_EQ(state.RecordCount[0], 10);
    EXPECT_EQ(std::tuple(state.BoardClass, state.BoardType, state.BoardSoftware, state.BoardRevision,
                         state.SoftwareRelease),
              std::tuple(18, 617, 21, 1, 33));
    EXPECT_TRUE(state.BoardPresent[0]);
    EXPECT_TRUE(state.Online);
    EXPECT_EQ(state.ConfigImage[100], 0); // the configuration area is cleared for editing
    EXPECT_EQ(engine->state(), LinkState::Pumping);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(IdentificationTest, WriteBoardKeepsTheImageAndAnOpenPortIsNotOpenedAgain) {
    std::string error;
    ASSERT_TRUE(port.open(error));
    port.failOpen = true; // opening again would fail
    state.ConfigImage[100] = 7;
    connectBoard(ConnectPurpose::WriteBoard);
    EXPECT_EQ(state.ConfigImage[100], 7);
    EXPECT_EQ(port.openCount, 1);
    EXPECT_TRUE(observer.messages.empty());
}

struct Refusal {
    int boardClass, type, software;
    const char* message;
};

class RefusalTest : public LinkTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, IncompatibleBoardIsRefusedWithTheLastMessage) {
    const Refusal r = GetParam();
    setIdentity(0, r.software, r.boardClass, r.type, 0);
    engine->connect(ConnectPurpose::Edit);
    ASSERT_TRUE(runUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, ConnectOutcome::Refused);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].title, "ERROR");
    EXPECT_EQ(observer.messages[0].text, r.message);
    EXPECT_EQ(observer.messages[0].icon, kIconCritical);
    EXPECT_EQ(state.BoardClass, r.boardClass); // the class as the board reported it
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(state.Online);
    EXPECT_TRUE(engine->linkFailed());
}

INSTANTIATE_TEST_SUITE_P(Checks, RefusalTest,
                         ::testing::Values(Refusal{17, 482, 21, "Board\nNot Compatible"},
                                           Refusal{18, 1, 21, "Board Type\nNot Compatible"},
                                           Refusal{18, 482, 20, "Board Software\nNot Compatible"},
                                           Refusal{17, 1, 20, "Board Software\nNot Compatible"},
                                           Refusal{17, 1, 21, "Board Type\nNot Compatible"}));

TEST_F(IdentificationTest, SilentBoardAsksRetryWithoutBlockingAndRetrySucceeds) {
    failFirst(1000, ReplyFault::Drop);
    engine->connect(ConnectPurpose::Edit);
    // Each record is asked three times, a quiet pause after each time-out.
    ASSERT_TRUE(runUntil([&] { return !observer.questions.empty(); }, 3 * (kReplyTimeoutMs + kLineGuardMs)));
    EXPECT_EQ(frames().size(), 3u);
    EXPECT_EQ(observer.questions[0].title, "Serial");
    EXPECT_EQ(observer.questions[0].text, "Board Not Ready\nCheck serial !");
    EXPECT_EQ(engine->state(), LinkState::AwaitingRetry);
    const auto sent = frames().size();
    timers.advance(10000); // nothing happens while the question is open
    EXPECT_EQ(frames().size(), sent);
    EXPECT_FALSE(observer.outcome.has_value());

    // Four checksum failures after a retry make the board not ready again.
    failFirst(1000, ReplyFault::CorruptChecksum);
    engine->answerRetry(true);
    ASSERT_TRUE(runUntil([&] { return observer.questions.size() == 2; }));
    EXPECT_EQ(frames().size(), sent + 5);
    board.faultHook = nullptr;
    engine->answerRetry(true);
    ASSERT_TRUE(runUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, ConnectOutcome::Connected);
}

// On a line where replies come late the identification asks again; it never takes a shifted reply for
// another record, which would refuse a good board or name a map that does not exist.
TEST_F(IdentificationTest, LateRepliesNeverMakeAGoodBoardLookIncompatible) {
    for (const bool inOrder : {false, true})
        for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
            SCOPED_TRACE(testing::Message() << "in order " << inOrder << ", seed " << seed);
            useLateBoard(seed, inOrder);
            observer.outcome.reset();
            observer.messages.clear();
            observer.onAsk = [&] { engine->answerRetry(true); };
            engine->connect(ConnectPurpose::Edit);
            ASSERT_TRUE(runUntil([&] { return observer.outcome.has_value(); }, 120000));
            ASSERT_EQ(*observer.outcome, ConnectOutcome::Connected) << observer.connectError;
            EXPECT_EQ(std::tuple(state.BoardClass, state.BoardType, state.BoardSoftware, state.BoardRevision,
                                 state.SoftwareRelease),
                      std::tuple(18, 482, 21, 0, 5));
            EXPECT_TRUE(observer.messages.empty());
            engine->disconnect();
            ASSERT_TRUE(runUntil([&] { return engine->state() == LinkState::Closed; }));
        }
}

TEST_F(IdentificationTest, CancelMakesTheConnectFail) {
    failFirst(1000, ReplyFault::Drop);
    observer.onAsk = [&] { engine->answerRetry(false); }; // answered from inside the question
    engine->connect(ConnectPurpose::Edit);
    ASSERT_TRUE(runUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, ConnectOutcome::Failed);
    EXPECT_TRUE(engine->linkFailed());
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(state.Online);
    EXPECT_EQ(engine->state(), LinkState::Closed);
}

TEST_F(IdentificationTest, MissingMapFailsTheConnectAndKeepsTheTable) {
    ASSERT_TRUE(LoadParamMap(state, dir / "W0482BV00.inx", 0).ok);
    setIdentity(7, 21, 18, 482, 0);
    engine->connect(ConnectPurpose::Edit);
    ASSERT_TRUE(runUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, ConnectOutcome::Failed);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].text.find("W0482BV07.inx"), std::string::npos);
    EXPECT_NE(observer.connectError.find("W0482BV07.inx"), std::string::npos);
    EXPECT_EQ(state.RecordCount[0], kLastRecord);
    EXPECT_FALSE(state.Online);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(IdentificationTest, PortThatCannotOpenShowsThePortMessage) {
    port.failOpen = true;
    engine->connect(ConnectPurpose::Edit);
    ASSERT_TRUE(observer.outcome.has_value());
    EXPECT_EQ(*observer.outcome, ConnectOutcome::Failed);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].title, "ERROR ");
    EXPECT_EQ(observer.messages[0].text, "   Attention error port!\r\rPlease select a new COM\r\rport busy");
    EXPECT_EQ(observer.connectError, "port busy");
    EXPECT_EQ(observer.messages[0].icon, kIconCritical);
    EXPECT_TRUE(engine->linkFailed());
    EXPECT_TRUE(frames().empty());
}

TEST_F(IdentificationTest, PortLostWhileIdentifyingFailsTheConnect) {
    failFirst(1000, ReplyFault::Drop);
    engine->connect(ConnectPurpose::Edit);
    port.lose("gone");
    ASSERT_TRUE(observer.outcome.has_value());
    EXPECT_EQ(*observer.outcome, ConnectOutcome::Failed);
    timers.advance(5000);
    EXPECT_TRUE(observer.questions.empty());
    EXPECT_EQ(engine->state(), LinkState::Closed);
}

} // namespace
} // namespace vm::link::test
