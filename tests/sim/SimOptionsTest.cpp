#include "SimOptions.h"
#include "BoardFactory.h"
#include "TestMaps.h"

#include <gtest/gtest.h>

namespace vm::sim {
namespace {

TEST(SimOptions, ReadsEveryOption) {
    const auto r = ParseSimOptions({"--class",    "17",
                                    "--type=617", "--software",
                                    "22",         "--revision",
                                    "7",          "--release",
                                    "5",          "--corrupt-checksum",
                                    "0.25",       "--drop",
                                    "0.1",        "--split",
                                    "1",          "--trailing",
                                    "0",          "--late",
                                    "0.5",        "--unsolicited",
                                    "0.02",       "--disappear-after",
                                    "40",         "--disappear-mode",
                                    "silent",     "--seed",
                                    "99",         "--wire-time",
                                    "--maps",     "/m",
                                    "--load",     "a.prm"},
                                   "/default");
    ASSERT_TRUE(r.ok()) << r.error;
    const auto& o = r.options;
    EXPECT_EQ(o.board.identity.boardClass, 17);
    EXPECT_EQ(o.board.identity.boardType, 617);
    EXPECT_EQ(o.board.identity.software, 22);
    EXPECT_EQ(o.board.identity.revision, 7);
    EXPECT_EQ(o.board.identity.release, 5);
    EXPECT_DOUBLE_EQ(o.board.faults.corruptChecksum, 0.25);
    EXPECT_DOUBLE_EQ(o.board.faults.drop, 0.1);
    EXPECT_DOUBLE_EQ(o.board.faults.split, 1);
    EXPECT_DOUBLE_EQ(o.board.faults.late, 0.5);
    EXPECT_DOUBLE_EQ(o.board.faults.unsolicited, 0.02);
    EXPECT_EQ(o.board.faults.disappearAfter, 40);
    EXPECT_EQ(o.board.faults.disappearMode, DisappearMode::Silent);
    EXPECT_EQ(o.board.faults.seed, 99u);
    EXPECT_TRUE(o.board.wireTime);
    EXPECT_EQ(o.mapsDir, "/m");
    EXPECT_EQ(o.loadFile, "a.prm");
    EXPECT_FALSE(o.help);
}

TEST(SimOptions, DefaultsAndHelp) {
    const auto r = ParseSimOptions({"--empty"}, "/prog");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.options.mapsDir, "/prog");
    EXPECT_TRUE(r.options.empty);
    EXPECT_EQ(r.options.board.identity.boardClass, 18);
    EXPECT_EQ(r.options.board.identity.boardType, 482);
    EXPECT_FALSE(r.options.board.identity.release.has_value());
    EXPECT_FALSE(r.options.board.wireTime);
    EXPECT_TRUE(ParseSimOptions({"--help"}, "").options.help);
    EXPECT_NE(SimUsage("vmboard-sim").find("--disappear-after"), std::string::npos);
}

TEST(SimOptions, RejectsWhatItCannotUse) {
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--drop", "1.5"},
                                                {"--drop", "x"},
                                                {"--class", "256"},
                                                {"--type", "-1"},
                                                {"--seed"},
                                                {"--bogus"},
                                                {"--revision", "100"},
                                                {"--empty", "--load", "f.prm"},
                                                {"--disappear-mode", "maybe"},
                                                {"--wire-time=1"}})
        EXPECT_FALSE(ParseSimOptions(bad, "").ok()) << bad[0];
}

} // namespace
} // namespace vm::sim

namespace vm::sim::test {
namespace {

TEST(CreateBoard, FollowsTheMemoryOptions) {
    TestMaps maps;
    std::string error;
    auto board = CreateBoard(ParseSimOptions({"--empty"}, maps.dir().string()).options, error);
    ASSERT_TRUE(board) << error;
    EXPECT_EQ(board->memory().read(kConfigSpace, 0x0010), 0);
    EXPECT_EQ(board->memory().read(kTestSpace, kIdentBase + 12), 18);

    EXPECT_FALSE(
        CreateBoard(ParseSimOptions({"--load", "/no/such.prm"}, maps.dir().string()).options, error));
    EXPECT_NE(error.find("/no/such.prm"), std::string::npos);
    EXPECT_FALSE(CreateBoard(ParseSimOptions({}, "/no/maps").options, error));
}

} // namespace
} // namespace vm::sim::test
