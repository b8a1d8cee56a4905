#pragma once
// Request frames of the board link. Every frame ends in a checksum: the sum of all bytes before it, modulo
// 256. Addresses travel low byte first.

#include <cstdint>
#include <span>
#include <vector>

namespace vm::link {

using Frame = std::vector<std::uint8_t>;

std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes);

// A parameter request. `command` is the cell's command byte (bit 7 clear); a write sets bit 7 itself.
// `data` holds at least size + 1 value bytes for a write (extra bytes are not sent).
struct ParamRequest {
    std::uint8_t command = 0;
    bool write = false;
    std::uint8_t page = 0;
    std::uint16_t address = 0;
    int size = 0; // size code: value bytes - 1
    std::vector<std::uint8_t> data;
};

// Bank 0: command, page, low, high [, values], checksum.
Frame BuildParamFrame(const ParamRequest& request);
// Other banks: 0xF1 (read) or 0xF2 + size (write), page, low, high, command, bank code [, values], checksum.
Frame BuildBankParamFrame(const ParamRequest& request, std::uint8_t bankCode);

// Whole-memory frames (page 0).
Frame BlockReadFrame(std::uint16_t address);            // 0x5F: 16 bytes
Frame ShortReadFrame(std::uint16_t address, int count); // 0x50 + count - 1: 1..15 bytes
Frame SecondAreaReadFrame(std::uint16_t address);       // 0x1F: 16 bytes of the second area
Frame BlockWriteFrame(std::uint16_t address, std::span<const std::uint8_t, 16> bytes); // 0xDF
Frame ByteWriteFrame(std::uint16_t address, std::uint8_t value);                       // 0xD0

// The acknowledgement a write frame expects: twice its checksum, modulo 256.
std::uint8_t WriteAcknowledge(const Frame& frame);
// True when `reply` is value bytes followed by their sum modulo 256 (exactly `count` + 1 bytes).
bool IsValidDataReply(std::span<const std::uint8_t> reply, int count);

} // namespace vm::link
