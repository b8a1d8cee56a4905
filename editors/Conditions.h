#pragma once
// Ready-made rules for enabling and visibility, read like the window's own description:
// "enabled when 1855 bit 5 is set", "page enabled when SlaveType2 is 1 to 6".

#include "Binding.h"

#include <initializer_list>

namespace vm::editors {

// The window's current value of `param` (its copy of a bit field, the image offline, the cell online).
Condition bitSet(int param, unsigned mask);
Condition valueIn(int param, int lo, int hi);
Condition valueOneOf(int param, std::initializer_list<int> values);
// SlaveType1..SlaveType4 of unit 1..4 within lo..hi.
Condition slaveTypeIn(int unit, int lo, int hi);
Condition couplingIs(std::initializer_list<int> types);
Condition both(Condition a, Condition b);
Condition negate(Condition c);

} // namespace vm::editors
