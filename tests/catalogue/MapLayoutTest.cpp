// The layout rules of the generated parameter map "W0482BV00.inx": every parameter the editors, views
// and transfers name exists with its width, mirrors match their parameters, configuration lives in the
// transfer areas and live data outside them. The expectations below are written from the editors' own
// tables, independently of the catalogue table the map is generated from.

#include "GeneratedMaps.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

namespace vm::test {
namespace {

// clang-format off
struct Span {
    int first;
    int last;
    int width = 1; // bytes; 0 = any width
};

struct Mirrored {
    int first;
    int mirror;
    int count;
};

// Parameters written through the image routines (WriteImageByte/Word/24), with their widths.
const std::vector<Span> kImageParams = {
    // machine configuration
    {1, 4}, {6, 22}, {25, 32}, {35, 42}, {45, 52}, {55, 58}, {60, 76}, {79, 86}, {89, 96}, {99, 106},
    {109, 110}, {115, 118}, {123, 124}, {1844, 1845}, {1855, 1856}, {9477, 9508}, {12146, 12147},
    {9712, 9903}, {12891, 12922}, {13388, 13429}, {11658, 11665}, {11668, 11675}, {11678, 11685},
    {11688, 11695}, {11698, 11705},
    // times and thresholds
    {128, 146}, {171, 176}, {177, 177, 2}, {178, 178}, {185, 185}, {188, 193}, {194, 194, 2}, {195, 195},
    {202, 202}, {205, 205}, {219, 219}, {222, 222}, {236, 236}, {9904, 9951}, {12140, 12143},
    {12180, 12219}, {12252, 12291}, {12298, 12301}, {12302, 12305, 2}, {12590, 12597}, {13347, 13348},
    {13355, 13358}, {1991, 2008, 2}, {12311, 12502}, {12923, 12954}, {13724, 13765},
    // preselections
    {1457, 1552}, {1553, 1584, 2}, {1585, 1616}, {1617, 1648, 2}, {1649, 1680}, {12080, 12127},
    // doses and double products
    {493, 524}, {621, 684}, {1959, 1990}, {2009, 4742}, {4743, 4774}, {13315, 13346}, {6738, 6769},
    {6770, 6801, 2}, {6802, 7057}, {7058, 7089, 2}, {7090, 7345}, {7346, 7377, 2}, {7378, 7633},
    {7634, 7665, 2}, {7666, 7889},
    // temperatures, options, item numbers
    {125, 127}, {147, 167}, {12292, 12297}, {12842, 12859}, {13351, 13354}, {1852, 1852}, {12582, 12589},
    {12883, 12890}, {1387, 1387}, {12840, 12841}, {14188, 14189}, {11, 24}, {1846, 1849, 0}, {1850, 1850, 3},
    {1851, 1851, 2}, {1853, 1853, 0}, {12602, 12825}, {13682, 13723},
    // payment systems, prices, discounts
    {1820, 1823}, {1825, 1825}, {1827, 1829, 2}, {1830, 1840}, {1841, 1843, 2}, {13313, 13314},
    {13349, 13350}, {12503, 12570, 2}, {8471, 8772, 2},
    // promotions, clock actions, custom message settings, passwords
    {1388, 1410}, {1411, 1411, 2}, {1412, 1415}, {6646, 6664}, {6671, 6689}, {12860, 12875},
    {14164, 14187}, {11493, 11504}, {1857, 1859, 3}, {1860, 1862, 2},
    // jug and product assignments, unique products, preventive decounters
    {7890, 8145}, {8151, 8406}, {12955, 12970}, {12971, 12978}, {12987, 12994}, {13003, 13010},
    {13892, 13933}, {1436, 1456}, {6698, 6705, 2}, {6708, 6715, 2}, {13359, 13359, 2},
};

// Mirror pairs named by the editors: parameter first + i has the mirror mirror + i.
const std::vector<Mirrored> kMirrors = {
    {1, 4783, 4}, {6, 4788, 3}, {9, 4791, 14}, {25, 4807, 8}, {35, 4817, 8}, {45, 4827, 8}, {55, 4837, 4},
    {60, 4842, 3}, {63, 4845, 14}, {79, 4861, 8}, {89, 4871, 8}, {99, 4881, 8}, {109, 4891, 2},
    {115, 4897, 4}, {123, 4905, 2}, {1844, 6626, 2}, {1855, 6638, 1}, {1856, 12826, 1}, {9477, 9493, 16},
    {12146, 12147, 1}, {11658, 11678, 8}, {11668, 11688, 8}, {11698, 11702, 4}, {128, 4910, 8},
    {139, 4921, 8}, {9904, 9928, 24}, {171, 4953, 8}, {188, 4970, 8}, {12140, 12142, 2}, {13347, 13348, 1},
    {13355, 13356, 1}, {13357, 13358, 1}, {12302, 12303, 1}, {12304, 12305, 1}, {185, 4967, 1},
    {12590, 12594, 4}, {205, 4987, 1}, {222, 5004, 1}, {12180, 12252, 40}, {202, 4984, 1}, {219, 5001, 1},
    {236, 5018, 1}, {12298, 12300, 2}, {1457, 6239, 224}, {12080, 12104, 24}, {653, 5435, 32},
    {493, 5275, 32}, {621, 5403, 32}, {125, 4907, 3}, {136, 4918, 3}, {147, 4929, 21}, {12292, 12295, 3},
    {12842, 12851, 9}, {13353, 13354, 1}, {1852, 6635, 1}, {12582, 12586, 4}, {12883, 12887, 4},
    {1387, 6169, 1}, {12840, 12841, 1}, {13351, 13352, 1}, {14188, 14189, 1}, {11, 4793, 14},
    {1846, 6629, 1}, {1847, 6630, 4}, {1851, 6634, 3}, {1820, 6602, 4}, {1825, 6607, 1}, {1827, 6609, 17},
    {13313, 13314, 1}, {13349, 13350, 1}, {12503, 12537, 34}, {8471, 8521, 50}, {8571, 8622, 51},
    {8673, 8723, 50}, {1388, 12128, 1}, {1389, 6170, 27}, {6679, 6654, 8}, {12860, 12868, 8},
    {6671, 6646, 8}, {14164, 14172, 8}, {14180, 14184, 4}, {6687, 6662, 3}, {11493, 11499, 6},
    {1857, 6640, 6}, {8151, 8279, 128}, {7890, 8018, 128}, {12955, 12963, 8}, {1436, 6218, 12},
    {1448, 6270, 9}, {6698, 6718, 8}, {6708, 6728, 8}, {13359, 13360, 1},
};

// Texts: the custom messages and the telemetry texts are 16 characters; 12057 and 12068 hold 8.
const std::vector<Span> kTexts = {
    {11514, 11521, 16}, {11586, 11657, 16}, {12055, 12056, 16}, {12058, 12066, 16}, {12071, 12076, 16},
    {12136, 12138, 16}, {12876, 12878, 16}, {13309, 13312, 16}, {12057, 12057, 8}, {12068, 12068, 8},
};

// The telemetry settings, kept by the module's own file at board addresses 3824..4372.
const std::vector<Span> kTelemetry = {
    {12055, 12076, 0}, {12130, 12139, 0}, {12144, 12144, 1}, {12876, 12878, 16}, {13307, 13307, 2},
    {13308, 13308, 1}, {13309, 13312, 16},
};

// Reduced-menu masks: 16 bits where an entry uses a bit above 7 or a selector picks the bit.
const std::vector<Span> kMenuMasks = {
    {13361, 13379, 1}, {13976, 13976, 2}, {13977, 13977, 1}, {13978, 13978, 2}, {13979, 13986, 1},
    {13987, 13988, 2}, {13989, 13993, 1}, {13994, 13995, 2}, {13997, 14007, 2}, {14008, 14043, 1},
    {14044, 14163, 2}, {14190, 14190, 1},
};

// Live data: counters (4 bytes, read with ParamValue), the clock, the alarm log, the command cells.
const std::vector<Span> kCounters = {
    {1786, 1801, 4}, {1803, 1818, 4}, {8773, 9476, 4}, {11430, 11451, 4}, {11467, 11482, 4},
    {11921, 12054, 4}, {13211, 13306, 4}, {13766, 13891, 4},
};
const std::vector<Span> kClock = {{6667, 6670, 1}, {6690, 6696, 1}};
const std::vector<Span> kAlarmLog = {{11815, 11920, 1}};
const std::vector<Span> kCommands = {{4775, 4777, 1}};
// clang-format on

class MapLayout : public ::testing::Test {
protected:
    void SetUp() override {
        map_ = ReadParamMap();
        ASSERT_GT(map_.size(), 1u) << "no generated map in " << MapsDir();
    }

