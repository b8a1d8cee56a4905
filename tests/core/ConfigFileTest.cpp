#include "ConfigFile.h"
#include "FileIO.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

namespace {

using vm::ConfigFileKind;
using vm::ProgramState;
namespace RecordPos = vm::RecordPos;

void loadCell(ProgramState& s, int index, int address, std::uint8_t command) {
    const std::array<std::uint8_t, 9> rec{static_cast<std::uint8_t>(address >> 8),
                                          static_cast<std::uint8_t>(address),
                                          command,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0};
    s.FillCellFromMapRecord(index, 0, rec);
}

// A state whose every field that a configuration file carries holds something recognisable.
void fillState(ProgramState& s, unsigned seed = 1) {
    loadCell(s, 1850, 3000, 0x52);
    loadCell(s, 1851, 3010, 0x51);
    loadCell(s, 1844, 3020, 0x50);
    for (int a = 0; a < vm::kConfigAreaSize; ++a)
        s.ConfigImage[static_cast<std::size_t>(a)] =
            static_cast<std::uint8_t>((a * 7 + seed * 13 + a / 256) & 0xFF);
    s.AuxImage[8] = static_cast<std::uint8_t>(40 + seed);
    s.AuxImage[9] = 0x99;
    s.AuxImage[32] = 1;
    s.AuxImage[33] = 2;
    s.AuxImage[34] = static_cast<std::uint8_t>(3 + seed);
    s.UnitCodes = {0x11, 0x22, 0x33, static_cast<std::uint8_t>(0x40 + seed)};
    s.BoardType = 482;
    s.BoardSoftware = 21;
}

vm::FillerSource countingFillers() {
    auto n = std::make_shared<int>(0);
    return [n] { return static_cast<std::uint8_t>((*n)++ % 255); };
}

bool sameImages(const ProgramState& a, const ProgramState& b) {
    return a.ConfigImage == b.ConfigImage && a.AuxImage == b.AuxImage && a.UnitCodes == b.UnitCodes &&
           a.ModelCode == b.ModelCode;
}

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& file) {
    return vm::ReadWholeFile(file).value();
}

void writeBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    ASSERT_EQ(vm::WriteFileReplacing(file, bytes), "");
}

// --- the record ---

