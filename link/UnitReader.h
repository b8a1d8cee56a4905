#pragma once
// The unit reading after a connect: the four unit-type parameters 4779..4782 (low nibble = unit code) and
// the machine model code 11733. Online the parameters are watched 1.1 s apart and the reader waits for
// their deliveries like any open form; offline the stored codes are used.

#include "Delivery.h"
#include "LinkObserver.h"
#include "TimerService.h"

#include <array>

namespace vm::link {

class LinkEngine;

inline constexpr int kFirstUnitParam = 4779; // units 1..4: 4779..4782
inline constexpr int kModelCodeParam = 11733;
inline constexpr int kUnitWatchIntervalMs = 1100;
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
    void unitArrived(int unit, int code);
    void finish();
    void releaseWatches();

    LinkEngine& engine_;
    bool online_;
    int watched_ = 0; // unit parameters watched so far
    std::array<bool, 4> arrived_{};
    int arrivedCount_ = 0;
    bool done_ = false;
    bool watching_ = false;
    UnitReadResult result_;
    TimerService::TimerId timer_ = 0;
};

} // namespace vm::link
