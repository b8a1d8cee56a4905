#pragma once
// The launcher program "DEDOREZOVI.EXE" that lives in the parent folder of the program, started at exit.

#include <filesystem>

namespace vm::app {

inline constexpr const char* kLauncherName = "DEDOREZOVI.EXE";

// The launcher's path for a program folder.
std::filesystem::path LauncherPath(const std::filesystem::path& programDir);
// Whether the launcher can be started: it exists and (outside Windows) is an executable file.
bool LauncherStartable(const std::filesystem::path& launcher);
// Starts the launcher detached, in its own folder, when it is startable. A missing launcher is no error.
bool StartLauncher(const std::filesystem::path& programDir);

} // namespace vm::app
