// vmconfig --script: the runner's rules line by line, and a technician's session against vmboard-sim whose
// result is read back from the board with vmconfig-cli. The tool runs from a folder of its own, so the
// settings it saves stay out of the build tree.

#include "ScriptSupport.h"

#include <QThread>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

using namespace vm::test;

struct RuleCase {
    const char* name;
    const char* script;
    int exitCode;
    int failingLine;         // 0: no failure expected
    const char* reason;      // part of the reason of the failing line
    const char* output = ""; // part of stdout
};

TEST_F(Script, RunnerRules) {
    const RuleCase cases[] = {
        {"steps",
         "# a new machine: hot drinks and two snack units\n\n   menu SmuNew\nset FrmConfSLAVE Combo1 0\n"
         "expect FrmConfSLAVE Label11 \"KTR 921\"\nexpect FrmConfSLAVE Label2(1) \" CALDO \"\n"
         "expect FrmConfSLAVE Check1(2) 1\n  # done\nclick FrmConfSLAVE Command1\nquit\n",
         0, 0, ""},
        {"expect-gives-actual",
         "menu SmuNew\nset FrmConfSLAVE Combo1 1\nexpect FrmConfSLAVE Label11 \"KTR 921\"\n", 1, 3,
         "is \"KTR 600\", not \"KTR 921\""},
        {"disabled-button", "menu SmuNew\nclick FrmConfSLAVE Command1\n", 1, 2,
         "Command1 of FrmConfSLAVE is disabled"},
        {"disabled-check", "menu SmuNew\nset FrmConfSLAVE Combo1 1\nset FrmConfSLAVE Check1(3) 1\n", 1, 3,
         "is disabled"},
        {"missing-control", "menu SmuNew\nset FrmConfSLAVE HScroll1(2) 5\n", 1, 2, "no control HScroll1(2)"},
        {"value-out-of-range", "menu SmuNew\nset FrmConfSLAVE Combo1 4\n", 1, 2, "has no entry 4"},
        {"disabled-menu", "menu Smusave\n", 1, 1, "Smusave is disabled"},
        {"bad-line-stops-before-running", "file none.prm\nmenu Smuload\n# next\nfrobnicate now\n", 1, 4,
         "unknown command \"frobnicate\""},
        {"unclosed-quote", "expect FrmConfSLAVE Label11 \"KTR 921\n", 1, 1, "quote is not closed"},
        {"argument-count", "set FrmConfSLAVE Combo1\n", 1, 1, "usage: set FORM CONTROL VALUE"},
        {"file-queue-and-message",
         "answer ok\nfile {dir}/none.prm\nmenu Smuload\nexpect-message \"Cannot read\"\n", 0, 0, "",
         "message: Vending Machine Configuration: Cannot read"},
        {"no-file-queued-cancels", "menu Smuload\nexpect-message \"Cannot read\"\n", 1, 2, "(none was)"},
        {"expect-message-takes-messages",
         "file {dir}/none.prm\nmenu Smuload\nexpect-message read\nexpect-message read\n", 1, 4,
         "no message containing \"read\""},
        {"answer-must-fit", "answer yes\nfile {dir}/none.prm\nmenu Smuload\n", 1, 3,
         "the answer \"yes\" does not fit"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = QString::fromLatin1(c.name) + ".vms";
        const ProgramRun run = runScript(file, QString::fromUtf8(c.script));
        EXPECT_EQ(run.exitCode, c.exitCode) << describe(run);
        // Qt may add its own warnings on stderr; the runner's lines start with the script's path.
        const QStringList failures = reports(run, file);
        if (c.failingLine > 0) {
            ASSERT_EQ(failures.size(), 1) << describe(run);
            EXPECT_TRUE(failures[0].startsWith(path(file) + ":" + QString::number(c.failingLine) + ": "))
                << describe(run);
            EXPECT_TRUE(failures[0].contains(QString::fromUtf8(c.reason))) << describe(run);
        } else {
            EXPECT_TRUE(failures.isEmpty()) << describe(run);
        }
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(c.output))) << describe(run);
        if (QString(c.name) == "bad-line-stops-before-running") {
            EXPECT_TRUE(run.out.isEmpty()) << describe(run);
        }
    }
}

