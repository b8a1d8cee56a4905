#include "LinkMonitor.h"

#include <algorithm>
#include <cstdio>

namespace vm::link {

std::string TraceLine(const TraceEntry& entry) {
    char head[32];
    const char mark = entry.kind == TraceKind::Sent ? '>' : entry.kind == TraceKind::Received ? '<' : 'x';
    std::snprintf(head, sizeof head, "%7lld.%03lld %c", static_cast<long long>(entry.atMs / 1000),
                  static_cast<long long>(entry.atMs % 1000), mark);
    std::string line = head;
    for (std::size_t i = 0; i < entry.bytes.size(); ++i) {
        if (i < entry.hidden.size() && entry.hidden[i]) {
            line += " **";
            continue;
        }
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", entry.bytes[i]);
        line += hex;
    }
    return line;
}

void LinkMonitor::record(std::int64_t nowMs, TraceKind kind, std::span<const std::uint8_t> bytes,
                         std::vector<bool> hidden) {
    if (capacity_ == 0) return;
    if (trace_.size() == capacity_) trace_.pop_front();
    TraceEntry entry{nextSerial_++, nowMs, kind, {bytes.begin(), bytes.end()}, {}};
    if (std::find(hidden.begin(), hidden.end(), true) != hidden.end()) {
        for (std::size_t i = 0; i < entry.bytes.size(); ++i)
            if (hidden[i]) entry.bytes[i] = 0; // the secret is not kept, not even in memory
        entry.hidden = std::move(hidden);
    }
    trace_.push_back(std::move(entry));
}

// A parameter frame: command (bit 7: write; bits 4..6: memory space; bits 0..3: value bytes - 1), page,
// address low and high, the values of a write, the checksum.
std::vector<bool> LinkMonitor::hideInRequest(std::span<const std::uint8_t> frame) {
    std::vector<bool> hidden(frame.size(), false);
    asked_ = Asked{};
    if (!isSecret_ || frame.size() < 5 || frame[0] >= 0xF0) return hidden;
    const int space = (frame[0] >> 4) & 0x07;
    const std::size_t count = (frame[0] & 0x0F) + 1u;
    const int address = frame[2] + 256 * frame[3];
    asked_.write = (frame[0] & 0x80) != 0;
    for (std::size_t i = 0; i < count; ++i) {
        asked_.secretValue.push_back(isSecret_(space, address + static_cast<int>(i)));
        asked_.anySecret = asked_.anySecret || asked_.secretValue.back();
    }
    if (!asked_.anySecret || !asked_.write) return hidden;
    for (std::size_t i = 0; i < count && 4 + i < frame.size(); ++i)
        hidden[4 + i] = asked_.secretValue[i];
    hidden.back() = true; // the checksum
    return hidden;
}

// The reply to a read of a secret: its value bytes and the checksum that would tell them; the acknowledgement
// of a write to one (twice the frame's checksum). Bytes beyond them are hidden too: they may be its rest.
std::vector<bool> LinkMonitor::hideInReply(std::size_t count) {
    std::vector<bool> hidden(count, false);
    for (std::size_t i = 0; i < count && asked_.anySecret; ++i, ++asked_.replied)
        hidden[i] =
            asked_.write || asked_.replied >= asked_.secretValue.size() || asked_.secretValue[asked_.replied];
    return hidden;
}

void LinkMonitor::requestSent(std::int64_t nowMs, std::span<const std::uint8_t> frame, bool retry) {
    ++counts_.requests;
    if (retry) ++counts_.retries;
    sentAtMs_ = nowMs;
    record(nowMs, TraceKind::Sent, frame, hideInRequest(frame));
}

void LinkMonitor::bytesRead(std::int64_t nowMs, std::span<const std::uint8_t> bytes, bool discarded) {
    if (bytes.empty()) return;
    record(nowMs, discarded ? TraceKind::Discarded : TraceKind::Received, bytes, hideInReply(bytes.size()));
}

void LinkMonitor::replyAccepted(std::int64_t nowMs) {
    ++counts_.replies;
    if (sentAtMs_ < 0) return;
    const std::int64_t rtt = nowMs - sentAtMs_;
    sentAtMs_ = -1;
    counts_.lastRoundTripMs = rtt;
    counts_.worstRoundTripMs = std::max(counts_.worstRoundTripMs, rtt);
    counts_.roundTripTotalMs += rtt;
}

void LinkMonitor::checksumFailed(std::int64_t) {
    ++counts_.checksumFailures;
    sentAtMs_ = -1;
}

void LinkMonitor::timedOut(std::int64_t) {
    ++counts_.timeouts;
    sentAtMs_ = -1;
}

void LinkMonitor::reset() {
    counts_ = {};
    trace_.clear();
    sentAtMs_ = -1;
}

} // namespace vm::link
