#pragma once
// The line guard. Replies carry no address, so after a fault (a time-out, a bad reply, bytes nobody asked
// for) a reply still on its way could be taken for the reply to a later request. The guard keeps the line
// out of use until it has been quiet for a while (whatever arrives meanwhile is thrown away and the wait
// starts again), and then trusts the next value only when two reads of it, a short quiet pause apart, give
// the same bytes. Time comes from the TimerService; what the line and the request in flight do is left to
// the owner, through the hooks.

#include "TimerService.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vm::link {

// Nothing is sent until the line has been quiet this long (a reply later than twice the reply time-out is
// taken as lost).
inline constexpr int kLineGuardMs = 1000;
// The pause between the two reads of a confirmation: a reply queued behind a stale one shows up in it.
inline constexpr int kConfirmQuietMs = 100;

// Whether replies can be trusted to belong to the request in flight.
enum class LineState {
    InStep,     // every reply is taken for the request in flight
    Settling,   // after a fault: input is discarded until the line has been quiet for a while
    Confirming, // the next value counts only when two reads of it, a quiet pause apart, agree
};

// What happens to the request in flight once the line is quiet again.
enum class AfterQuiet {
    Resend,  // the same frame again
    Abandon, // no answer: the pump meets the cell again (identification: "Board Not Ready")
    Resume,  // nothing was in flight
};

class LineGuard {
public:
    struct Hooks {
        std::function<void()> hold;            // a wait starts: the request in flight must not time out
        std::function<void()> discard;         // throw away whatever waits on the line
        std::function<void(AfterQuiet)> quiet; // the wait is over; the line is Confirming by then
    };

    LineGuard(TimerService& timers, Hooks hooks);
    ~LineGuard();
    LineGuard(const LineGuard&) = delete;
    LineGuard& operator=(const LineGuard&) = delete;

    LineState state() const { return state_; }
    bool settling() const { return state_ == LineState::Settling; }

    // A fault: the line must stay quiet for kLineGuardMs, then `then`; a confirmation starts over.
    void fault(AfterQuiet then);
    // A request to be sent while the line settles goes out once it is quiet.
    void resendWhenQuiet() { afterQuiet_ = AfterQuiet::Resend; }
    // Bytes arrived while settling: they are thrown away and the same wait starts again. A first read
    // taken before it may have been a stale reply, so the confirmation starts over.
    void inputWhileSettling();

    enum class Verdict {
        Take,      // in step, or the second read agreed with the first: the value counts
        ReadAgain, // the first read of a confirmation: the same request goes out after kConfirmQuietMs
        Differs,   // the two reads differ: a fault, for the owner to report
    };
    // A well-formed reply (`got`: the bytes compared) arrived.
    Verdict check(const std::vector<std::uint8_t>& got);

    // Back in step, with no wait running (connect, close).
    void reset();

private:
    void wait(AfterQuiet then, int quietMs);
    void quietReached(std::uint64_t generation);

    TimerService& timers_;
    Hooks hooks_;
    LineState state_ = LineState::InStep;
    AfterQuiet afterQuiet_ = AfterQuiet::Resume;
    int quietMs_ = kLineGuardMs;
    std::uint64_t generation_ = 0; // of the running wait; a stale timer event compares against it
    TimerService::TimerId timer_ = 0;
    std::optional<std::vector<std::uint8_t>> firstRead_; // the first of the two reads of a confirmation
};

} // namespace vm::link
