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

inline std::filesystem::path MapsDir() { return VM_MAPS_DIR; }

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

// Record k of the parameter map at [k]; [0] is an empty placeholder.
inline std::vector<MapRecord> ReadParamMap() {
    const auto bytes = ReadBytes(MapsDir() / "W0482BV00.inx");
    std::vector<MapRecord> records(1);
    for (std::size_t at = 0; at + 9 <= bytes.size(); at += 9) {
        MapRecord r;
        r.address = bytes[at] * 256 + bytes[at + 1];
        r.command = bytes[at + 2];
        r.poll = bytes[at + 3];
        r.page = bytes[at + 4];
        r.initial = bytes[at + 5] | bytes[at + 6] << 8 | bytes[at + 7] << 16 | std::uint32_t{bytes[at + 8]} << 24;
        records.push_back(r);
    }
    return records;
}

// Record k of the identification map at [k]; [0] is an empty placeholder.
inline std::vector<MapRecord> ReadIdentMap() {
    const auto bytes = ReadBytes(MapsDir() / "W0482.inx");
    std::vector<MapRecord> records(1);
    for (std::size_t at = 0; at + 5 <= bytes.size(); at += 5) {
        MapRecord r;
        r.address = bytes[at] * 256 + bytes[at + 1];
        r.command = bytes[at + 2];
        r.poll = bytes[at + 3];
        r.page = bytes[at + 4];
        records.push_back(r);
    }
    return records;
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
