#pragma once
// The raw records of the parameter-map files, as the board firmware knows them: the identification map
// (5-byte records) says where the identification values live, the firmware map (9-byte records) gives every
// parameter's address, command byte and initial value.

#include "ParamMap.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vm::sim {

struct IdentRecord {
    std::uint16_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t polling = 0;
    std::uint8_t page = 0;
};

struct MapRecord {
    std::uint16_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t polling = 0;
    std::uint8_t page = 0;
    std::array<std::uint8_t, 4> initial{}; // least significant first
};

// Identification record numbers (1-based) and what they hold.
namespace IdentSlot {
inline constexpr int Revision = 10;
inline constexpr int Software = 11;
inline constexpr int BoardClass = 12;
inline constexpr int TypeLow = 13;
inline constexpr int TypeHigh = 14;
inline constexpr int Release = 18;
} // namespace IdentSlot

// The map files are named as the tool names them (core/ParamMap.h): "W0482.inx" and
// "W0482B" + char('A' + software) + 2-digit revision + ".inx".
inline const std::string kIdentMapFileName = IdentMapFileName(482);

// Whole records only (a partial last record is ignored). nullopt with `error` when the file cannot be read.
std::optional<std::vector<IdentRecord>> ReadIdentMapFile(const std::filesystem::path& file,
                                                         std::string& error);
std::optional<std::vector<MapRecord>> ReadParamMapFile(const std::filesystem::path& file, std::string& error);

} // namespace vm::sim
