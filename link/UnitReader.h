#pragma once
// The unit reading after a connect: the four unit-type parameters 4779..4782 (low nibble = unit code) and
// the machine model code 11733. Online, unit 1 and the model code are watched first, and each further unit
// as soon as everything watched before it has arrived (at the latest 1.1 s after the previous watch), so the
// frames keep their order without waiting for the clock; the reader waits for the deliveries like any open
// form. Offline the stored codes are used.

#include "Delivery.h"
#include "LinkObserver.h"
#include "TimerService.h"

#include <array>

namespace vm::link {

class LinkEngine;

inline constexpr int kFirstUnitParam = 4779; // units 1..4: 4779..4782
inline constexpr int kModelCodeParam = 11733;
inline constexpr int kUnitWatchIntervalMs = 1100; // the longest wait for one unit code
// How long the model code may still be awaited once the four unit codes are in.
inline constexpr int kUnitDoneDelayMs = 1200;

class UnitReader : public DeliveryTarget {
public:
    UnitReader(LinkEngine& engine, bool online);
    ~UnitReader() override;

    void start();
    // Stops without a result: no more timers, deliveries or watches.
    void cancel();
    void deliver(int index, const ParamData& value) override;

private:
    void watchNext();
    bool allWatchedArrived() const;
    void unitArrived(int unit, int code);
    void unitsComplete();
    void report();
    void releaseWatches();
    void restartTimer(int ms, void (UnitReader::*then)());

    LinkEngine& engine_;
    bool online_;
    int watched_ = 0; // unit parameters watched so far
    std::array<bool, 4> arrived_{};
    int arrivedCount_ = 0;
    bool modelArrived_ = false;
    bool unitsComplete_ = false;
    bool done_ = false;
    bool watching_ = false;
    UnitReadResult result_;
    TimerService::TimerId timer_ = 0;
};

} // namespace vm::link
