// The compiled catalogue agrees with the generated map, and the start-up load of the generated maps
// builds the table and the address report the board layout promises.

#include "Catalogue.h"
#include "../core/TempDir.h"
#include "GeneratedMaps.h"
#include "ParamMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <tuple>

namespace vm::test {
namespace {

TEST(Catalogue, AgreesRecordByRecordWithTheGeneratedMap) {
    const auto map = ReadParamMap();
    std::size_t usedRecords = 0;
    for (const MapRecord& r : map)
        usedRecords += r.used() ? 1 : 0;
    ASSERT_EQ(catalogue::all().size(), usedRecords);

    int previous = 0;
    for (const catalogue::ParamInfo& p : catalogue::all()) {
        EXPECT_GT(p.index, previous) << "not in ascending order";
        previous = p.index;
        ASSERT_LT(p.index, static_cast<int>(map.size()));
        const MapRecord& r = map[static_cast<std::size_t>(p.index)];
        EXPECT_EQ(r.address, p.address) << p.index;
        EXPECT_EQ(r.space(), p.space) << p.index;
        EXPECT_EQ(r.width(), p.width) << p.index;
        EXPECT_EQ(r.isText(), p.isText) << p.index;
        EXPECT_EQ(r.poll, p.pollDivider) << p.index;
        EXPECT_EQ(r.page, p.page) << p.index;
        EXPECT_EQ(r.initial, p.initial) << p.index;
    }
}

TEST(Catalogue, NamesAreUniqueAndMirrorsNameRealParameters) {
    std::set<std::string_view> names;
    for (const catalogue::ParamInfo& p : catalogue::all()) {
        EXPECT_FALSE(p.name.empty()) << p.index;
        EXPECT_TRUE(names.insert(p.name).second) << "name used twice: " << p.name;
        if (p.mirror == 0) continue;
        const catalogue::ParamInfo* twin = catalogue::find(p.mirror);
        ASSERT_NE(twin, nullptr) << p.index;
        EXPECT_EQ(std::tuple(twin->width, twin->isText, twin->space), std::tuple(p.width, p.isText, p.space))
            << p.index;
        EXPECT_EQ(twin->mirror, 0) << "a mirror has no mirror of its own: " << p.mirror;
        if (p.space == catalogue::Space::Configuration) {
            EXPECT_TRUE(InsideTransferAreas(twin->address, twin->address + twin->width - 1)) << p.mirror;
        }
    }
}

TEST(Catalogue, KeepsTheMirrorPairsTheBoardDocuments) {
    // Pairs that follow the rule "index + 4782" and pairs that do not.
    const std::pair<int, int> pairs[] = {{3, 4785},      {1844, 6626},   {1845, 6627},
                                         {1855, 6638},   {1856, 12826},  {9477, 9493},
                                         {12146, 12147}, {11658, 11678}, {11698, 11702}};
    for (const auto& [index, mirror] : pairs) {
        const catalogue::ParamInfo* p = catalogue::find(index);
        ASSERT_NE(p, nullptr) << index;
        EXPECT_EQ(p->mirror, mirror) << index;
    }
}

TEST(Catalogue, FindsByIndex) {
    const catalogue::ParamInfo* price = catalogue::find(8477);
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(price->name, "price 7");
    EXPECT_EQ(price->mirror, 8527);
    for (int absent : {0, 300, 33001, -5})
        EXPECT_EQ(catalogue::find(absent), nullptr) << absent;
}

TEST(Catalogue, MarksAmountsAndTheSettingsThatHaveDefaults) {
    struct Case {
        int index;
        bool money, hasDefault;
    };
    const Case cases[] = {
        {8471, true, true},   {8521, true, true},   {1827, true, true},    {12536, true, true},
        {1823, false, true},  {1857, false, true},  {4779, false, false},  {12055, false, false},
        {1786, false, false}, {6690, false, false}, {11733, false, false},
    };
    for (const Case& c : cases) {
        const catalogue::ParamInfo* p = catalogue::find(c.index);
        ASSERT_NE(p, nullptr) << c.index;
        EXPECT_EQ(std::tuple(p->money, p->hasDefault), std::tuple(c.money, c.hasDefault)) << c.index;
    }
}

// The start-up load of the generated maps builds the whole table and reports exactly the used
// configuration bytes.
TEST(GeneratedStartUp, LoadsTheWholeDefaultMapAndReportsItsConfigurationBytes) {
    vmtest::TempDir dir;
    for (const char* name : {"W0482.inx", "W0482BV00.inx"})
        std::filesystem::copy_file(MapsDir() / name, dir / name);
    ProgramState state;
    const MapLoadResult result = WriteAddressMap(state, dir.path());
    ASSERT_TRUE(result.ok) << result.error;
    const auto map = ReadParamMap();
    EXPECT_EQ(result.records, static_cast<int>(map.size()) - 1);
    EXPECT_TRUE(state.BoardPresent[0]);
    const auto ident = ReadIdentMap();
    for (int k : {10, 11, 12, 13, 14, 18}) {
        const auto& entry = state.IdentMap[0][static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(entry[0] * 256 + entry[1], ident[static_cast<std::size_t>(k)].address) << k;
        EXPECT_EQ(entry[2], ident[static_cast<std::size_t>(k)].command) << k;
    }
    EXPECT_EQ(state.ParamValue(1823, 0), 2); // the decimal point's initial value

    // The runs of configuration bytes (type 5, 1..4 bytes) from 15 on, computed from the map file.
    std::vector<bool> used(33282, false);
    for (const MapRecord& r : map)
        if (r.command >= 0x50 && r.command <= 0x53)
            std::fill(used.begin() + r.address, used.begin() + r.last() + 1, true);
    std::ostringstream expected;
    for (int a = 15; a < 32000; ++a) {
        if (!used[static_cast<std::size_t>(a)]) continue;
        const int first = a;
        while (used[static_cast<std::size_t>(a + 1)])
            ++a;
        expected << first << '-' << a << "\r\n";
    }
    EXPECT_FALSE(expected.str().empty());
    EXPECT_EQ(vmtest::readText(dir / "Seriale.rus"), expected.str());
}

} // namespace
} // namespace vm::test
