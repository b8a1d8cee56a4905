#pragma once
// Reading text files line by line the way the settings and language files are written: lines ended by
// CR LF or LF, the last one with or without an end, an optional UTF-8 byte-order mark at the start.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// At most maxLines lines without their line ends; nothing when the file cannot be opened.
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path,
                                                      std::size_t maxLines = static_cast<std::size_t>(-1));

} // namespace vm
