#include "SimulatedPortFactory.h"

namespace vm::app {

SimulatedBoardPort::SimulatedBoardPort(const sim::BoardSettings& settings)
    : board_(settings), port_(board_, timers_) {
    port_.onReceive = [this] {
        if (onReceive) onReceive();
    };
    port_.onLost = [this](const std::string& reason) {
        if (onLost) onLost(reason);
    };
}

bool SimulatedBoardPort::loadMaps(const std::filesystem::path& mapsDir, std::string& error) {
    return board_.loadMaps(mapsDir, error);
}

std::unique_ptr<link::SerialPort> MakeSimulatedPort(const std::filesystem::path& programDir, std::string& error,
                                                    const sim::BoardSettings& settings) {
    auto port = std::make_unique<SimulatedBoardPort>(settings);
    if (!port->loadMaps(programDir, error)) return nullptr;
    return port;
}

} // namespace vm::app
