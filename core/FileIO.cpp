#include "FileIO.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <system_error>

namespace vm {

std::string NotARegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    switch (status.type()) {
    case std::filesystem::file_type::regular:
        return {};
    case std::filesystem::file_type::not_found:
        return "does not exist";
    case std::filesystem::file_type::directory:
        return "is a folder, not a file";
    case std::filesystem::file_type::none:
    case std::filesystem::file_type::unknown:
        return "cannot be examined: " + ec.message();
    default:
        return "is not a regular file";
    }
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path, std::string* why) {
    std::string problem = NotARegularFile(path);
    if (problem.empty()) {
        // The standard library throws when reading fails underneath (a file replaced by a folder meanwhile).
        try {
            std::ifstream in(path, std::ios::binary);
            if (in) {
                std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                                std::istreambuf_iterator<char>()};
                if (!in.bad()) return bytes;
            }
            problem = std::string("cannot be read: ") + std::strerror(errno);
        } catch (const std::ios_base::failure&) {
            problem = "cannot be read";
        }
    }
    if (why) *why = problem;
    return std::nullopt;
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
