#pragma once
// The board's memory as the frames address it: eight spaces of 64 KiB, one per type code (bits 4..6 of the
// command byte), each addressed by the 16-bit board address. Ranges wrap at the end of a space, as the
// board's 16-bit address counter does.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vm::sim {

inline constexpr int kSpaceCount = 8;
inline constexpr int kSpaceSize = 65536;
inline constexpr int kConfigSpace = 5;       // configuration memory: the tool's ConfigImage
inline constexpr int kAuxSpace = 1;          // the second area: the tool's AuxImage
inline constexpr int kConfigAreaEnd = 12928; // configuration bytes 0..12927

// The memory space a command byte addresses.
constexpr int SpaceOfCommand(std::uint8_t command) {
    return (command >> 4) & 0x07;
}
// Number of value bytes a command byte names (size code + 1).
constexpr int SizeOfCommand(std::uint8_t command) {
    return (command & 0x0F) + 1;
}

class BoardMemory {
public:
    BoardMemory();

    std::uint8_t read(int space, std::uint16_t address) const;
    void write(int space, std::uint16_t address, std::uint8_t value);
    std::vector<std::uint8_t> readRange(int space, std::uint16_t address, int count) const;
    void writeRange(int space, std::uint16_t address, std::span<const std::uint8_t> bytes);
    // Little-endian number of `width` bytes (1..4).
    std::uint32_t readNumber(int space, std::uint16_t address, int width) const;
    void writeNumber(int space, std::uint16_t address, int width, std::uint32_t value);
    void fill(int space, std::uint16_t first, int count, std::uint8_t value);

private:
    std::vector<std::array<std::uint8_t, kSpaceSize>> spaces_;
};

} // namespace vm::sim
