#pragma once
// The serial port of the board simulated inside the program (the Com menu's "Simulated board").

#include "BoardSettings.h"

#include <filesystem>
#include <memory>

namespace vm::link {
class SerialPort;
}

namespace vm::app {

// A port connected to a fresh simulated board whose memory comes from the map files of programDir, or
// nullptr when this build has no simulated board or the maps cannot be read (`error` says why).
// `settings` set the board's behaviour (wire time, reply delay, faults).
std::unique_ptr<link::SerialPort> MakeSimulatedPort(const std::filesystem::path& programDir, std::string& error,
                                                    const sim::BoardSettings& settings = {});

} // namespace vm::app
