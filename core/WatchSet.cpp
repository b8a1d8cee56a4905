#include "WatchSet.h"

#include "ProgramState.h"

#include <algorithm>

namespace vm {

namespace {
// The parameters of `params` once each, in their order, without the ones that are no parameter.
std::vector<int> distinct(const std::vector<int>& params) {
    std::vector<int> out;
    for (int param : params)
        if (param > 0 && std::find(out.begin(), out.end(), param) == out.end()) out.push_back(param);
    return out;
}
} // namespace

bool WatchSet::contains(int param) const {
    return std::find(params_.begin(), params_.end(), param) != params_.end();
}

void WatchSet::watch(const std::vector<int>& params) {
    state_.CurrentBank = 0;
    for (int param : distinct(params))
        if (!contains(param)) {
            params_.push_back(param);
            state_.WatchParam(param);
        }
}

void WatchSet::release() {
    if (params_.empty()) return; // an emptied set touches nothing: it may outlive its state
    state_.CurrentBank = 0;
    for (int param : params_)
        state_.ReleaseParam(param);
    params_.clear();
}

void WatchSet::replace(const std::vector<int>& params) {
    std::vector<int> next = distinct(params);
    state_.CurrentBank = 0;
    for (int param : next)
        if (!contains(param)) state_.WatchParam(param);
    for (int param : params_)
        if (std::find(next.begin(), next.end(), param) == next.end()) state_.ReleaseParam(param);
    params_ = std::move(next);
}

void WatchSet::renew(const std::vector<int>& params) {
    std::vector<int> next = distinct(params);
    state_.CurrentBank = 0;
    for (int param : next)
        state_.WatchParam(param);
    for (int param : params_)
        state_.ReleaseParam(param);
    params_ = std::move(next);
}

void WatchSet::showKnownValues(const std::function<void(int, const ParamData&)>& show) const {
    const std::vector<int> known = params_; // showing a value may make the holder watch anew
    for (int param : known)
        if (state_.cell(param, 0).has(Valid)) show(param, state_.cellData(param, 0));
}

void WatchSet::showKnownValues(DeliveryTarget& target) const {
    showKnownValues([&target](int param, const ParamData& value) { target.deliver(param, value); });
}

} // namespace vm
