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
    for (std::uint8_t b : entry.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        line += hex;
    }
    return line;
}

void LinkMonitor::record(std::int64_t nowMs, TraceKind kind, std::span<const std::uint8_t> bytes) {
    if (capacity_ == 0) return;
    if (trace_.size() == capacity_) trace_.pop_front();
    trace_.push_back({nextSerial_++, nowMs, kind, {bytes.begin(), bytes.end()}});
}

void LinkMonitor::requestSent(std::int64_t nowMs, std::span<const std::uint8_t> frame, bool retry) {
    ++counts_.requests;
    if (retry) ++counts_.retries;
    sentAtMs_ = nowMs;
    record(nowMs, TraceKind::Sent, frame);
}

void LinkMonitor::bytesRead(std::int64_t nowMs, std::span<const std::uint8_t> bytes, bool discarded) {
    if (bytes.empty()) return;
    record(nowMs, discarded ? TraceKind::Discarded : TraceKind::Received, bytes);
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
