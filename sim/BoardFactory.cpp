#include "BoardFactory.h"

#include "BoardConfigFile.h"

#include <ctime>

namespace vm::sim {

std::int64_t LocalWallClockSeconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

std::unique_ptr<SimulatedBoard> CreateBoard(const SimOptions& options, std::string& error) {
    auto board = std::make_unique<SimulatedBoard>(options.board);
    if (!board->loadMaps(options.mapsDir, error)) return nullptr;
    if (!options.loadFile.empty() && !LoadBoardConfigFile(*board, options.loadFile, error)) return nullptr;
    if (options.empty) board->clearConfiguration();
    return board;
}

} // namespace vm::sim
