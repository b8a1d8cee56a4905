#include "FrameAssembler.h"

#include "BoardMemory.h"

#include <algorithm>
#include <numeric>

namespace vm::sim {

int Frame::space() const {
    return SpaceOfCommand(command);
}
int Frame::readSize() const {
    return SizeOfCommand(command);
}

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFF);
}

std::vector<int> CandidateFrameLengths(std::uint8_t first) {
    if (first == 0xF1) return {7};
    if (first >= 0xF2) return {8 + (first - 0xF2)};
    if (first & 0x80) return {(first & 0x0F) + 6};
    if (first == 0x7F) return {5, 21};
    return {5};
}

namespace {
Frame decode(const std::vector<std::uint8_t>& b) {
    Frame f;
    f.length = static_cast<int>(b.size());
    f.page = b[1];
    f.address = static_cast<std::uint16_t>(b[2] | (b[3] << 8));
    f.checksum = b.back();
    const std::uint8_t first = b[0];
    if (first == 0xF1) {
        f.kind = FrameKind::BankRead;
        f.command = b[4] & 0x7F;
        f.bankCode = b[5];
    } else if (first >= 0xF2) {
        f.kind = FrameKind::BankWrite;
        f.command = b[4] & 0x7F;
        f.bankCode = b[5];
        f.data.assign(b.begin() + 6, b.end() - 1);
    } else if ((first & 0x80) || f.length > 5) {
        f.kind = FrameKind::Write;
        f.command = first & 0x7F;
        f.data.assign(b.begin() + 4, b.end() - 1);
    } else {
        f.kind = FrameKind::Read;
        f.command = first;
    }
    return f;
}
} // namespace

void FrameAssembler::push(std::span<const std::uint8_t> bytes, double nowMs) {
    if (bytes.empty()) return;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    lastByteMs_ = nowMs;
}

std::optional<double> FrameAssembler::deadline() const {
    if (buffer_.empty()) return std::nullopt;
    return lastByteMs_ + frameGapMs_;
}

std::optional<Frame> FrameAssembler::next(double nowMs) {
    while (!buffer_.empty()) {
        bool waitingForMore = false;
        for (int length : CandidateFrameLengths(buffer_.front())) {
            if (static_cast<int>(buffer_.size()) < length) {
                waitingForMore = true;
                continue;
            }
            std::vector<std::uint8_t> bytes(buffer_.begin(), buffer_.begin() + length);
            if (Checksum(std::span(bytes).first(length - 1)) != bytes.back()) continue;
            buffer_.erase(buffer_.begin(), buffer_.begin() + length);
            return decode(bytes);
        }
        // A frame still incomplete within the gap may yet come whole; after it the first byte was noise.
        if (waitingForMore && nowMs - lastByteMs_ < frameGapMs_) return std::nullopt;
        buffer_.pop_front();
        ++discarded_;
    }
    return std::nullopt;
}

} // namespace vm::sim
