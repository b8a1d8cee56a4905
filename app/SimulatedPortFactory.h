#pragma once
// The serial port of the board simulated inside the program (the Com menu's "Simulated board").

#include "BoardSettings.h"
#include "SerialPort.h"
#include "SimulatedBoard.h"
#include "SimulatedPort.h"
#include "qt/QtTimerService.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vm::app {

// The simulated port together with the board and the clock it needs, so the link can own it like any port.
class SimulatedBoardPort : public link::SerialPort {
public:
    explicit SimulatedBoardPort(const sim::BoardSettings& settings = {});
    // The board's memory from the map files of `mapsDir`; false with the reason when they cannot be read.
    bool loadMaps(const std::filesystem::path& mapsDir, std::string& error);
    sim::SimulatedBoard& board() { return board_; }
    const sim::SimulatedBoard& board() const { return board_; }

    bool open(std::string& error) override { return port_.open(error); }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    void write(std::span<const std::uint8_t> bytes) override { port_.write(bytes); }
    std::size_t bytesWaiting() const override { return port_.bytesWaiting(); }
    std::vector<std::uint8_t> readAll() override { return port_.readAll(); }
    void setReceiveThreshold(int threshold) override { port_.setReceiveThreshold(threshold); }
    int receiveThreshold() const override { return port_.receiveThreshold(); }

private:
    sim::SimulatedBoard board_;
    link::QtTimerService timers_;
    sim::SimulatedPort port_;
};

// A port connected to a fresh simulated board whose memory comes from the map files of programDir, or
// nullptr when the maps cannot be read (`error` says why). `settings` set the board's behaviour (wire time,
// reply delay, faults).
std::unique_ptr<link::SerialPort> MakeSimulatedPort(const std::filesystem::path& programDir, std::string& error,
                                                    const sim::BoardSettings& settings = {});

} // namespace vm::app
