#pragma once
// One cell of the parameter table: 23 bytes, positions 1..23 as the parameter maps and the link frames use
// them.

#include <array>
#include <cassert>
#include <cstdint>

namespace vm {

inline constexpr int kCellSize = 23;

// 1-based positions inside a cell.
namespace CellPos {
inline constexpr int AddressHigh = 1;
inline constexpr int AddressLow = 2;
inline constexpr int Command = 3;     // high nibble: kind, low nibble: size code (bytes - 1)
inline constexpr int PollDivider = 4; // low nibble: reload, high nibble: countdown
inline constexpr int WatchCount = 5;
inline constexpr int Status = 6;
inline constexpr int Page = 7;
inline constexpr int Value = 8; // 8..23: value bytes, least significant first, or text characters
} // namespace CellPos

// Status flags (position 6).
enum CellStatus : std::uint8_t {
    Valid = 0x01,
    Pending = 0x02,
    Watched = 0x04,
    WritePending = 0x80,
};

struct ParamCell {
    std::array<std::uint8_t, kCellSize> bytes{};

    std::uint8_t& at(int position) {
        assert(position >= 1 && position <= kCellSize);
        return bytes[position - 1];
    }
    std::uint8_t at(int position) const {
        assert(position >= 1 && position <= kCellSize);
        return bytes[position - 1];
    }

    int boardAddress() const { return at(CellPos::AddressHigh) * 256 + at(CellPos::AddressLow); }
    int sizeCode() const { return at(CellPos::Command) & 0x0F; }
    int valueSize() const { return sizeCode() + 1; }
    bool isText() const { return sizeCode() >= 4; }
    std::uint8_t status() const { return at(CellPos::Status); }
    bool has(CellStatus flag) const { return (status() & flag) != 0; }
};

} // namespace vm
