#include "FaultInjector.h"

namespace vm::sim {

FaultInjector::FaultInjector(const FaultSettings& settings) : settings_(settings) {
    for (std::size_t k = 0; k < streams_.size(); ++k)
        streams_[k].seed(settings.seed * 0x9E3779B9u + static_cast<std::uint32_t>(k) * 7919u + 1u);
}

double FaultInjector::rate(FaultKind kind) const {
    switch (kind) {
    case FaultKind::CorruptChecksum:
        return settings_.corruptChecksum;
    case FaultKind::Drop:
        return settings_.drop;
    case FaultKind::Split:
        return settings_.split;
    case FaultKind::Trailing:
        return settings_.trailing;
    case FaultKind::Late:
        return settings_.late;
    case FaultKind::Unsolicited:
        return settings_.unsolicited;
    case FaultKind::Count:
        break;
    }
    return 0;
}

// Built from the raw 32-bit draws rather than std::uniform_real_distribution, whose output differs between
// standard libraries; a seed then means the same faults everywhere.
double FaultInjector::uniform(FaultKind kind) {
    return static_cast<double>(streams_[static_cast<std::size_t>(kind)]()) / 4294967296.0;
}

bool FaultInjector::strikes(FaultKind kind) {
    const double r = rate(kind);
    if (r <= 0) return false;
    return uniform(kind) < r;
}

int FaultInjector::pick(FaultKind kind, int low, int high) {
    if (high <= low) return low;
    return low + static_cast<int>(uniform(kind) * (high - low + 1));
}

} // namespace vm::sim
