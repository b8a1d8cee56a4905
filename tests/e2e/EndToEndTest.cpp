// vmconfig-cli against vmboard-sim over a pseudo-terminal: the real programs, the real QSerialPort path.
// Every wait is bounded and every simulator is killed when its test ends.

#include "ConfigFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString kBinDir = QStringLiteral(VM_BIN_DIR);
constexpr int kCliTimeoutMs = 180000; // one command, faults included
constexpr int kSimStartMs = 10000;

struct CliRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args) {
    QProcess cli;
    cli.setProgram(kBinDir + "/vmconfig-cli");
    cli.setArguments(args);
    cli.start();
    CliRun run;
    if (!cli.waitForStarted(kSimStartMs)) return run;
    run.finished = cli.waitForFinished(kCliTimeoutMs);
    if (!run.finished) {
        cli.kill();
        cli.waitForFinished(5000);
    }
    run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = QString::fromLocal8Bit(cli.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(cli.readAllStandardError());
    return run;
}

std::string describe(const CliRun& run) {
    return "exit " + std::to_string(run.exitCode) + (run.finished ? "" : " (killed after the time limit)") +
           "\nstdout: " + run.out.left(2000).toStdString() + "\nstderr: " + run.err.toStdString();
}

// One vmboard-sim process; its first output line is the device of its pseudo-terminal.
class SimProcess {
public:
    explicit SimProcess(const QStringList& args) {
        process_.setProgram(kBinDir + "/vmboard-sim");
        process_.setArguments(args);
        process_.start();
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
    QString startError() const {
        return "vmboard-sim did not announce its device: " + process_.readAllStandardError();
    }

private:
    mutable QProcess process_;
    QString device_;
};

std::optional<vm::ConfigFileData> readConfig(const QString& path) {
    const auto result = vm::ReadConfigFile(path.toStdString());
    if (!result.ok()) return std::nullopt;
    return result.data;
}

// The same configuration memory as a write carries it: ConfigImage 16..12927 and the copies of the three
// parameters taken from it. (The unit codes live at addresses 0..3 and the model code in the second area;
// the block transfers move neither.)
bool sameData(const vm::ConfigFileData& a, const vm::ConfigFileData& b) {
    using namespace vm::RecordPos;
    const int imageFrom = Image + vm::kRecordImageLoadFirst;
    return std::equal(a.record.begin() + Param1850, a.record.begin() + UnitCodes,
                      b.record.begin() + Param1850) &&
           std::equal(a.record.begin() + imageFrom, a.record.end(), b.record.begin() + imageFrom);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything a save stores from the board, the name field excepted.
bool sameRecord(const vm::ConfigFileData& a, const vm::ConfigFileData& b) {
    return std::equal(a.record.begin() + vm::RecordPos::ModelCode, a.record.end(),
                      b.record.begin() + vm::RecordPos::ModelCode);
}

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = new QTemporaryDir(); }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    static QString path(const QString& name) { return dir_->filePath(name); }
    // A clean save of a default simulated board, made once per process by the first test that needs it.
    static QString reference() {
        const QString file = path("reference.prm");
        if (!QFile::exists(file)) {
            SimProcess sim({});
            if (!sim.device().isEmpty()) {
                const CliRun run = runCli({"--port", sim.device(), "save", file});
                if (run.exitCode != 0)
                    std::fprintf(stderr, "reference save failed: %s\n", describe(run).c_str());
            }
        }
        return file;
    }

    static QTemporaryDir* dir_;
};
QTemporaryDir* EndToEnd::dir_ = nullptr;

} // namespace

