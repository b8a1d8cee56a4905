// Fault injection: each kind does what it says, at roughly its rate, the same way for the same seed.

#include "SimTestUtil.h"

#include <gtest/gtest.h>

#include <utility>

namespace vm::sim::test {
namespace {

using Answers = std::vector<std::vector<Emission>>;

// Sends the read `count` times, one second apart.
Answers Drive(const TestMaps& maps, const FaultSettings& faults, int count, BoardStats* stats = nullptr) {
    BoardSettings settings;
    settings.faults = faults;
    SimulatedBoard board = LoadedBoard(maps, settings);
    Answers answers;
    for (int i = 0; i < count; ++i)
        answers.push_back(board.receive(kRead, 1000LL * i));
    if (stats) *stats = board.stats();
    return answers;
}

// Every emission with its time, in order, for comparing two runs.
std::vector<std::pair<double, Bytes>> Timeline(const Answers& answers) {
    std::vector<std::pair<double, Bytes>> out;
    for (const auto& answer : answers)
        for (const auto& e : answer)
            out.emplace_back(e.atMs, e.bytes);
    return out;
}

// Replies behind a late one overtake it, or wait for it as a real board's do.
TEST(Faults, ALateReplyIsOvertakenOrHoldsBackTheRepliesBehindIt) {
    TestMaps maps;
    for (const bool inOrder : {false, true}) {
        BoardSettings settings;
        settings.faults.lateInOrder = inOrder;
        SimulatedBoard board = LoadedBoard(maps, settings);
        board.faultHook = [n = 0](const Frame&) mutable {
            return n++ == 0 ? ReplyFault::Late : ReplyFault::None;
        };
        const auto late = board.receive(kRead, 0);
        const auto next = board.receive(kRead, 100);
        ASSERT_EQ(late.size(), 1u);
        ASSERT_EQ(next.size(), 1u);
        EXPECT_EQ(next[0].atMs >= late[0].atMs, inOrder) << "in order " << inOrder;
    }
}

TEST(Faults, EachKindChangesTheReplyAsNamed) {
    TestMaps maps;
    auto only = [&](double FaultSettings::*kind) {
        FaultSettings f;
        f.*kind = 1;
        return Drive(maps, f, 1)[0];
    };
    const Bytes corrupt = Joined(only(&FaultSettings::corruptChecksum));
    EXPECT_TRUE(corrupt.size() == 3 && corrupt[0] == 0x34 && corrupt[2] != 0x46);
    EXPECT_TRUE(only(&FaultSettings::drop).empty());
    const auto split = only(&FaultSettings::split);
    ASSERT_GE(split.size(), 2u);
    EXPECT_EQ(Joined(split), kReply);
    EXPECT_LT(split[0].atMs, split[1].atMs);
    EXPECT_LT(split.back().atMs, 1000); // pauses well inside the reply time-out
    const Bytes trailing = Joined(only(&FaultSettings::trailing));
    ASSERT_TRUE(trailing.size() >= 4 && trailing.size() <= 6);
    EXPECT_EQ(Bytes(trailing.begin(), trailing.begin() + 3), kReply);
    const auto late = only(&FaultSettings::late);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_GT(late[0].atMs, 1000);
    EXPECT_EQ(late[0].bytes, kReply);
    const auto unsolicited = only(&FaultSettings::unsolicited);
    ASSERT_EQ(unsolicited.size(), 2u);
    EXPECT_EQ(unsolicited[0].bytes, kReply);
    EXPECT_GT(unsolicited[1].atMs, unsolicited[0].atMs);
}

TEST(Faults, RatesAreRoughlyKeptAndSeedsRepeat) {
    TestMaps maps;
    FaultSettings f;
    f.corruptChecksum = 0.3;
    f.drop = 0.1;
    f.split = 0.5;
    f.trailing = 0.2;
    f.late = 0.05;
    f.unsolicited = 0.15;
    f.seed = 1234;
    const int n = 2000;
    BoardStats stats;
    const auto run = Drive(maps, f, n, &stats);
    EXPECT_NEAR(stats.dropped / double(n), 0.1, 0.03);
    EXPECT_EQ(stats.answered + stats.dropped, static_cast<std::uint64_t>(n));
    const double answered = static_cast<double>(stats.answered);
    EXPECT_NEAR(stats.corrupted / answered, 0.3, 0.04);
    EXPECT_NEAR(stats.split / answered, 0.5, 0.04);
    EXPECT_NEAR(stats.trailing / answered, 0.2, 0.04);
    EXPECT_NEAR(stats.late / answered, 0.05, 0.02);
    EXPECT_NEAR(stats.unsolicited / double(n), 0.15, 0.03);

    EXPECT_EQ(Timeline(Drive(maps, f, n)), Timeline(run));
    f.seed = 1235;
    const auto other = Drive(maps, f, n);
    int differing = 0;
    for (int i = 0; i < n; ++i)
        differing += Joined(other[i]) != Joined(run[i]);
    EXPECT_GT(differing, n / 10);
}

} // namespace
} // namespace vm::sim::test
