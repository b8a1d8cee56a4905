// The line guard on its own, on a hand-driven clock: how long the line must stay quiet after a fault, what
// restarts the wait, and which pairs of reads make a value count.
#include "LineGuard.h"

#include "LinkFixture.h" // TestTimers

#include <gtest/gtest.h>

namespace vm::link::test {
namespace {

class LineGuardTest : public ::testing::Test {
protected:
    TestTimers timers;
    int holds = 0, discards = 0;
    std::vector<AfterQuiet> quiet; // every end of a wait, with what was to follow it
    LineGuard guard{timers,
                    {.hold = [this] { ++holds; },
                     .discard = [this] { ++discards; },
                     .quiet = [this](AfterQuiet then) { quiet.push_back(then); }}};
};

const Bytes kValue = {0x34, 0x12};
const Bytes kOther = {0x78, 0x56}; // as long as kValue, another value

TEST_F(LineGuardTest, AFaultWaitsOneQuietSecondThenTakesAValueOnlyWhenTwoReadsAgree) {
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::Take); // in step: no confirmation

    guard.fault(AfterQuiet::Resend);
    EXPECT_EQ(guard.state(), LineState::Settling);
    EXPECT_EQ(holds, 1);
    EXPECT_EQ(discards, 1);
    timers.advance(999);
    EXPECT_TRUE(quiet.empty());
    timers.advance(1);
    EXPECT_EQ(quiet, std::vector<AfterQuiet>{AfterQuiet::Resend});
    EXPECT_EQ(guard.state(), LineState::Confirming);

    // The first read is kept, and the same request goes again after a pause of 100 ms.
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::ReadAgain);
    EXPECT_EQ(guard.state(), LineState::Settling);
    timers.advance(99);
    EXPECT_EQ(quiet.size(), 1u);
    timers.advance(1);
    EXPECT_EQ(quiet, (std::vector<AfterQuiet>{AfterQuiet::Resend, AfterQuiet::Resend}));

    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::Take);
    EXPECT_EQ(guard.state(), LineState::InStep);
    EXPECT_EQ(guard.check(kOther), LineGuard::Verdict::Take); // back in step: no more confirming
}

// Two reads of the same length with other bytes are no value, and after the fault that follows, neither
// of them counts as a first read any more.
TEST_F(LineGuardTest, TwoDifferingReadsDoNotConfirmAndTheConfirmationStartsOver) {
    guard.fault(AfterQuiet::Abandon);
    timers.advance(1000);
    EXPECT_EQ(quiet, std::vector<AfterQuiet>{AfterQuiet::Abandon});
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::ReadAgain);
    timers.advance(100);
    EXPECT_EQ(guard.check(kOther), LineGuard::Verdict::Differs);

    guard.fault(AfterQuiet::Resend); // what the engine does with Differs
    timers.advance(1000);
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::ReadAgain);
    timers.advance(100);
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::Take);
    EXPECT_EQ(guard.state(), LineState::InStep);
}

// Bytes during a wait are thrown away and the same wait starts again from them: 1 s after a fault, 100 ms
// in the pause of a confirmation, whose first read is then forgotten (it may have been a stale reply).
TEST_F(LineGuardTest, InputWhileSettlingRestartsTheSameWaitAndTheConfirmation) {
    guard.fault(AfterQuiet::Resume);
    timers.advance(600);
    const int before = discards;
    guard.inputWhileSettling();
    EXPECT_GT(discards, before);
    timers.advance(999);
    EXPECT_TRUE(quiet.empty());
    timers.advance(1);
    EXPECT_EQ(quiet, std::vector<AfterQuiet>{AfterQuiet::Resume});

    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::ReadAgain);
    timers.advance(50);
    guard.inputWhileSettling();
    timers.advance(99);
    EXPECT_EQ(quiet.size(), 1u);
    timers.advance(1);
    EXPECT_EQ(quiet, (std::vector<AfterQuiet>{AfterQuiet::Resume, AfterQuiet::Resend}));
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::ReadAgain);
}

// A wait that was replaced or reset never ends the guard, even when its timer event still comes.
TEST_F(LineGuardTest, AStaleWaitNeverEndsTheGuard) {
    timers.leaky = true;
    guard.fault(AfterQuiet::Resend);
    timers.advance(500);
    guard.fault(AfterQuiet::Abandon);
    timers.advance(500);
    EXPECT_TRUE(quiet.empty());
    EXPECT_EQ(guard.state(), LineState::Settling);
    timers.advance(500);
    EXPECT_EQ(quiet, std::vector<AfterQuiet>{AfterQuiet::Abandon});

    guard.fault(AfterQuiet::Resend);
    guard.reset();
    EXPECT_EQ(guard.state(), LineState::InStep);
    timers.advance(1000);
    EXPECT_EQ(quiet.size(), 1u);
    EXPECT_EQ(guard.check(kValue), LineGuard::Verdict::Take);
}

} // namespace
} // namespace vm::link::test
