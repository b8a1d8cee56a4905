// Fault injection: each kind does what it says, at roughly its rate, the same way for the same seed.

#include "SimTestUtil.h"
#include "TestMaps.h"

#include <gtest/gtest.h>

namespace vm::sim::test {
namespace {

const Bytes kRead = {0x51, 0x00, 0x23, 0x01, 0x75};
const Bytes kReply = {0x34, 0x12, 0x46};

struct Run {
    std::vector<std::vector<Emission>> answers;
    BoardStats stats;
};

// Sends the read `count` times, one second apart.
Run Drive(const TestMaps& maps, const FaultSettings& faults, int count) {
    BoardSettings settings;
    settings.faults = faults;
    SimulatedBoard board(settings);
    std::string error;
    EXPECT_TRUE(board.loadMaps(maps.dir(), error));
    Run run;
    for (int i = 0; i < count; ++i)
        run.answers.push_back(board.receive(kRead, 1000LL * i));
    run.stats = board.stats();
    return run;
}

Bytes Joined(const std::vector<Emission>& emissions) {
    Bytes out;
    for (const auto& e : emissions)
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

class Faults : public ::testing::Test {
protected:
    TestMaps maps;
};

TEST_F(Faults, EachKindChangesTheReplyAsNamed) {
    FaultSettings f;
    f.corruptChecksum = 1;
    auto run = Drive(maps, f, 1);
    auto reply = Joined(run.answers[0]);
    ASSERT_EQ(reply.size(), 3u);
    EXPECT_EQ(reply[0], 0x34);
    EXPECT_NE(reply[2], 0x46);

    f = {};
    f.drop = 1;
    EXPECT_TRUE(Drive(maps, f, 1).answers[0].empty());

    f = {};
    f.split = 1;
    run = Drive(maps, f, 1);
    ASSERT_GE(run.answers[0].size(), 2u);
    EXPECT_EQ(Joined(run.answers[0]), kReply);
    EXPECT_LT(run.answers[0][0].atMs, run.answers[0][1].atMs);
    EXPECT_LT(run.answers[0].back().atMs, 1000); // pauses well inside the reply time-out

    f = {};
    f.trailing = 1;
    reply = Joined(Drive(maps, f, 1).answers[0]);
    ASSERT_GE(reply.size(), 4u);
    ASSERT_LE(reply.size(), 6u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 3), kReply);

    f = {};
    f.late = 1;
    run = Drive(maps, f, 1);
    ASSERT_EQ(run.answers[0].size(), 1u);
    EXPECT_GT(run.answers[0][0].atMs, 1000);
    EXPECT_EQ(run.answers[0][0].bytes, kReply);

    f = {};
    f.unsolicited = 1;
    run = Drive(maps, f, 1);
    ASSERT_EQ(run.answers[0].size(), 2u);
    EXPECT_EQ(run.answers[0][0].bytes, kReply);
    EXPECT_GT(run.answers[0][1].atMs, run.answers[0][0].atMs);
}

TEST_F(Faults, RatesAreRoughlyKeptAndSeedsRepeat) {
    FaultSettings f;
    f.corruptChecksum = 0.3;
    f.drop = 0.1;
    f.split = 0.5;
    f.trailing = 0.2;
    f.late = 0.05;
    f.unsolicited = 0.15;
    f.seed = 1234;
    const int n = 2000;
    const auto run = Drive(maps, f, n);
    EXPECT_NEAR(run.stats.dropped / double(n), 0.1, 0.03);
    const double answered = static_cast<double>(run.stats.answered);
    EXPECT_EQ(run.stats.answered + run.stats.dropped, static_cast<std::uint64_t>(n));
    EXPECT_NEAR(run.stats.corrupted / answered, 0.3, 0.04);
    EXPECT_NEAR(run.stats.split / answered, 0.5, 0.04);
    EXPECT_NEAR(run.stats.trailing / answered, 0.2, 0.04);
    EXPECT_NEAR(run.stats.late / answered, 0.05, 0.02);
    EXPECT_NEAR(run.stats.unsolicited / double(n), 0.15, 0.03);

    const auto again = Drive(maps, f, n);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(again.answers[i].size(), run.answers[i].size()) << i;
        for (std::size_t k = 0; k < run.answers[i].size(); ++k) {
            EXPECT_EQ(again.answers[i][k].bytes, run.answers[i][k].bytes);
            EXPECT_EQ(again.answers[i][k].atMs, run.answers[i][k].atMs);
        }
    }
    f.seed = 1235;
    const auto other = Drive(maps, f, n);
    int differing = 0;
    for (int i = 0; i < n; ++i)
        differing += Joined(other.answers[i]) != Joined(run.answers[i]);
    EXPECT_GT(differing, n / 10);
}

TEST_F(Faults, DisappearsAfterTheGivenNumberOfFrames) {
    FaultSettings f;
    f.disappearAfter = 3;
    f.disappearMode = DisappearMode::Silent;
    BoardSettings settings;
    settings.faults = f;
    SimulatedBoard board(settings);
    std::string error;
    ASSERT_TRUE(board.loadMaps(maps.dir(), error));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Ask(board, kRead, i * 100), kReply);
    EXPECT_FALSE(board.disappeared());
    EXPECT_TRUE(Ask(board, kRead, 400).empty());
    EXPECT_TRUE(board.disappeared());
    EXPECT_TRUE(Ask(board, kRead, 500).empty());
}

} // namespace
} // namespace vm::sim::test
