// The whole table: every row read (CatalogueRows.cpp), then the checks across rows: unique indexes and
// records, mirrors of the same width, no shared bytes, every declared name once.

#include "CatalogueTable.h"

#include "CatalogueRows.h"

#include <algorithm>
#include <map>

namespace vm::mapgen {

namespace {

// Every name the header will declare is declared once.
void checkNames(const Catalogue& cat, std::vector<std::string>& errors) {
    std::map<std::string, int> lines;
    for (const NamedRow& r : cat.named)
        for (const std::string& name : DeclaredNames(r))
            if (auto [it, added] = lines.emplace(name, r.line); !added)
                AddError(errors, r.line,
                         "the name " + name + " is already declared on line " + std::to_string(it->second));
}

struct Footprint {
    int first;
    int last;
    std::string what;
    int line;
};

void checkLayout(const Catalogue& cat, std::vector<std::string>& errors) {
    std::map<int, std::vector<Footprint>> bySpace;
    for (const Param& p : cat.params)
        bySpace[p.space].push_back(
            {p.address, p.address + p.width - 1, "parameter " + std::to_string(p.index), p.line});
    for (const Reserve& r : cat.reserves)
        bySpace[r.space].push_back({r.address, r.address + r.length - 1, "reserve '" + r.name + "'", r.line});

    for (auto& [space, items] : bySpace) {
        std::sort(items.begin(), items.end(),
                  [](const Footprint& a, const Footprint& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Footprint& f = items[i];
            if (f.last > kMaxAddress) AddError(errors, f.line, f.what + " ends beyond address 40000");
            if (space == 5 && f.last > kConfigAreaEnd)
                AddError(errors, f.line, f.what + " lies beyond the configuration memory (0..12927)");
            if (space == 1 && f.last >= kBoardInfoSize)
                AddError(errors, f.line, f.what + " lies beyond the 48 bytes of the board information area");
            if (i > 0 && f.first <= items[i - 1].last)
                AddError(errors, f.line,
                         f.what + " shares bytes with " + items[i - 1].what + " in space " +
                             std::to_string(space));
        }
    }
}

} // namespace

bool ReadCatalogue(std::istream& in, Catalogue& out, std::vector<std::string>& errors) {
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        const std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos || text[start] == '#') continue;
        ReadRow(text.substr(start), line, out, errors);
    }

    std::sort(out.params.begin(), out.params.end(),
              [](const Param& a, const Param& b) { return a.index < b.index; });
    for (std::size_t i = 1; i < out.params.size(); ++i)
        if (out.params[i].index == out.params[i - 1].index)
            AddError(errors, out.params[i].line,
                     "parameter " + std::to_string(out.params[i].index) + " is already defined on line " +
                         std::to_string(out.params[i - 1].line));

    auto lookup = [&](int index) -> const Param* {
        auto it = std::lower_bound(out.params.begin(), out.params.end(), index,
                                   [](const Param& p, int i) { return p.index < i; });
        return it != out.params.end() && it->index == index ? &*it : nullptr;
    };
    for (const Param& p : out.params) {
        if (p.mirror == 0) continue;
        const Param* twin = lookup(p.mirror);
        if (!twin)
            AddError(errors, p.line,
                     "mirror " + std::to_string(p.mirror) + " of " + std::to_string(p.index) +
                         " is not defined");
        else if (twin->width != p.width || twin->isText != p.isText)
            AddError(errors, p.line,
                     "mirror " + std::to_string(p.mirror) + " of " + std::to_string(p.index) +
                         " has another width");
    }

    std::sort(out.ident.begin(), out.ident.end(),
              [](const IdentEntry& a, const IdentEntry& b) { return a.record < b.record; });
    for (std::size_t i = 1; i < out.ident.size(); ++i)
        if (out.ident[i].record == out.ident[i - 1].record)
            AddError(errors, out.ident[i].line,
                     "identification record " + std::to_string(out.ident[i].record) + " is defined twice");

    checkLayout(out, errors);
    checkNames(out, errors);
    return errors.empty();
}

} // namespace vm::mapgen
