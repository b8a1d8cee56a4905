#pragma once
// Reads the parameter catalogue table (data/catalogue/parameters.txt), expands its range rows into one
// entry per parameter index, and checks the layout: unique indexes, widths, addresses inside their memory
// space, no shared bytes, mirrors of the same width.

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace vm::mapgen {

struct Param {
    int index = 0;
    int width = 1; // bytes; the text length for texts
    bool isText = false;
    int space = 5;
    int address = 0;
    int poll = 0;
    int page = 0;
    std::uint32_t initial = 0;
    std::string name;
    int mirror = 0;
    bool money = false;     // unit=money: an amount in the smallest currency unit
    bool hasDefault = true; // the initial value is the factory setting (see ReadCatalogue)
    int line = 0;           // row of the table that defined it
};

struct IdentEntry {
    int record = 0; // 1..20
    int width = 1;
    int space = 1;
    int address = 0;
    std::string name;
    int line = 0;
};

struct Reserve {
    int space = 5;
    int address = 0;
    int length = 0;
    std::string name;
    int line = 0;
};

struct Catalogue {
    std::vector<Param> params; // ascending index
    std::vector<IdentEntry> ident;
    std::vector<Reserve> reserves;
};

// Parses and checks the table. On any fault returns false with one message per fault ("line N: ...").
// Only configuration settings (space 5) have a default, unless their row says default=none.
bool ReadCatalogue(std::istream& in, Catalogue& out, std::vector<std::string>& errors);

// Expands a name template for position n (1-based) of a range; g and m are the group and member numbers
// (1-based) for a group size. Placeholders: {n} {g} {m}, with an offset {n+5} {m-1}, or a choice
// {m:minutes|hours} picking the alternative of that number. False with a message when a placeholder is bad.
bool ExpandName(const std::string& pattern, int n, int group, std::string& out, std::string& error);

// The command byte of a parameter: type code (space) in the high nibble, size code (width - 1) low.
inline std::uint8_t CommandByte(int space, int width) {
    return static_cast<std::uint8_t>(((space & 0x0F) << 4) | ((width - 1) & 0x0F));
}

} // namespace vm::mapgen
