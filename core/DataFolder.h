#pragma once
// Where a program finds its data files (parameter maps, language files): beside itself in a build or a
// copied folder, or in the share folder of an installation (<prefix>/bin/vmconfig and
// <prefix>/share/vmconfig/W0482.inx).

#include <filesystem>

namespace vm {

inline constexpr const char* kInstalledDataFolder = "share/vmconfig";

std::filesystem::path FindDataFolder(const std::filesystem::path& programFolder);

} // namespace vm
