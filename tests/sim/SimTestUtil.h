#pragma once
// Shared pieces of the board tests: small map files in a fresh temporary folder, and frames to send.

#include "SimulatedBoard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vm::sim::test {

using Bytes = std::vector<std::uint8_t>;

// Where the test maps put things (space kTestSpace unless said otherwise). A command byte of 0 marks an
// unused record, so the board's own parameters live in a space other than 0.
inline constexpr int kTestSpace = 2;
inline constexpr std::uint16_t kIdentBase = 0x0300;   // identification record k at kIdentBase + k
inline constexpr std::uint16_t kClockBase = 0x0400;   // 6690..6696
inline constexpr std::uint16_t kClockMirror = 0x0410; // 6667..6670
inline constexpr std::uint16_t kClearAddress = 0x0420;
inline constexpr std::uint16_t kTotalsBase = 0x0500; // 11430.. as 4-byte numbers
inline constexpr std::uint16_t kAlarmIndexAddress = 0x0600;

// The worked read example: two bytes at 0x0123 of the configuration space.
inline const Bytes kRead = {0x51, 0x00, 0x23, 0x01, 0x75};
inline const Bytes kReply = {0x34, 0x12, 0x46};

class TestMaps {
public:
    TestMaps();
    ~TestMaps();
    const std::filesystem::path& dir() const { return dir_; }
    // Writes an extra firmware map: the default one with record 2 starting at `record2Initial`.
    void addFirmwareMap(int software, int revision, std::uint8_t record2Initial);

private:
    void writeParamMap(const std::string& name, std::uint8_t record2Initial);
    std::filesystem::path dir_;
};

inline SimulatedBoard LoadedBoard(const TestMaps& maps, BoardSettings settings = {}) {
    SimulatedBoard board(settings);
    std::string error;
    EXPECT_TRUE(board.loadMaps(maps.dir(), error)) << error;
    return board;
}

// The bytes followed by their checksum.
inline Bytes WithChecksum(Bytes bytes) {
    bytes.push_back(Checksum(bytes));
    return bytes;
}

// A frame of the test space: command, page 0, the address low byte first, then `data`, then the checksum.
inline Bytes TestFrame(std::uint8_t command, std::uint16_t address, Bytes data = {}) {
    Bytes frame = {command, 0x00, static_cast<std::uint8_t>(address & 0xFF),
                   static_cast<std::uint8_t>(address >> 8)};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithChecksum(frame);
}

inline Bytes Joined(const std::vector<Emission>& emissions) {
    Bytes out;
    for (const auto& e : emissions)
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

// Everything the board sends in answer to `bytes`, joined.
inline Bytes Ask(SimulatedBoard& board, const Bytes& bytes, std::int64_t nowMs = 0) {
    return Joined(board.receive(bytes, nowMs));
}

// The folder of the programs and the map files delivered beside them.
inline std::filesystem::path DeliveredMapsDir() {
    return std::filesystem::path(VMBOARD_SIM_PATH).parent_path();
}
inline bool HaveDeliveredMaps() {
    return std::filesystem::exists(DeliveredMapsDir() / kIdentMapFileName);
}

} // namespace vm::sim::test
