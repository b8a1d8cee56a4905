#pragma once
// One call from command-line options to a ready board: maps loaded, then the configuration file or the
// empty memory the options ask for.

#include "SimOptions.h"
#include "SimulatedBoard.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vm::sim {

// The computer's local time as seconds since 1970, for BoardSettings::clockStart.
std::int64_t LocalWallClockSeconds();

// nullptr with `error` when the maps or the configuration file cannot be read.
std::unique_ptr<SimulatedBoard> CreateBoard(const SimOptions& options, std::string& error);

} // namespace vm::sim