TEST(ConfigRecord, HoldsTheHeaderTheParameterCopiesTheUnitsAndTheImageAtTheirOffsets) {
    ProgramState s;
    fillState(s);
    s.ConfigImage[3000] = 0xA1;
    s.ConfigImage[3001] = 0xA2;
    s.ConfigImage[3002] = 0xA3;
    s.ConfigImage[3010] = 0xB1;
    s.ConfigImage[3011] = 0xB2;
    s.ConfigImage[3020] = 0xC1;
    const vm::ConfigRecord r = vm::BuildConfigRecord(s, "machine.prm");

    const std::string text(r.begin(), r.begin() + 49);
    EXPECT_EQ(text, "machine" + std::string(6 + 19, ' ') + "DT0482AV" + std::string(9, ' '));
    EXPECT_EQ(r[49], 41);
    for (int i = 50; i < 58; ++i)
        EXPECT_EQ(r[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_EQ(r[58], 0x99);
    EXPECT_EQ((std::array{r[59], r[60], r[61]}), (std::array<std::uint8_t, 3>{1, 2, 4}));
    EXPECT_EQ((std::array{r[62], r[63], r[64], r[65], r[66], r[67]}),
              (std::array<std::uint8_t, 6>{0xA1, 0xA2, 0xA3, 0xB1, 0xB2, 0xC1}));
    EXPECT_EQ((std::array{r[68], r[69], r[70], r[71]}),
              (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x41}));
    EXPECT_EQ((std::array{r[72], r[73], r[74], r[75]}),
              (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(std::equal(r.begin() + RecordPos::Image, r.end(), s.ConfigImage.begin()));
}

TEST(ConfigRecord, NameFieldFollowsTheFirstDot) {
    EXPECT_EQ(vm::RecordNameField("abc.prm"), "abc          ");
    EXPECT_EQ(vm::RecordNameField("ABCDEFGHIJK.prm"), "ABCDEFGHIJK  ");  // 11 characters
    EXPECT_EQ(vm::RecordNameField("ABCDEFGHIJKL.prm"), "ABCDEFGHIJKL."); // dot at the 13th character
    EXPECT_EQ(vm::RecordNameField("ABCDEFGHIJKLMNOP.prm"), "ABCDEFGHIJKLM");
    EXPECT_EQ(vm::RecordNameField("a.b.prm"), "a            ");
    EXPECT_EQ(vm::RecordNameField("nodot"), std::string(13, ' '));
}

TEST(ConfigRecord, EditionLetterAndBoardTypeDigits) {
    EXPECT_EQ(vm::SoftwareLetter(0), 'A');
    EXPECT_EQ(vm::SoftwareLetter(4), 'E');
    EXPECT_EQ(vm::SoftwareLetter(21), 'V');
    EXPECT_EQ(vm::SoftwareLetter(5), 'A');
    EXPECT_EQ(vm::SoftwareLetter(-1), 'A');
    ProgramState s;
    s.BoardType = 7;
    s.BoardSoftware = 3;
    auto r = vm::BuildConfigRecord(s, "x.prm");
    EXPECT_EQ(std::string(r.begin() + 32, r.begin() + 40), "DT0007AD");
    s.BoardType = 12345;
    r = vm::BuildConfigRecord(s, "x.prm");
    EXPECT_EQ(std::string(r.begin() + 34, r.begin() + 38), "2345");
}

TEST(ConfigRecord, ParametersWhoseAddressLiesPastTheImageCopyZeroes) {
    ProgramState s;
    loadCell(s, 1850, vm::kImageSize - 1, 0x52);
    s.ConfigImage[vm::kImageSize - 1] = 0x5A;
    const auto r = vm::BuildConfigRecord(s, "x.prm");
    EXPECT_EQ(r[62], 0x5A);
    EXPECT_EQ(r[63], 0);
    EXPECT_EQ(r[64], 0);
}

// --- round trips ---

TEST(ConfigFormats, ASavedProtectedFileLoadsBackTheSameImages) {
    vmtest::TempDir dir;
    ProgramState saved;
    fillState(saved);
    const auto file = dir / "roundtrip.prm";
    ASSERT_EQ(vm::SaveProtectedConfig(file, saved, countingFillers()), "");

    const auto bytes = bytesOf(file);
    ASSERT_EQ(bytes.size(), 26011u);
    EXPECT_EQ(bytes[26009], 0x07);
    EXPECT_EQ(bytes[2 * 49], saved.AuxImage[8]);

    ProgramState loaded;
    loaded.ConfigImage[5] = 0xEE; // bytes 0..15 are not carried back by this format
    loaded.AuxImage[9] = 0x12;
    const auto result = vm::LoadConfigFile(file, loaded);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, ConfigFileKind::Protected);
    EXPECT_TRUE(std::equal(saved.ConfigImage.begin() + 16, saved.ConfigImage.begin() + vm::kConfigAreaSize,
                           loaded.ConfigImage.begin() + 16));
    EXPECT_EQ(loaded.ConfigImage[5], 0xEE);
    EXPECT_EQ(loaded.AuxImage[8], saved.AuxImage[8]);
    EXPECT_EQ(loaded.ModelCode, saved.AuxImage[8]);
    EXPECT_EQ(loaded.AuxImage[9], 0x12);
    EXPECT_TRUE(
        std::equal(saved.AuxImage.begin() + 32, saved.AuxImage.begin() + 35, loaded.AuxImage.begin() + 32));
    EXPECT_EQ(loaded.UnitCodes, saved.UnitCodes);

    // Saving again from the loaded state gives the same record.
    ProgramState again;
    fillState(again);
    vm::LoadConfigFile(file, again);
    EXPECT_EQ(vm::BuildConfigRecord(again, "roundtrip.prm"), vm::BuildConfigRecord(saved, "roundtrip.prm"));
}

TEST(ConfigFormats, EverySaveDrawsNewFillersButTheRecordBytesStayTheSame) {
    vmtest::TempDir dir;
    ProgramState s;
    fillState(s);
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "a.prm", s), "");
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "a.prm.copy", s), "");
    const auto a = bytesOf(dir / "a.prm");
    const auto b = bytesOf(dir / "a.prm.copy");
    ASSERT_EQ(a.size(), b.size());
    int fillerDifferences = 0;
    for (std::size_t i = 0; i < vm::kProtectedDataSize; ++i) {
        if (i % 2 == 0)
            ASSERT_EQ(a[i], b[i]) << i;
        else {
            fillerDifferences += a[i] != b[i];
            ASSERT_LE(a[i], 254) << i;
        }
    }
    EXPECT_GT(fillerDifferences, 1000);
}