TEST_F(Script, UnreadableScriptAndFailedConnect) {
    ProgramRun run =
        runProgram(path("prog/vmconfig"), {"--simulate", "--script", path("no-such-script.vms")});
    EXPECT_EQ(run.exitCode, 2) << describe(run);

    // A port that cannot be opened: the connect ends in a message box, and the line fails with it.
    run = runScript("dead-port.vms", "connect\nquit\n", {"--port", path("no-such-device")});
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    const QStringList failures = reports(run, "dead-port.vms");
    ASSERT_EQ(failures.size(), 1) << describe(run);
    EXPECT_TRUE(failures[0].startsWith(path("dead-port.vms") + ":1: the connect ended with"))
        << describe(run);
    EXPECT_TRUE(run.out.startsWith("message: ")) << describe(run);
}

// A pipe, a device or a huge file given as the script is refused at once with a line saying why; a script
// whose name is not UTF-8 runs like any other.
TEST_F(Script, OnlyARegularFileOfASaneSizeIsReadAsAScript) {
    const QString fifo = path("fifo.vms");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile big(path("big.vms"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(2 << 20));
    big.close();
    const std::pair<QString, QString> refused[] = {{fifo, "the script is not a regular file"},
                                                   {"/dev/zero", "the script is not a regular file"},
                                                   {big.fileName(), "the script is larger than 1 MiB"}};
    for (const auto& [file, reason] : refused) {
        const ProgramRun run = runProgram(path("prog/vmconfig"), {"--simulate", "--script", file});
        EXPECT_EQ(run.exitCode, 2) << describe(run);
        EXPECT_TRUE(run.err.contains(file + ": " + reason + "\n")) << describe(run);
    }

    const std::string oddName = path("quit-").toStdString() + "\xFF.vms";
    std::ofstream(oddName) << "quit\n";
    const ProgramRun run =
        runProgram("/bin/sh", {"-c", R"(exec "$0" --simulate --script "$1$(printf '\377').vms")",
                               path("prog/vmconfig"), path("quit-")});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    std::filesystem::remove(oddName); // the folder's clean-up goes by UTF-8 names
}

// The line goes while the board has not yet acknowledged an item number that was set: the line that waits
// for the acknowledgement fails with the reason, and the script does not end as if all went well.
TEST_F(Script, ALineLostBeforeTheWriteIsAcknowledgedFailsTheLineWaitingForIt) {
    // A board that takes 600 ms for each reply, so that the line can be pulled while the write is on its way.
    auto sim = std::make_unique<SimProcess>(QStringList{"--reply-delay", "600"});
    ASSERT_FALSE(sim->device().isEmpty()) << sim->startError().toStdString();
    const QString ready = path("lost-ready.png");
    QFile script(path("lost.vms"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("connect\nopen FrmItemNumber\nscreenshot main " + ready +
                  "\nset FrmItemNumber HScroll1(3) 123\nsettle\nquit\n")
                     .toUtf8());
    script.close();

    QProcess tool;
    tool.start(path("prog/vmconfig"), {"--port", sim->device(), "--script", script.fileName()});
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(ready) && clock.elapsed() < kProgramMs && tool.state() != QProcess::NotRunning)
        tool.waitForFinished(50);
    ASSERT_TRUE(QFile::exists(ready)) << tool.readAllStandardError().toStdString();
    QThread::msleep(250);
    sim.reset(); // the line goes
    ASSERT_TRUE(tool.waitForFinished(kProgramMs));
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    EXPECT_EQ(tool.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(script.fileName() + ":4: the line to the board was lost: "))
        << err.toStdString();
}

// A technician sets two spirals' item numbers on a board over a serial line, one on the second unit's page;
// the board's memory, read afterwards by another program, holds them.
TEST_F(Script, ItemNumbersReachTheBoard) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << "vmboard-sim did not announce its device";
    const QString cli = kBinDir + "/vmconfig-cli";
    const auto boardValue = [&](const QString& index) {
        const ProgramRun run = runProgram(cli, {"--port", sim.device(), "get", index});
        EXPECT_EQ(run.exitCode, 0) << describe(run);
        return run.out.trimmed().section(' ', -1);
    };
    // Spiral 14 of unit 1 and spiral 11 of unit 2.
    ASSERT_NE(boardValue("12605"), "123");
    ASSERT_NE(boardValue("12658"), "45");

    const ProgramRun run = runScript("item-numbers.vms",
                                     "connect\n"
                                     "open FrmItemNumber\n"
                                     "set FrmItemNumber HScroll1(3) 123\n"
                                     "set FrmItemNumber HScroll2(0) 45\n"
                                     "settle\n"
                                     "expect FrmItemNumber HScroll2(0) 45\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(boardValue("12605"), "123");
    EXPECT_EQ(boardValue("12658"), "45");
}

} // namespace
