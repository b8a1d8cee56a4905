#pragma once
// The enabling rules of the main window's menus, apart from any widget: they name entries and say whether
// each is enabled, and the main window applies that to its actions.

#include "ProgramState.h"

#include <functional>
#include <string_view>

namespace vm::app {

using MenuSwitch = std::function<void(std::string_view entry, bool enabled)>;

// After the captions are set at start-up.
void StartupEnabling(const MenuSwitch& set);
// DisableMenù: the menus that must not be used while a connection or transfer is starting.
void DisableMenu(const MenuSwitch& set);
// EnableMenù: the menus of the current configuration (unit types) and connection state.
void EnableMenu(const MenuSwitch& set, const ProgramState& state);
// The entries that the type of coupled unit 1 switches on or off when it has been read; other codes change
// nothing.
void ApplyUnit1Menus(const MenuSwitch& set, int unitCode);

} // namespace vm::app
