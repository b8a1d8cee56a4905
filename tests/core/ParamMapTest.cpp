// Loading the parameter-map files: record-to-cell fill, record counts, file names, the identification
// map, the address report "Seriale.rus", and maps that are missing, oversized or cut short.

#include "ParamMap.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>

namespace vm {
namespace {

using Record = std::array<std::uint8_t, kMapRecordSize>;

class ParamMapFiles : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        return dir_.write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::filesystem::path writeMap(const std::string& name, const std::vector<Record>& records,
                                   int extraBytes = 0) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(extraBytes), 0x77);
        for (const Record& r : records)
            bytes.insert(bytes.end() - extraBytes, r.begin(), r.end());
        return write(name, bytes);
    }

    // A configuration byte parameter (type 5) of `width` bytes at `address`.
    static Record config(int address, int width, std::uint32_t initial = 0) {
        Record r{static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF),
                 static_cast<std::uint8_t>(0x50 + width - 1)};
        for (std::size_t b = 0; b < 4; ++b)
            r[5 + b] = static_cast<std::uint8_t>(initial >> (8 * b));
        return r;
    }
    static bool contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
    // 18 identification records, the six the connect reads one byte each of the board information.
    static std::vector<std::uint8_t> identMap() {
        std::vector<std::uint8_t> bytes(18 * kIdentFileRecordSize, 0);
        for (const int k : {10, 11, 12, 13, 14, 18}) {
            bytes[(k - 1) * kIdentFileRecordSize + 1] = static_cast<std::uint8_t>(k + 6);
            bytes[(k - 1) * kIdentFileRecordSize + 2] = 0x10;
        }
        return bytes;
    }

    vmtest::TempDir dir_;
    ProgramState state;
};

TEST(ParamMapNames, FollowBoardTypeSoftwareAndRevision) {
    EXPECT_EQ(IdentMapFileName(482), "W0482.inx");
    EXPECT_EQ(IdentMapFileName(7), "W0007.inx");
    EXPECT_EQ(ParamMapFileName(21, 7), "W0482BV07.inx");
    EXPECT_EQ(ParamMapFileName(21, 12), "W0482BV12.inx");
    EXPECT_EQ(ParamMapFileName(0, 3), "W0482BA03.inx");
}

TEST_F(ParamMapFiles, RecordFillsTheCellPositionByPosition) {
    const Record r = {0x01, 0x23, 0x51, 0x03, 0x07, 0x34, 0x12, 0xAA, 0xBB};
    const MapLoadResult result = LoadParamMap(state, writeMap("W0482BV00.inx", {r}), 0);
    ASSERT_TRUE(result.ok) << result.error;
    const std::array<std::uint8_t, kCellSize> expected = {0x01, 0x23, 0x51, 0x03, 0,   0,   0x07, 0x34,
                                                          0x12, 0xAA, 0xBB, ' ',  ' ', ' ', ' ',  ' ',
                                                          ' ',  ' ',  ' ',  ' ',  ' ', ' ', ' '};
    EXPECT_EQ(state.cell(1, 0).bytes, expected);
    EXPECT_EQ(state.ParamAddress(1), 0x0123);
    EXPECT_EQ(state.ParamValue(1, 0), 0x1234) << "the initial value over the parameter's two bytes";
}

TEST_F(ParamMapFiles, RecordsFillIndexesFromOneAndClearTheRest) {
    // An earlier, longer map leaves nothing behind.
    std::vector<Record> longer;
    for (int k = 0; k < 15; ++k)
        longer.push_back(config(100 + k, 1, 9));
    ASSERT_TRUE(LoadParamMap(state, writeMap("long.inx", longer), 0).ok);
    state.SetParamValue(12, 5);

    std::vector<Record> records;
    for (int k = 0; k < 10; ++k)
        records.push_back(config(16 + k, 1, static_cast<std::uint32_t>(k)));
    const MapLoadResult result = LoadParamMap(state, writeMap("ten.inx", records, 4), 0); // + partial record
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records, 10);
    EXPECT_EQ(state.RecordCount[0], 10);
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(state.ParamAddress(k), 15 + k);
    for (int k : {0, 11, 12})
        EXPECT_EQ(state.cell(k, 0).bytes, ParamCell{}.bytes) << k;

    // A map shorter than one record gives a bank without records, and is refused: it holds no parameter.
    const MapLoadResult shorter = LoadParamMap(state, write("short.inx", {1, 2, 3, 4, 5, 6, 7, 8}), 0);
    EXPECT_FALSE(shorter.ok);
    EXPECT_TRUE(contains(shorter.error, "\"short.inx\" is damaged: it holds no parameter")) << shorter.error;
    EXPECT_EQ(state.RecordCount[0], 0);
}

