#include "SimulatedPort.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace vm::sim {

SimulatedPort::SimulatedPort(SimulatedBoard& board, vm::link::TimerService& timers)
    : board_(board), timers_(timers) {}

SimulatedPort::~SimulatedPort() {
    for (auto id : timers_pending_)
        timers_.cancelTimer(id);
}

bool SimulatedPort::open(std::string& error) {
    if (board_.disappeared() && board_.disappearMode() == DisappearMode::Close) {
        error = "The simulated board is gone: the line cannot be opened.";
        return false;
    }
    open_ = true;
    received_.clear();
    return true;
}

// Closing discards what was received; bytes the board sends while the port is closed are lost, but a
// reply still on its way arrives once the port is open again, as on a real line.
void SimulatedPort::close() {
    open_ = false;
    received_.clear();
}

std::vector<std::uint8_t> SimulatedPort::readAll() {
    std::vector<std::uint8_t> bytes;
    bytes.swap(received_);
    return bytes;
}

vm::link::TimerService::TimerId SimulatedPort::startTimer(double atMs, std::function<void()> callback) {
    const int delay = static_cast<int>(std::ceil(std::max(0.0, atMs - static_cast<double>(timers_.nowMs()))));
    auto id = std::make_shared<vm::link::TimerService::TimerId>(0);
    *id = timers_.startTimer(delay, [this, id, callback = std::move(callback)] {
        timers_pending_.erase(*id);
        callback();
    });
    timers_pending_.insert(*id);
    return *id;
}

void SimulatedPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_) return;
    deliverLater(board_.receive(bytes, timers_.nowMs()));
    armPoll();
    checkGone();
}

void SimulatedPort::deliverLater(std::vector<Emission> emissions) {
    for (auto& emission : emissions)
        startTimer(emission.atMs, [this, bytes = std::move(emission.bytes)] {
            if (!open_) return;
            received_.insert(received_.end(), bytes.begin(), bytes.end());
            if (threshold_ > 0 && onReceive) onReceive();
        });
}

// A partial frame inside the board must be given up even when the program writes nothing more.
void SimulatedPort::armPoll() {
    if (pollTimer_ != 0) {
        timers_.cancelTimer(pollTimer_);
        timers_pending_.erase(pollTimer_);
        pollTimer_ = 0;
    }
    const auto deadline = board_.nextDeadline();
    if (!deadline || board_.disappeared()) return;
    pollTimer_ = startTimer(*deadline, [this] {
        pollTimer_ = 0;
        if (!open_) return;
        deliverLater(board_.poll(timers_.nowMs()));
        armPoll();
        checkGone();
    });
}

void SimulatedPort::checkGone() {
    if (!open_ || !board_.disappeared() || board_.disappearMode() != DisappearMode::Close) return;
    // Reported from the event loop, not from inside the caller's write.
    startTimer(timers_.nowMs(), [this] {
        if (!open_) return;
        close();
        if (onLost) onLost("The simulated board closed the line.");
    });
}

} // namespace vm::sim
