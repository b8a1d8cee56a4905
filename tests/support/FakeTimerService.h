#pragma once
// A TimerService on a hand-driven clock: the tests run the link and the simulated board without real time.

#include "TimerService.h"

#include <map>
#include <utility>

namespace vm::link {

class FakeTimerService : public TimerService {
public:
    TimerId startTimer(int ms, std::function<void()> callback) override {
        const TimerId id = ++lastId_;
        pending_.emplace(std::make_pair(now_ + ms, id), std::move(callback));
        return id;
    }
    void cancelTimer(TimerId id) override {
        for (auto it = pending_.begin(); it != pending_.end(); ++it)
            if (it->first.second == id) {
                pending_.erase(it);
                return;
            }
    }
    std::int64_t nowMs() const override { return now_; }

    // Moves the clock forward, firing every timer that falls due, in deadline order (ties: start order).
    void advance(std::int64_t ms) {
        const std::int64_t until = now_ + ms;
        while (!pending_.empty() && pending_.begin()->first.first <= until) {
            auto it = pending_.begin();
            now_ = it->first.first;
            auto callback = std::move(it->second);
            pending_.erase(it);
            callback();
        }
        now_ = until;
    }
    // Fires the next due timer, moving the clock to it. Returns false when none is pending.
    bool fireNext() {
        if (pending_.empty()) return false;
        advance(pending_.begin()->first.first - now_);
        return true;
    }
    std::size_t pendingCount() const { return pending_.size(); }
    // When the next timer falls due; nowMs() when none is pending.
    std::int64_t nextDue() const { return pending_.empty() ? now_ : pending_.begin()->first.first; }

private:
    std::int64_t now_ = 0;
    TimerId lastId_ = 0;
    std::map<std::pair<std::int64_t, TimerId>, std::function<void()>> pending_;
};

} // namespace vm::link
