// Loading the parameter-map files: record-to-cell fill, record counts, file names, the identification
// map, the address report "Seriale.rus", and maps that are missing, oversized or cut short.

#include "ParamMap.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <random>
#include <sstream>

namespace vm {
namespace {

using Record = std::array<std::uint8_t, kMapRecordSize>;

class ParamMapFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vm_parammap_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "_" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(dir_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return dir_ / name;
    }
    std::filesystem::path writeMap(const std::string& name, const std::vector<Record>& records, int extraBytes = 0) {
        std::vector<std::uint8_t> bytes;
        for (const Record& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
        bytes.insert(bytes.end(), static_cast<std::size_t>(extraBytes), 0x77);
        return write(name, bytes);
    }
    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A configuration byte parameter (type 5) of `width` bytes at `address`.
    static Record config(int address, int width, std::uint32_t initial = 0) {
        return {static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF),
                static_cast<std::uint8_t>(0x50 + width - 1), 0, 0,
                static_cast<std::uint8_t>(initial), static_cast<std::uint8_t>(initial >> 8),
                static_cast<std::uint8_t>(initial >> 16), static_cast<std::uint8_t>(initial >> 24)};
    }

    std::filesystem::path dir_;
};

TEST(ParamMapNames, FollowBoardTypeSoftwareAndRevision) {
    EXPECT_EQ(IdentMapFileName(482), "W0482.inx");
    EXPECT_EQ(IdentMapFileName(7), "W0007.inx");
    EXPECT_EQ(ParamMapFileName(21, 0), "W0482BV00.inx");
    EXPECT_EQ(ParamMapFileName(21, 7), "W0482BV07.inx");
    EXPECT_EQ(ParamMapFileName(21, 12), "W0482BV12.inx");
    EXPECT_EQ(ParamMapFileName(0, 3), "W0482BA03.inx");
}

TEST_F(ParamMapFiles, RecordFillsTheCellPositionByPosition) {
    const Record r = {0x01, 0x23, 0x51, 0x03, 0x07, 0x34, 0x12, 0xAA, 0xBB};
    const auto file = writeMap("W0482BV00.inx", {r});
    ProgramState state;
    const MapLoadResult result = LoadParamMap(state, file, 0);
    ASSERT_TRUE(result.ok) << result.error;
    const std::array<std::uint8_t, kCellSize> expected = {0x01, 0x23, 0x51, 0x03, 0, 0, 0x07, 0x34, 0x12, 0xAA,
                                                           0xBB, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                                           ' ', ' ', ' '};
    EXPECT_EQ(state.cell(1, 0).bytes, expected);
    EXPECT_EQ(state.ParamAddress(1), 0x0123);
    EXPECT_EQ(state.ParamValue(1, 0), 0x1234) << "the initial value over the parameter's two bytes";
}

TEST_F(ParamMapFiles, TenRecordsFillIndexesOneToTenAndClearTheRest) {
    ProgramState state;
    // An earlier, longer map leaves nothing behind.
    std::vector<Record> longer(15, config(100, 1, 9));
    ASSERT_TRUE(LoadParamMap(state, writeMap("long.inx", longer), 0).ok);
    state.SetParamValue(12, 5);

    std::vector<Record> records;
    for (int k = 0; k < 10; ++k) records.push_back(config(16 + k, 1, static_cast<std::uint32_t>(k)));
    const MapLoadResult result = LoadParamMap(state, writeMap("ten.inx", records, 4), 0); // plus a partial record
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records, 10);
    EXPECT_EQ(state.RecordCount[0], 10);
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(state.ParamAddress(k), 15 + k);
    EXPECT_EQ(state.cell(0, 0).bytes, ParamCell{}.bytes) << "index 0 holds no record";
    EXPECT_EQ(state.cell(11, 0).bytes, ParamCell{}.bytes) << "the partial record is not read";
    EXPECT_EQ(state.cell(12, 0).bytes, ParamCell{}.bytes);
}

TEST_F(ParamMapFiles, EmptyOrShortMapGivesABankWithoutRecords) {
    ProgramState state;
    const MapLoadResult result = LoadParamMap(state, write("short.inx", {1, 2, 3, 4, 5, 6, 7, 8}), 0);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.records, 0);
    EXPECT_EQ(state.RecordCount[0], 0);
}

TEST_F(ParamMapFiles, MissingMapIsReportedByNameAndLeavesAnEmptyTable) {
    ProgramState state;
    ASSERT_TRUE(LoadParamMap(state, writeMap("good.inx", {config(16, 1, 3)}), 0).ok);
    const MapLoadResult result = LoadParamMap(state, dir_ / "W0482BV07.inx", 0);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("W0482BV07.inx"), std::string::npos) << result.error;
    EXPECT_EQ(state.RecordCount[0], 0);
    EXPECT_EQ(state.cell(1, 0).bytes, ParamCell{}.bytes);
}

