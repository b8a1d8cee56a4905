#include "ConfigText.h"

#include "ConfigFile.h"
#include "Defaults.h"
#include "Display.h"
#include "ParamNames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace vm {
namespace {

constexpr int kDecimalPoint = param::DecimalPoint;

// One setting of the text. A mirror lists the parameters that write it (two parameters may share one);
// applying them in index order leaves the value of the last.
struct Setting {
    const catalogue::ParamInfo* info = nullptr;
    std::string name;
    std::vector<int> writers;
    bool isMirror() const { return !writers.empty(); }
};

struct SettingTable {
    std::vector<Setting> list; // index order
    std::unordered_map<int, const Setting*> byIndex;
    std::unordered_map<std::string, const Setting*> byName;
};

bool inText(const catalogue::ParamInfo& p) {
    return p.hasDefault && p.address >= kRecordImageLoadFirst && p.address + p.width <= kConfigAreaSize;
}

std::unique_ptr<SettingTable> buildTable() {
    auto table = std::make_unique<SettingTable>();
    std::map<int, std::vector<int>> writers;
    for (const catalogue::ParamInfo& p : catalogue::all())
        if (inText(p) && p.mirror != 0) writers[p.mirror].push_back(p.index);
    std::map<std::string, int> uses;
    for (const catalogue::ParamInfo& p : catalogue::all()) {
        if (!inText(p)) continue;
        table->list.push_back({&p, TextName(p), writers[p.index]});
        ++uses[table->list.back().name];
    }
    for (Setting& s : table->list) {
        // Names that differ only in punctuation would meet; the index keeps them apart.
        if (uses[s.name] > 1) s.name += "_" + std::to_string(s.info->index);
        table->byIndex[s.info->index] = &s;
        table->byName[s.name] = &s;
    }
    return table;
}

const SettingTable& settings() {
    static const std::unique_ptr<SettingTable> table = buildTable();
    return *table;
}

int decimalsOf(std::span<const std::uint8_t> image) {
    const catalogue::ParamInfo* point = catalogue::find(kDecimalPoint);
    const auto address = static_cast<std::size_t>(point->address);
    return address < image.size() ? image[address] & 3 : 0;
}

std::string shownValue(const catalogue::ParamInfo& p, const ParamData& value, int decimals) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        const auto end = text->find_last_not_of(' ');
        return QuotedText(std::string_view(*text).substr(0, end == std::string::npos ? 0 : end + 1));
    }
    const double number = std::get<double>(value);
    if (p.money) return FormatDecimals(number / std::pow(10.0, decimals), decimals, '.');
    char digits[24];
    std::snprintf(digits, sizeof digits, "%.0f", number);
    return digits;
}

