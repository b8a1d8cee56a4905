#pragma once
// One-shot timers and a millisecond clock. The engine never reads real time: the Qt adapter binds this to
// QTimer, tests bind it to a clock they advance by hand.

#include <cstdint>
#include <functional>

namespace vm::link {

class TimerService {
public:
    using TimerId = std::uint64_t; // 0 is never a valid id

    virtual ~TimerService() = default;
    // Calls `callback` once, `ms` milliseconds from now, unless cancelled first.
    virtual TimerId startTimer(int ms, std::function<void()> callback) = 0;
    // Cancelling an id that already fired or was cancelled does nothing.
    virtual void cancelTimer(TimerId id) = 0;
    virtual std::int64_t nowMs() const = 0;
};

} // namespace vm::link
