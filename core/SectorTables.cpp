#include "SectorTables.h"

namespace vm {

namespace {

struct Bases {
    int b, c, d; // d == 0: the unit has no sectors 57..70
};

// Bases B / C / D by table 1..5 and unit 1..4.
constexpr std::array<std::array<Bases, kSectorUnitCount>, kSectorTableCount> kBases{{
    {{{9954, 13019, 13430}, {10129, 13067, 13444}, {10304, 13115, 13458}, {10479, 13163, 0}}},
    {{{10012, 13027, 13472}, {10187, 13075, 13486}, {10362, 13123, 13500}, {10537, 13171, 0}}},
    {{{10070, 13035, 13514}, {10245, 13083, 13528}, {10420, 13131, 13542}, {10595, 13179, 0}}},
    {{{10712, 13051, 13598}, {10887, 13099, 13612}, {11062, 13147, 13626}, {11237, 13195, 0}}},
    {{{10770, 13059, 13640}, {10945, 13107, 13654}, {11120, 13155, 13668}, {11295, 13203, 0}}},
}};

const std::string& codeAt(const auto& list, int n) {
    static const std::string empty;
    return n >= 0 && n < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(n)] : empty;
}

} // namespace

std::uint16_t SectorParamIndex(int table, int sector, int unit) {
    if (table < 1 || table > kSectorTableCount || sector < 1 || sector > kSectorCount || unit < 1 ||
        unit > kSectorUnitCount)
        return 0;
    const Bases& base = kBases[static_cast<std::size_t>(table - 1)][static_cast<std::size_t>(unit - 1)];
    const int s = sector;
    int index = 0;
    if (s <= 24)
        index = base.b + 4 * ((s - 1) / 3) + (s - 1) % 3; // three parameters, then one skipped
    else if (s <= 36)
        index = base.b + s + 6;
    else if (s <= 39)
        index = base.b + s + 7;
    else if (s <= 48)
        index = base.b + s + 8;
    else if (s <= 56)
        index = base.c + (s - 49);
    else
        index = base.d == 0 ? 0 : base.d + (s - 57);
    return static_cast<std::uint16_t>(index);
}

void SectorParamTables::InitSectorParams() {
    for (int t = 1; t <= kSectorTableCount; ++t)
        for (int s = 1; s <= kSectorCount; ++s)
            for (int u = 1; u <= kSectorUnitCount; ++u)
                table_[t][s][u] = SectorParamIndex(t, s, u);
}

std::uint16_t SectorParamTables::operator()(int table, int sector, int unit) const {
    if (table < 1 || table > kSectorTableCount || sector < 1 || sector > kSectorCount || unit < 1 ||
        unit > kSectorUnitCount)
        return 0;
    return table_[table][sector][unit];
}

void AlarmCodeLists::InitAlarmCodes1() {
    codes1_ = {"O01P01", "O01P02", "O01P03", "O01P04", "O01P05", "O01P06", "O01P07", "O05P02", "O02P01",
               "O02P02", "O02P03", "O02P04", "O02P05", "O02P06", "O02P07", "O05P05", "O03P02", "O03P03",
               "O03P04", "O03P05", "O03P06", "O03P07", "O05P04", "O05P05", "O12P02", "O12P03", "O12P04",
               "O12P05", "O12P06", "O12P07", "O00P00", "O13P00", "O17P32", "O17P33", "O17P34", "O17P35",
               "O17P36", "O17P37", "O00P00", "O18P00", ""};
}

void AlarmCodeLists::InitAlarmCodes2() {
    for (int first = 1; first <= 6; ++first)
        for (int second = 1; second <= 8; ++second)
            codes2_[static_cast<std::size_t>((first - 1) * 8 + second - 1)] =
                std::to_string(first) + std::to_string(second);
}

const std::string& AlarmCodeLists::AlarmCodes1(int n) const {
    return codeAt(codes1_, n);
}
const std::string& AlarmCodeLists::AlarmCodes2(int n) const {
    return codeAt(codes2_, n);
}

} // namespace vm