// ---- reading a text ----

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The user's text inside a one-line message: control characters as '?', long texts cut.
std::string quoted(std::string_view text) {
    std::string out(text.substr(0, 40));
    std::replace_if(
        out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
    return "'" + out + (text.size() > 40 ? "...'" : "'");
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct Assignment {
    int line = 0;
    const Setting* setting = nullptr;
    std::string_view value; // as written, comment included
    std::vector<std::uint8_t> bytes;
};

// Splits the value from a comment after it: a quoted text runs to its closing quote, anything else to '#'.
// Returns the value, or nothing with `error` set.
std::optional<std::string_view> valuePart(std::string_view rest, std::string& error) {
    std::size_t end = 0;
    if (rest.starts_with('"')) {
        end = 1;
        while (end < rest.size() && rest[end] != '"')
            end += rest[end] == '\\' ? 2 : 1;
        if (end >= rest.size()) {
            error = "the text has no closing quote";
            return std::nullopt;
        }
        ++end;
        const std::string_view after = trimmed(rest.substr(end));
        if (!after.empty() && !after.starts_with('#')) {
            error = "unexpected " + quoted(after) + " after the text";
            return std::nullopt;
        }
        return rest.substr(0, end);
    }
    return trimmed(rest.substr(0, rest.find('#')));
}

std::optional<std::string> unquoted(std::string_view value, std::string& error) {
    std::string text;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        const char c = value[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c != '\\') {
            if (byte < 0x20 || byte >= 0x7F) {
                error = "write characters other than printable ASCII as \\xNN";
                return std::nullopt;
            }
            text += c;
            continue;
        }
        const char kind = ++i + 1 < value.size() ? value[i] : '\0';
        unsigned code = 0;
        if (kind == '"' || kind == '\\') {
            text += kind;
        } else if (kind == 'x' && i + 3 < value.size() &&
                   std::from_chars(value.data() + i + 1, value.data() + i + 3, code, 16).ptr ==
                       value.data() + i + 3) {
            text += static_cast<char>(code);
            i += 2;
        } else {
            error = "unknown escape in the text (use \\\" \\\\ or \\xNN)";
            return std::nullopt;
        }
    }
    return text;
}

// The bytes of a value for the setting, or nothing with `error` set.
std::optional<std::vector<std::uint8_t>> parseValue(const catalogue::ParamInfo& p, std::string_view value,
                                                    int decimals, std::string& error) {
    const auto width = static_cast<std::size_t>(p.width);
    if (p.isText) {
        if (!value.starts_with('"')) {
            error = "expected a text in double quotes, got " + quoted(value);
            return std::nullopt;
        }
        const auto text = unquoted(value, error);
        if (!text) return std::nullopt;
        if (text->size() > width) {
            error = "the text has " + std::to_string(text->size()) + " characters, at most " +
                    std::to_string(width) + " fit";
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(text->begin(), text->end());
        bytes.resize(width, ' ');
        return bytes;
    }

    const std::uint64_t maximum = (std::uint64_t{1} << (8 * width)) - 1;
    const int places = p.money ? decimals : 0;
    const std::string range =
        p.money ? FormatDecimals(0, places, '.') + ".." +
                      FormatDecimals(static_cast<double>(maximum) / std::pow(10.0, places), places, '.')
                : "0.." + std::to_string(maximum);
    const auto dot = value.find('.');
    const std::string_view whole = value.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? "" : value.substr(dot + 1);
    const bool wellFormed = allDigits(whole) && (dot == std::string_view::npos || allDigits(fraction));
    if (!wellFormed || (dot != std::string_view::npos && !p.money)) {
        error = std::string(p.money ? "expected an amount " : "expected a whole number ") + range + ", got " +
                quoted(value);
        return std::nullopt;
    }
    if (fraction.size() > static_cast<std::size_t>(places)) {
        error = quoted(value) + " has more than " + std::to_string(places) + " decimals (decimal point " +
                std::to_string(places) + ")";
        return std::nullopt;
    }
    // Digits beyond what any width holds are out of range anyway.
    std::uint64_t number = 0;
    const std::string digits = std::string(whole) + std::string(fraction) +
                               std::string(static_cast<std::size_t>(places) - fraction.size(), '0');
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || number > maximum) {
        error = quoted(value) + " is out of range " + range;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(width);
    for (std::size_t i = 0; i < width; ++i)
        bytes[i] = static_cast<std::uint8_t>(number >> (8 * i));
    return bytes;
}

void store(std::span<std::uint8_t> image, int address, const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(address) + i;
        if (at < image.size()) image[at] = bytes[i];
    }
}

} // namespace