TEST_F(ParamMapFiles, MissingOrOversizedMapsAreReportedByNameAndLeaveAnEmptyTable) {
    std::vector<Record> records(kMaxRecords + 1);
    records[0] = config(16, 1);
    // 33001 records of 9 bytes; the table holds 33000 and a partial record: 297008 bytes.
    const auto absent = dir_ / "W0482BV07.inx", huge = writeMap("huge.inx", records);
    for (const auto& [file, detail] : {std::pair{absent, std::string("does not exist")},
                                       {huge, std::string("is too large (297009 bytes; at most 297008)")}}) {
        ASSERT_TRUE(LoadParamMap(state, writeMap("good.inx", {config(16, 1, 3)}), 0).ok);
        const MapLoadResult result = LoadParamMap(state, file, 0);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(contains(result.error, file.filename().string())) << result.error;
        EXPECT_TRUE(contains(result.error, detail)) << result.error;
        EXPECT_EQ(state.RecordCount[0], 0);
        EXPECT_EQ(state.cell(1, 0).bytes, ParamCell{}.bytes);
    }
    records.pop_back();
    EXPECT_TRUE(LoadParamMap(state, writeMap("full.inx", records), 0).ok);
    EXPECT_EQ(state.RecordCount[0], kMaxRecords);
}

// A damaged or foreign map is refused at once, naming the file and the first record at fault, instead of
// sending the link to wrong addresses.
TEST_F(ParamMapFiles, AMapThatBreaksTheCatalogueRulesIsRefusedByNameAndRecord) {
    const auto with = [](Record r, int position, std::uint8_t value) {
        r[position] = value;
        return r;
    };
    const struct {
        std::vector<Record> records;
        std::string fault;
    } cases[] = {
        {{config(16, 1), with(config(17, 1), 2, 0xF3)},
         "record 2 has the command byte 0xF3, which names no memory space"},
        {{with(config(16, 1), 2, 0x73)}, "record 1 has the command byte 0x73"},
        {{config(16, 1), Record{}, with(Record{}, 5, 7)}, "record 3 has no command byte but is not empty"},
        {{config(12926, 2), config(12927, 2)},
         "record 2 places bytes 12927..12928 beyond the configuration memory"},
        {{with(config(47, 2), 2, 0x11)},
         "record 1 places bytes 47..48 beyond the 48 bytes of the board information"},
        {{with(config(40000, 1), 2, 0x21)}, "record 1 places bytes 40000..40001 beyond address 40000"},
        {{config(100, 2), config(200, 1), config(101, 1)},
         "records 1 and 3 share address 101 of memory space 5"},
        {{Record{}, Record{}}, "it holds no parameter"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(LoadParamMap(state, writeMap("good.inx", {config(16, 1, 3)}), 0).ok);
        const MapLoadResult result = LoadParamMap(state, writeMap("W0482BV00.inx", c.records), 0);
        EXPECT_FALSE(result.ok) << c.fault;
        EXPECT_TRUE(contains(result.error, "The parameter map \"W0482BV00.inx\" is damaged: " + c.fault))
            << result.error;
        EXPECT_EQ(state.RecordCount[0], 0);
        EXPECT_EQ(state.cell(1, 0).bytes, ParamCell{}.bytes);
    }
    // The same bytes in different spaces, and a counter at the top of the image, are fine.
    Record counter = with(config(39997, 4), 2, 0x23);
    EXPECT_TRUE(
        LoadParamMap(state, writeMap("m.inx", {config(100, 2), with(config(100, 2), 2, 0x21), counter}), 0)
            .ok);

    // Noise: whatever the bytes, some record breaks a rule.
    std::vector<std::uint8_t> noise(900);
    std::uint32_t x = 12345;
    for (auto& b : noise)
        b = static_cast<std::uint8_t>((x = x * 1103515245u + 12345u) >> 24);
    EXPECT_FALSE(LoadParamMap(state, write("noise.inx", noise), 0).ok);
}

TEST_F(ParamMapFiles, AnIdentificationMapMustHoldTheRecordsTheConnectReads) {
    auto bytes = identMap();
    write("W0482.inx", bytes);
    ASSERT_TRUE(LoadIdentMap(state, dir_.path(), 0).ok);

    const auto refused = [&](const std::vector<std::uint8_t>& file, const std::string& fault) {
        write("W0482.inx", file);
        const MapLoadResult result = LoadIdentMap(state, dir_.path(), 0);
        EXPECT_FALSE(result.ok) << fault;
        EXPECT_TRUE(contains(result.error, "The identification map \"W0482.inx\" is damaged: " + fault))
            << result.error;
        EXPECT_EQ(state.IdentMap[0][9][2], 0) << "no stale entries";
    };
    refused(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 5),
            "it has 17 records; the connect reads record 18");
    auto empty12 = bytes;
    empty12[11 * 5 + 2] = 0;
    empty12[11 * 5 + 1] = 0;
    refused(empty12, "record 12, which the connect reads, is empty");
    auto foreign = bytes;
    foreign[9 * 5 + 2] = 0x80;
    refused(foreign, "record 10 has the command byte 0x80, which names no memory space");
    refused(std::vector<std::uint8_t>(100, 0xFF), "record 1 has the command byte 0xFF");

    // The start-up load reports it and still loads the parameter map.
    writeMap("W0482BV00.inx", {config(16, 1)});
    const MapLoadResult startUp = WriteAddressMap(state, dir_.path());
    EXPECT_FALSE(startUp.ok);
    EXPECT_TRUE(contains(startUp.error, "W0482.inx")) << startUp.error;
    EXPECT_EQ(state.RecordCount[0], 1);
}

