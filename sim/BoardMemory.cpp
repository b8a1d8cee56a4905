#include "BoardMemory.h"

#include <stdexcept>

namespace vm::sim {

namespace {
int checkedSpace(int space) {
    if (space < 0 || space >= kSpaceCount) throw std::out_of_range("memory space out of range");
    return space;
}
} // namespace

BoardMemory::BoardMemory() : spaces_(kSpaceCount) {
    for (auto& space : spaces_)
        space.fill(0);
}

std::uint8_t BoardMemory::read(int space, std::uint16_t address) const {
    return spaces_[checkedSpace(space)][address];
}

void BoardMemory::write(int space, std::uint16_t address, std::uint8_t value) {
    spaces_[checkedSpace(space)][address] = value;
}

std::vector<std::uint8_t> BoardMemory::readRange(int space, std::uint16_t address, int count) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count);
    for (int i = 0; i < count; ++i)
        bytes.push_back(read(space, static_cast<std::uint16_t>(address + i)));
    return bytes;
}

void BoardMemory::writeRange(int space, std::uint16_t address, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        write(space, static_cast<std::uint16_t>(address + i), bytes[i]);
}

std::uint32_t BoardMemory::readNumber(int space, std::uint16_t address, int width) const {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value * 256 + read(space, static_cast<std::uint16_t>(address + i));
    return value;
}

void BoardMemory::writeNumber(int space, std::uint16_t address, int width, std::uint32_t value) {
    for (int i = 0; i < width; ++i, value >>= 8)
        write(space, static_cast<std::uint16_t>(address + i), static_cast<std::uint8_t>(value & 0xFF));
}

void BoardMemory::fill(int space, std::uint16_t first, int count, std::uint8_t value) {
    for (int i = 0; i < count; ++i)
        write(space, static_cast<std::uint16_t>(first + i), value);
}

} // namespace vm::sim
