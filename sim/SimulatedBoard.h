#pragma once
// A control board in software: it keeps the board's memory spaces, takes the bytes the tool sends, answers
// every valid frame as the firmware does, and can be told to misbehave (see FaultSettings). Time is passed
// in by the caller, so the same board runs under a hand-driven clock in tests and under real time on a
// pseudo-terminal.

#include "BoardMemory.h"
#include "BoardSettings.h"
#include "DemoData.h"
#include "FaultInjector.h"
#include "FrameAssembler.h"
#include "MapFiles.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vm::sim {

// Bytes the board puts on the line at a given time of the caller's clock.
struct Emission {
    double atMs = 0; // milliseconds on the caller's clock, fractional: the wire time of a byte is 0.52 ms
    std::vector<std::uint8_t> bytes;
};

struct BoardStats {
    std::uint64_t frames = 0;   // valid frames received
    std::uint64_t answered = 0; // frames that got a reply on the line
    std::uint64_t dropped = 0;
    std::uint64_t corrupted = 0;
    std::uint64_t split = 0;
    std::uint64_t trailing = 0;
    std::uint64_t late = 0;
    std::uint64_t unsolicited = 0;
};

// A fault a test forces on the reply to one frame, whatever the random fault rates say.
enum class ReplyFault {
    None,
    Drop,            // no reply at all
    CorruptChecksum, // last byte changed (for a write: a wrong acknowledgement)
    DropChecksum,    // the last byte missing
    ExtraByte,       // one byte more, just before the last
    Split,           // the first byte, then the rest 5 ms later
    Late,            // the reply 3.5 s late, past every wait of the tool
};
inline constexpr int kForcedSplitPauseMs = 5;
inline constexpr int kForcedLateMs = 3500;

class SimulatedBoard {
public:
    explicit SimulatedBoard(BoardSettings settings = {});

    // Fills the memory from the map files in `mapsDir`: every parameter gets its initial value, then the demo
    // data and the identity are put in place. The firmware map named by the identity is used when present,
    // otherwise the default "W0482BV00.inx". Fails only when the identification map cannot be read, since
    // without it the board cannot be identified.
    bool loadMaps(const std::filesystem::path& mapsDir, std::string& error);
    // Configuration memory (bytes 0..12927 of the configuration space) all zero; the identity stays readable.
    void clearConfiguration();
    // Writes the identity values at the identification records' addresses.
    void applyIdentity();

    // Feeds bytes from the line; returns what the board sends in answer, with the time each piece leaves.
    std::vector<Emission> receive(std::span<const std::uint8_t> bytes, double nowMs);
    // Lets a stalled partial frame expire; may answer a frame that was stuck behind stray bytes.
    std::vector<Emission> poll(double nowMs);
    // When poll() has work to do (nullopt: nothing waiting).
    std::optional<double> nextDeadline() const { return assembler_.deadline(); }

    bool disappeared() const { return disappeared_; }
    DisappearMode disappearMode() const { return settings_.faults.disappearMode; }

    BoardMemory& memory() { return memory_; }
    const BoardMemory& memory() const { return memory_; }
    const BoardSettings& settings() const { return settings_; }
    const BoardStats& stats() const { return stats_; }
    std::uint64_t discardedBytes() const { return assembler_.discardedBytes(); }
    const std::vector<IdentRecord>& identRecords() const { return identRecords_; }
    const std::vector<MapRecord>& mapRecords() const { return mapRecords_; }
    // Where the firmware map puts a parameter index.
    ParamLocator locator() const { return ParamLocator(&mapRecords_); }
    // The wall time (seconds since 1970, local) the board's clock shows at `nowMs`.
    std::int64_t clockAt(double nowMs) const { return clockStart_ + static_cast<std::int64_t>(nowMs / 1000); }

    // Decides a fault for each valid frame the board takes (tests); unset: only the random faults.
    std::function<ReplyFault(const Frame&)> faultHook;
    // Sets the identity the board reports and writes it into the identification records.
    void setIdentity(const BoardIdentity& identity) {
        settings_.identity = identity;
        applyIdentity();
    }

    // The reply the firmware gives to one frame, before any fault (also stores what a write carries).
    std::vector<std::uint8_t> answer(const Frame& frame, double nowMs);

private:
    std::vector<Emission> drain(double nowMs);
    void schedule(const Frame& frame, std::vector<std::uint8_t> reply, double nowMs,
                  std::vector<Emission>& out);
    void putIdentityByte(int record, std::uint8_t value);

    BoardSettings settings_;
    BoardMemory memory_;
    FrameAssembler assembler_;
    FaultInjector faults_;
    BoardStats stats_;
    std::vector<IdentRecord> identRecords_;
    std::vector<MapRecord> mapRecords_;
    std::int64_t clockStart_;
    bool disappeared_ = false;
    double lineFreeMs_ = 0; // when the board's transmitter is free again (wire time, in-order replies)
};

} // namespace vm::sim
