#include "ConfigFile.h"
#include "FileIO.h"
#include "ParamMap.h"
#include "TempDir.h"
#include "TextLines.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <numeric>

namespace {

using vm::ConfigFileKind;
using vm::ProgramState;

void loadCell(ProgramState& s, int index, int address, std::uint8_t command) {
    const std::array<std::uint8_t, 9> rec{static_cast<std::uint8_t>(address >> 8),
                                          static_cast<std::uint8_t>(address), command};
    s.FillCellFromMapRecord(index, 0, rec);
}

// A state whose every field that a configuration file carries holds something recognisable.
ProgramState filledState(unsigned seed = 1) {
    ProgramState s;
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
    return s;
}

vm::FillerSource countingFillers() {
    auto n = std::make_shared<int>(0);
    return [n] { return static_cast<std::uint8_t>((*n)++ % 255); };
}

bool sameImages(const ProgramState& a, const ProgramState& b) {
    return a.ConfigImage == b.ConfigImage && a.AuxImage == b.AuxImage && a.UnitCodes == b.UnitCodes &&
           a.ModelCode == b.ModelCode;
}

bool sameLoadedArea(const ProgramState& a, const ProgramState& b) {
    return std::equal(a.ConfigImage.begin() + 16, a.ConfigImage.begin() + vm::kConfigAreaSize,
                      b.ConfigImage.begin() + 16);
}

void writeBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    ASSERT_EQ(vm::WriteFileReplacing(file, bytes), "");
}

