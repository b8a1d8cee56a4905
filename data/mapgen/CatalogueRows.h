#pragma once
// Inside the catalogue reader: one row of the table read, checked and expanded into the catalogue, the
// limits of the board's memory that rows are checked against, and the form of a fault.

#include "CatalogueTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm::mapgen {

inline constexpr int kMaxIndex = 33000;
inline constexpr int kMaxAddress = 40000;     // the configuration image is indexed 0..40000
inline constexpr int kConfigAreaEnd = 12927;  // last byte of the configuration memory
inline constexpr int kBoardInfoSize = 48;     // bytes read with the 0x1F block frame
inline constexpr int kConfigurationSpace = 5; // the only space whose parameters have factory settings

// A whole text as a number: decimal, or hexadecimal after 0x.
std::optional<long long> ToNumber(const std::string& text);

inline void AddError(std::vector<std::string>& errors, int line, const std::string& message) {
    errors.push_back("line " + std::to_string(line) + ": " + message);
}

// One row of the table (leading blanks removed, no comment): what it defines is added to `out`, each fault
// to `errors`.
void ReadRow(const std::string& text, int line, Catalogue& out, std::vector<std::string>& errors);

} // namespace vm::mapgen
