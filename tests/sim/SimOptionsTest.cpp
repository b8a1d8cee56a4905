// The simulator's command line, and the board it asks for.

#include "SimOptions.h"
#include "BoardFactory.h"
#include "SimTestUtil.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace vm::sim::test {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(SimOptions, ReadsEveryOption) {
    const auto r =
        ParseSimOptions(Words("--class 17 --type=617 --software 22 --revision 7 --release 5 "
                              "--corrupt-checksum 0.25 --drop 0.1 --split 1 --trailing 0.3 "
                              "--late 0.5 --late-in-order --unsolicited 0.02 --disappear-after 40 "
                              "--disappear-mode silent --seed 99 --wire-time --maps /m --load a.prm"),
                        "/default");
    ASSERT_TRUE(r.ok()) << r.error;
    const BoardSettings& b = r.options.board;
    EXPECT_EQ((std::vector<int>{b.identity.boardClass, b.identity.boardType, b.identity.software,
                                b.identity.revision, b.identity.release.value_or(-1)}),
              (std::vector<int>{17, 617, 22, 7, 5}));
    EXPECT_EQ((std::vector<double>{b.faults.corruptChecksum, b.faults.drop, b.faults.split, b.faults.trailing,
                                   b.faults.late, b.faults.unsolicited}),
              (std::vector<double>{0.25, 0.1, 1, 0.3, 0.5, 0.02}));
    EXPECT_EQ(b.faults.disappearAfter, 40);
    EXPECT_EQ(b.faults.disappearMode, DisappearMode::Silent);
    EXPECT_EQ(b.faults.seed, 99u);
    EXPECT_TRUE(b.wireTime);
    EXPECT_TRUE(b.faults.lateInOrder);
    EXPECT_EQ(r.options.mapsDir, "/m");
    EXPECT_EQ(r.options.loadFile, "a.prm");
    EXPECT_FALSE(r.options.help);

    EXPECT_EQ(ParseSimOptions({}, "/prog").options.mapsDir, "/prog");
    EXPECT_TRUE(ParseSimOptions({"--help"}, "").options.help);
}

TEST(SimOptions, RejectsWhatItCannotUse) {
    for (const char* bad :
         {"--drop 1.5", "--drop x", "--class 256", "--type -1", "--seed", "--bogus", "--revision 100",
          "--empty --load f.prm", "--disappear-mode maybe", "--wire-time=1"})
        EXPECT_FALSE(ParseSimOptions(Words(bad), "").ok()) << bad;
}

TEST(CreateBoard, FollowsTheMemoryOptions) {
    TestMaps maps;
    std::string error;
    auto board = CreateBoard(ParseSimOptions({"--empty"}, maps.dir().string()).options, error);
    ASSERT_TRUE(board) << error;
    EXPECT_EQ(board->memory().read(kConfigSpace, 0x0010), 0);
    EXPECT_EQ(board->memory().read(kTestSpace, kIdentBase + 12), 18); // the identity stays readable

    EXPECT_FALSE(
        CreateBoard(ParseSimOptions({"--load", "/no/such.prm"}, maps.dir().string()).options, error));
    EXPECT_NE(error.find("/no/such.prm"), std::string::npos);
    EXPECT_FALSE(CreateBoard(ParseSimOptions({}, "/no/maps").options, error));
    EXPECT_NE(error.find(kIdentMapFileName), std::string::npos);
}

} // namespace
} // namespace vm::sim::test
