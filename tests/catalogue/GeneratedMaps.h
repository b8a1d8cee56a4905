#pragma once
// The map files the build generated into the programs' folder, read back byte by byte, so that the
// layout tests look at exactly what the programs and the simulated board load.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace vm::test {

inline std::filesystem::path MapsDir() {
    return VM_MAPS_DIR;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct MapRecord {
    int address = 0;
    int command = 0;
    int poll = 0;
    int page = 0;
    std::uint32_t initial = 0;

    bool used() const { return command != 0; }
    int space() const { return command >> 4; }
    int width() const { return (command & 0x0F) + 1; }
    bool isText() const { return width() > 4; }
    int last() const { return address + width() - 1; }
};

// Record k of a map file at [k]; [0] is an empty placeholder. Parameter records (9 bytes) carry an initial
// value after the five bytes both kinds share.
inline std::vector<MapRecord> ReadMap(const char* name, std::size_t size) {
    const auto bytes = ReadBytes(MapsDir() / name);
    std::vector<MapRecord> records(1);
    for (std::size_t at = 0; at + size <= bytes.size(); at += size) {
        const auto* b = &bytes[at];
        std::uint32_t initial = 0;
        for (std::size_t k = size; k > 5; --k)
            initial = initial << 8 | b[k - 1];
        records.push_back({b[0] * 256 + b[1], b[2], b[3], b[4], initial});
    }
    return records;
}
inline std::vector<MapRecord> ReadParamMap() {
    return ReadMap("W0482BV00.inx", 9);
}
inline std::vector<MapRecord> ReadIdentMap() {
    return ReadMap("W0482.inx", 5);
}

// The transfer areas the configuration blocks carry.
struct Area {
    int first;
    int last;
};
inline constexpr Area kTransferAreas[] = {{16, 1934}, {3072, 3822}, {4976, 12926}};

inline bool InsideTransferAreas(int first, int last) {
    for (const Area& a : kTransferAreas)
        if (first >= a.first && last <= a.last) return true;
    return false;
}

inline bool TouchesTransferAreas(int first, int last) {
    for (const Area& a : kTransferAreas)
        if (first <= a.last && last >= a.first) return true;
    return false;
}

} // namespace vm::test
