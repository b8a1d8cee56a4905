// vmconfig --script: the runner's rules line by line, and a technician's session against vmboard-sim whose
// result is read back from the board with vmconfig-cli. The tool runs from a folder of its own, so the
// settings it saves stay out of the build tree.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace {

const QString kBinDir = QStringLiteral(VM_BIN_DIR);
constexpr int kRunMs = 300000; // one script, connects included
constexpr int kSimStartMs = 10000;

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForStarted(kSimStartMs)) return run;
    if (!process.waitForFinished(kRunMs)) {
        process.kill();
        process.waitForFinished(5000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

std::string describe(const ProgramRun& run) {
    return "exit " + std::to_string(run.exitCode) + "\nstdout: " + run.out.toStdString() +
           "\nstderr: " + run.err.toStdString();
}

// One vmboard-sim process; its first output line is the device of its pseudo-terminal.
class SimProcess {
public:
    SimProcess() {
        process_.start(kBinDir + "/vmboard-sim", {});
        if (!process_.waitForStarted(kSimStartMs)) return;
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && clock.elapsed() < kSimStartMs)
            if (!process_.waitForReadyRead(static_cast<int>(kSimStartMs - clock.elapsed()))) break;
        if (process_.canReadLine()) device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~SimProcess() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    const QString& device() const { return device_; }

private:
    QProcess process_;
    QString device_;
};

class Script : public ::testing::Test {
protected:
    // vmconfig with its maps and language files, copied once for all tests.
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir();
        QDir(dir_->path()).mkdir("prog");
        const QDir bin(kBinDir);
        for (const QString& name : bin.entryList({"vmconfig", "*.inx", "*.lng"}, QDir::Files))
            QFile::copy(bin.filePath(name), dir_->filePath("prog/" + name));
        QFile(dir_->filePath("prog/vmconfig")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    static QString path(const QString& name) { return dir_->filePath(name); }

    // Writes the script into a file of its own and runs it; `{dir}` in the text stands for the test folder.
    static ProgramRun runScript(const QString& name, QString text, QStringList args = {"--simulate"}) {
        text.replace("{dir}", dir_->path());
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
            return {};
        file.close();
        return runProgram(path("prog/vmconfig"), args << "--script" << file.fileName());
    }

    // The lines of stderr that report a failing line of the script `name`.
    static QStringList reports(const ProgramRun& run, const QString& name) {
        QStringList lines;
        for (const QString& line : run.err.split(u'\n'))
            if (line.startsWith(path(name) + ":")) lines.append(line);
        return lines;
    }

    static QTemporaryDir* dir_;
};
QTemporaryDir* Script::dir_ = nullptr;

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
        if (QString(c.name) == "bad-line-stops-before-running")
            EXPECT_TRUE(run.out.isEmpty()) << describe(run);
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

namespace {
// The board's value of each parameter, read over the line with vmconfig-cli.
std::map<int, QString> boardValues(const QString& device, const std::vector<int>& indexes) {
    QStringList args = {"--port", device, "get"};
    for (int i : indexes)
        args << QString::number(i);
    const ProgramRun run = runProgram(QStringLiteral(VM_BIN_DIR) + "/vmconfig-cli", args);
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    std::map<int, QString> values;
    for (const QString& line : run.out.split(u'\n', Qt::SkipEmptyParts))
        values[line.section(' ', 0, 0).toInt()] = line.section(' ', -1);
    return values;
}
} // namespace

// The machine configuration set on a board with one hot-drink unit: the coupled machine with the flags it
// needs, a keyboard switch that clears its dependent bits, the unit's counts and a valve association, each
// stored with its mirror; the association table has none.
TEST_F(Script, MachineConfigurationReachesTheBoardWithItsMirrors) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << "vmboard-sim did not announce its device";
    const ProgramRun run = runScript("conf.vms",
                                     "connect\n"
                                     "open FrmConf\n"
                                     "set FrmConf Combo1 3\n"              // DUR 400
                                     "set FrmConf iSwitchToggleX2(11) 1\n" // bit 2, DUR: bits 6 and 7 go
                                     "set FrmConf Text1(0) 8\n"
                                     "set FrmConf Text1(2) 9\n"
                                     "set FrmConf Text1(3) 12\n" // above the boxes: the boxes are written
                                     "expect-message \"Value Out Of Range\"\n"
                                     "set FrmConf HScroll4(2) 7\n"
                                     "set FrmConf Text3(0) 130\n" // above 56: refused
                                     "expect-message \"Error Value or Value out of range\"\n"
                                     "set FrmConf Text3(1) 12\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror (0: none), the value both must hold
    const int expected[][3] = {{1844, 6626, 2}, {1855, 6638, 0x04}, {1856, 12826, 0x10}, {11, 4793, 8},
                               {13, 4795, 9},   {14, 4796, 9},      {27, 4809, 7},       {9712, 0, 0},
                               {9713, 0, 12}};
    std::vector<int> indexes;
    for (const auto& e : expected) {
        indexes.push_back(e[0]);
        if (e[1]) indexes.push_back(e[1]);
    }
    const auto board = boardValues(sim.device(), indexes);
    for (const auto& e : expected) {
        EXPECT_EQ(board.at(e[0]), QString::number(e[2])) << e[0];
        if (e[1]) EXPECT_EQ(board.at(e[1]), QString::number(e[2])) << "mirror of " << e[0];
    }
}

// Offline: a new KTR 921 configuration, then the machine window shows it and resets unit 3's associations.
TEST_F(Script, NewConfigurationAndAssociationReset) {
    const ProgramRun run = runScript("conf-offline.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n"
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmConf\n"
                                     "expect FrmConf Label11 \"KTR 921\"\n"
                                     "answer yes\n"
                                     "click FrmConf Command3\n"
                                     "expect-message \"Are you sure?\"\n"
                                     "expect FrmConf Text5(0) 2\n"
                                     "expect FrmConf Text5(9) 13\n"
                                     "expect FrmConf Text5(47) 59\n"
                                     "expect FrmConf Text5(48) 62\n"
                                     "expect FrmConf Text5(55) 69\n"
                                     "quit\n");
    EXPECT_EQ(run.exitCode, 0) << describe(run);
}
