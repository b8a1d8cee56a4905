// One row of the catalogue table: its words, its keys checked and read, and its expansion into parameters,
// identification records or reserved bytes.

#include "CatalogueRows.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace vm::mapgen {

namespace {

constexpr std::uint32_t kBlankText = 0x20202020;

struct Row {
    enum Kind { Params, Ident, Reserved } kind = Params;
    int first = 0;
    int last = 0;
    std::map<std::string, std::string> fields;
    std::string name;
    int line = 0;
};

// Splits a row into blank-separated tokens; a double-quoted string is one token (quotes kept).
bool tokenize(const std::string& line, std::vector<std::string>& tokens) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string::npos) return false;
            tokens.push_back(line.substr(i, close - i + 1));
            i = close + 1;
            continue;
        }
        // key="a text with blanks" is one token too
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t') {
            if (line[j] == '"') {
                j = line.find('"', j + 1);
                if (j == std::string::npos) return false;
            }
            ++j;
        }
        tokens.push_back(line.substr(i, j - i));
        i = j;
    }
    return true;
}

class Reader {
public:
    explicit Reader(std::vector<std::string>& errors) : errors_(errors) {}

    void fail(int line, const std::string& message) { AddError(errors_, line, message); }

    std::optional<Row> parseRow(const std::string& text, int line) {
        std::vector<std::string> tokens;
        if (!tokenize(text, tokens)) {
            fail(line, "unterminated name");
            return std::nullopt;
        }
        Row row;
        row.line = line;
        std::size_t next = 1;
        if (tokens[0] == "ident") {
            row.kind = Row::Ident;
            auto record = tokens.size() > 1 ? ToNumber(tokens[1]) : std::nullopt;
            if (!record) {
                fail(line, "ident needs a record number");
                return std::nullopt;
            }
            row.first = row.last = static_cast<int>(*record);
            next = 2;
        } else if (tokens[0] == "reserve") {
            row.kind = Row::Reserved;
        } else {
            const std::size_t dots = tokens[0].find("..");
            auto first = ToNumber(tokens[0].substr(0, dots));
            auto last = dots == std::string::npos ? first : ToNumber(tokens[0].substr(dots + 2));
            if (!first || !last || *last < *first) {
                fail(line, "bad index or range '" + tokens[0] + "'");
                return std::nullopt;
            }
            row.first = static_cast<int>(*first);
            row.last = static_cast<int>(*last);
        }
        for (std::size_t t = next; t < tokens.size(); ++t) {
            const std::string& token = tokens[t];
            if (token.front() == '"') {
                if (!row.name.empty()) fail(line, "two names");
                row.name = token.substr(1, token.size() - 2);
                continue;
            }
            const std::size_t eq = token.find('=');
            if (eq == std::string::npos || eq == 0) {
                fail(line, "expected key=value, got '" + token + "'");
                return std::nullopt;
            }
            std::string value = token.substr(eq + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            if (!row.fields.emplace(token.substr(0, eq), std::move(value)).second)
                fail(line, "key '" + token.substr(0, eq) + "' given twice");
        }
        if (row.name.empty()) fail(line, "missing name");
        return row;
    }

    // A numeric field within [low, high], or the default when absent.
    std::optional<long long> number(const Row& row, const std::string& key, long long low, long long high,
                                    std::optional<long long> fallback) {
        auto it = row.fields.find(key);
        if (it == row.fields.end()) {
            if (!fallback) fail(row.line, "missing " + key + "=");
            return fallback;
        }
        auto value = ToNumber(it->second);
        if (!value || *value < low || *value > high) {
            fail(row.line, key + "=" + it->second + " is not a number in " + std::to_string(low) + ".." +
                               std::to_string(high));
            return std::nullopt;
        }
        return value;
    }

    // A key that takes one word only: whether the row gives it.
    bool choice(const Row& row, const std::string& key, const std::string& word) {
        auto it = row.fields.find(key);
        if (it == row.fields.end()) return false;
        if (it->second != word) fail(row.line, key + "=" + it->second + " is not " + key + "=" + word);
        return true;
    }

    // "1".."4" bytes, or "t5".."t16" for a text of that many characters.
    bool width(const Row& row, int& bytes, bool& text) {
        auto it = row.fields.find("w");
        const std::string widthText = it == row.fields.end() ? "1" : it->second;
        text = !widthText.empty() && widthText[0] == 't';
        auto value = ToNumber(text ? widthText.substr(1) : widthText);
        const bool good = value && (text ? (*value >= 5 && *value <= 16) : (*value >= 1 && *value <= 4));
        if (!good) {
            fail(row.line, "w=" + widthText + " is neither 1..4 nor t5..t16");
            return false;
        }
        bytes = static_cast<int>(*value);
        return true;
    }

    void checkKeys(const Row& row, std::initializer_list<const char*> allowed) {
        for (const auto& field : row.fields) {
            const std::string& key = field.first; // a plain name: clang's lambdas cannot capture a binding
            if (std::find_if(allowed.begin(), allowed.end(), [&](const char* a) { return key == a; }) ==
                allowed.end())
                fail(row.line, "unknown key '" + key + "'");
        }
    }

    void expand(const Row& row, Catalogue& out) {
        switch (row.kind) {
        case Row::Ident:
            return expandIdent(row, out);
        case Row::Reserved:
            return expandReserve(row, out);
        case Row::Params:
            return expandParams(row, out);
        }
    }

private:
    void expandIdent(const Row& row, Catalogue& out) {
        checkKeys(row, {"w", "sp", "at"});
        int bytes = 1;
        bool text = false;
        auto space = number(row, "sp", 1, 7, 1);
        auto address = number(row, "at", 0, kMaxAddress, std::nullopt);
        if (!width(row, bytes, text) || !space || !address) return;
        if (row.first < 1 || row.first > 20) fail(row.line, "identification records are numbered 1..20");
        out.ident.push_back(
            {row.first, bytes, static_cast<int>(*space), static_cast<int>(*address), row.name, row.line});
    }

    void expandReserve(const Row& row, Catalogue& out) {
        checkKeys(row, {"sp", "at", "len"});
        auto space = number(row, "sp", 1, 7, 5);
        auto address = number(row, "at", 0, kMaxAddress, std::nullopt);
        auto length = number(row, "len", 1, kMaxAddress, std::nullopt);
        if (!space || !address || !length) return;
        out.reserves.push_back({static_cast<int>(*space), static_cast<int>(*address),
                                static_cast<int>(*length), row.name, row.line});
    }

    void expandParams(const Row& row, Catalogue& out) {
        checkKeys(row, {"w", "sp", "at", "poll", "page", "init", "mirror", "group", "unit", "default", "id",
                        "min", "max", "dec", "help"});
        const bool money = choice(row, "unit", "money");
        const bool noDefault = choice(row, "default", "none");
        int bytes = 1;
        bool text = false;
        if (!width(row, bytes, text)) return;
        auto space = number(row, "sp", 1, 7, 5);
        auto address = number(row, "at", 0, kMaxAddress, std::nullopt);
        auto poll = number(row, "poll", 0, 15, 0);
        auto page = number(row, "page", 0, 255, 0);
        auto initial = number(row, "init", 0, 0xFFFFFFFFLL, text ? kBlankText : 0);
        auto group = number(row, "group", 1, kMaxIndex, row.last - row.first + 1);
        if (!space || !address || !poll || !page || !initial || !group) return;
        if (row.first < 1 || row.last > kMaxIndex) fail(row.line, "parameter indexes are 1..33000");
        const std::string id = identifier(row);
        auto low = number(row, "min", 0, 0xFFFFFFLL, 0);
        auto high = number(row, "max", 0, 0xFFFFFFLL, 0);
        auto decimals = number(row, "dec", 0, 3, 0);
        if (!low || !high || !decimals) return;
        const bool hasRange = row.fields.contains("min") || row.fields.contains("max");
        if (hasRange && !(row.fields.contains("min") && row.fields.contains("max")))
            fail(row.line, "min= and max= go together");
        if (*low > *high) fail(row.line, "min= is above max=");
        if (hasRange && !text && bytes < 4 && *high >= (1LL << (8 * bytes)))
            fail(row.line, "max=" + row.fields.at("max") + " does not fit in w=" + std::to_string(bytes));
        const auto helpField = row.fields.find("help");
        const std::string help = helpField == row.fields.end() ? std::string() : helpField->second;

        // mirror=M (an existing parameter) or mirror=M@A (new mirror parameters from M, at address A)
        int mirrorFirst = 0;
        std::optional<long long> mirrorAddress;
        if (auto it = row.fields.find("mirror"); it != row.fields.end()) {
            const std::size_t at = it->second.find('@');
            auto m = ToNumber(it->second.substr(0, at));
            if (at != std::string::npos) mirrorAddress = ToNumber(it->second.substr(at + 1));
            if (!m || *m < 1 || *m + (row.last - row.first) > kMaxIndex ||
                (at != std::string::npos &&
                 (!mirrorAddress || *mirrorAddress < 0 || *mirrorAddress > kMaxAddress))) {
                fail(row.line, "bad mirror=" + it->second);
                return;
            }
            mirrorFirst = static_cast<int>(*m);
        }
        if (!id.empty())
            out.named.push_back({id, row.first, row.last - row.first + 1, mirrorFirst, row.line});

        for (int index = row.first; index <= row.last; ++index) {
            const int n = index - row.first + 1;
            Param p;
            p.index = index;
            p.width = bytes;
            p.isText = text;
            p.space = static_cast<int>(*space);
            p.address = static_cast<int>(*address) + (n - 1) * bytes;
            p.poll = static_cast<int>(*poll);
            p.page = static_cast<int>(*page);
            p.initial = static_cast<std::uint32_t>(*initial);
            p.money = money;
            p.hasDefault = *space == kConfigurationSpace && !noDefault;
            p.line = row.line;
            p.id = id;
            p.hasRange = hasRange;
            p.min = static_cast<int>(*low);
            p.max = static_cast<int>(*high);
            p.decimals = static_cast<int>(*decimals);
            p.help = help;
            std::string error;
            if (!ExpandName(row.name, n, static_cast<int>(*group), p.name, error)) {
                fail(row.line, error);
                return;
            }
            if (mirrorFirst != 0) {
                p.mirror = mirrorFirst + n - 1;
                if (p.mirror == p.index)
                    fail(row.line, "parameter " + std::to_string(index) + " mirrors itself");
                if (mirrorAddress) {
                    Param twin = p;
                    twin.index = p.mirror;
                    twin.mirror = 0;
                    twin.address = static_cast<int>(*mirrorAddress) + (n - 1) * bytes;
                    twin.name = p.name + " (mirror)";
                    twin.id.clear();
                    out.params.push_back(twin);
                }
            }
            out.params.push_back(std::move(p));
        }
    }

    // id=Name: a C++ identifier that starts with a capital letter; empty when the row has none.
    std::string identifier(const Row& row) {
        auto it = row.fields.find("id");
        if (it == row.fields.end()) return {};
        const std::string& id = it->second;
        const bool good =
            !id.empty() && id[0] >= 'A' && id[0] <= 'Z' && std::all_of(id.begin(), id.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
            });
        if (!good) fail(row.line, "id=" + id + " is no name starting with a capital letter");
        return good ? id : std::string();
    }

    std::vector<std::string>& errors_;
};

} // namespace

std::optional<long long> ToNumber(const std::string& text) {
    long long value = 0;
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty()) return std::nullopt;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

void ReadRow(const std::string& text, int line, Catalogue& out, std::vector<std::string>& errors) {
    Reader reader(errors);
    if (auto row = reader.parseRow(text, line)) reader.expand(*row, out);
}

} // namespace vm::mapgen
