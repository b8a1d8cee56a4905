#pragma once
// vmconfig --script FILE: starts the tool as usual, runs the script's lines and ends the program.

#include "AppConfig.h"

#include <filesystem>

namespace vm::script {

// Exit status: 0 when every line succeeded, 1 at the first failing line (reported on stderr as
// "FILE:LINE: reason"), 2 when the script cannot be read (also when it is no regular file or larger than
// 1 MiB). Needs a QApplication.
int RunScript(app::AppConfig config, const std::filesystem::path& scriptFile);

} // namespace vm::script