TEST(ConfigRecord, HoldsTheHeaderTheParameterCopiesTheUnitsAndTheImageAtTheirOffsets) {
    ProgramState s = filledState();
    for (auto [address, value] :
         {std::pair{3000, 0xA1}, {3001, 0xA2}, {3002, 0xA3}, {3010, 0xB1}, {3011, 0xB2}, {3020, 0xC1}})
        s.ConfigImage[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    const vm::ConfigRecord r = vm::BuildConfigRecord(s, "machine.prm");

    EXPECT_EQ(std::string(r.begin(), r.begin() + 49),
              "machine" + std::string(6 + 19, ' ') + "DT0482AV" + std::string(9, ' '));
    const std::vector<std::uint8_t> fields(r.begin() + 49, r.begin() + 76);
    EXPECT_EQ(fields, (std::vector<std::uint8_t>{41,   0,    0,    0,    0,    0,    0,    0,    0,
                                                 0x99, 1,    2,    4,    0xA1, 0xA2, 0xA3, 0xB1, 0xB2,
                                                 0xC1, 0x11, 0x22, 0x33, 0x41, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(std::equal(r.begin() + vm::RecordPos::Image, r.end(), s.ConfigImage.begin()));

    // Board type digits and edition letter; a parameter past the image copies zeroes.
    ProgramState other;
    other.BoardType = 12345;
    other.BoardSoftware = 3;
    loadCell(other, 1850, vm::kImageSize - 1, 0x52);
    other.ConfigImage[vm::kImageSize - 1] = 0x5A;
    const auto o = vm::BuildConfigRecord(other, "x.prm");
    EXPECT_EQ(std::string(o.begin() + 32, o.begin() + 40), "DT2345AD");
    EXPECT_EQ((std::array{o[62], o[63], o[64]}), (std::array<std::uint8_t, 3>{0x5A, 0, 0}));
}

// A file's data saved under another name: its record with the new name and the copies of 1850 (733..735),
// 1851 (736, 737) and 1844 (723) taken from its image; a raw image gets the head a save writes.
TEST(ConfigRecord, ForSavingAFilesDataUnderAnotherName) {
    vm::ConfigFileData plain;
    plain.kind = ConfigFileKind::Plain;
    std::fill(plain.record.begin(), plain.record.end(), std::uint8_t{0x77});
    const auto image = [](vm::ConfigRecord& r, int address) -> std::uint8_t& {
        return r[static_cast<std::size_t>(vm::RecordPos::Image + address)];
    };
    for (int a = 723; a <= 737; ++a)
        image(plain.record, a) = static_cast<std::uint8_t>(a - 700);
    vm::ConfigRecord r = vm::RecordForSaving(plain, "after.prm");
    EXPECT_EQ(std::string(r.begin(), r.begin() + 14), "after        w");
    EXPECT_EQ(std::vector<std::uint8_t>(r.begin() + 58, r.begin() + 69),
              (std::vector<std::uint8_t>{0x77, 0x77, 0x77, 0x77, 33, 34, 35, 36, 37, 23, 0x77}));
    EXPECT_TRUE(std::equal(r.begin() + 69, r.end(), plain.record.begin() + 69));

    vm::ConfigFileData cfx;
    cfx.kind = ConfigFileKind::Cfx;
    image(cfx.record, 0) = 3; // unit codes at 0..3
    image(cfx.record, 723) = 9;
    std::copy_n(&image(cfx.record, 0), 4, cfx.record.begin() + vm::RecordPos::UnitCodes);
    r = vm::RecordForSaving(cfx, "raw.prm");
    EXPECT_EQ(std::string(r.begin(), r.begin() + 49),
              "raw" + std::string(10 + 19, ' ') + "DT0482AV" + std::string(9, ' '));
    EXPECT_EQ(std::vector<std::uint8_t>(r.begin() + 67, r.begin() + 77),
              (std::vector<std::uint8_t>{9, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 3}));
}

TEST(ConfigRecord, NameFieldAndEditionLetter) {
    const std::pair<const char*, std::string> names[] = {
        {"abc.prm", "abc          "},
        {"ABCDEFGHIJK.prm", "ABCDEFGHIJK  "},
        {"ABCDEFGHIJKL.prm", "ABCDEFGHIJKL."}, // the dot is the 13th character
        {"ABCDEFGHIJKLMNOP.prm", "ABCDEFGHIJKLM"},
        {"a.b.prm", "a            "},
        {"nodot", std::string(13, ' ')},
    };
    for (const auto& [file, field] : names)
        EXPECT_EQ(vm::RecordNameField(file), field) << file;
    const std::pair<int, char> letters[] = {{0, 'A'}, {4, 'E'}, {21, 'V'}, {5, 'A'}, {-1, 'A'}};
    for (const auto& [software, letter] : letters)
        EXPECT_EQ(vm::SoftwareLetter(software), letter) << software;
}

TEST(ConfigFormats, ASavedProtectedFileLoadsBackTheSameImages) {
    vmtest::TempDir dir;
    const ProgramState saved = filledState();
    const auto file = dir / "roundtrip.prm";
    ASSERT_EQ(vm::SaveProtectedConfig(file, saved, countingFillers()), "");
    const auto bytes = vm::ReadWholeFile(file, vm::kMaxConfigFileSize).value();
    ASSERT_EQ(bytes.size(), 26011u);
    EXPECT_EQ(bytes[26009], 0x07);
    EXPECT_EQ(bytes[2 * 49], saved.AuxImage[8]);

    ProgramState loaded;
    loaded.ConfigImage[5] = 0xEE; // bytes 0..15 are not carried back by this format
    loaded.AuxImage[9] = 0x12;
    const auto result = vm::LoadConfigFile(file, loaded);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, ConfigFileKind::Protected);
    EXPECT_TRUE(sameLoadedArea(saved, loaded));
    EXPECT_EQ(loaded.ConfigImage[5], 0xEE);
    EXPECT_EQ(loaded.ModelCode, saved.AuxImage[8]);
    EXPECT_EQ(loaded.AuxImage[9], 0x12);
    EXPECT_TRUE(
        std::equal(saved.AuxImage.begin() + 32, saved.AuxImage.begin() + 35, loaded.AuxImage.begin() + 32));
    EXPECT_EQ(loaded.UnitCodes, saved.UnitCodes);
}

// The trailer is the sum of the 26008 bytes modulo 65536: low byte, 0x07, high byte.
TEST(ConfigFormats, TheTrailerHoldsTheByteSumAsWorkedOutByHand) {
    using Bytes = std::vector<std::uint8_t>;
    // An empty record with every filler 1 adds up to 13004 = 0x32CC.
    const auto ones = vm::EncodeProtected(vm::ConfigRecord{}, [] { return std::uint8_t{1}; });
    ASSERT_EQ(ones.size(), 26011u);
    EXPECT_EQ(Bytes(ones.end() - 5, ones.end()), (Bytes{0x00, 0x01, 0xCC, 0x07, 0x32}));
    // Record bytes 0xFF and fillers 0xFE: 13004 * 509 = 6619036, which is 0xFF9C modulo 65536.
    vm::ConfigRecord full;
    full.fill(0xFF);
    const auto high = vm::EncodeProtected(full, [] { return std::uint8_t{0xFE}; });
    EXPECT_EQ(Bytes(high.end() - 3, high.end()), (Bytes{0x9C, 0x07, 0xFF}));

    // A file put together by hand: record byte 0 is 'A', so the sum is 13004 + 0x41 = 0x330D.
    Bytes hand(vm::kProtectedDataSize);
    for (std::size_t i = 1; i < hand.size(); i += 2)
        hand[i] = 1;
    hand[0] = 'A';
    hand.insert(hand.end(), {0x0D, 0x07, 0x33});
    const auto read = vm::DecodeConfigBytes(hand, "hand.prm");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.data.record[0], 'A');
    std::swap(hand[26008], hand[26010]); // low and high byte the wrong way round
    EXPECT_EQ(vm::DecodeConfigBytes(hand, "hand.prm").error, vm::kErrorFileText);
}

TEST(ConfigFormats, EverySaveDrawsNewFillersButTheRecordBytesStayTheSame) {
    const auto record = vm::BuildConfigRecord(filledState(), "a.prm");
    const auto a = vm::EncodeProtected(record, vm::RandomFillers());
    const auto b = vm::EncodeProtected(record, vm::RandomFillers());
    int fillerDifferences = 0;
    for (std::size_t i = 0; i < vm::kProtectedDataSize; i += 2) {
        ASSERT_EQ(a[i], b[i]) << i;
        fillerDifferences += a[i + 1] != b[i + 1];
        ASSERT_LE(a[i + 1], 254) << i + 1;
    }
    EXPECT_GT(fillerDifferences, 1000);
}

TEST(ConfigFormats, PlainAndCfxFilesLoadWithoutAChecksum) {
    vmtest::TempDir dir;
    const ProgramState s = filledState(3);
    writeBytes(dir / "plain.spf", vm::BuildConfigRecord(s, "plain.spf"));
    ProgramState plain;
    auto result = vm::LoadConfigFile(dir / "plain.spf", plain);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, ConfigFileKind::Plain);
    EXPECT_EQ(plain.UnitCodes, s.UnitCodes);
    EXPECT_EQ(plain.ModelCode, s.AuxImage[8]);
    EXPECT_TRUE(sameLoadedArea(s, plain));
    EXPECT_EQ(plain.ConfigImage[0], 0);

    // A cfx file is the raw image; its first four bytes are the unit codes; longer files are cut.
    std::vector<std::uint8_t> raw(vm::kConfigAreaSize + 50);
    std::iota(raw.begin(), raw.end(), std::uint8_t{5});
    writeBytes(dir / "image.cfx", raw);
    ProgramState cfx;
    cfx.AuxImage[8] = 0x31;
    result = vm::LoadConfigFile(dir / "image.cfx", cfx);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.kind, ConfigFileKind::Cfx);
    EXPECT_EQ(cfx.UnitCodes, (std::array<std::uint8_t, 4>{5, 6, 7, 8}));
    EXPECT_TRUE(std::equal(raw.begin(), raw.begin() + vm::kConfigAreaSize, cfx.ConfigImage.begin()));
    EXPECT_EQ(cfx.ConfigImage[vm::kConfigAreaSize], 0);
    EXPECT_EQ(cfx.AuxImage[8], 0x31);

    const auto upper = vm::DecodeConfigBytes(std::span(raw).first(vm::kConfigAreaSize), "IMAGE.CFX");
    EXPECT_EQ(upper.data.kind, ConfigFileKind::Protected) << "exact case";
    EXPECT_FALSE(upper.ok());
}

