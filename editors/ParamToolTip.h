#pragma once
// The facts a bound control's tool tip gives about its parameter: the catalogue's name and index, the range
// the control offers (in the units it shows), the unit and the row's one-line help. The base sets it on
// every bound control; the window's own rules only add to it.

#include "Binding.h"

#include <QString>

namespace vm::editors {

// `index` is the parameter the control edits now (a located binding's parameter follows the window's
// state); 0 when it has none at the moment.
QString ParameterToolTip(const Binding& b, int index);

} // namespace vm::editors
