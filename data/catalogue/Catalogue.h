#pragma once
// The parameter catalogue compiled into the programs: for every parameter index of the board's parameter
// map, its width, memory space, board address, polling, initial value, name and mirror. It is generated
// from the same table (parameters.txt) that the parameter-map files "W0482.inx" and "W0482BV00.inx" are
// generated from, so names and map always agree.

#include <cstdint>
#include <span>
#include <string_view>

namespace vm::catalogue {

// Memory spaces: the type code in the high nibble of a parameter's command byte.
namespace Space {
inline constexpr int BoardInfo = 1;     // identification and machine model, read with the 0x1F block frame
inline constexpr int Counters = 2;      // sales counters and decounters (live)
inline constexpr int Clock = 3;         // real-time clock (live)
inline constexpr int Commands = 4;      // command cells
inline constexpr int Configuration = 5; // configuration memory (ConfigImage, block transfers)
inline constexpr int AlarmLog = 6;      // alarm log and measured temperatures (live)
} // namespace Space

struct ParamInfo {
    int index;
    int width; // bytes; 16 (or 8) for texts
    bool isText;
    int space; // type code
    int address;
    int pollDivider;
    int page;
    std::uint32_t initial;
    std::string_view name;
    int mirror; // the twin written with it; 0 if none
    bool money; // an amount in the smallest currency unit, shown with the decimal point (1823)
    // The initial value is the factory setting. Counters, the clock, commands, the alarm log, the board's
    // identity and settings that belong to the site (unit types, telemetry) have none: a reset leaves them.
    bool hasDefault;
};

// The parameter with this index, or nullptr when the map has no parameter there.
const ParamInfo* find(int index);
// Every parameter, in ascending index order.
std::span<const ParamInfo> all();

} // namespace vm::catalogue
