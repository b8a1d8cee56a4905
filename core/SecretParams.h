#pragma once
// The parameters whose values belong to the machine's owner alone: the service codes the machine asks for
// at its keypad (with their twins) and the passwords of the telemetry module. Diagnostics never show them.

#include "ProgramState.h"

namespace vm {

// True when byte `address` of memory space `space` (the high nibble of a command byte, 0..7) lies in a
// secret parameter of the loaded map.
bool IsSecretAddress(const ProgramState& state, int space, int address);

} // namespace vm
