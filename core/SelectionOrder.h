#pragma once
// The order in which the sales views walk the selections, set once for the whole run.

#include <array>

namespace vm {

inline constexpr std::array<int, 32> SelectionOrder{10, 13, 11, 14, 12, 15, 20, 23, 21, 24, 22,
                                                    25, 30, 33, 31, 34, 32, 35, 40, 43, 41, 44,
                                                    42, 45, 50, 53, 51, 54, 52, 55, 31, 32};

} // namespace vm
