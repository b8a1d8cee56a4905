#pragma once
// Starting a simulated board from a saved configuration file (".prm", ".spf" or ".cfx").

#include "SimulatedBoard.h"

#include <filesystem>
#include <string>

namespace vm::sim {

// Puts what the file carries into the board: the configuration memory (bytes 16..12927, or 0..12927 from a
// ".cfx" file) and, from the record formats, second-area bytes 8 and 32..34. The identity stays as
// configured. On error (unreadable file, bad checksum) the board is left unchanged.
bool LoadBoardConfigFile(SimulatedBoard& board, const std::filesystem::path& file, std::string& error);

} // namespace vm::sim
