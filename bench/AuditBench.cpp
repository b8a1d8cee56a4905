// vm_bench_audit: how long `vmconfig-cli audit` takes, CSV and EVA-DTS, against vmboard-sim --wire-time on a
// pseudo-terminal: the real serial path at 19200 baud. Two figures per format:
//   - the command as a technician runs it, the program's start and its connect included (goal: under 8 s);
//   - the reading of the values alone, in this process, with the bytes on the line and the time they need at
//     19200 baud (ratio = measured / that bound: what a busy machine adds shows here, not in the bound).
// The first argument, if any, is the board's reply delay in milliseconds (default 0).

#include "BoardClient.h"
#include "CountingPort.h"
#include "EvaDtsReport.h"
#include "PtySimBoard.h"
#include "SalesLayout.h"
#include "qt/QtSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr double kGoalSeconds = 8.0;
constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 19200.0;

// The command line as a technician runs it; seconds, or a negative number when it failed.
double runCommand(const QString& device, const QString& format, const QString& file) {
    QProcess run;
    QElapsedTimer clock;
    clock.start();
    run.start(QCoreApplication::applicationDirPath() + "/vmconfig-cli",
              {"--port", device, "--no-progress", "audit", "--format", format, file});
    const bool finished = run.waitForFinished(600000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!finished || run.exitCode() != 0) {
        std::fprintf(stderr, "vm_bench_audit: %s failed: %s\n", qPrintable(format),
                     qPrintable(QString::fromLocal8Bit(run.readAllStandardError())));
        return -1;
    }
    return seconds;
}

// The reading alone: connect, then every value of the list through the live link.
bool readValues(const QString& device, std::vector<int> indexes) {
    vm::ProgramState state;
    vm::link::LinkOptions options;
    options.programDir = QCoreApplication::applicationDirPath().toStdString();
    options.programTitle = "vm_bench_audit";
    auto counting = std::make_unique<vm::bench::CountingPort>(std::make_unique<vm::link::QtSerialPort>(device));
    vm::bench::CountingPort& port = *counting;
    vm::cli::BoardClient client(state, options, std::move(counting));
    if (!client.connectBoard(vm::link::ConnectPurpose::Edit)) {
        std::fprintf(stderr, "vm_bench_audit: connect: %s\n", client.lastError().c_str());
        return false;
    }
    std::erase_if(indexes, [&](int index) { return !state.IsParameter(index); });
    port.resetCounts();
    QElapsedTimer clock;
    clock.start();
    std::map<int, vm::ParamData> values;
    const bool ok = client.readParams(indexes, values);
    const double seconds = clock.nsecsElapsed() / 1e9;
    client.disconnectBoard();
    if (!ok) {
        std::fprintf(stderr, "vm_bench_audit: reading: %s\n", client.lastError().c_str());
        return false;
    }
    const double bound = static_cast<double>(port.sent() + port.received()) * kBitsPerByte / kBaud;
    std::printf("           reading %zu values: %6.2f s, %llu requests, %llu bytes out, %llu in, bound %.2f s, "
                "ratio %.2f\n",
                indexes.size(), seconds, static_cast<unsigned long long>(port.frames()),
                static_cast<unsigned long long>(port.sent()), static_cast<unsigned long long>(port.received()),
                bound, seconds / bound);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString replyDelay = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("0");
    vm::support::PtySimBoard board(vm::support::PtySimBoard::besideThisProgram(),
                                  {"--wire-time", "--reply-delay", replyDelay});
    if (board.device().isEmpty()) {
        std::fprintf(stderr, "vm_bench_audit: vmboard-sim did not start\n");
        return 2;
    }
    QTemporaryDir dir;
    std::printf("vmconfig-cli audit over a pseudo-terminal, 19200 baud wire time, reply delay %s ms\n",
                qPrintable(replyDelay));
    bool within = true;
    for (const QString format : {"csv", "eva-dts"}) {
        const double seconds = runCommand(board.device(), format, dir.filePath("audit." + format));
        if (seconds < 0) return 2;
        std::printf("  %-8s command: %6.2f s %s\n", qPrintable(format), seconds,
                    seconds < kGoalSeconds ? "(under 8 s)" : "(over 8 s)");
        within = within && seconds < kGoalSeconds;
        if (!readValues(board.device(), format == "csv" ? vm::sales::AuditParams() : vm::EvaDtsParams())) return 2;
    }
    return within ? 0 : 1;
}
