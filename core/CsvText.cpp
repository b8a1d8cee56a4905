#include "CsvText.h"

namespace vm {

namespace {
std::string field(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string line(const CsvRow& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i)
        out += (i ? ";" : "") + field(fields[i]);
    return out + "\r\n";
}
} // namespace

std::string CsvText(const CsvRow& header, const std::vector<CsvRow>& rows) {
    std::string text = "sep=;\r\n" + line(header);
    for (const CsvRow& row : rows)
        text += line(row);
    return text;
}

} // namespace vm
