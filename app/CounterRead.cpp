#include "CounterRead.h"

#include <algorithm>

namespace vm::app {

CounterRead::CounterRead(ProgramState& state, FormList& forms, std::vector<int> params, int limitMs,
                         Done done, QObject* parent)
    : QObject(parent), state_(state), forms_(forms), params_(std::move(params)), watch_(state),
      done_(std::move(done)) {
    std::erase_if(params_, [&](int index) { return !state_.IsParameter(index); });
    for (int index : params_)
        if (state_.cell(index, 0).has(Valid)) values_[index] = state_.ParamValue(index, 0);
    watch_.watch(params_);
    forms_.add(this);
    limit_.setSingleShot(true);
    connect(&limit_, &QTimer::timeout, this, &CounterRead::finish);
    limit_.start(limitMs);
    if (values_.size() == params_.size()) QTimer::singleShot(0, this, &CounterRead::finish);
}

CounterRead::~CounterRead() {
    forms_.remove(this);
}

void CounterRead::deliver(int index, const ParamData& value) {
    const auto* number = std::get_if<double>(&value);
    if (finished_ || !number || std::find(params_.begin(), params_.end(), index) == params_.end()) return;
    values_[index] = *number;
    // The link is in the middle of its delivery: the report is made after it.
    if (values_.size() == params_.size()) QTimer::singleShot(0, this, &CounterRead::finish);
}

void CounterRead::finish() {
    if (finished_) return;
    finished_ = true;
    limit_.stop();
    forms_.remove(this);
    watch_.release();
    std::vector<std::pair<int, double>> values;
    for (int index : params_)
        if (const auto it = values_.find(index); it != values_.end()) values.emplace_back(index, it->second);
    if (done_) done_(values);
    deleteLater();
}

} // namespace vm::app