TEST(ConfigFormats, FillersCarryNoDataSoAFillerChangedWithTheChecksumStillLoads) {
    const ProgramState s = [] {
        ProgramState st;
        fillState(st);
        return st;
    }();
    auto bytes = vm::EncodeProtected(vm::BuildConfigRecord(s, "f.prm"), countingFillers());
    bytes[101] = static_cast<std::uint8_t>(bytes[101] + 9);
    const std::uint16_t sum = vm::ProtectedChecksum(std::span(bytes).first(vm::kProtectedDataSize));
    bytes[26008] = static_cast<std::uint8_t>(sum & 0xFF);
    bytes[26010] = static_cast<std::uint8_t>(sum >> 8);
    const auto read = vm::DecodeConfigBytes(bytes, "f.prm");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.data.record, vm::BuildConfigRecord(s, "f.prm"));
}

TEST(ConfigFormats, APlainRecordLoadsWithoutAnyCheck) {
    vmtest::TempDir dir;
    ProgramState s;
    fillState(s, 3);
    const auto record = vm::BuildConfigRecord(s, "plain.spf");
    writeBytes(dir / "plain.spf", record);
    ProgramState loaded;
    const auto result = vm::LoadConfigFile(dir / "plain.spf", loaded);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, ConfigFileKind::Plain);
    EXPECT_EQ(loaded.UnitCodes, s.UnitCodes);
    EXPECT_EQ(loaded.ModelCode, s.AuxImage[8]);
    EXPECT_TRUE(std::equal(s.ConfigImage.begin() + 16, s.ConfigImage.begin() + vm::kConfigAreaSize,
                           loaded.ConfigImage.begin() + 16));
    EXPECT_EQ(loaded.ConfigImage[0], 0);
}

TEST(ConfigFormats, ACfxFileIsTheRawImageAndItsFirstFourBytesAreTheUnitCodes) {
    vmtest::TempDir dir;
    std::vector<std::uint8_t> raw(vm::kConfigAreaSize + 50); // longer files are read up to the image size
    std::iota(raw.begin(), raw.end(), std::uint8_t{5});
    writeBytes(dir / "image.cfx", raw);
    ProgramState loaded;
    loaded.AuxImage[8] = 0x31;
    const auto result = vm::LoadConfigFile(dir / "image.cfx", loaded);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, ConfigFileKind::Cfx);
    EXPECT_EQ(loaded.UnitCodes, (std::array<std::uint8_t, 4>{5, 6, 7, 8}));
    EXPECT_TRUE(std::equal(raw.begin(), raw.begin() + vm::kConfigAreaSize, loaded.ConfigImage.begin()));
    EXPECT_EQ(loaded.ConfigImage[vm::kConfigAreaSize], 0);
    EXPECT_EQ(loaded.AuxImage[8], 0x31);

    // The kind comes from the first dot of the name.
    EXPECT_EQ(vm::DecodeConfigBytes(raw, "image.cfx.old").data.kind, ConfigFileKind::Cfx);
}

TEST(ConfigFormats, TheCfxKindNeedsTheExactLowerCaseExtension) {
    std::vector<std::uint8_t> raw(vm::kConfigAreaSize, 1);
    const auto asUpper = vm::DecodeConfigBytes(raw, "IMAGE.CFX");
    EXPECT_EQ(asUpper.data.kind, ConfigFileKind::Protected);
    EXPECT_FALSE(asUpper.ok());

    std::vector<std::uint8_t> plain(vm::kConfigRecordSize, 2);
    const auto plainUpper = vm::DecodeConfigBytes(plain, "IMAGE.CFX");
    EXPECT_TRUE(plainUpper.ok());
    EXPECT_EQ(plainUpper.data.kind, ConfigFileKind::Plain);
}

TEST(ConfigFormats, ReadingAFileDetachedFromAnyStateGivesTheWholeRecord) {
    vmtest::TempDir dir;
    ProgramState s;
    fillState(s, 2);
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "Show.prm", s), "");
    const auto read = vm::ReadConfigFile(dir / "Show.prm");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.data.record, vm::BuildConfigRecord(s, "Show.prm"));
    EXPECT_EQ(read.data.unitCodes(), s.UnitCodes);
    EXPECT_EQ(read.data.modelCode(), s.AuxImage[8]);
    EXPECT_EQ(read.data.imageByte(100), s.ConfigImage[100]);
    EXPECT_EQ(read.data.imageLoadFirst(), 16);
}