TEST_F(ParamMapFiles, UnknownBankIsRefusedWithoutTouchingTheTable) {
    const auto file = writeMap("m.inx", {config(16, 1)});
    ASSERT_TRUE(LoadParamMap(state, file, 0).ok);
    EXPECT_FALSE(LoadParamMap(state, file, 1).ok);
    EXPECT_FALSE(LoadParamMap(state, file, -1).ok);
    EXPECT_FALSE(LoadIdentMap(state, dir_.path(), 3).ok);
    EXPECT_TRUE(UsedAddressRanges(state, 5).empty());
    EXPECT_EQ(state.RecordCount[0], 1);
}

TEST_F(ParamMapFiles, IdentificationMapKeepsAtMostTwentyRecords) {
    std::vector<std::uint8_t> bytes;
    for (int k = 1; k <= 22; ++k)
        bytes.insert(bytes.end(), {0, static_cast<std::uint8_t>(k), 0x10, 2, 9});
    bytes.push_back(0xEE); // partial record
    write("W0482.inx", bytes);
    const MapLoadResult result = LoadIdentMap(state, dir_.path(), 0);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records, 20);
    const std::array<std::uint8_t, kIdentRecordSize> tenth = {0, 10, 0x10, 2, 0, 0, 9, 0, 0, 0, 0};
    EXPECT_EQ(state.IdentMap[0][9], tenth);
    EXPECT_EQ(state.IdentMap[0][19][1], 20);

    std::filesystem::remove(dir_ / "W0482.inx");
    const MapLoadResult missing = LoadIdentMap(state, dir_.path(), 0);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(contains(missing.error, "W0482.inx"));
    EXPECT_EQ(state.IdentMap[0][9][1], 0) << "no stale entries";
}

TEST_F(ParamMapFiles, UsedRangesCoverOnlyConfigurationNumbersFromAddressFifteen) {
    Record text = config(200, 1);
    text[2] = 0x5F; // a 16-character text is not marked
    Record counter = config(300, 4);
    counter[2] = 0x23; // another memory space is not marked
    const auto file = writeMap("m.inx", {config(16, 4), config(20, 1), config(30, 1), text, counter,
                                         config(0, 4), config(14, 2), Record{}});
    ASSERT_TRUE(LoadParamMap(state, file, 0).ok);
    EXPECT_EQ(UsedAddressRanges(state, 0), (std::vector<std::pair<int, int>>{{15, 20}, {30, 30}}));
}

TEST_F(ParamMapFiles, StartUpLoadWritesTheAddressReport) {
    write("W0482.inx", identMap());
    writeMap("W0482BV00.inx", {config(16, 2), config(18, 3), config(30, 1), config(40, 1), Record{}});
    state.Online = true;
    const MapLoadResult result = WriteAddressMap(state, dir_.path());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.records, 5);
    EXPECT_TRUE(state.BoardPresent[0]);
    EXPECT_EQ(state.BoardType, 482);
    EXPECT_EQ(state.BoardSoftware, 21);
    EXPECT_EQ(state.IdentMap[0][9][1], 16);
    EXPECT_EQ(vmtest::readText(dir_ / "Seriale.rus"), "16-20\r\n30-30\r\n40-40\r\n");
}

TEST_F(ParamMapFiles, StartUpWithoutAMapStaysOfflineOverAnEmptyTable) {
    write("W0482.inx", {0, 16, 0x10, 0, 0});
    state.Online = true;
    const MapLoadResult result = WriteAddressMap(state, dir_.path());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(contains(result.error, "W0482BV00.inx")) << result.error;
    EXPECT_EQ(state.RecordCount[0], 0);
    EXPECT_FALSE(state.BoardPresent[0]);
    EXPECT_FALSE(state.Online);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Seriale.rus"));
}

TEST_F(ParamMapFiles, StartUpWithoutIdentificationMapStillLoadsTheParameterMap) {
    writeMap("W0482BV00.inx", {config(16, 1)});
    const MapLoadResult result = WriteAddressMap(state, dir_.path());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(contains(result.error, "W0482.inx")) << result.error;
    EXPECT_EQ(state.RecordCount[0], 1);
    EXPECT_EQ(vmtest::readText(dir_ / "Seriale.rus"), "16-16\r\n");
}

} // namespace
} // namespace vm
