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
    // What code and the windows take from the row: its identifier (id=), the range a control offers
    // (min=, max=), the decimals a value is shown with (dec=) and a one-line meaning (help="...").
    std::string id;         // on every parameter of the row; empty for mirrors defined by mirror=M@A
    bool hasRange = false;
    int min = 0;
    int max = 0;
    int decimals = 0;
    std::string help;
};

// A row with an identifier: code names its first parameter, its count and its first twin.
struct NamedRow {
    std::string id;
    int first = 0;
    int count = 1;
    int mirror = 0; // first twin; 0 if none
    int line = 0;
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
    std::vector<NamedRow> named; // in table order
};

// Parses and checks the table. On any fault returns false with one message per fault ("line N: ...").
// Only configuration settings (space 5) have a default, unless their row says default=none.
bool ReadCatalogue(std::istream& in, Catalogue& out, std::vector<std::string>& errors);

// The names the generated header declares for a row with an identifier: the id (its first parameter),
// idCount (a range's number of parameters) and idTwin (the first twin).
std::vector<std::string> DeclaredNames(const NamedRow& row);

// Expands a name template for position n (1-based) of a range; g and m are the group and member numbers
// (1-based) for a group size. Placeholders: {n} {g} {m}, with an offset {n+5} {m-1}, or a choice
// {m:minutes|hours} picking the alternative of that number. False with a message when a placeholder is bad.
bool ExpandName(const std::string& pattern, int n, int group, std::string& out, std::string& error);

// The command byte of a parameter: type code (space) in the high nibble, size code (width - 1) low.
inline std::uint8_t CommandByte(int space, int width) {
    return static_cast<std::uint8_t>(((space & 0x0F) << 4) | ((width - 1) & 0x0F));
}

} // namespace vm::mapgen
