#pragma once
// How the main window is set up: where the program lives, which port it uses, and the outside effects
// (dialogs, the launcher at exit) that tests replace.

#include "UserDialogs.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>

namespace vm::link {
class SerialPort;
}

namespace vm::app {

inline constexpr const char* kProgramTitle = "Vending Machine Configuration";
inline constexpr const char* kExecutableName = "vmconfig";

enum class PortChoice {
    ComMenu,   // the COM port or USB adapter chosen in the Com menu (ComPort)
    Device,    // a device path given on the command line
    Simulated, // the in-process simulated board
};

struct AppConfig {
    std::filesystem::path programDir; // the data files: maps and languages
    // Where the program's own settings file lives (its shared one in the parent); empty: programDir.
    std::filesystem::path settingsDir;
    // Where the change logs go; empty: the settings folder.
    std::filesystem::path dataDir;
    QString executableName = kExecutableName;
    PortChoice port = PortChoice::ComMenu;
    QString device; // PortChoice::Device
    // Message boxes and file dialogs; null means the real Qt dialogs.
    std::shared_ptr<UserDialogs> dialogs;
    // Starts the launcher at exit; null means StartLauncher.
    std::function<void(const std::filesystem::path& programDir)> launcher;
    // Makes the port of a connect; null means the port of `port`.
    std::function<std::unique_ptr<link::SerialPort>()> portFactory;
};

} // namespace vm::app
