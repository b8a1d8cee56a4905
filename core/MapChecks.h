#pragma once
// What a parameter-map file must hold to describe a board's memory. The maps are generated from the
// catalogue, whose rules these are: every used record names a memory space (type 1..6) and lies inside
// the program's image (and a configuration parameter inside the configuration memory, a board-information
// parameter inside its 48 bytes), no two parameters of a space share a byte, and an unused record is all
// zero. A damaged or foreign file breaks them at once, and a map that breaks them would make the link read
// and write the wrong memory.

#include <cstdint>
#include <span>
#include <string>

namespace vm {

// The records of the identification map that the connect reads, in this order.
inline constexpr int kIdentReadRecords[] = {10, 11, 12, 13, 14, 18};

// Why the whole 9-byte records of a parameter map break the rules (naming the first record that does), or
// empty. A map without any parameter breaks them too.
std::string ParamMapFault(std::span<const std::uint8_t> records);

// The same for the 5-byte records of an identification map (the first 20 are read); the records the
// connect reads must be there and used.
std::string IdentMapFault(std::span<const std::uint8_t> records);

} // namespace vm
