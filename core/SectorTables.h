#pragma once
// Computed parameter tables of the decounter and alarm windows: the parameter index of every sector of
// every coupled unit, and the short codes that label alarm entries.

#include <array>
#include <cstdint>
#include <string>

namespace vm {

inline constexpr int kSectorTableCount = 5; // tables 1..5
inline constexpr int kSectorCount = 70;     // sectors 1..70
inline constexpr int kSectorUnitCount = 4;  // units 1..4

// The rule behind every table entry; 0 where a table has no parameter (unit 4, sectors 57..70) or the
// arguments are out of range.
std::uint16_t SectorParamIndex(int table, int sector, int unit);

class SectorParamTables {
public:
    void InitSectorParams();
    // Parameter index of (table 1..5, sector 1..70, unit 1..4); 0 before InitSectorParams and out of range.
    std::uint16_t operator()(int table, int sector, int unit) const;

private:
    std::array<std::array<std::array<std::uint16_t, kSectorUnitCount + 1>, kSectorCount + 1>,
               kSectorTableCount + 1>
        table_{};
};

inline constexpr int kAlarmCodes1Size = 41; // positions 0..40; 40 stays empty
inline constexpr int kAlarmCodes2Size = 48;

class AlarmCodeLists {
public:
    void InitAlarmCodes1();
    void InitAlarmCodes2();
    // The code at position n, or an empty text out of range or before filling.
    const std::string& AlarmCodes1(int n) const;
    const std::string& AlarmCodes2(int n) const;

private:
    std::array<std::string, kAlarmCodes1Size> codes1_{};
    std::array<std::string, kAlarmCodes2Size> codes2_{};
};

} // namespace vm
