#pragma once
// How the change log reads to a person, in the Changes window and the service report: the parameter by its
// catalogue name, values as the configuration text shows them (amounts with the decimal point), and what
// the board said.

#include "ChangeLog.h"
#include "ProgramState.h"

#include <QString>

namespace vm::app {

// "8471 price 1"
QString ParamTitle(int index);
// The value of parameter `index` as shown: an amount with the configuration's decimal point, a text quoted.
QString ShownValue(const ProgramState& state, int index, const ParamData& value);
// "offline", "waiting", "acknowledged", or "not acknowledged" once the board is gone.
QString BoardAnswer(const ProgramState& state, const Change& change);

} // namespace vm::app
