#pragma once
// Configurations as text, for review in version control and to apply back to a configuration:
//
//   price_1 = 1.50  # 8471
//
// one setting a line in index order, "name = value" and a comment with the parameter index. The settings
// are the parameters with a default that a configuration file carries (ConfigImage 16..12927). Amounts
// are shown with the configuration's decimal point ('.' whatever the locale); texts in double quotes with
// \" \\ and \xNN escapes, trailing blanks left out. A mirror is written once, under its parameter, and gets
// a line of its own only when it holds another value than applying its parameter would give it.

#include "Catalogue.h"
#include "Delivery.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vm {

// The name of a parameter in the text: its catalogue name in lower case, every run of characters other
// than letters and digits turned into one '_' ("dose 1, table 2" is dose_1_table_2).
std::string TextName(const catalogue::ParamInfo& param);

// A text in double quotes: \" and \\ escaped, bytes outside printable ASCII as \xNN.
std::string QuotedText(std::string_view text);

// A value as the text shows it: an amount with `decimals` decimals, a text quoted without its trailing
// blanks.
std::string ShownSettingValue(const catalogue::ParamInfo& param, const ParamData& value, int decimals);

// The settings of a configuration image (indexed by board address, at least the configuration area).
// Without `all` only those that differ from their defaults; the decimal point always comes with amounts.
// Applied to an image that holds the defaults (or, with `all`, to any image), the text gives the same
// bytes back.
std::string ConfigToText(std::span<const std::uint8_t> image, bool all);

struct TextApplyResult {
    std::string error; // "line N: ...", one line; empty on success
    int settings = 0;  // lines applied
    bool ok() const { return error.empty(); }
};

// Checks every line, then stores the values in the image, each parameter's mirror with it; a mirror's own
// line wins over its parameter's. Lines may name a parameter by its index instead of its name. Amounts are
// read with the decimal point the text sets, else the image's. On any error the image stays as it was.
TextApplyResult ApplyConfigText(std::string_view text, std::span<std::uint8_t> image);

} // namespace vm
