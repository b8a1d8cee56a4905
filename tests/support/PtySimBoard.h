#pragma once
// vmboard-sim on a pseudo-terminal, for the tests and the benchmarks that take the real serial path: started
// with the given options, its device read from the first line it prints, killed when this goes out of scope.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vm::support {

class PtySimBoard {
public:
    static constexpr int kStartMs = 10000;

    PtySimBoard(const QString& program, const QStringList& options) {
        process_.start(program, options);
        if (!process_.waitForStarted(kStartMs)) return;
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && clock.elapsed() < kStartMs)
            if (!process_.waitForReadyRead(static_cast<int>(kStartMs - clock.elapsed()))) break;
        const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
        if (line.startsWith("/dev/")) device_ = line;
    }
    ~PtySimBoard() { kill(); }
    PtySimBoard(const PtySimBoard&) = delete;
    PtySimBoard& operator=(const PtySimBoard&) = delete;

    // The vmboard-sim delivered beside the running program.
    static QString besideThisProgram() { return QCoreApplication::applicationDirPath() + "/vmboard-sim"; }

    // The pseudo-terminal's device; empty when the board did not start.
    const QString& device() const { return device_; }
    QString startError() const {
        return "vmboard-sim did not announce its device: " + process_.readAllStandardError();
    }

    // Pulls the line: the board goes at once.
    void kill() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    // Asks the board to end (SIGTERM) unless it ended by itself: its exit code, -1 when it did not end
    // cleanly.
    int stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
        const bool clean =
            process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::NormalExit;
        return clean ? process_.exitCode() : -1;
    }

private:
    mutable QProcess process_;
    QString device_;
};

} // namespace vm::support
