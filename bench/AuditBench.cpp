// vm_bench_audit: how long `vmconfig-cli audit` takes, CSV and EVA-DTS, against vmboard-sim --wire-time on a
// pseudo-terminal: the real serial path at 19200 baud, the program's start and its connect included. Goal:
// under 8 s. The first argument, if any, is the board's reply delay in milliseconds (default 0).

#include "PtyBoard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr double kGoalSeconds = 8.0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString replyDelay = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("0");
    vm::bench::PtyBoard board({"--wire-time", "--reply-delay", replyDelay});
    if (board.device().isEmpty()) {
        std::fprintf(stderr, "vm_bench_audit: vmboard-sim did not start\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString cli = QCoreApplication::applicationDirPath() + "/vmconfig-cli";
    std::printf("vmconfig-cli audit over a pseudo-terminal, 19200 baud wire time, reply delay %s ms\n",
                qPrintable(replyDelay));
    bool within = true;
    for (const QString format : {"csv", "eva-dts"}) {
        QProcess run;
        QElapsedTimer clock;
        clock.start();
        run.start(cli, {"--port", board.device(), "--no-progress", "audit", "--format", format,
                        dir.filePath("audit." + format)});
        const bool finished = run.waitForFinished(600000);
        const double seconds = clock.nsecsElapsed() / 1e9;
        const QString said = QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed();
        if (!finished || run.exitCode() != 0) {
            std::fprintf(stderr, "vm_bench_audit: %s failed: %s\n", qPrintable(format),
                         qPrintable(QString::fromLocal8Bit(run.readAllStandardError())));
            return 2;
        }
        std::printf("  %-8s %6.2f s %s  (%s)\n", qPrintable(format), seconds,
                    seconds < kGoalSeconds ? "(under 8 s)" : "(over 8 s)", qPrintable(said));
        within = within && seconds < kGoalSeconds;
    }
    return within ? 0 : 1;
}
