#pragma once
// The parsers under fuzzing read files: each harness writes its input into a scratch folder of its own
// process (in memory where the system offers it), and the folder goes away when the process ends.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

#include <unistd.h>

namespace vm::fuzz {

class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view name) {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const auto base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        path_ = base / ("vm-fuzz-" + std::string(name) + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_, ec);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes the bytes as the whole file and returns its path.
inline std::filesystem::path WriteFile(const std::filesystem::path& file,
                                       std::span<const std::uint8_t> bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
}
inline std::filesystem::path WriteFile(const std::filesystem::path& file, std::string_view text) {
    return WriteFile(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// A broken property: the message goes to stderr and the process aborts, so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
#define VM_FUZZ_CHECK(condition)                                                                             \
    do {                                                                                                     \
        if (!(condition)) ::vm::fuzz::Fail(#condition);                                                      \
    } while (0)

} // namespace vm::fuzz
