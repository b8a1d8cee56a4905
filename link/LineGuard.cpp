#include "LineGuard.h"

#include <utility>

namespace vm::link {

LineGuard::LineGuard(TimerService& timers, Hooks hooks) : timers_(timers), hooks_(std::move(hooks)) {}

LineGuard::~LineGuard() {
    if (timer_ != 0) timers_.cancelTimer(timer_);
}

void LineGuard::fault(AfterQuiet then) {
    firstRead_.reset();
    wait(then, kLineGuardMs);
}

void LineGuard::inputWhileSettling() {
    hooks_.discard();
    firstRead_.reset();
    wait(afterQuiet_, quietMs_);
}

LineGuard::Verdict LineGuard::check(const std::vector<std::uint8_t>& got) {
    if (state_ != LineState::Confirming) return Verdict::Take;
    if (!firstRead_) {
        firstRead_ = got;
        wait(AfterQuiet::Resend, kConfirmQuietMs);
        return Verdict::ReadAgain;
    }
    if (*firstRead_ != got) return Verdict::Differs; // the owner reports the fault, which starts over
    firstRead_.reset();
    state_ = LineState::InStep;
    return Verdict::Take;
}

void LineGuard::reset() {
    if (timer_ != 0) timers_.cancelTimer(timer_);
    timer_ = 0;
    ++generation_;
    state_ = LineState::InStep;
    firstRead_.reset();
}

void LineGuard::wait(AfterQuiet then, int quietMs) {
    state_ = LineState::Settling;
    afterQuiet_ = then;
    quietMs_ = quietMs;
    hooks_.hold();
    hooks_.discard();
    if (timer_ != 0) timers_.cancelTimer(timer_);
    const std::uint64_t generation = ++generation_;
    timer_ = timers_.startTimer(quietMs, [this, generation] { quietReached(generation); });
}

void LineGuard::quietReached(std::uint64_t generation) {
    if (generation != generation_ || state_ != LineState::Settling) return;
    timer_ = 0;
    state_ = LineState::Confirming;
    hooks_.quiet(afterQuiet_);
}

} // namespace vm::link
