#pragma once
// The command line of vmconfig.

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vm::app {

struct AppOptions {
    bool simulate = false;            // --simulate: start with the simulated board selected
    QString device;                   // --port DEVICE: use this serial device instead of the Com menu's port
    QString screenshotDir;            // --screenshots DIR: write pictures of the windows there and exit
    std::filesystem::path scriptFile; // --script FILE: run its lines and exit (the name's bytes as given)
};

// Parses the arguments as the program received them (the first is the program). Returns nothing and sets
// `error` on a bad command line.
std::optional<AppOptions> ParseAppOptions(const std::vector<std::string>& arguments, QString& error);

} // namespace vm::app