TEST_F(ParamMapFiles, UnknownBankIsRefusedWithoutTouchingTheTable) {
    ProgramState state;
    const auto file = writeMap("m.inx", {config(16, 1)});
    ASSERT_TRUE(LoadParamMap(state, file, 0).ok);
    EXPECT_FALSE(LoadParamMap(state, file, 1).ok);
    EXPECT_FALSE(LoadParamMap(state, file, -1).ok);
    EXPECT_FALSE(LoadIdentMap(state, dir_, 3).ok);
    EXPECT_TRUE(UsedAddressRanges(state, 5).empty());
    EXPECT_EQ(state.RecordCount[0], 1);
}

TEST_F(ParamMapFiles, MapLargerThanTheTableIsRefused) {
    std::vector<Record> records(kMaxRecords + 1, config(16, 1));
    ProgramState state;
    const MapLoadResult result = LoadParamMap(state, writeMap("huge.inx", records), 0);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("huge.inx"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("33000"), std::string::npos) << result.error;
    EXPECT_EQ(state.RecordCount[0], 0);

    records.pop_back();
    const MapLoadResult full = LoadParamMap(state, writeMap("full.inx", records), 0);
    EXPECT_TRUE(full.ok);
    EXPECT_EQ(state.RecordCount[0], kMaxRecords);
}

TEST_F(ParamMapFiles, IdentificationMapKeepsAtMostTwentyRecords) {
    std::vector<std::uint8_t> bytes;
    for (int k = 1; k <= 22; ++k) bytes.insert(bytes.end(), {0, static_cast<std::uint8_t>(k), 0x10, 2, 9});
    bytes.push_back(0xEE); // partial record
    write("W0482.inx", bytes);
    ProgramState state;
    const MapLoadResult result = LoadIdentMap(state, dir_, 0);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records, 20);
    const std::array<std::uint8_t, kIdentRecordSize> tenth = {0, 10, 0x10, 2, 0, 0, 9, 0, 0, 0, 0};
    EXPECT_EQ(state.IdentMap[0][9], tenth);
    EXPECT_EQ(state.IdentMap[0][19][1], 20);

    std::filesystem::remove(dir_ / "W0482.inx");
    const MapLoadResult missing = LoadIdentMap(state, dir_, 0);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("W0482.inx"), std::string::npos);
    EXPECT_EQ(state.IdentMap[0][9][1], 0) << "no stale entries";
}

TEST_F(ParamMapFiles, UsedRangesCoverOnlyConfigurationNumbersFromAddressFifteen) {
    Record text = config(200, 1);
    text[2] = 0x5F; // a 16-character text is not marked
    Record counter = config(300, 4);
    counter[2] = 0x23; // another memory space is not marked
    writeMap("m.inx", {config(16, 4), config(20, 1), config(30, 1), text, counter, config(0, 4), config(14, 2),
                       Record{}});
    ProgramState state;
    ASSERT_TRUE(LoadParamMap(state, dir_ / "m.inx", 0).ok);
    const std::vector<std::pair<int, int>> expected = {{15, 20}, {30, 30}};
    EXPECT_EQ(UsedAddressRanges(state, 0), expected);
}

TEST_F(ParamMapFiles, StartUpLoadWritesTheAddressReport) {
    write("W0482.inx", {0, 16, 0x10, 0, 0});
    writeMap("W0482BV00.inx", {config(16, 2), config(18, 3), config(30, 1), config(40, 1), Record{}});
    ProgramState state;
    state.Online = true;
    const MapLoadResult result = WriteAddressMap(state, dir_);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.records, 5);
    EXPECT_TRUE(state.BoardPresent[0]);
    EXPECT_EQ(state.BoardType, 482);
    EXPECT_EQ(state.BoardSoftware, 21);
    EXPECT_EQ(state.BoardRevision, 0);
    EXPECT_EQ(state.IdentMap[0][0][1], 16);
    EXPECT_EQ(read("Seriale.rus"), "16-20\r\n30-30\r\n40-40\r\n");
}

TEST_F(ParamMapFiles, StartUpWithoutAMapStaysOfflineOverAnEmptyTable) {
    write("W0482.inx", {0, 16, 0x10, 0, 0});
    ProgramState state;
    state.Online = true;
    const MapLoadResult result = WriteAddressMap(state, dir_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("W0482BV00.inx"), std::string::npos) << result.error;
    EXPECT_EQ(state.RecordCount[0], 0);
    EXPECT_FALSE(state.BoardPresent[0]);
    EXPECT_FALSE(state.Online);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Seriale.rus"));
}

TEST_F(ParamMapFiles, StartUpWithoutIdentificationMapStillLoadsTheParameterMap) {
    writeMap("W0482BV00.inx", {config(16, 1)});
    ProgramState state;
    const MapLoadResult result = WriteAddressMap(state, dir_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("W0482.inx"), std::string::npos) << result.error;
    EXPECT_EQ(state.RecordCount[0], 1);
    EXPECT_EQ(read("Seriale.rus"), "16-16\r\n");
}

} // namespace
} // namespace vm
