// vmconfig-cli against vmboard-sim over a pseudo-terminal: the real programs, the real QSerialPort path.
// Every wait is bounded and every simulator is killed when its test ends. The faults of the line are
// tested in the link tests; these two only prove the path through a real serial device.

#include "ConfigFile.h"
#include "Programs.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace vm::test;
using CliRun = ProgramRun;

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

class EndToEnd : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

} // namespace

// A save from one board written to an empty one gives the same configuration back.
TEST_F(EndToEnd, SaveFromOneBoardWriteToAnEmptyOneAndSaveAgain) {
    SimProcess source;
    ASSERT_FALSE(source.device().isEmpty()) << source.startError().toStdString();
    const QString saved = path("saved.prm");
    CliRun run = runCli({"--port", source.device(), "save", saved});
    ASSERT_EQ(run.exitCode, 0) << describe(run);

    SimProcess empty({"--empty"});
    ASSERT_FALSE(empty.device().isEmpty()) << empty.startError().toStdString();
    run = runCli({"--port", empty.device(), "write", saved});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QString after = path("after.prm");
    run = runCli({"--port", empty.device(), "save", after});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const auto a = readConfig(saved);
    const auto b = readConfig(after);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(sameData(*a, *b));
}

TEST_F(EndToEnd, LiveSetThenGet) {
    SimProcess sim;
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
