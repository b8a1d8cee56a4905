#include "SimulatedPortFactory.h"

#include "SerialPort.h"

#include <string>

#include "SimulatedBoard.h"
#include "SimulatedPort.h"
#include "qt/QtTimerService.h"

namespace vm::app {

namespace {
// The simulated port together with the board and the clock it needs, so the link can own it like any port.
class OwningSimulatedPort final : public link::SerialPort {
public:
    explicit OwningSimulatedPort(const sim::BoardSettings& settings) : board_(settings), port_(board_, timers_) {
        port_.onReceive = [this] {
            if (onReceive) onReceive();
        };
        port_.onLost = [this](const std::string& reason) {
            if (onLost) onLost(reason);
        };
    }
    bool load(const std::filesystem::path& mapsDir, std::string& error) {
        return board_.loadMaps(mapsDir, error);
    }

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
} // namespace

std::unique_ptr<link::SerialPort> MakeSimulatedPort(const std::filesystem::path& programDir, std::string& error,
                                                    const sim::BoardSettings& settings) {
    auto port = std::make_unique<OwningSimulatedPort>(settings);
    if (!port->load(programDir, error)) return nullptr;
    return port;
}

} // namespace vm::app
