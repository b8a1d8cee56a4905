#pragma once
// Everything that makes one simulated board differ from another: what it reports as its identity, how
// badly its line behaves, and whether replies take the time they would on a real 19200-baud line.

#include <cstdint>
#include <optional>

namespace vm::sim {

struct BoardIdentity {
    int boardClass = 18;
    int boardType = 482; // records 13 (low byte) and 14 (high byte)
    int software = 21;
    int revision = 0;
    std::optional<int> release; // unset: the value the firmware map starts with
};

enum class DisappearMode {
    Close,  // the line goes away: the port reports it lost, a pseudo-terminal is closed
    Silent, // the board stays connected but never answers again
};

// Each rate is the chance (0..1) that one answered frame suffers the fault. The same seed gives the same
// faults for the same traffic.
struct FaultSettings {
    double corruptChecksum = 0;
    double drop = 0;
    double split = 0;
    double trailing = 0;
    double late = 0;
    // A late reply holds back the replies behind it, as a real board's firmware answers in order; otherwise
    // the replies to later frames may overtake it.
    bool lateInOrder = false;
    double unsolicited = 0;
    int disappearAfter = 0; // frames answered before the board vanishes; 0: never
    DisappearMode disappearMode = DisappearMode::Close;
    std::uint32_t seed = 1;
};

struct BoardSettings {
    BoardIdentity identity;
    FaultSettings faults;
    bool wireTime = false; // requests and replies take 10 bits per byte at 19200 baud
    int frameGapMs = 30;   // a partial frame is given up after this silence
    int replyDelayMs = 2;  // the firmware's own reaction time
    // Seconds since 1970-01-01 (local wall time) that the board's clock shows at time 0 of its timeline.
    std::int64_t clockStart = 1767225600; // 2026-01-01 00:00:00
};

inline constexpr double kByteTimeMs = 10.0 * 1000.0 / 19200.0; // 0.52 ms
inline constexpr int kLateReplyMinMs = 1100;
inline constexpr int kLateReplyMaxMs = 1800;

} // namespace vm::sim
