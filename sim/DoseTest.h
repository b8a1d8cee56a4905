#pragma once
// The dose tests the tool starts from the doses window. It writes a command into the dose-test cell (a
// dispensing test also puts the dose value in the value cell first); the board runs it at once, leaves its
// measurement in the value cell and returns the command cell to 0.

#include "DemoData.h"

namespace vm::sim {

namespace DoseTestParam {
inline constexpr int Command = 4776; // 1..47: calibrate a selection; 64..73: a dispensing test
inline constexpr int Value = 4777;
} // namespace DoseTestParam

// Returns true when the write hit the dose-test command cell.
bool RunDoseTestCommand(BoardMemory& memory, const ParamLocator& locate, int space, std::uint16_t address);

} // namespace vm::sim