// The kind goes by the last suffix; the name field still ends at the first dot.
TEST(ConfigFormats, TheKindGoesByTheLastSuffixOfTheName) {
    std::vector<std::uint8_t> raw(vm::kConfigAreaSize, 0x11);
    const auto dated = vm::DecodeConfigBytes(raw, "dump.2024.cfx");
    EXPECT_TRUE(dated.ok()) << dated.error;
    EXPECT_EQ(dated.data.kind, ConfigFileKind::Cfx);
    EXPECT_EQ(dated.data.imageByte(12927), 0x11);

    const auto saved =
        vm::EncodeProtected(vm::BuildConfigRecord(filledState(), "site.cfx.prm"), countingFillers());
    const auto site = vm::DecodeConfigBytes(saved, "site.cfx.prm");
    ASSERT_TRUE(site.ok()) << site.error;
    EXPECT_EQ(site.data.kind, ConfigFileKind::Protected);
    EXPECT_EQ(std::string(site.data.record.begin(), site.data.record.begin() + 13), "site         ");
    EXPECT_EQ(site.data.unitCodes(), (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x41}));

    EXPECT_EQ(vm::DecodeConfigBytes(raw, "image.cfx.old").data.kind, ConfigFileKind::Protected);
}

TEST(CorruptedConfigFiles, AnySingleChangedByteOfRecordOrFillersIsDetected) {
    const auto good = vm::EncodeProtected(vm::BuildConfigRecord(filledState(), "c.prm"), countingFillers());
    ASSERT_TRUE(vm::DecodeConfigBytes(good, "c.prm").ok());
    auto bytes = good;
    // Every byte near both ends and a spread of the rest (record and filler bytes alike), each changed by
    // the smallest and by the largest amount.
    for (std::size_t i = 0; i < vm::kProtectedDataSize; ++i) {
        if (!(i < 200 || i >= vm::kProtectedDataSize - 200 || i % 37 < 2)) continue;
        for (const int delta : {1, 255}) {
            bytes[i] = static_cast<std::uint8_t>(good[i] + delta);
            const auto read = vm::DecodeConfigBytes(bytes, "c.prm");
            ASSERT_EQ(read.error, vm::kErrorFileText) << "offset " << i;
            bytes[i] = good[i];
        }
    }
}

