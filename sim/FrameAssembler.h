#pragma once
// Turns the byte stream of the line into request frames. A frame counts only when its checksum (the sum of
// all bytes before it, modulo 256) matches; anything else is dropped one byte at a time until a frame
// starts. A frame whose rest does not come within the frame gap is given up the same way, so one stray
// byte cannot swallow the next real request.

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace vm::sim {

enum class FrameKind {
    Read,      // command, page, low, high, checksum
    Write,     // command | 0x80, page, low, high, value bytes, checksum
    BankRead,  // 0xF1, page, low, high, command, bank code, checksum
    BankWrite, // 0xF2 + size code, page, low, high, command, bank code, value bytes, checksum
};

struct Frame {
    FrameKind kind = FrameKind::Read;
    std::uint8_t command = 0; // memory command: type code (space) and size code, bit 7 clear
    std::uint8_t page = 0;
    std::uint16_t address = 0;
    std::uint8_t bankCode = 0;      // bank frames only
    std::vector<std::uint8_t> data; // write frames only
    std::uint8_t checksum = 0;
    int length = 0; // bytes on the line

    bool isWrite() const { return kind == FrameKind::Write || kind == FrameKind::BankWrite; }
    int space() const;
    int readSize() const; // value bytes a read asks for
};

std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

class FrameAssembler {
public:
    explicit FrameAssembler(int frameGapMs = 30) : frameGapMs_(frameGapMs) {}

    void push(std::span<const std::uint8_t> bytes, double nowMs);
    // The next complete frame with a good checksum, or nullopt when the buffered bytes do not make one (yet).
    std::optional<Frame> next(double nowMs);
    // When a partial frame waiting now will be given up (nullopt: nothing waits).
    std::optional<double> deadline() const;

    std::size_t buffered() const { return buffer_.size(); }
    std::uint64_t discardedBytes() const { return discarded_; }
    void clear() { buffer_.clear(); }

private:
    std::deque<std::uint8_t> buffer_;
    double lastByteMs_ = 0;
    int frameGapMs_;
    std::uint64_t discarded_ = 0;
};

// Possible frame lengths for a first byte (a command byte of 0x7F is sent in write form by the tool, so both
// forms are accepted for it).
std::vector<int> CandidateFrameLengths(std::uint8_t firstByte);

} // namespace vm::sim
