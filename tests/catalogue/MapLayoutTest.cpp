// The layout rules of the generated parameter map "W0482BV00.inx": every record owns its bytes,
// configuration lives in the transfer areas and live data outside them, and the places the files and the
// decounter window expect (unit types, telemetry, model code, identification, sector tables) are filled.
// Which parameters the editors bind is checked against the catalogue by the editor registry test.

#include "GeneratedMaps.h"
#include "SectorTables.h"

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

// The telemetry settings, kept by the module's own file at board addresses 3824..4372.
const std::vector<Span> kTelemetry = {
    {12055, 12076, 0}, {12130, 12139, 0}, {12144, 12144, 1}, {12145, 12145, 8}, {12876, 12878, 16}, {13307, 13307, 2},
    {13308, 13308, 1}, {13309, 13312, 16},
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

// Every parameter the decounter window reaches through the sector tables is in the map, as live data.
TEST_F(MapLayout, SectorTablesNameDecounterParameters) {
    SectorParamTables tables;
    tables.InitSectorParams();
    int named = 0;
    for (int table = 1; table <= 5; ++table)
        for (int unit = 1; unit <= 4; ++unit)
            for (int sector = 1; sector <= 70; ++sector)
                if (const int i = tables(table, sector, unit); i != 0) {
                    ++named;
                    EXPECT_TRUE(record(i).used()) << table << "/" << sector << "/" << unit << ": " << i;
                    EXPECT_FALSE(inConfigAreas(record(i))) << i;
                    EXPECT_EQ(record(i).poll & 0xF0, 0) << i << " starts with a countdown";
                }
    EXPECT_GT(named, 1000);
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
// unit types and the telemetry, nothing but 12145 (its last 8 bytes) in the 24 bytes of 12067, no partial or
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
        if (r.space() != 5 || i == 12067 || i == 12145) continue;
        EXPECT_TRUE(r.last() < bigFirst || r.address > bigFirst + 23) << i << " overlaps 12067";
        const bool unitType = i >= 4779 && i <= 4782, telemetry = r.address >= 3824 && r.last() <= 4372;
        EXPECT_TRUE(inConfigAreas(r) || unitType || telemetry) << i << " at " << r.address;
    }
}

TEST_F(MapLayout, LiveDataStaysOutOfTheTransferAreasAndIsPolled) {
    for (const auto& [spans, polled] : {std::pair{&kCounters, true},
                                        {&kClock, true},
                                        {&kAlarmLog, false},
                                        {&kCommands, false}})
        forEach(*spans, [polled = polled](int i, const MapRecord& r, const Span& s) {
            EXPECT_TRUE(r.used()) << i << " is missing";
            if (s.width != 0) {
                EXPECT_EQ(r.width(), s.width) << i;
            }
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
