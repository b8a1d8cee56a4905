// Write Board keeps a backup of what the board held before: a technician loads a configuration, changes it
// and writes it to a board on a serial line; the backup holds the board's earlier configuration, as another
// program read it before. Without a backup the write goes on only when the technician says so.

#include "ScriptSupport.h"

namespace {

using namespace vm::test;

class BoardBackup : public Script {
protected:
    static QStringList backups() {
        return QDir(path("prog/backups")).entryList({"*.prm"}, QDir::Files, QDir::Name);
    }
};

TEST_F(BoardBackup, WriteBoardSavesTheBoardsEarlierConfigurationFirst) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    QDir(path("prog/backups")).removeRecursively();
    ProgramRun cli = runCli({"--port", sim.device(), "save", path("earlier.prm")});
    ASSERT_EQ(cli.exitCode, 0) << describe(cli);

    // The board's configuration, with one item number changed offline, is written back.
    ProgramRun run =
        runScript("write-with-backup.vms",
                  "file {dir}/earlier.prm\nmenu Smuload\n"
                  "open FrmItemNumber\nset FrmItemNumber HScroll1(3) 123\n"
                  "file {dir}/changed.prm\nmenu Smusave\n"
                  "menu SmnuWrite\nexpect-message \"previous configuration is saved in\"\nquit\n",
                  {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    ASSERT_EQ(backups().size(), 1);
    const QString backup = path("prog/backups/" + backups()[0]);
    EXPECT_TRUE(
        run.out.contains("The board was written. The board's previous configuration is saved in " + backup))
        << describe(run);
    EXPECT_TRUE(backups()[0].endsWith("_board0482.prm")) << backups()[0].toStdString();

    cli = runCli({"diff", backup, path("earlier.prm")});
    EXPECT_EQ(cli.exitCode, 0) << describe(cli);
    cli = runCli({"--port", sim.device(), "save", path("after.prm")});
    ASSERT_EQ(cli.exitCode, 0) << describe(cli);
    cli = runCli({"diff", path("after.prm"), path("changed.prm")});
    EXPECT_EQ(cli.exitCode, 0) << "the loaded configuration was not written: " << describe(cli);
    cli = runCli({"diff", path("after.prm"), path("earlier.prm")});
    EXPECT_TRUE(cli.out.startsWith("12605 ")) << describe(cli);

    // A backup that cannot be written (a file stands where the folder goes): answered No, nothing is written.
    QDir(path("prog/backups")).removeRecursively();
    QFile blocker(path("prog/backups"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    run = runScript("write-refused.vms",
                    "file {dir}/earlier.prm\nmenu Smuload\nanswer no\nmenu SmnuWrite\n"
                    "expect-message \"could not be saved as a backup\"\nquit\n",
                    {"--port", sim.device()});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_FALSE(run.out.contains("The board was written")) << describe(run);
    blocker.remove();
    cli = runCli({"--port", sim.device(), "save", path("unchanged.prm")});
    ASSERT_EQ(cli.exitCode, 0) << describe(cli);
    cli = runCli({"diff", path("unchanged.prm"), path("changed.prm")});
    EXPECT_EQ(cli.exitCode, 0) << "the board was written without a backup: " << describe(cli);
}

} // namespace
