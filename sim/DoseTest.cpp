#include "DoseTest.h"

#include <algorithm>

namespace vm::sim {

namespace {
constexpr int kSelectionFlags = 493;
constexpr unsigned kCalibrationVariant = 0x80; // the selection's command is s + 16 instead of s + 1
constexpr int kValveTimes[3] = {1959 + 5 * 32, 2887 + 5 * 32, 3815 + 5 * 32};
constexpr int kFirstDispenseTest = 64, kLastDispenseTest = 73;

std::uint32_t read(const BoardMemory& memory, const ParamLocator& locate, int index) {
    const auto at = locate(index);
    return at ? memory.readNumber(at->space, at->address, std::min(at->width, 4)) : 0;
}

void write(BoardMemory& memory, const ParamLocator& locate, int index, std::uint32_t value) {
    if (const auto at = locate(index)) memory.writeNumber(at->space, at->address, std::min(at->width, 4), value);
}

// The selection a calibration command names, or -1.
int selectionOf(const BoardMemory& memory, const ParamLocator& locate, int command) {
    const auto variant = [&](int s) { return (read(memory, locate, kSelectionFlags + s) & kCalibrationVariant) != 0; };
    if (command >= 1 && command <= 32 && !variant(command - 1)) return command - 1;
    if (command >= 16 && command <= 47 && variant(command - 16)) return command - 16;
    return -1;
}
} // namespace

bool RunDoseTestCommand(BoardMemory& memory, const ParamLocator& locate, int space, std::uint16_t address) {
    const auto at = locate(DoseTestParam::Command);
    if (!at || at->space != space || at->address != address) return false;
    const auto command = static_cast<int>(read(memory, locate, DoseTestParam::Command));
    if (command >= kFirstDispenseTest && command <= kLastDispenseTest) {
        // The doser falls a tenth short of the value it was asked for.
        const std::uint32_t asked = read(memory, locate, DoseTestParam::Value);
        write(memory, locate, DoseTestParam::Value, asked - asked / 10);
    } else if (const int s = selectionOf(memory, locate, command); s >= 0) {
        // The flow meter counts 20 pulses to fill the pipe and one per unit of the three valve times.
        std::uint32_t pulses = 20;
        for (int index : kValveTimes)
            pulses += read(memory, locate, index + s);
        write(memory, locate, DoseTestParam::Value, std::min<std::uint32_t>(pulses, 255));
    }
    write(memory, locate, DoseTestParam::Command, 0);
    return true;
}

} // namespace vm::sim
