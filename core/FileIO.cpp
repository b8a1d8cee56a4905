#include "FileIO.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

namespace vm {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

namespace {

// A name that no other save running at the same time in this process or another one picks.
std::filesystem::path temporarySibling(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path temp = target;
    temp += ".tmp" + std::to_string(stamp) + "_" + std::to_string(counter++);
    return temp;
}

} // namespace

std::string WriteFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path temp = temporarySibling(path);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return "Cannot create " + temp.string();
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return "Cannot write " + path.string();
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return "Cannot replace " + path.string() + ": " + ec.message();
    }
    return {};
}

} // namespace vm
