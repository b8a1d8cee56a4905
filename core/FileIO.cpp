#include "FileIO.h"

#include <array>
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

namespace {

std::string tooLarge(std::uintmax_t size, std::uintmax_t maxBytes) {
    return "is too large (" + std::to_string(size) + " bytes; at most " + std::to_string(maxBytes) + ")";
}

// The reason of the last failed system call, as the system words it.
std::string systemReason() {
    return errno != 0 ? std::strerror(errno) : "the system gave no reason";
}

} // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes, std::string* why) {
    std::string problem = NotARegularFile(path);
    std::error_code ec;
    const std::uintmax_t size = problem.empty() ? std::filesystem::file_size(path, ec) : 0;
    if (problem.empty() && ec) problem = "cannot be examined: " + ec.message();
    if (problem.empty() && size > maxBytes) problem = tooLarge(size, maxBytes);
    if (problem.empty()) {
        // The standard library throws when reading fails underneath (a file replaced by a folder meanwhile).
        try {
            errno = 0;
            std::ifstream in(path, std::ios::binary);
            if (!in) {
                problem = "cannot be read: " + systemReason();
            } else {
                // Read in pieces up to the bound: the file may have grown since its size was asked.
                std::vector<std::uint8_t> bytes;
                bytes.reserve(static_cast<std::size_t>(size));
                std::array<char, 65536> piece;
                while (in && bytes.size() <= maxBytes) {
                    in.read(piece.data(), piece.size());
                    bytes.insert(bytes.end(), piece.begin(), piece.begin() + in.gcount());
                }
                if (in.bad())
                    problem = "cannot be read: " + systemReason();
                else if (bytes.size() > maxBytes)
                    problem = tooLarge(bytes.size(), maxBytes);
                else
                    return bytes;
            }
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

// The file a chain of symbolic links ends at (which need not exist yet); the path itself when it is none.
std::filesystem::path linkTarget(std::filesystem::path path, std::string& error) {
    constexpr int kMaxLinks = 40; // as the system gives up on a loop
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(path, ec)) return path;
        const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec) {
            error = "Cannot follow the link " + path.string() + ": " + ec.message();
            return {};
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    error = "Cannot follow the link " + path.string() + ": " +
            std::make_error_code(std::errc::too_many_symbolic_link_levels).message();
    return {};
}

} // namespace

std::string WriteFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::string error;
    const std::filesystem::path target = linkTarget(path, error);
    if (target.empty()) return error;
    const std::filesystem::path temp = temporarySibling(target);
    {
        errno = 0;
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return "Cannot write " + path.string() + ": " + systemReason();
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (out) out.close();
        if (!out) {
            const std::string reason = systemReason();
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return "Cannot write " + path.string() + ": " + reason;
        }
    }
    std::error_code ec;
    // Saving over a file changes its contents, not who may read it.
    const auto previous = std::filesystem::status(target, ec);
    if (!ec && std::filesystem::is_regular_file(previous))
        std::filesystem::permissions(temp, previous.permissions(), ec);
    ec.clear();
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return "Cannot replace " + path.string() + ": " + ec.message();
    }
    return {};
}

} // namespace vm