    const MapRecord& record(int index) const {
        static const MapRecord none;
        return index > 0 && index < static_cast<int>(map_.size()) ? map_[static_cast<std::size_t>(index)]
                                                                  : none;
    }
    // Calls check(index, record) for every parameter the spans name.
    template <typename Check> void forEach(const std::vector<Span>& spans, Check check) const {
        for (const Span& s : spans)
            for (int i = s.first; i <= s.last; ++i)
                check(i, record(i), s);
    }
    bool inConfigAreas(const MapRecord& r) const {
        return r.space() == 5 && InsideTransferAreas(r.address, r.last());
    }

    std::vector<MapRecord> map_;
};

TEST_F(MapLayout, EveryNamedParameterExistsWithItsWidth) {
    const std::vector<Span> others = {
        {11505, 11505, 1}, {11711, 11711, 1}, {11733, 11733, 1}, {4779, 4782, 1}};
    for (const auto* spans :
         {&kImageParams, &kTexts, &kMenuMasks, &kCounters, &kClock, &kAlarmLog, &kCommands, &others})
        forEach(*spans, [](int i, const MapRecord& r, const Span& s) {
            EXPECT_TRUE(r.used()) << i << " is missing";
            if (r.used() && s.width != 0) {
                EXPECT_EQ(r.width(), s.width) << i;
            }
        });
    for (int i : {12057, 12068, 11514, 12055})
        EXPECT_TRUE(record(i).isText()) << i;
}

TEST_F(MapLayout, DecounterSectorTablesExist) {
    // The sector tables of the decounter window: tables 1..5, bases B / C / D per unit.
    const int bases[5][4][3] = {
        {{9954, 13019, 13430}, {10129, 13067, 13444}, {10304, 13115, 13458}, {10479, 13163, 0}},
        {{10012, 13027, 13472}, {10187, 13075, 13486}, {10362, 13123, 13500}, {10537, 13171, 0}},
        {{10070, 13035, 13514}, {10245, 13083, 13528}, {10420, 13131, 13542}, {10595, 13179, 0}},
        {{10712, 13051, 13598}, {10887, 13099, 13612}, {11062, 13147, 13626}, {11237, 13195, 0}},
        {{10770, 13059, 13640}, {10945, 13107, 13654}, {11120, 13155, 13668}, {11295, 13203, 0}},
    };
    std::vector<int> indexes = {9952, 9953, 10011, 10186, 10711, 11352};
    for (const auto& table : bases)
        for (const auto& unit : table)
            for (const auto& [base, count] :
                 {std::pair{unit[0], 57}, {unit[1], 8}, {unit[2], unit[2] ? 14 : 0}})
                for (int i = base; i < base + count; ++i)
                    indexes.push_back(i);
    for (int i : indexes)
        EXPECT_TRUE(record(i).used()) << i;
}

TEST_F(MapLayout, MirrorsHaveTheWidthAndSpaceOfTheirParameters) {
    for (const Mirrored& m : kMirrors)
        for (int k = 0; k < m.count; ++k) {
            const MapRecord &p = record(m.first + k), &twin = record(m.mirror + k);
            ASSERT_TRUE(p.used() && twin.used()) << m.first + k << " / " << m.mirror + k;
            EXPECT_EQ(p.command, twin.command) << m.first + k << " / " << m.mirror + k;
            EXPECT_NE(p.address, twin.address) << m.first + k << " / " << m.mirror + k;
            EXPECT_TRUE(InsideTransferAreas(twin.address, twin.last())) << "mirror " << m.mirror + k;
        }
}

TEST_F(MapLayout, ConfigurationParametersLieInsideTheTransferAreas) {
    for (const auto* spans : {&kImageParams, &kMenuMasks})
        forEach(*spans, [&](int i, const MapRecord& r, const Span&) {
            EXPECT_TRUE(inConfigAreas(r)) << i << " at " << r.address;
        });
}

TEST_F(MapLayout, UnitTypesTelemetryAndModelCodeSitWhereTheFilesExpectThem) {
    for (int u = 0; u < 4; ++u) {
        const MapRecord& r = record(4779 + u);
        EXPECT_EQ(std::tuple(r.space(), r.address, r.width()), std::tuple(5, u, 1)) << 4779 + u;
    }
    forEach(kTelemetry, [](int i, const MapRecord& r, const Span&) {
        EXPECT_EQ(r.space(), 5) << i;
        EXPECT_GE(r.address, 3824) << i;
        EXPECT_LE(r.last(), 4372) << i;
    });
    EXPECT_LE(record(12067).address + 23, 4372); // 12067 has 24 bytes, the record reaches the first 16
    const MapRecord& model = record(11733);
    EXPECT_EQ(std::tuple(model.space(), model.address, model.width()), std::tuple(1, 8, 1));
}

// Rules every record obeys: no shared bytes, configuration memory outside the transfer areas only for the
// unit types and the telemetry, nothing in the 8 bytes kept free after 12067's record, no partial or
// trailing empty records, no write flag in a command byte.
TEST_F(MapLayout, EveryRecordIsWellFormedAndOwnsItsBytes) {
    const auto bytes = ReadBytes(MapsDir() / "W0482BV00.inx");
    EXPECT_EQ(bytes.size() % 9, 0u);
    EXPECT_LE(bytes.size() / 9, 33000u);
    EXPECT_TRUE(record(static_cast<int>(map_.size()) - 1).used()) << "trailing empty records";
    const int bigFirst = record(12067).address;
    std::map<std::pair<int, int>, int> owner; // (space, address) -> parameter
    for (int i = 1; i < static_cast<int>(map_.size()); ++i) {
        const MapRecord& r = record(i);
        if (!r.used()) {
            EXPECT_EQ(r.address + r.poll + r.page + static_cast<int>(r.initial), 0) << "unused record " << i;
            continue;
        }
        EXPECT_LT(r.command, 0x7F) << i << ": the write flag or the ambiguous 127";
        EXPECT_GE(r.space(), 1) << i;
        EXPECT_LE(r.last(), 40000) << i;
        for (int a = r.address; a <= r.last(); ++a) {
            auto [it, fresh] = owner.emplace(std::pair{r.space(), a}, i);
            EXPECT_TRUE(fresh) << "parameters " << it->second << " and " << i << " share byte " << a;
        }
        if (r.space() != 5 || i == 12067) continue;
        EXPECT_TRUE(r.last() < bigFirst || r.address > bigFirst + 23) << i << " overlaps 12067";
        const bool unitType = i >= 4779 && i <= 4782, telemetry = r.address >= 3824 && r.last() <= 4372;
        EXPECT_TRUE(inConfigAreas(r) || unitType || telemetry) << i << " at " << r.address;
    }
}

TEST_F(MapLayout, LiveDataStaysOutOfTheTransferAreasAndIsPolled) {
    const std::vector<Span> decounters = {{9952, 11353, 0}, {13019, 13210, 0}, {13430, 13681, 0}};
    for (const auto& [spans, polled] : {std::pair{&kCounters, true},
                                        {&kClock, true},
                                        {&kAlarmLog, false},
                                        {&kCommands, false},
                                        {&decounters, false}})
        forEach(*spans, [polled = polled](int i, const MapRecord& r, const Span&) {
            EXPECT_TRUE(r.space() != 5 || !TouchesTransferAreas(r.address, r.last())) << i;
            if (polled) {
                EXPECT_NE(r.poll & 0x0F, 0) << i << " is never refreshed";
            }
            EXPECT_EQ(r.poll & 0xF0, 0) << i << " starts with a countdown";
        });
}

TEST(IdentificationMap, RecordsAddressTheIdentificationBytesOfTheBoard) {
    EXPECT_EQ(ReadBytes(MapsDir() / "W0482.inx").size() % 5, 0u);
    const auto ident = ReadIdentMap();
    ASSERT_GE(ident.size(), 19u);
    ASSERT_LE(ident.size(), 21u);
    const std::set<int> used = {10, 11, 12, 13, 14, 18};
    for (int k = 1; k < static_cast<int>(ident.size()); ++k)
        EXPECT_EQ(ident[static_cast<std::size_t>(k)].used(), used.count(k) == 1) << "record " << k;

    // The parameter map carries the same bytes, with the values of a good board as initial values.
    const auto map = ReadParamMap();
    auto initialAt = [&](int k) -> long long {
        const MapRecord& id = ident[static_cast<std::size_t>(k)];
        for (const MapRecord& r : map)
            if (r.used() && r.space() == id.space() && r.address == id.address && r.width() == 1)
                return r.initial;
        return -1;
    };
    EXPECT_EQ(initialAt(10), 0);  // revision
    EXPECT_EQ(initialAt(11), 21); // software
    EXPECT_EQ(initialAt(12), 18); // board class
    EXPECT_EQ(initialAt(13) + 256 * initialAt(14), 482);
    EXPECT_GE(initialAt(18), 0); // release
    std::set<std::pair<int, int>> places;
    for (int k : used) {
        EXPECT_NE(ident[static_cast<std::size_t>(k)].space(), 5) << "record " << k;
        places.emplace(ident[static_cast<std::size_t>(k)].space(),
                       ident[static_cast<std::size_t>(k)].address);
    }
    EXPECT_EQ(places.size(), used.size());
}

} // namespace
} // namespace vm::test
