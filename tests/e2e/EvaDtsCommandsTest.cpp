// vmconfig-cli audit --format eva-dts against the simulated board, read back by show-audit.

#include "CliRun.h"
#include "Commands.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace vm::cli;

namespace {

using vm::cli::test::Captured;
using vm::cli::test::describe;
using vm::cli::test::run;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

// The simulated board's demo counters come back by their element names: the totals, a coin count, the vends
// of unit 1 sector 10 (paid 120, test 120 / 19, free 120 / 10) and the newest alarm of the log.
TEST(EvaDtsCommands, AReportOfTheSimulatedBoardReadsBackWithItsCounters) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("audit.eva").toStdString();
    const Captured audit = run({"--simulate", "audit", "--format", "eva-dts", file});
    ASSERT_EQ(audit.status, 0) << describe(audit);

    const Captured shown = run({"show-audit", file});
    ASSERT_EQ(shown.status, 0) << describe(shown);
    for (const char* expected : {
             "ID4\n  ID401 Decimal Point Position: 2\n",
             "VA1\n  VA101 Value Of All Paid Vends Since Initialisation: 1867250\n"
             "  VA102 Number Of All Paid Vends Since Initialisation: 41873\n"
             "  VA103 Value Of All Paid Vends Since Last Reset: 68870\n"
             "  VA104 Number Of All Paid Vends Since Last Reset: 1512\n",
             "CA11\n  CA1101 Coin Value: 0\n  CA1102 Number Of Coins In Since Last Reset: 1520\n",
             "PA1\n  PA101 Product Number: 110\nPA2\n  PA203 Number Of Products Vended Since Last Reset: 120\n"
             "PA3\n  PA303 Number Of Test Vends Since Last Reset: 6\n"
             "PA4\n  PA403 Number Of Free Vends Since Last Reset: 12\n",
             "EA1\n  EA101 Event Identification: 7\n  EA102 Date Of Event: 20251204\n  EA103 Time Of Event: 1858\n"
             "EA1\n  EA101 Event Identification: 145/1\n",
         })
        EXPECT_NE(shown.out.find(expected), std::string::npos) << expected << "\n" << shown.out;
    // The file is the standard's: CR LF line ends, framed by DXS and DXE.
    const std::string text = readText(file);
    EXPECT_EQ(text.rfind("DXS*", 0), 0u);
    EXPECT_TRUE(text.ends_with("DXE*1*1\r\n"));
}

TEST(EvaDtsCommands, MalformedAndAlteredReportsAreReported) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("r.eva").toStdString();
    const std::string good = "DXS*X*VA*V0/6*1\r\nST*001*0001\r\nVA1*100*2\r\nG85*4926\r\nSE*4*0001\r\nDXE*1*1\r\n";
    writeText(file, good);
    Captured c = run({"show-audit", file});
    EXPECT_EQ(c.status, 0) << describe(c);

    writeText(file, "DXS*X*VA*V0/6*1\r\nST*001*0001\r\nVA1*100\t*2\r\n");
    c = run({"show-audit", file});
    EXPECT_EQ(c.status, 2) << describe(c);
    EXPECT_EQ(c.err, "vmconfig-cli: " + file + ": line 3: control character inside the segment\n");

    std::string altered = good;
    altered.replace(altered.find("100"), 3, "900");
    writeText(file, altered);
    c = run({"show-audit", file});
    EXPECT_EQ(c.status, 1) << describe(c);
    EXPECT_NE(c.out.find("VA101 Value Of All Paid Vends Since Initialisation: 900"), std::string::npos);
    EXPECT_NE(c.err.find("line 4: G85 says 4926, but the report's CRC is "), std::string::npos) << c.err;
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1);
}
