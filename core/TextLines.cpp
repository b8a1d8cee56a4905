#include "TextLines.h"

#include "FileIO.h"

#include <fstream>

namespace vm {

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path,
                                                      std::size_t maxLines) {
    if (!NotARegularFile(path).empty()) return std::nullopt;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::vector<std::string> lines;
        std::string line;
        while (lines.size() < maxLines && std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (lines.empty() && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
            lines.push_back(std::move(line));
        }
        if (in.bad()) return std::nullopt;
        return lines;
    } catch (const std::ios_base::failure&) { // reading failed underneath
        return std::nullopt;
    }
}

} // namespace vm
