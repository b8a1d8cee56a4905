#pragma once
// The parameters one holder (a window, a live view, a one-off read) keeps watched on the program state. Each
// parameter is watched once by the set however often it is asked for, and released once when the set lets it
// go, so that the counts in the parameter table always match the holders. The set releases what it still
// holds when it is destroyed.

#include "Delivery.h"

#include <functional>
#include <vector>

namespace vm {

class ProgramState;

class WatchSet {
public:
    explicit WatchSet(ProgramState& state) : state_(state) {}
    ~WatchSet() { release(); }
    WatchSet(const WatchSet&) = delete;
    WatchSet& operator=(const WatchSet&) = delete;

    // Adds the parameters not yet in the set and watches them (indexes <= 0 are no parameter).
    void watch(const std::vector<int>& params);
    void watch(int param) { watch(std::vector<int>{param}); }
    // Releases every parameter of the set.
    void release();
    // The set becomes `params`: the ones new to it are watched before the ones left out are released, and
    // the ones in both stay watched untouched (their values stay valid, nothing is read again).
    void replace(const std::vector<int>& params);
    // The same, but every one of `params` is watched afresh (the link reads it again) before the old set is
    // released: live views renew their set this way without any count dropping to zero in between.
    void renew(const std::vector<int>& params);

    // The watched parameters, in the order they were first asked for.
    const std::vector<int>& params() const { return params_; }
    bool contains(int param) const;
    bool empty() const { return params_.empty(); }

    // Hands each watched parameter whose cell already holds a valid value (another holder keeps it read) to
    // `show`, without waiting for the link. The set may change inside `show`: the parameters are those of
    // the call, and validity is looked at just before each one.
    void showKnownValues(const std::function<void(int param, const ParamData& value)>& show) const;
    void showKnownValues(DeliveryTarget& target) const;

private:
    ProgramState& state_;
    std::vector<int> params_;
};

} // namespace vm
