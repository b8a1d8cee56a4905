// vmboard-sim: a simulated control board on a pseudo-terminal.

#include "BoardFactory.h"
#include "DataFolder.h"
#include "PtyBoardServer.h"
#include "SimOptions.h"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {
int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(stopPipe[1], &byte, 1);
}

std::filesystem::path programDir(const char* argv0) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return vm::FindDataFolder(!ec ? self.parent_path() : std::filesystem::absolute(argv0).parent_path());
}

} // namespace

int main(int argc, char** argv) {
    using namespace vm::sim;
    const auto parsed =
        ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), programDir(argv[0]).string());
    if (!parsed.ok()) {
        std::cerr << "vmboard-sim: " << parsed.error << " (see --help)\n";
        return 2;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        std::cout << SimUsage("vmboard-sim");
        return 0;
    }

    SimOptions withClock = options;
    withClock.board.clockStart = LocalWallClockSeconds();
    std::string error;
    const auto board = CreateBoard(withClock, error);
    if (!board) {
        std::cerr << "vmboard-sim: " << error << "\n";
        return 1;
    }

    if (::pipe(stopPipe) != 0) return 1;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    PtyBoardServer server(*board);
    if (!server.open(error)) {
        std::cerr << "vmboard-sim: " << error << "\n";
        return 1;
    }
    std::cout << server.devicePath() << std::endl; // the first line tells the caller where the board is
    const std::string reason = server.serve(stopPipe[0]);
    std::cerr << "vmboard-sim: " << reason << "\n";
    return 0;
}
