#include "TextLines.h"

#include "FileIO.h"

namespace vm {

std::vector<std::string> SplitTextLines(std::string_view text, std::size_t maxLines) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string> lines;
    while (!text.empty() && lines.size() < maxLines) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path, std::size_t maxLines,
                                                      std::uintmax_t maxBytes, std::string* why) {
    const auto bytes = ReadWholeFile(path, maxBytes, why);
    if (!bytes) return std::nullopt;
    return SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                          maxLines);
}

} // namespace vm
