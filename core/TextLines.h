#pragma once
// Reading text files line by line the way the settings and language files are written: lines ended by
// CR LF or LF, the last one with or without an end, an optional UTF-8 byte-order mark at the start.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// At most maxLines lines of the text without their line ends.
std::vector<std::string> SplitTextLines(std::string_view text,
                                        std::size_t maxLines = static_cast<std::size_t>(-1));

// At most maxLines lines of a file of at most maxBytes; nothing when the file cannot be read or is larger,
// and then `why` (if given) says why.
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path, std::size_t maxLines,
                                                      std::uintmax_t maxBytes, std::string* why = nullptr);

} // namespace vm