TEST_F(EndToEnd, InfoIdentifiesTheBoard) {
    SimProcess sim({"--release", "7"});
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const CliRun run = runCli({"--port", sim.device(), "info"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(run.out.contains("Board class: 18")) << describe(run);
    EXPECT_TRUE(run.out.contains("Board type: 482")) << describe(run);
    EXPECT_TRUE(run.out.contains("Board software: 21 (V)")) << describe(run);
    EXPECT_TRUE(run.out.contains("Software release: 7")) << describe(run);
    EXPECT_TRUE(run.out.contains("Unit codes: ")) << describe(run);
}

TEST_F(EndToEnd, IncompatibleBoardIsRefusedWithOneLine) {
    SimProcess sim({"--software", "20"});
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const CliRun run = runCli({"--port", sim.device(), "info"});
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    EXPECT_TRUE(run.err.contains("Board Software Not Compatible")) << describe(run);
    EXPECT_EQ(run.err.trimmed().count('\n'), 0) << describe(run);
    EXPECT_TRUE(run.out.isEmpty()) << describe(run);
}

TEST_F(EndToEnd, SaveWriteToAnEmptyBoardAndDiff) {
    ASSERT_TRUE(readConfig(reference())) << "no reference save";
    SimProcess empty({"--empty"});
    ASSERT_FALSE(empty.device().isEmpty()) << empty.startError().toStdString();

    // Before the write the empty board differs from the reference, and diff says so.
    const QString before = path("empty-before.prm");
    CliRun run = runCli({"--port", empty.device(), "save", before});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    run = runCli({"diff", reference(), before});
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    EXPECT_FALSE(run.out.isEmpty()) << describe(run);

    run = runCli({"--port", empty.device(), "write", reference()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_FALSE(run.out.contains("Mismatch")) << describe(run);

    const QString after = path("empty-after.prm");
    run = runCli({"--port", empty.device(), "save", after});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(fileBytes(after).size(), vm::kProtectedFileSize);
    run = runCli({"diff", reference(), after});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(run.out.isEmpty()) << describe(run);
    const auto a = readConfig(reference());
    const auto b = readConfig(after);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(sameData(*a, *b));

    run = runCli({"show", after});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_GT(run.out.count('\n'), 100) << describe(run);
}

TEST_F(EndToEnd, FailedSaveLeavesTheExistingFileAlone) {
    SimProcess vanishing({"--disappear-after", "200"});
    ASSERT_FALSE(vanishing.device().isEmpty()) << vanishing.startError().toStdString();
    const QString target = path("kept.prm");
    const QByteArray original(26011, '\x5A');
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(original), original.size());
    }

    const auto filesBefore = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden).size();
    const CliRun run = runCli({"--port", vanishing.device(), "save", target});
    EXPECT_NE(run.exitCode, 0) << describe(run);
    EXPECT_FALSE(run.err.trimmed().isEmpty()) << describe(run);
    EXPECT_EQ(fileBytes(target), original);
    EXPECT_EQ(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden).size(), filesBefore)
        << "no temporary file left behind";
}

TEST_F(EndToEnd, WriteToABoardThatFallsSilentFails) {
    // Any valid configuration file will do: one made offline with a byte pattern.
    vm::ProgramState state;
    for (int a = 0; a < vm::kConfigAreaSize; ++a)
        state.ConfigImage[a] = static_cast<std::uint8_t>(a * 7);
    const QString file = path("pattern.prm");
    ASSERT_EQ(vm::SaveProtectedConfig(file.toStdString(), state), "");

    SimProcess silent({"--empty", "--disappear-after", "300", "--disappear-mode", "silent"});
    ASSERT_FALSE(silent.device().isEmpty()) << silent.startError().toStdString();
    const CliRun run = runCli({"--port", silent.device(), "write", file});
    EXPECT_NE(run.exitCode, 0) << describe(run);
    EXPECT_FALSE(run.err.trimmed().isEmpty()) << describe(run);
}

// Under checksum errors, split and late replies a command either ends correctly or fails clearly; it never
// ends successfully with wrong data.
TEST_F(EndToEnd, FaultyLineNeverGivesWrongData) {
    ASSERT_TRUE(readConfig(reference())) << "no reference save";
    const QStringList faults{
        "--corrupt-checksum", "0.03", "--split", "0.1", "--late", "0.01", "--seed", "11"};

    SimProcess faultySource(faults);
    ASSERT_FALSE(faultySource.device().isEmpty()) << faultySource.startError().toStdString();
    const QString saved = path("faulty-save.prm");
    CliRun run = runCli({"--port", faultySource.device(), "save", saved});
    if (run.exitCode == 0) {
        const auto a = readConfig(reference());
        const auto b = readConfig(saved);
        ASSERT_TRUE(a && b) << describe(run);
        EXPECT_TRUE(sameRecord(*a, *b)) << "a save under faults succeeded with different data";
    } else {
        EXPECT_FALSE(QFile::exists(saved)) << describe(run);
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << describe(run);
    }

    SimProcess faultyTarget(QStringList{"--empty"} + faults);
    ASSERT_FALSE(faultyTarget.device().isEmpty()) << faultyTarget.startError().toStdString();
    run = runCli({"--port", faultyTarget.device(), "write", reference()});
    if (run.exitCode != 0) {
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << describe(run);
        return;
    }
    // The write claims success: a save from the same board (on the same faulty line; a save that fails is
    // tried again, a bounded number of times) must give the reference back.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString check = path(QString("faulty-check-%1.prm").arg(attempt));
        run = runCli({"--port", faultyTarget.device(), "save", check});
        if (run.exitCode != 0) continue;
        const auto a = readConfig(reference());
        const auto b = readConfig(check);
        ASSERT_TRUE(a && b);
        EXPECT_TRUE(sameData(*a, *b)) << "the board holds other data than the write verified";
        return;
    }
    ADD_FAILURE() << "no save from the written board succeeded: " << describe(run);
}

TEST_F(EndToEnd, LiveSetThenGet) {
    SimProcess sim({});
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    CliRun run = runCli({"--port", sim.device(), "set", "1850=77"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(run.out.startsWith("1850 ")) << describe(run);
    EXPECT_TRUE(run.out.trimmed().endsWith(" 77")) << describe(run);
    run = runCli({"--port", sim.device(), "get", "1850"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(run.out.trimmed().endsWith(" 77")) << describe(run);
    run = runCli({"--port", sim.device(), "set", "1850=99999999999"});
    EXPECT_EQ(run.exitCode, 2) << describe(run);
}
