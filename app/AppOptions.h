#pragma once
// The command line of vmconfig.

#include <QString>
#include <QStringList>

#include <optional>

namespace vm::app {

struct AppOptions {
    bool simulate = false; // --simulate: start with the simulated board selected
    QString device;        // --port DEVICE: use this serial device instead of the Com menu's port
    QString screenshotDir; // --screenshots DIR: write pictures of the windows there and exit
    QString scriptFile;    // --script FILE: run the script's lines and exit
};

// Parses the arguments (the first is the program). Returns nothing and sets `error` on a bad command line.
std::optional<AppOptions> ParseAppOptions(const QStringList& arguments, QString& error);

} // namespace vm::app