TEST(CorruptedConfigFiles, UnusableFilesAreRefusedAndChangeNothing) {
    vmtest::TempDir dir;
    const auto full = vm::EncodeProtected(vm::BuildConfigRecord(filledState(), "s.prm"), countingFillers());
    auto badSum = full;
    badSum[26010] ^= 0x01;
    writeBytes(dir / "bad.prm", badSum);
    struct Case {
        std::string name;
        std::size_t size; // bytes of the good file written; SIZE_MAX: none
        std::string error;
    };
    const Case cases[] = {
        {"bad.prm", SIZE_MAX, std::string(vm::kErrorFileText)},
        {"short.prm", 26010, "too short"},
        {"tiny.prm", 100, "too short"},
        {"empty.spf", 0, "too short"},
        {"short.cfx", vm::kConfigAreaSize - 1, "too short"},
        {"none.cfx", 0, "too short"},
        {"absent.prm", SIZE_MAX, "does not exist"},
        {"folder.prm", SIZE_MAX, "is a folder"},
        {"pipe.spf", SIZE_MAX, "not a regular file"}, // refused before opening: reading it would hang
    };
    std::filesystem::create_directory(dir / "folder.prm");
    ASSERT_EQ(::mkfifo((dir / "pipe.spf").c_str(), 0600), 0);
    for (const Case& c : cases) {
        if (c.size != SIZE_MAX) writeBytes(dir / c.name, std::span(full).first(c.size));
        ProgramState target = filledState(5);
        const ProgramState before = target;
        const auto result = vm::LoadConfigFile(dir / c.name, target);
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_NE(result.error.find(c.error), std::string::npos) << c.name << ": " << result.error;
        EXPECT_TRUE(sameImages(target, before)) << c.name;
    }
}

// A zeroed or erased disk block holds no configuration: it must never be loaded, let alone written to a
// board. A protected file of zeros even has the right sum (0).
TEST(CorruptedConfigFiles, ZeroedOrErasedFilesAreRefusedInEveryFormat) {
    vmtest::TempDir dir;
    const auto good = vm::EncodeProtected(vm::BuildConfigRecord(filledState(), "s.prm"), countingFillers());
    auto wrongMark = good;
    wrongMark[26009] = 0x08; // the sum does not cover the mark
    auto longer = good;
    longer.push_back(0);
    // Record bytes all zero between fillers of 1, with the right trailer: 13004 = 0x32CC.
    auto zeroRecord = vm::EncodeProtected(vm::ConfigRecord{}, [] { return std::uint8_t{1}; });
    const struct {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::string error;
    } cases[] = {
        {"zeros.prm", std::vector<std::uint8_t>(26011, 0x00), "every data byte is 0x00"},
        {"erased.prm", std::vector<std::uint8_t>(26011, 0xFF), "every data byte is 0xFF"},
        {"zero-record.prm", zeroRecord, "every data byte is 0x00"},
        {"zeros.spf", std::vector<std::uint8_t>(13004, 0x00), "every data byte is 0x00"},
        {"erased.spf", std::vector<std::uint8_t>(13004, 0xFF), "every data byte is 0xFF"},
        {"zeros.cfx", std::vector<std::uint8_t>(12928, 0x00), "every data byte is 0x00"},
        {"mark.prm", wrongMark, "trailer mark is 0x08 instead of 0x07"},
        {"longer.prm", longer, "too long"},
    };
    for (const auto& c : cases) {
        writeBytes(dir / c.name, c.bytes);
        ProgramState target = filledState(5);
        const ProgramState before = target;
        const auto result = vm::LoadConfigFile(dir / c.name, target);
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_NE(result.error.find(c.error), std::string::npos) << c.name << ": " << result.error;
        EXPECT_TRUE(sameImages(target, before)) << c.name;
    }
}

