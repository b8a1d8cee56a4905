#include "SimTestUtil.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace vm::sim::test {

namespace {
void putRecord(std::vector<std::uint8_t>& file, int index, std::uint16_t address, std::uint8_t command,
               std::vector<std::uint8_t> initial = {}) {
    const std::size_t at = static_cast<std::size_t>(index - 1) * 9;
    file[at] = address >> 8;
    file[at + 1] = address & 0xFF;
    file[at + 2] = command;
    for (std::size_t i = 0; i < initial.size() && i < 4; ++i)
        file[at + 5 + i] = initial[i];
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
} // namespace

TestMaps::TestMaps() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("vm-sim-maps-" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
    std::vector<std::uint8_t> ident(20 * 5, 0);
    for (int k = 1; k <= 20; ++k) {
        const std::uint16_t address = kIdentBase + k;
        ident[(k - 1) * 5] = address >> 8;
        ident[(k - 1) * 5 + 1] = address & 0xFF;
        ident[(k - 1) * 5 + 2] = kTestSpace << 4; // one byte
    }
    ident.push_back(0xAA); // a partial record is not read
    writeFile(dir_ / "W0482.inx", ident);
    writeParamMap("W0482BV00.inx", 5);
}

TestMaps::~TestMaps() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void TestMaps::addFirmwareMap(int software, int revision, std::uint8_t record2Initial) {
    writeParamMap(vm::ParamMapFileName(software, revision), record2Initial);
}

void TestMaps::writeParamMap(const std::string& name, std::uint8_t record2Initial) {
    std::vector<std::uint8_t> file(12100 * 9, 0);
    putRecord(file, 1, 0x0123, 0x51, {0x34, 0x12});
    putRecord(file, 2, 0x0010, 0x50, {record2Initial});
    putRecord(file, 3, 0x0008, 0x10, {7}); // machine model code in the second area
    putRecord(file, 4, 0x0200, 0x57, {'A', 'B', 'C', 'D'});
    putRecord(file, 5, kIdentBase + 18, kTestSpace << 4, {42}); // the release, as the firmware starts it
    for (int i = 0; i < 7; ++i)
        putRecord(file, 6690 + i, kClockBase + i, kTestSpace << 4);
    for (int i = 0; i < 4; ++i)
        putRecord(file, 6667 + i, kClockMirror + i, kTestSpace << 4);
    putRecord(file, 4775, kClearAddress, kTestSpace << 4);
    for (int i = 0; i < 12; ++i)
        putRecord(file, 11430 + i, kTotalsBase + 4 * i, (kTestSpace << 4) | 3);
    putRecord(file, 11815, kAlarmIndexAddress, kTestSpace << 4);
    for (int i = 0; i < 105; ++i)
        putRecord(file, 11816 + i, kAlarmIndexAddress + 1 + i, kTestSpace << 4);
    writeFile(dir_ / name, file);
}

} // namespace vm::sim::test
