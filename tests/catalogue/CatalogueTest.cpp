// The compiled catalogue agrees with the generated map, and the start-up load of the generated maps
// builds the table and the address report the board layout promises.

#include "Catalogue.h"
#include "GeneratedMaps.h"
#include "ParamMap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>

namespace vm::test {
namespace {

TEST(Catalogue, AgreesRecordByRecordWithTheGeneratedMap) {
    const auto map = ReadParamMap();
    std::size_t usedRecords = 0;
    for (const MapRecord& r : map) usedRecords += r.used() ? 1 : 0;
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
        EXPECT_EQ(twin->width, p.width) << p.index;
        EXPECT_EQ(twin->mirror, 0) << "a mirror has no mirror of its own: " << p.mirror;
    }
}

TEST(Catalogue, FindsByIndex) {
    const catalogue::ParamInfo* price = catalogue::find(8477);
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(price->name, "price 7");
    EXPECT_EQ(price->width, 2);
    EXPECT_EQ(price->mirror, 8527);
    EXPECT_EQ(catalogue::find(12511)->name, "coin value 7");
    EXPECT_EQ(catalogue::find(137)->name, "boiler 1 temperature, unit 2");
    EXPECT_EQ(catalogue::find(6605)->name, "decimal point (mirror)");
    EXPECT_TRUE(catalogue::find(12055)->isText);
    EXPECT_EQ(catalogue::find(1857)->width, 3);
    EXPECT_EQ(catalogue::find(0), nullptr);
    EXPECT_EQ(catalogue::find(300), nullptr); // no parameter there
    EXPECT_EQ(catalogue::find(33001), nullptr);
    EXPECT_EQ(catalogue::find(-5), nullptr);
}

class GeneratedStartUp : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vm_catalogue_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "_" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        for (const char* name : {"W0482.inx", "W0482BV00.inx"})
            std::filesystem::copy_file(MapsDir() / name, dir_ / name);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

TEST_F(GeneratedStartUp, LoadsTheWholeDefaultMap) {
    ProgramState state;
    const MapLoadResult result = WriteAddressMap(state, dir_);
    ASSERT_TRUE(result.ok) << result.error;
    const auto map = ReadParamMap();
    EXPECT_EQ(result.records, static_cast<int>(map.size()) - 1);
    EXPECT_EQ(state.RecordCount[0], map.size() - 1);
    EXPECT_TRUE(state.BoardPresent[0]);
    // Identification entries point where the generated map says.
    const auto ident = ReadIdentMap();
    for (int k : {10, 11, 12, 13, 14, 18}) {
        const auto& entry = state.IdentMap[0][static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(entry[0] * 256 + entry[1], ident[static_cast<std::size_t>(k)].address) << k;
        EXPECT_EQ(entry[2], ident[static_cast<std::size_t>(k)].command) << k;
    }
    EXPECT_EQ(state.ParamValue(1823, 0), catalogue::find(1823)->initial);
    EXPECT_EQ(state.ParamAddress(4781), 2);
}

TEST_F(GeneratedStartUp, AddressReportListsExactlyTheUsedConfigurationBytes) {
    ProgramState state;
    ASSERT_TRUE(WriteAddressMap(state, dir_).ok);

    // The runs of configuration bytes (type 5, 1..4 bytes) from 15 on, computed from the map file.
    std::vector<bool> used(33281, false);
    for (const MapRecord& r : ReadParamMap())
        if (r.command >= 0x50 && r.command <= 0x53)
            for (int a = r.address; a <= r.last(); ++a) used[static_cast<std::size_t>(a)] = true;
    std::ostringstream expected;
    for (int a = 15; a < 32000;) {
        if (!used[static_cast<std::size_t>(a)]) {
            ++a;
            continue;
        }
        int b = a;
        while (used[static_cast<std::size_t>(b + 1)]) ++b;
        expected << a << '-' << b << "\r\n";
        a = b + 1;
    }
    std::ifstream report(dir_ / "Seriale.rus", std::ios::binary);
    std::stringstream actual;
    actual << report.rdbuf();
    EXPECT_EQ(actual.str(), expected.str());
    EXPECT_FALSE(actual.str().empty());
}

} // namespace
} // namespace vm::test
