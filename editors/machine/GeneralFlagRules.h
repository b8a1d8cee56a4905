#pragma once
// What the configuration window's general choices do to the two general flag bytes (GeneralFlags and
// GeneralFlags2): the coupled machine, the code slider and the keyboard switches. Rules on byte values only.

#include <cstdint>
#include <initializer_list>

namespace vm::editors::generalflags {

struct Bytes {
    std::uint32_t flags = 0;  // GeneralFlags
    std::uint32_t flags2 = 0; // GeneralFlags2
    bool operator==(const Bytes&) const = default;
};

// A position of the coupled-machine list: 0 none, 1 KTR 921, 2 KTR 600, 3 DUR 400, 4 DUR 700.
Bytes forMachine(int position, Bytes b);
// The list position that shows a coupling type, -1 for a type the list lacks. DUR 400 and DUR 700 share the
// type 2: bit 7 of the flags tells them apart.
int machinePosition(int coupling, std::uint32_t flags);

// A position of the code slider: 0 none, 1 horizontal, 2 vertical F, 3 vertical C.
Bytes forCode(int position, int coupling, Bytes b);
int codePosition(Bytes b);

// Keyboard switch `switchIndex` was written, its bit now set or not: the bits the other switches lose, by
// coupled machine.
Bytes afterKeyboardSwitch(int switchIndex, bool nowSet, int coupling, Bytes b);

} // namespace vm::editors::generalflags