// --- corrupted and unusable files ---

TEST(CorruptedConfigFiles, AnySingleChangedByteOfRecordOrFillersIsDetected) {
    ProgramState s;
    fillState(s);
    const auto good = vm::EncodeProtected(vm::BuildConfigRecord(s, "c.prm"), countingFillers());
    ASSERT_TRUE(vm::DecodeConfigBytes(good, "c.prm").ok());
    auto bytes = good;
    // Every byte near both ends and a spread of the rest (record and filler bytes alike), each changed by
    // the smallest and by the largest amount.
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < vm::kProtectedDataSize; ++i)
        if (i < 200 || i >= vm::kProtectedDataSize - 200 || i % 37 == 0 || i % 37 == 1) offsets.push_back(i);
    for (const std::size_t i : offsets) {
        for (const int delta : {1, 255}) {
            bytes[i] = static_cast<std::uint8_t>(good[i] + delta);
            const auto read = vm::DecodeConfigBytes(bytes, "c.prm");
            ASSERT_FALSE(read.ok()) << "offset " << i;
            ASSERT_EQ(read.error, vm::kErrorFileText);
            bytes[i] = good[i];
        }
    }
}

TEST(CorruptedConfigFiles, AWrongChecksumLeavesEveryImageUntouched) {
    vmtest::TempDir dir;
    ProgramState source;
    fillState(source, 1);
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "bad.prm", source), "");
    auto bytes = bytesOf(dir / "bad.prm");
    bytes[26010] = static_cast<std::uint8_t>(bytes[26010] ^ 0x01);
    writeBytes(dir / "bad.prm", bytes);

    ProgramState target;
    fillState(target, 7);
    const ProgramState before = target;
    const auto result = vm::LoadConfigFile(dir / "bad.prm", target);
    EXPECT_EQ(result.error, " Attention : Error File!!  ");
    EXPECT_TRUE(sameImages(target, before));
}

TEST(CorruptedConfigFiles, ShortFilesAreRefusedWithAClearTextAndChangeNothing) {
    vmtest::TempDir dir;
    ProgramState s;
    fillState(s, 1);
    const auto full = vm::EncodeProtected(vm::BuildConfigRecord(s, "s.prm"), countingFillers());

    struct Case {
        std::string name;
        std::size_t size;
    };
    for (const Case& c : {Case{"short.prm", 26010}, Case{"tiny.prm", 100}, Case{"empty.spf", 0},
                          Case{"short.cfx", vm::kConfigAreaSize - 1}, Case{"none.cfx", 0}}) {
        writeBytes(dir / c.name, std::span(full).first(c.size));
        ProgramState target;
        fillState(target, 5);
        const ProgramState before = target;
        const auto result = vm::LoadConfigFile(dir / c.name, target);
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_NE(result.error, vm::kErrorFileText) << c.name; // not a checksum fault: says what is wrong
        EXPECT_NE(result.error.find("too short"), std::string::npos) << c.name;
        EXPECT_TRUE(sameImages(target, before)) << c.name;
    }
}

TEST(CorruptedConfigFiles, AMissingFileIsReportedAndChangesNothing) {
    vmtest::TempDir dir;
    ProgramState target;
    fillState(target, 2);
    const ProgramState before = target;
    const auto result = vm::LoadConfigFile(dir / "absent.prm", target);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(sameImages(target, before));
}

// --- saving safely ---

TEST(SavingConfigFiles, ReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
    vmtest::TempDir dir;
    dir.write("keep.prm", "old contents");
    ProgramState s;
    fillState(s);
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "keep.prm", s), "");
    EXPECT_EQ(std::filesystem::file_size(dir / "keep.prm"), 26011u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SavingConfigFiles, AFailedSaveReportsItKeepsWhatWasThereAndLeavesNoTemporary) {
    vmtest::TempDir dir;
    std::filesystem::create_directory(dir / "occupied.prm"); // a folder cannot be replaced by a file
    dir.write("occupied.prm/inside.txt", "precious");
    ProgramState s;
    EXPECT_NE(vm::SaveProtectedConfig(dir / "occupied.prm", s), "");
    EXPECT_EQ(vmtest::readText(dir / "occupied.prm/inside.txt"), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    EXPECT_NE(vm::SaveProtectedConfig(dir / "no such folder" / "x.prm", s), "");
}

} // namespace
