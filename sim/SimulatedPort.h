#pragma once
// A serial port with a simulated board at the other end, inside the process. Written bytes go to the board
// at once; its replies come back through the timer service at the times the board gives, so a hand-driven
// clock makes tests instant and a Qt timer service makes the board feel real to the program.

#include "SimulatedBoard.h"
#include "link/SerialPort.h"
#include "link/TimerService.h"

#include <set>

namespace vm::sim {

class SimulatedPort : public vm::link::SerialPort {
public:
    SimulatedPort(SimulatedBoard& board, vm::link::TimerService& timers);
    ~SimulatedPort() override;
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    bool open(std::string& error) override;
    void close() override;
    bool isOpen() const override { return open_; }

    void write(std::span<const std::uint8_t> bytes) override;
    std::size_t bytesWaiting() const override { return received_.size(); }
    std::vector<std::uint8_t> readAll() override;

    void setReceiveThreshold(int threshold) override { threshold_ = threshold; }
    int receiveThreshold() const override { return threshold_; }

    SimulatedBoard& board() { return board_; }

private:
    void deliverLater(std::vector<Emission> emissions);
    void armPoll();
    void checkGone();
    vm::link::TimerService::TimerId startTimer(double atMs, std::function<void()> callback);

    SimulatedBoard& board_;
    vm::link::TimerService& timers_;
    bool open_ = false;
    int threshold_ = 1;
    std::vector<std::uint8_t> received_;
    std::set<vm::link::TimerService::TimerId> timers_pending_;
    vm::link::TimerService::TimerId pollTimer_ = 0;
};

} // namespace vm::sim
