#include "BoardConfigFile.h"

#include "ConfigFile.h"

namespace vm::sim {

bool LoadBoardConfigFile(SimulatedBoard& board, const std::filesystem::path& file, std::string& error) {
    const auto result = vm::ReadConfigFile(file);
    if (!result.ok()) {
        error = file.string() + ": " + result.error;
        return false;
    }
    const auto& data = result.data;
    BoardMemory& memory = board.memory();
    for (int a = data.imageLoadFirst(); a < kConfigAreaEnd; ++a)
        memory.write(kConfigSpace, static_cast<std::uint16_t>(a), data.imageByte(a));
    if (data.kind != vm::ConfigFileKind::Cfx) {
        memory.write(kAuxSpace, 8, data.modelCode());
        const auto aux = data.aux32();
        for (int i = 0; i < 3; ++i)
            memory.write(kAuxSpace, static_cast<std::uint16_t>(32 + i), aux[i]);
    }
    board.applyIdentity();
    return true;
}

} // namespace vm::sim
