// vm_bench_transfer: how close the whole-memory save and write come to the time the bytes need on a
// 19200-baud line. The simulated board runs in-process with wire-time emulation (10 bits per byte) on Qt
// timers, so the figures include every wait of the link's transfer loop.
//
// ratio = measured time / wire-time bound, bound = (bytes sent + bytes received) x 10 / 19200 s.

#include "BoardClient.h"
#include "CountingPort.h"
#include "SimulatedBoard.h"
#include "SimulatedPort.h"
#include "qt/QtTimerService.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 19200.0;
constexpr double kTarget = 1.10;

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
        f.ratio() <= kTarget ? "(within 1.10)" : "(above 1.10)");
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::filesystem::path mapsDir =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    std::printf("Whole-memory transfers against the simulated board, 19200 baud wire time\n");
    bool withinTarget = true;
    // Without the firmware's reaction time the ratio measures the link alone; with it, a realistic board.
    for (int replyDelayMs : {0, 2})
        if (!run(mapsDir, replyDelayMs, withinTarget)) return 2;
    return withinTarget ? 0 : 1;
}
