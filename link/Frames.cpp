#include "Frames.h"

#include <numeric>

namespace vm::link {

std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

namespace {

void appendChecksum(Frame& frame) {
    frame.push_back(FrameChecksum(frame));
}

void appendValues(Frame& frame, const ParamRequest& request) {
    for (int i = 0; i <= request.size; ++i)
        frame.push_back(i < static_cast<int>(request.data.size()) ? request.data[i] : 0);
}

// A memory block frame: command, page 0, address low and high, the data, the checksum.
Frame memoryFrame(std::uint8_t command, std::uint16_t address, std::span<const std::uint8_t> data = {}) {
    Frame frame{command, 0x00, static_cast<std::uint8_t>(address & 0xFF),
                static_cast<std::uint8_t>(address >> 8)};
    frame.insert(frame.end(), data.begin(), data.end());
    appendChecksum(frame);
    return frame;
}

} // namespace

Frame BuildParamFrame(const ParamRequest& request) {
    const std::uint8_t command = request.write ? (request.command | 0x80) : (request.command & 0x7F);
    Frame frame{command, request.page, static_cast<std::uint8_t>(request.address & 0xFF),
                static_cast<std::uint8_t>(request.address >> 8)};
    if (request.write) appendValues(frame, request);
    appendChecksum(frame);
    return frame;
}

Frame BuildBankParamFrame(const ParamRequest& request, std::uint8_t bankCode) {
    const std::uint8_t lead = request.write ? static_cast<std::uint8_t>(0xF2 + request.size) : 0xF1;
    const std::uint8_t command = request.write ? (request.command | 0x80) : (request.command & 0x7F);
    Frame frame{lead,
                request.page,
                static_cast<std::uint8_t>(request.address & 0xFF),
                static_cast<std::uint8_t>(request.address >> 8),
                command,
                bankCode};
    if (request.write) appendValues(frame, request);
    appendChecksum(frame);
    return frame;
}

Frame BlockReadFrame(std::uint16_t address) {
    return memoryFrame(0x5F, address);
}

Frame ShortReadFrame(std::uint16_t address, int count) {
    return memoryFrame(static_cast<std::uint8_t>(0x50 + (count - 1)), address);
}

Frame SecondAreaReadFrame(std::uint16_t address) {
    return memoryFrame(0x1F, address);
}

Frame BlockWriteFrame(std::uint16_t address, std::span<const std::uint8_t, 16> bytes) {
    return memoryFrame(0xDF, address, bytes);
}

Frame ByteWriteFrame(std::uint16_t address, std::uint8_t value) {
    return memoryFrame(0xD0, address, std::span(&value, 1));
}

std::uint8_t WriteAcknowledge(const Frame& frame) {
    return static_cast<std::uint8_t>(frame.back() * 2);
}

bool IsValidDataReply(std::span<const std::uint8_t> reply, int count) {
    if (static_cast<int>(reply.size()) != count + 1) return false;
    return FrameChecksum(reply.first(count)) == reply[count];
}

} // namespace vm::link
