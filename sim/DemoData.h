#pragma once
// Believable contents for a board that has been selling for a while: sales totals, coin, banknote, vend and
// jug counters, an alarm log and a running clock. Everything is placed through the parameter map, so it
// lands wherever the firmware keeps those parameters.

#include "BoardMemory.h"
#include "MapFiles.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vm::sim {

struct ParamLocation {
    int space = 0;
    std::uint16_t address = 0;
    int width = 1;
};

// Parameter index (record number of the firmware map, from 1) to where the parameter lives.
class ParamLocator {
public:
    ParamLocator() = default;
    explicit ParamLocator(const std::vector<MapRecord>* records) : records_(records) {}
    std::optional<ParamLocation> operator()(int index) const;
    // The parameter index whose bytes include (space, address), or 0.
    int indexAt(int space, std::uint16_t address, int first, int last) const;

private:
    const std::vector<MapRecord>* records_ = nullptr;
};

// Parameter indexes the board itself maintains.
namespace BoardParam {
inline constexpr int ClockSeconds = 6690, ClockHours = 6691, ClockMinutes = 6692;
inline constexpr int ClockDay = 6693, ClockMonth = 6694, ClockYear = 6695, ClockWeekday = 6696;
inline constexpr int ClockMirrorDay = 6667; // 6667..6670: day, month, year, weekday again
inline constexpr int ClearCommand = 4775;   // 7 clears the resettable sales data, 8 the non-resettable too
inline constexpr int AlarmIndex = 11815;    // newest record of the circular log
inline constexpr int AlarmFirst = 11816;    // 15 records of 7 fields
inline constexpr int AlarmRecords = 15, AlarmFields = 7;
// Measured temperatures in tenths of a degree: boilers 1 and 2 of drink units 1 and 2, then the cold unit
// of units 1..4.
inline constexpr int MeasuredBoilerFirst = 11800; // unit u, boiler b: 11800 + 2 * (u - 1) + (b - 1)
inline constexpr int MeasuredColdFirst = 11804;   // unit u: 11804 + u - 1
inline constexpr int MeasuredLast = 11807;
} // namespace BoardParam

void InstallDemoData(BoardMemory& memory, const ParamLocator& locate, std::int64_t clockSeconds);
// Writes the clock parameters for the given wall time (seconds since 1970, local time).
void WriteClock(BoardMemory& memory, const ParamLocator& locate, std::int64_t clockSeconds);
// The wall time the clock parameters show now, or nullopt when they do not form a valid date.
std::optional<std::int64_t> ReadClock(const BoardMemory& memory, const ParamLocator& locate);
// Whether the bytes touch a cell the running clock keeps: time, date, weekday or the date's second copy.
bool TouchesClock(const ParamLocator& locate, int space, std::uint16_t address, int count);
// Writes the measured temperatures at `nowMs`: each swings slowly around its unit's set temperature (a fixed
// default where none is set), a pure function of the time so that runs repeat.
void WriteTemperatures(BoardMemory& memory, const ParamLocator& locate, std::int64_t nowMs);
bool TouchesTemperatures(const ParamLocator& locate, int space, std::uint16_t address, int count);
// Carries out a command code the tool wrote into the clearing parameter; the parameter returns to 0.
// Returns true when the write hit the clearing parameter.
bool RunClearCommand(BoardMemory& memory, const ParamLocator& locate, int space, std::uint16_t address);

} // namespace vm::sim
