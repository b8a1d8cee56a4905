#pragma once
// Running the project's programs from a test: one bounded run of a program, and a vmboard-sim on a
// pseudo-terminal. The test target defines VM_BIN_DIR, the folder of the built programs.

#include "PtySimBoard.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

namespace vm::test {

inline const QString kBinDir = QStringLiteral(VM_BIN_DIR);
inline constexpr int kProgramMs = 300000; // one run, connects and faults included
inline constexpr int kStartMs = 10000;

struct ProgramRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

inline ProgramRun runProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForStarted(kStartMs)) return run;
    run.finished = process.waitForFinished(kProgramMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.exitCode = run.finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

inline ProgramRun runCli(const QStringList& args) {
    return runProgram(kBinDir + "/vmconfig-cli", args);
}

inline std::string describe(const ProgramRun& run) {
    return "exit " + std::to_string(run.exitCode) + (run.finished ? "" : " (killed after the time limit)") +
           "\nstdout: " + run.out.left(2000).toStdString() + "\nstderr: " + run.err.toStdString();
}

// vmboard-sim from the folder of the built programs.
class SimProcess : public support::PtySimBoard {
public:
    explicit SimProcess(const QStringList& args = {}) : PtySimBoard(kBinDir + "/vmboard-sim", args) {}
};

} // namespace vm::test
