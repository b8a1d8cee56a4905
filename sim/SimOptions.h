#pragma once
// The command line of the board simulator program.

#include "BoardSettings.h"

#include <string>
#include <vector>

namespace vm::sim {

struct SimOptions {
    BoardSettings board;
    std::string mapsDir;  // folder of the map files
    std::string loadFile; // configuration file to start from, empty: none
    bool empty = false;   // configuration memory all zero
    bool help = false;
};

struct SimOptionsResult {
    SimOptions options;
    std::string error; // empty when the command line was understood
    bool ok() const { return error.empty(); }
};

// `args` without the program name. `defaultMapsDir` is used when --maps is not given.
SimOptionsResult ParseSimOptions(const std::vector<std::string>& args, const std::string& defaultMapsDir);
std::string SimUsage(const std::string& programName);

} // namespace vm::sim
