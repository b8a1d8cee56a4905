// The names of the table: the C++ names a row with an identifier declares, and the expansion of a range's
// name template for each of its parameters.

#include "CatalogueRows.h"

#include <sstream>

namespace vm::mapgen {

std::vector<std::string> DeclaredNames(const NamedRow& row) {
    std::vector<std::string> names{row.id};
    if (row.count > 1) names.push_back(row.id + "Count");
    if (row.mirror != 0) names.push_back(row.id + "Twin");
    return names;
}

bool ExpandName(const std::string& pattern, int n, int group, std::string& out, std::string& error) {
    out.clear();
    const int g = (n - 1) / group + 1;
    const int m = (n - 1) % group + 1;
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] != '{') {
            out += pattern[i++];
            continue;
        }
        const std::size_t close = pattern.find('}', i);
        if (close == std::string::npos) {
            error = "unclosed '{' in name '" + pattern + "'";
            return false;
        }
        const std::string body = pattern.substr(i + 1, close - i - 1);
        i = close + 1;
        int value = 0;
        if (body.empty() || (body[0] != 'n' && body[0] != 'g' && body[0] != 'm')) {
            error = "unknown placeholder {" + body + "}";
            return false;
        }
        value = body[0] == 'n' ? n : body[0] == 'g' ? g : m;
        const std::string rest = body.substr(1);
        if (rest.empty()) {
            out += std::to_string(value);
        } else if (rest[0] == ':') {
            std::vector<std::string> choices;
            std::stringstream list(rest.substr(1));
            for (std::string choice; std::getline(list, choice, '|');)
                choices.push_back(choice);
            if (value < 1 || value > static_cast<int>(choices.size())) {
                error = "placeholder {" + body + "} has no choice " + std::to_string(value);
                return false;
            }
            out += choices[static_cast<std::size_t>(value - 1)];
        } else if (rest[0] == '+' || rest[0] == '-') {
            auto offset = ToNumber(rest.substr(1));
            if (!offset) {
                error = "bad offset in {" + body + "}";
                return false;
            }
            out += std::to_string(rest[0] == '+' ? value + *offset : value - *offset);
        } else {
            error = "unknown placeholder {" + body + "}";
            return false;
        }
    }
    return true;
}

} // namespace vm::mapgen
