#pragma once
// What passes over the live link, for the development window: counts of requests, replies, retries,
// checksum failures and time-outs, the round-trip time, and a bounded trace of the bytes on the line.
// The engine reports through LinkTap with time stamps from its TimerService; LinkMonitor keeps the figures.

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vm::link {

// The engine's view of its own traffic. Every call arrives on the engine's thread; `nowMs` is the engine's
// clock (TimerService::nowMs).
class LinkTap {
public:
    virtual ~LinkTap() = default;
    // A request frame goes on the line; `retry` when it is the same request again after a fault.
    virtual void requestSent(std::int64_t nowMs, std::span<const std::uint8_t> frame, bool retry) = 0;
    // Bytes read from the line; `discarded` when they were thrown away (no request, or out of step).
    virtual void bytesRead(std::int64_t nowMs, std::span<const std::uint8_t> bytes, bool discarded) = 0;
    virtual void replyAccepted(std::int64_t nowMs) = 0;
    virtual void checksumFailed(std::int64_t nowMs) = 0;
    virtual void timedOut(std::int64_t nowMs) = 0;
};

struct LinkCounts {
    std::uint64_t requests = 0; // frames sent, retries included
    std::uint64_t replies = 0;  // replies taken
    std::uint64_t retries = 0;
    std::uint64_t checksumFailures = 0;
    std::uint64_t timeouts = 0;
    // Round trip of the replies taken: from the frame sent to its reply, in ms.
    std::int64_t lastRoundTripMs = 0;
    std::int64_t worstRoundTripMs = 0;
    double meanRoundTripMs() const { return replies ? static_cast<double>(roundTripTotalMs) / replies : 0; }
    std::int64_t roundTripTotalMs = 0;
};

enum class TraceKind { Sent, Received, Discarded };

struct TraceEntry {
    std::uint64_t serial = 0; // counts up from 1 over the whole run, also across resets
    std::int64_t atMs = 0;
    TraceKind kind = TraceKind::Sent;
    std::vector<std::uint8_t> bytes;
    std::vector<bool> hidden; // per byte: a secret's byte (kept as 0); empty: none
};

// "     12.345 > 51 00 23 01 75": seconds with milliseconds, the direction (> sent, < received, x thrown
// away) and the bytes in hex; a hidden byte shows as "**".
std::string TraceLine(const TraceEntry& entry);

// Whether byte `address` of memory space `space` (0..7) holds a secret (a password).
using SecretBytes = std::function<bool(int space, int address)>;

class LinkMonitor : public LinkTap {
public:
    static constexpr std::size_t kDefaultTraceCapacity = 2000;
    explicit LinkMonitor(std::size_t traceCapacity = kDefaultTraceCapacity) : capacity_(traceCapacity) {}

    void requestSent(std::int64_t nowMs, std::span<const std::uint8_t> frame, bool retry) override;
    void bytesRead(std::int64_t nowMs, std::span<const std::uint8_t> bytes, bool discarded) override;
    void replyAccepted(std::int64_t nowMs) override;
    void checksumFailed(std::int64_t nowMs) override;
    void timedOut(std::int64_t nowMs) override;

    // From now on the trace keeps the bytes of secrets out: the values of write frames to them, the checksums
    // that would tell them, and the replies to reads of them.
    void setSecrets(SecretBytes isSecret) { isSecret_ = std::move(isSecret); }

    const LinkCounts& counts() const { return counts_; }
    // The newest entries, oldest first; at most the capacity (older ones are dropped).
    const std::deque<TraceEntry>& trace() const { return trace_; }
    // Counts and trace start again from nothing.
    void reset();

private:
    // The request whose reply the next bytes are: what of it is secret.
    struct Asked {
        std::vector<bool> secretValue; // per value byte
        bool anySecret = false;
        bool write = false;
        std::size_t replied = 0; // bytes of the reply seen so far
    };
    void record(std::int64_t nowMs, TraceKind kind, std::span<const std::uint8_t> bytes,
                std::vector<bool> hidden);
    std::vector<bool> hideInRequest(std::span<const std::uint8_t> frame);
    std::vector<bool> hideInReply(std::size_t count);

    std::size_t capacity_;
    LinkCounts counts_;
    std::deque<TraceEntry> trace_;
    std::uint64_t nextSerial_ = 1;
    std::int64_t sentAtMs_ = -1; // the request waiting for its reply; -1: none
    SecretBytes isSecret_;
    Asked asked_;
};

} // namespace vm::link
