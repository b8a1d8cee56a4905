#pragma once
// Whole-file reads and safe whole-file writes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vm {

// The bytes of a file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path);

// Writes the bytes to a temporary file in the target's folder and renames it over the target, so a failed
// write never destroys the previous file. Returns an error text, empty on success.
std::string WriteFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace vm
