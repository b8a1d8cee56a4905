#pragma once
// Serves a simulated board on a pseudo-terminal, so that the program (or any serial tool) can open the
// slave device like a real COM port. POSIX only.

#include "SimulatedBoard.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vm::sim {

class PtyBoardServer {
public:
    explicit PtyBoardServer(SimulatedBoard& board);
    ~PtyBoardServer();
    PtyBoardServer(const PtyBoardServer&) = delete;
    PtyBoardServer& operator=(const PtyBoardServer&) = delete;

    // Creates the pseudo-terminal in raw mode (no echo, no line editing, 19200 8N1).
    bool open(std::string& error);
    // The device a client opens, e.g. /dev/pts/7.
    const std::string& devicePath() const { return devicePath_; }

    // Answers until a byte can be read from `stopFd` (the signal handler's pipe) or the board closes the
    // line. Returns the reason it stopped.
    std::string serve(int stopFd);

private:
    double nowMs() const;
    void queue(std::vector<Emission> emissions);
    bool flushDue(double now);

    SimulatedBoard& board_;
    int master_ = -1;
    int slave_ = -1; // held open so that the line stays up while no client has it open
    std::string devicePath_;
    std::multimap<double, std::vector<std::uint8_t>> outgoing_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace vm::sim
