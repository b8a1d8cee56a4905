#pragma once
// vmboard-sim on a pseudo-terminal for the benchmarks that take the real serial path: started with the
// given options, its device path read from its first line, stopped when this goes out of scope.

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace vm::bench {

class PtyBoard {
public:
    explicit PtyBoard(const QStringList& options) {
        process_.start(QCoreApplication::applicationDirPath() + "/vmboard-sim", options);
        while (!process_.canReadLine() && process_.waitForReadyRead(10000))
            continue;
        const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
        if (line.startsWith("/dev/")) device_ = line;
    }
    ~PtyBoard() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // Empty when the board did not start.
    const QString& device() const { return device_; }

private:
    QProcess process_;
    QString device_;
};

} // namespace vm::bench
