#include "UnitReader.h"

#include "FormList.h"
#include "LinkEngine.h"
#include "LinkTexts.h"
#include "ProgramState.h"

namespace vm::link {

UnitReader::UnitReader(LinkEngine& engine, bool online) : engine_(engine), online_(online) {
    result_.online = online;
}

UnitReader::~UnitReader() {
    cancel();
}

void UnitReader::cancel() {
    done_ = true;
    if (timer_ != 0) engine_.timers_.cancelTimer(timer_);
    timer_ = 0;
    engine_.forms_.remove(this);
    releaseWatches();
}

void UnitReader::restartTimer(int ms, void (UnitReader::*then)()) {
    if (timer_ != 0) engine_.timers_.cancelTimer(timer_);
    timer_ = engine_.timers_.startTimer(ms, [this, then] {
        timer_ = 0;
        (this->*then)();
    });
}

void UnitReader::start() {
    engine_.observer_.transferProgress(TransferKind::UnitRead, 0, 100);
    ProgramState& program = engine_.program_;
    if (!online_) {
        program.ModelCode = program.AuxImage[8];
        result_.modelCode = program.ModelCode;
        modelArrived_ = true;
        for (int unit = 0; unit < 4; ++unit)
            unitArrived(unit, program.UnitCodes[unit] & 0x0F);
        return;
    }
    engine_.forms_.add(this);
    watching_ = true;
    program.WatchParam(kModelCodeParam);
    watchNext();
}

void UnitReader::watchNext() {
    if (done_ || watched_ >= 4) return;
    engine_.program_.WatchParam(kFirstUnitParam + watched_);
    ++watched_;
    if (watched_ < 4) restartTimer(kUnitWatchIntervalMs, &UnitReader::watchNext);
}

bool UnitReader::allWatchedArrived() const {
    for (int unit = 0; unit < watched_; ++unit)
        if (!arrived_[unit]) return false;
    return modelArrived_;
}

void UnitReader::deliver(int index, const ParamData& value) {
    if (done_ || !std::holds_alternative<double>(value)) return;
    const auto number = static_cast<std::uint32_t>(std::get<double>(value));
    if (index == kModelCodeParam) {
        engine_.program_.ModelCode = static_cast<std::uint8_t>(number);
        result_.modelCode = engine_.program_.ModelCode;
        modelArrived_ = true;
    } else if (index >= kFirstUnitParam && index < kFirstUnitParam + 4) {
        unitArrived(index - kFirstUnitParam, static_cast<int>(number & 0x0F));
    } else {
        return;
    }
    if (unitsComplete_) {
        if (modelArrived_) restartTimer(0, &UnitReader::report);
        return;
    }
    // The next unit is asked as soon as the line has nothing more to bring for this reading.
    if (online_ && watched_ < 4 && allWatchedArrived()) watchNext();
}

void UnitReader::unitArrived(int unit, int code) {
    ProgramState& program = engine_.program_;
    program.SlaveType(unit + 1) = static_cast<std::uint8_t>(code);
    program.UnitCodes[unit] = static_cast<std::uint8_t>(code);
    result_.unitCodes[unit] = static_cast<std::uint8_t>(code);
    // A polled unit parameter may arrive again: each unit counts once.
    if (arrived_[unit]) return;
    if (unit == 0) engine_.observer_.firstUnitRead(code);
    arrived_[unit] = true;
    ++arrivedCount_;
    engine_.observer_.transferProgress(TransferKind::UnitRead, 25 * arrivedCount_, 100);
    if (arrivedCount_ == 4) unitsComplete();
}

void UnitReader::unitsComplete() {
    unitsComplete_ = true;
    engine_.observer_.transferText(TransferKind::UnitRead, texts::kReadDone);
    // The menus need the model code too; a board that never sends it holds the reading back only a moment.
    restartTimer(modelArrived_ ? 0 : kUnitDoneDelayMs, &UnitReader::report);
}

void UnitReader::report() {
    if (done_) return;
    done_ = true;
    if (timer_ != 0) engine_.timers_.cancelTimer(timer_);
    timer_ = 0;
    releaseWatches();
    engine_.forms_.remove(this);
    const UnitReadResult result = result_; // the handler may start a new reading, ending this one
    engine_.observer_.unitsRead(result);
}

void UnitReader::releaseWatches() {
    if (!watching_) return;
    watching_ = false;
    ProgramState& program = engine_.program_;
    for (int unit = 0; unit < watched_; ++unit)
        program.ReleaseParam(kFirstUnitParam + unit);
    program.ReleaseParam(kModelCodeParam);
}

} // namespace vm::link
