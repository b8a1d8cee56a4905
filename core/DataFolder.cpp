#include "DataFolder.h"

namespace vm {

std::filesystem::path FindDataFolder(const std::filesystem::path& programFolder) {
    std::error_code ec;
    const auto hasMaps = [&](const std::filesystem::path& folder) {
        return std::filesystem::is_regular_file(folder / "W0482.inx", ec);
    };
    if (hasMaps(programFolder)) return programFolder;
    const std::filesystem::path installed = (programFolder.parent_path() / kInstalledDataFolder).lexically_normal();
    if (hasMaps(installed)) return installed;
    return programFolder; // the errors then name the files missing beside the program
}

} // namespace vm
