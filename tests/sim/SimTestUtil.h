#pragma once

#include "SimulatedBoard.h"

#include <cstdint>
#include <vector>

namespace vm::sim::test {

// The bytes followed by their checksum.
inline std::vector<std::uint8_t> WithChecksum(std::vector<std::uint8_t> bytes) {
    bytes.push_back(Checksum(bytes));
    return bytes;
}

// Everything the board sends in answer to `bytes`, joined.
inline std::vector<std::uint8_t> Ask(SimulatedBoard& board, const std::vector<std::uint8_t>& bytes,
                                     std::int64_t nowMs = 0) {
    std::vector<std::uint8_t> out;
    for (const auto& e : board.receive(bytes, nowMs))
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

using Bytes = std::vector<std::uint8_t>;

} // namespace vm::sim::test
