#pragma once
// The commands of vmconfig-cli, callable without a process: main() and the tests both go through
// RunCli. Needs a QCoreApplication for the board commands (the serial port and the timers use its loop).

#include "CliArgs.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace vm::cli {

struct CliIo {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool errIsTerminal = false;       // the progress bar is drawn only then
    std::filesystem::path programDir; // default folder of the parameter maps
};

// Parses and runs one command line (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& argv, const CliIo& io);
// Runs parsed arguments.
int RunCommand(const CliArgs& args, const CliIo& io);

// Runs of consecutive addresses of areas A, B, C where the two images differ, as [first, last].
std::vector<std::pair<int, int>> MismatchingRuns(const std::vector<std::uint8_t>& expected,
                                                 const std::vector<std::uint8_t>& actual);

} // namespace vm::cli
