// The parameter browser and the compare window as a technician uses them: offline on a loaded configuration
// (find a parameter, change it within its width, open its window, see it against the file, take the file's
// value back) and connected to a board on a serial line, where values come from and go to the board.

#include "ScriptSupport.h"

namespace {

using namespace vm::test;

TEST_F(Script, BrowserAndCompareOfflineAndOnTheBoard) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    ProgramRun cli = runCli({"--port", sim.device(), "save", path("board.prm")});
    ASSERT_EQ(cli.exitCode, 0) << describe(cli);
    const QString original = boardValues(sim.device(), {12605}).at(12605); // unit 1, spiral 4
    ASSERT_NE(original, "123");
    ASSERT_NE(original, "99");

    QString offline = "file {dir}/board.prm\nmenu Smuload\n"
                      "open FrmBrowse\nset FrmBrowse Text1 12605\n"
                      "expect FrmBrowse Grid1(0,1) \"item number, unit 1, spiral 4\"\n"
                      "expect FrmBrowse Grid1(0,5) FrmItemNumber\n"
                      "expect FrmBrowse Grid1(0,4) {orig}\n"
                      "set FrmBrowse Grid1(0,4) 256\nexpect-message \"from 0 to 255\"\n"
                      "set FrmBrowse Grid1(0,4) 123\n"
                      "click FrmBrowse Grid1(0,1)\nexpect FrmItemNumber HScroll1(3) 123\n"
                      // Against the file, only the changed parameter stays among the item numbers.
                      "file {dir}/board.prm\nclick FrmBrowse Command1\n"
                      "set FrmBrowse Text1 \"item number\"\nset FrmBrowse Check1 1\n"
                      "expect FrmBrowse Grid1(0,0) 12605\nexpect FrmBrowse Grid1(0,6) {orig}\n"
                      "open FrmCompare\nfile {dir}/board.prm\nclick FrmCompare Command1\n"
                      "expect FrmCompare Label1 \"1 parameter differs.\"\n"
                      "expect FrmCompare Grid1(0,4) 123\nexpect FrmCompare Grid1(0,5) FrmItemNumber\n"
                      "click FrmCompare Command3\nexpect FrmCompare Label1 \"No differences.\"\n"
                      "expect FrmItemNumber HScroll1(3) {orig}\nquit\n";
    offline.replace("{orig}", original);
    ProgramRun run = runScript("browse-offline.vms", offline, {"--port", sim.device()});
    EXPECT_EQ(run.exitCode, 0) << describe(run);

    // Connected: the browser shows the board's value and writes to it; the compare window reads the board's
    // memory and takes the file's value back to the board.
    QString live = "connect\nopen FrmBrowse\nset FrmBrowse Text1 12605\nsettle\n"
                   "expect FrmBrowse Grid1(0,4) {orig}\n"
                   "set FrmBrowse Grid1(0,4) 99\nsettle\n"
                   "open FrmCompare\nfile {dir}/board.prm\nclick FrmCompare Command1\n"
                   "expect FrmCompare Label1 \"1 parameter differs.\"\nexpect FrmCompare Grid1(0,4) 99\n"
                   "click FrmCompare Grid1(0,1)\nsettle\n"
                   "click FrmCompare Command4\nexpect FrmCompare Label1 \"No differences.\"\nquit\n";
    live.replace("{orig}", original);
    run = runScript("browse-live.vms", live, {"--port", sim.device()});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(boardValues(sim.device(), {12605}).at(12605), original);
}

} // namespace
