// vm_bench_transfer: how close the whole-memory save and write come to the time the bytes need on a
// 19200-baud line. The simulated board runs in-process with wire-time emulation (10 bits per byte) on Qt
// timers, so the figures include every wait of the link's transfer loop.
//
// ratio = measured time / wire-time bound, bound = (bytes sent + bytes received) x 10 / 19200 s.
//
// With --pty the board is vmboard-sim --wire-time on a pseudo-terminal and the link goes through the real
// serial port; each figure then includes its own connect (identification and, for the save, the unit
// reading), as a technician's Save and Write Board do.

#include "BoardClient.h"
#include "CountingPort.h"
#include "PtySimBoard.h"
#include "SimulatedBoard.h"
#include "SimulatedPort.h"
#include "qt/QtSerialPort.h"
#include "qt/QtTimerService.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 19200.0;
constexpr double kTarget = 1.04; // the goal for the link alone (a board answering at once)

struct Figures {
    double seconds = 0;
    std::uint64_t sent = 0, received = 0;
    double bound() const { return (sent + received) * kBitsPerByte / kBaud; }
    double ratio() const { return seconds / bound(); }
};

void print(const char* what, int replyDelayMs, const Figures& f) {
    std::printf(
        "%-6s reply delay %d ms: %7.3f s, %6llu bytes out, %6llu bytes in, bound %7.3f s, ratio %.3f %s\n",
        what, replyDelayMs, f.seconds, static_cast<unsigned long long>(f.sent),
        static_cast<unsigned long long>(f.received), f.bound(), f.ratio(),
        f.ratio() <= kTarget ? "(within 1.04)" : "(above 1.04)");
}

// One board, one connection: a full save read, then a full write of what was read. Returns false on failure.
bool run(const std::filesystem::path& mapsDir, int replyDelayMs, bool& withinTarget) {
    vm::sim::BoardSettings settings;
    settings.wireTime = true;
    settings.replyDelayMs = replyDelayMs;
    vm::link::QtTimerService boardClock;
    vm::sim::SimulatedBoard board(settings);
    std::string error;
    if (!board.loadMaps(mapsDir, error)) {
        std::fprintf(stderr, "vm_bench_transfer: %s\n", error.c_str());
        return false;
    }
    auto counting = std::make_unique<vm::bench::CountingPort>(
        std::make_unique<vm::sim::SimulatedPort>(board, boardClock));
    vm::bench::CountingPort& port = *counting;

    vm::ProgramState state;
    vm::link::LinkOptions options;
    options.programDir = mapsDir;
    options.programTitle = "vm_bench_transfer";
    vm::cli::BoardClient client(state, options, std::move(counting));
    if (!client.connectBoard(vm::link::ConnectPurpose::Edit)) {
        std::fprintf(stderr, "vm_bench_transfer: connect: %s\n", client.lastError().c_str());
        return false;
    }

    auto measure = [&](const char* what, bool (vm::cli::BoardClient::*step)()) {
        port.resetCounts();
        QElapsedTimer clock;
        clock.start();
        const bool ok = (client.*step)();
        Figures f{clock.nsecsElapsed() / 1e9, port.sent(), port.received()};
        if (!ok) {
            std::fprintf(stderr, "vm_bench_transfer: %s: %s\n", what, client.lastError().c_str());
            return false;
        }
        print(what, replyDelayMs, f);
        withinTarget = withinTarget && f.ratio() <= kTarget;
        return true;
    };
    const bool ok = measure("save", &vm::cli::BoardClient::saveRead) &&
                    measure("write", &vm::cli::BoardClient::writeBoard);
    client.disconnectBoard();
    return ok;
}

// The real serial path: vmboard-sim on a pseudo-terminal, a connection of its own for each transfer. The
// connect (identification and, for the save, the unit reading) is in the figure and also printed alone.
bool runPty(const std::filesystem::path& mapsDir, int replyDelayMs, bool& withinTarget) {
    const QString simPath = vm::support::PtySimBoard::besideThisProgram();
    const vm::support::PtySimBoard sim(simPath, {"--wire-time", "--reply-delay", QString::number(replyDelayMs),
                                                 "--maps", QString::fromStdString(mapsDir.string())});
    const QString device = sim.device();
    if (device.isEmpty()) {
        std::fprintf(stderr, "vm_bench_transfer: %s did not start\n", qPrintable(simPath));
        return false;
    }
    vm::link::LinkOptions options;
    options.programDir = mapsDir;
    options.programTitle = "vm_bench_transfer";
    auto measure = [&](const char* what, vm::link::ConnectPurpose purpose, bool (vm::cli::BoardClient::*step)()) {
        vm::ProgramState state;
        auto counting = std::make_unique<vm::bench::CountingPort>(std::make_unique<vm::link::QtSerialPort>(device));
        vm::bench::CountingPort& port = *counting;
        vm::cli::BoardClient client(state, options, std::move(counting));
        QElapsedTimer clock;
        clock.start();
        vm::link::UnitReadResult units;
        bool ok = client.connectBoard(purpose);
        if (ok && purpose == vm::link::ConnectPurpose::Edit) ok = client.readUnits(units);
        const double connectSeconds = clock.nsecsElapsed() / 1e9;
        ok = ok && (client.*step)();
        const Figures f{clock.nsecsElapsed() / 1e9, port.sent(), port.received()};
        if (!ok) {
            std::fprintf(stderr, "vm_bench_transfer: %s: %s\n", what, client.lastError().c_str());
            return false;
        }
        print(what, replyDelayMs, f);
        std::printf("       of which the connect %.3f s\n", connectSeconds);
        withinTarget = withinTarget && f.ratio() <= kTarget;
        client.disconnectBoard();
        return true;
    };
    const bool ok = measure("save", vm::link::ConnectPurpose::Edit, &vm::cli::BoardClient::saveRead) &&
                    measure("write", vm::link::ConnectPurpose::WriteBoard, &vm::cli::BoardClient::writeBoard);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool pty = args.removeAll("--pty") > 0;
    const std::filesystem::path mapsDir =
        !args.isEmpty() ? std::filesystem::path(args.first().toStdString())
                        : std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    bool withinTarget = true;
    if (pty) {
        std::printf("Whole-memory transfers over a pseudo-terminal against vmboard-sim, 19200 baud wire time, "
                    "connect included\n");
        for (int replyDelayMs : {0, 2})
            if (!runPty(mapsDir, replyDelayMs, withinTarget)) return 2;
        return withinTarget ? 0 : 1;
    }
    std::printf("Whole-memory transfers against the simulated board, 19200 baud wire time\n");
    // Without the firmware's reaction time the ratio measures the link alone; with it, a realistic board.
    for (int replyDelayMs : {0, 2})
        if (!run(mapsDir, replyDelayMs, withinTarget)) return 2;
    return withinTarget ? 0 : 1;
}
