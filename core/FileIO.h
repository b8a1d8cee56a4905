#pragma once
// Whole-file reads and safe whole-file writes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vm {

// Why `path` cannot be read as a file ("does not exist", "is a folder, not a file", ...), or empty when it
// is a regular file. Asked before opening, so that a pipe or a device never blocks the reader.
std::string NotARegularFile(const std::filesystem::path& path);

// The bytes of a file of at most maxBytes, or nothing when it cannot be opened or read or is larger; then
// `why` (if given) says why ("is too large (N bytes; at most M)"). The size is asked before reading, so a
// huge file never fills the memory.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes, std::string* why = nullptr);

// Writes the bytes to a temporary file in the target's folder and renames it over the target, so a failed
// write never destroys the previous file. A symbolic link is followed: the file it points to is replaced
// and the link stays. The replaced file keeps its permissions. Returns an error text naming the file and
// the system's reason, empty on success.
std::string WriteFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace vm