std::string TextName(const catalogue::ParamInfo& param) {
    std::string name;
    bool gap = false;
    for (const char c : param.name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        const bool capital = c >= 'A' && c <= 'Z';
        if (!plain && !capital) {
            gap = !name.empty();
            continue;
        }
        if (gap) name += '_';
        gap = false;
        name += capital ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return name;
}

std::string ShownSettingValue(const catalogue::ParamInfo& param, const ParamData& value, int decimals) {
    return shownValue(param, value, decimals);
}

std::string QuotedText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string ConfigToText(std::span<const std::uint8_t> image, bool all) {
    const SettingTable& table = settings();
    const int decimals = decimalsOf(image);
    std::map<int, std::string> lines;
    const auto add = [&](const Setting& s, const ParamData& value, const std::string& note) {
        lines[s.info->index] = s.name + " = " + shownValue(*s.info, value, decimals) + "  # " +
                               std::to_string(s.info->index) + note + "\n";
    };

    bool amounts = false;
    for (const Setting& s : table.list) {
        if (s.isMirror()) continue;
        const ParamData value = ImageValue(*s.info, image);
        if (!all && value == DefaultValue(*s.info)) continue;
        add(s, value, "");
        amounts = amounts || s.info->money;
    }
    // Amounts mean nothing without their decimal point.
    if (amounts && !lines.contains(kDecimalPoint)) {
        const Setting& point = *table.byIndex.at(kDecimalPoint);
        add(point, ImageValue(*point.info, image), ", the amounts use it");
    }
    for (const Setting& s : table.list) {
        if (!s.isMirror()) continue;
        // What applying the text leaves in the mirror: the value of the last parameter that writes it.
        const auto writer = std::find_if(s.writers.rbegin(), s.writers.rend(),
                                         [&](int index) { return lines.contains(index); });
        const ParamData expected = writer != s.writers.rend()
                                       ? ImageValue(*table.byIndex.at(*writer)->info, image)
                                       : *DefaultValue(*s.info);
        const ParamData value = ImageValue(*s.info, image);
        if (value != expected) add(s, value, ", mirror of " + std::to_string(s.writers.back()));
    }

    std::string text = all ? "# Every configuration setting"
                           : "# The configuration settings that differ from their defaults";
    text += ", one a line: name = value  # parameter index\n";
    for (const auto& [index, line] : lines)
        text += line;
    return text;
}

TextApplyResult ApplyConfigText(std::string_view text, std::span<std::uint8_t> image) {
    const SettingTable& table = settings();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    std::vector<Assignment> assignments;
    std::map<int, int> lineOf; // parameter index -> line that sets it
    std::string firstError;
    int errors = 0;
    const auto fail = [&](int line, const std::string& message) {
        if (errors++ == 0) firstError = "line " + std::to_string(line) + ": " + message;
    };

    for (int number = 1; !text.empty(); ++number) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        line = trimmed(line);
        if (line.empty() || line.starts_with('#')) continue;

        const auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            fail(number, "expected name = value, got " + quoted(line));
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, eq));
        std::string name(key);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        // A line may give the index instead of the name.
        int index = 0;
        if (allDigits(name)) std::from_chars(name.data(), name.data() + name.size(), index);
        const Setting* setting = nullptr;
        if (const auto it = table.byIndex.find(index); index > 0 && it != table.byIndex.end())
            setting = it->second;
        else if (const auto named = table.byName.find(name); named != table.byName.end())
            setting = named->second;
        if (!setting) {
            const catalogue::ParamInfo* other = catalogue::find(index);
            fail(number, other ? "parameter " + name + " (" + std::string(other->name) +
                                     ") has no default and is no setting of a configuration text"
                               : "unknown setting " + quoted(key));
            continue;
        }
        if (const auto [it, fresh] = lineOf.emplace(setting->info->index, number); !fresh) {
            fail(number, setting->name + " is already set on line " + std::to_string(it->second));
            continue;
        }
        std::string why;
        const auto value = valuePart(trimmed(line.substr(eq + 1)), why);
        if (!value) {
            fail(number, setting->name + ": " + why);
            continue;
        }
        assignments.push_back({number, setting, *value, {}});
    }

    // Amounts are read with the decimal point the text sets, if it sets one.
    int decimals = decimalsOf(image);
    for (const Assignment& a : assignments) {
        std::string ignored;
        if (a.setting->info->index != kDecimalPoint) continue;
        if (const auto bytes = parseValue(*a.setting->info, a.value, 0, ignored)) decimals = (*bytes)[0] & 3;
    }
    for (Assignment& a : assignments) {
        std::string why;
        auto bytes = parseValue(*a.setting->info, a.value, decimals, why);
        if (!bytes) {
            fail(a.line, a.setting->name + ": " + why);
            continue;
        }
        a.bytes = std::move(*bytes);
    }
    if (errors > 0) {
        if (errors > 1) firstError += " (and " + std::to_string(errors - 1) + " more)";
        return {firstError, 0};
    }

    // Parameters with their mirrors first, in index order, then the mirrors' own lines.
    std::stable_sort(assignments.begin(), assignments.end(), [](const Assignment& a, const Assignment& b) {
        return std::tuple(a.setting->isMirror(), a.setting->info->index) <
               std::tuple(b.setting->isMirror(), b.setting->info->index);
    });
    for (const Assignment& a : assignments) {
        store(image, a.setting->info->address, a.bytes);
        if (const catalogue::ParamInfo* mirror = catalogue::find(a.setting->info->mirror))
            store(image, mirror->address, a.bytes);
    }
    return {{}, static_cast<int>(assignments.size())};
}

} // namespace vm
