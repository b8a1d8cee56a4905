#pragma once
// Deterministic fault decisions: one random stream per fault kind, all derived from one seed, so changing
// the rate of one fault does not reshuffle the others.

#include "BoardSettings.h"

#include <array>
#include <cstdint>
#include <random>

namespace vm::sim {

enum class FaultKind { CorruptChecksum, Drop, Split, Trailing, Late, Unsolicited, Count };

class FaultInjector {
public:
    explicit FaultInjector(const FaultSettings& settings);

    // Draws whether the fault strikes this time (never for rate 0, always for rate 1).
    bool strikes(FaultKind kind);
    // A whole number in [low, high] from the fault's own stream.
    int pick(FaultKind kind, int low, int high);
    double rate(FaultKind kind) const;

private:
    double uniform(FaultKind kind);

    FaultSettings settings_;
    std::array<std::mt19937, static_cast<std::size_t>(FaultKind::Count)> streams_;
};

} // namespace vm::sim
