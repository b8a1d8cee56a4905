#pragma once
// Small map files for the board tests, written into a fresh temporary folder.

#include "MapFiles.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vm::sim::test {

// Where the test maps put things (space kTestSpace unless said otherwise). A command byte of 0 marks an
// unused record, so the board's own parameters live in a space other than 0.
inline constexpr int kTestSpace = 2;
inline constexpr std::uint16_t kIdentBase = 0x0300;   // identification record k at kIdentBase + k
inline constexpr std::uint16_t kClockBase = 0x0400;   // 6690..6696
inline constexpr std::uint16_t kClockMirror = 0x0410; // 6667..6670
inline constexpr std::uint16_t kClearAddress = 0x0420;
inline constexpr std::uint16_t kTotalsBase = 0x0500; // 11430.. as 4-byte numbers
inline constexpr std::uint16_t kAlarmIndexAddress = 0x0600;

class TestMaps {
public:
    TestMaps();
    ~TestMaps();
    const std::filesystem::path& dir() const { return dir_; }
    // Writes an extra firmware map: the default one with record 2 starting at `record2Initial`.
    void addFirmwareMap(int software, int revision, std::uint8_t record2Initial);

private:
    void writeParamMap(const std::string& name, std::uint8_t record2Initial);
    std::filesystem::path dir_;
};

} // namespace vm::sim::test