// A huge file (a sparse one here) is refused by its size, before anything is read.
TEST(CorruptedConfigFiles, HugeFilesAreRefusedBeforeReading) {
    vmtest::TempDir dir;
    constexpr std::uintmax_t kHuge = std::uintmax_t{100} << 20;
    for (const char* name : {"huge.prm", "huge.cfx", "huge.spf"}) {
        { std::ofstream(dir / name); }
        std::filesystem::resize_file(dir / name, kHuge);
        ProgramState target;
        const auto result = vm::LoadConfigFile(dir / name, target);
        EXPECT_NE(result.error.find("is too large (104857600 bytes; at most 65536)"), std::string::npos)
            << name << ": " << result.error;
    }
    const auto boundary = dir.write("boundary.cfx", std::string(65537, 'x'));
    EXPECT_FALSE(vm::ReadWholeFile(boundary, 65536).has_value());
    EXPECT_EQ(vm::ReadWholeFile(boundary, 65537)->size(), 65537u);
}

// The parameter maps and the text files (settings, languages) go through the same checks.
TEST(CorruptedConfigFiles, MapsAndTextFilesRefuseAFolderOrAPipe) {
    vmtest::TempDir dir;
    std::filesystem::create_directory(dir / "W0482BV00.inx");
    ASSERT_EQ(::mkfifo((dir / "English.lng").c_str(), 0600), 0);
    ProgramState state;
    const auto map = vm::LoadParamMap(state, dir / "W0482BV00.inx", 0);
    EXPECT_FALSE(map.ok);
    EXPECT_NE(map.error.find("is a folder"), std::string::npos) << map.error;
    EXPECT_FALSE(vm::ReadTextLines(dir / "W0482BV00.inx", 10, 4096));
    EXPECT_FALSE(vm::ReadTextLines(dir / "English.lng", 10, 4096));
}

TEST(SavingConfigFiles, ReplacesAFileSafelyAndReportsAFailure) {
    vmtest::TempDir dir;
    dir.write("keep.prm", "old contents");
    const ProgramState s = filledState();
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "keep.prm", s), "");
    EXPECT_EQ(std::filesystem::file_size(dir / "keep.prm"), 26011u);

    std::filesystem::create_directory(dir / "occupied.prm"); // a folder cannot be replaced by a file
    dir.write("occupied.prm/inside.txt", "precious");
    EXPECT_NE(vm::SaveProtectedConfig(dir / "occupied.prm", s), "");
    EXPECT_EQ(vmtest::readText(dir / "occupied.prm/inside.txt"), "precious");
    // The system's reason is part of the message.
    const std::string error = vm::SaveProtectedConfig(dir / "no such folder" / "x.prm", s);
    EXPECT_NE(error.find("x.prm: No such file or directory"), std::string::npos) << error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2); // no temporaries
}

// Saving through a symbolic link writes the file it points to (in that file's folder) and keeps the link;
// the file keeps its permissions.
TEST(SavingConfigFiles, ALinkIsFollowedAndKeptAndTheTargetKeepsItsPermissions) {
    vmtest::TempDir dir;
    std::filesystem::create_directories(dir / "site");
    std::filesystem::create_directories(dir / "work");
    dir.write("site/machine.prm", "old contents");
    std::filesystem::permissions(dir / "site/machine.prm", std::filesystem::perms(0640));
    std::filesystem::create_symlink("../site/machine.prm", dir / "work/link.prm");
    std::filesystem::create_symlink("link.prm", dir / "work/link2.prm"); // a chain of two

    ASSERT_EQ(vm::SaveProtectedConfig(dir / "work/link2.prm", filledState()), "");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "work/link.prm"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "work/link2.prm"));
    EXPECT_EQ(std::filesystem::file_size(dir / "site/machine.prm"), 26011u);
    EXPECT_EQ(std::filesystem::status(dir / "site/machine.prm").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "site"), {}), 1); // no temporaries
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "work"), {}), 2);

    // A link to a file that is not there yet creates it.
    std::filesystem::create_symlink("../site/new.prm", dir / "work/new.prm");
    ASSERT_EQ(vm::SaveProtectedConfig(dir / "work/new.prm", filledState()), "");
    EXPECT_EQ(std::filesystem::file_size(dir / "site/new.prm"), 26011u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "work/new.prm"));
}

} // namespace
