#pragma once
// The parameter catalogue compiled into the programs: for every parameter index of the board's parameter
// map, its width, memory space, board address, polling, initial value, name and mirror. It is generated
// from the same table (parameters.txt) that the parameter-map files "W0482.inx" and "W0482BV00.inx" are
// generated from, so names and map always agree. The numbers code refers to are declared by name in the
// generated header ParamNames.h (namespace vm::param).

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
    // What a window or a tool tip shows of it besides the name: the identifier code knows it by (id= of
    // its row, vm::param), the range a control offers when the row gives one, the decimals the value is
    // shown with (money: the decimal point instead) and a one-line meaning.
    std::string_view id; // empty when code does not name it
    bool hasRange;
    int min;
    int max;
    int decimals;
    std::string_view help; // empty when the row has none
};

// The parameter with this index, or nullptr when the map has no parameter there.
const ParamInfo* find(int index);
// The first parameter of the row with this id (the vm::param name), or nullptr.
const ParamInfo* findById(std::string_view id);
// Every parameter, in ascending index order.
std::span<const ParamInfo> all();

} // namespace vm::catalogue
