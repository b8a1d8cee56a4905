// vm_cli's commands run in-process: the pure helpers and the offline commands. (The board commands are
// the link's transfers, tested in the link tests.)

#include "CliRun.h"
#include "Commands.h"
#include "BoardClient.h"
#include "Catalogue.h"
#include "ConfigFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vm;
using namespace vm::cli;

namespace {

using vm::cli::test::Captured;
using vm::cli::test::describe;
using vm::cli::test::run;

ParamCell cellOf(std::uint8_t command) {
    ParamCell cell;
    cell.at(CellPos::Command) = command;
    return cell;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace

TEST(Commands, MismatchingRunsCoverOnlyTheTransferAreas) {
    std::vector<std::uint8_t> expected(kImageSize, 0), actual(kImageSize, 0);
    actual[5] = 1;               // below area A: never transferred
    actual[16] = actual[17] = 1; // first bytes of A
    actual[19] = 1;              // a separate run
    actual[2000] = 1;            // between A and B
    actual[12926] = 1;           // last byte of C
    actual[12927] = 1;           // never transferred
    const auto runs = MismatchingRuns(expected, actual);
    const std::vector<std::pair<int, int>> want{{16, 17}, {19, 19}, {12926, 12926}};
    EXPECT_EQ(runs, want);
    EXPECT_TRUE(MismatchingRuns(expected, expected).empty());
}

TEST(Commands, LiveValuesAreCheckedAgainstTheCell) {
    std::string why;
    EXPECT_EQ(ParseLiveValue(cellOf(0x50), "255", why), ParamData(255.0));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x50), "256", why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(ParseLiveValue(cellOf(0x51), "65535", why), ParamData(65535.0));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x51), "65536", why));
    EXPECT_EQ(ParseLiveValue(cellOf(0x52), "16777215", why), ParamData(16777215.0));
    EXPECT_EQ(ParseLiveValue(cellOf(0x53), "2147483647", why), ParamData(2147483647.0));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x53), "2147483648", why));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x50), "-1", why));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x50), "1.5", why));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x50), "", why));
    EXPECT_EQ(ParseLiveValue(cellOf(0x5F), "HELLO 42", why), ParamData(std::string("HELLO 42")));
    EXPECT_FALSE(ParseLiveValue(cellOf(0x54), "SIXSIX", why)) << "a 5-character text takes at most 5";
}

TEST(Commands, OfflineErrorsAreOneLineWithStatus2) {
    Captured c = run({"show", "/nonexistent/file.prm"});
    EXPECT_EQ(c.status, 2);
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << describe(c);
    c = run({"diff", "/nonexistent/a.prm", "/nonexistent/b.prm"});
    EXPECT_EQ(c.status, 2);
    c = run({"--simulate"});
    EXPECT_EQ(c.status, 2);
    c = run({"--help"});
    EXPECT_EQ(c.status, 0);
    EXPECT_NE(c.out.find("diff FILE_A FILE_B"), std::string::npos);
    EXPECT_NE(c.out.find("export [--all] FILE"), std::string::npos);
    EXPECT_NE(c.out.find("import TEXT BASE OUT"), std::string::npos);
}

// A raw .cfx image is shown with the parameters of the map.
TEST(Commands, ACfxImageIsShown) {
    QTemporaryDir dir;
    std::vector<std::uint8_t> image(kConfigAreaSize);
    for (int a = 0; a < kConfigAreaSize; ++a)
        image[a] = static_cast<std::uint8_t>(a % 251);
    const std::string cfx = dir.filePath("raw.cfx").toStdString();
    writeBytes(cfx, image);
    const Captured c = run({"show", cfx});
    EXPECT_EQ(c.status, 0) << describe(c);
    // Address 733 holds 733 % 251 = 231, 734 -> 232, 735 -> 233: parameter 1850 is 3 bytes wide.
    EXPECT_NE(
        c.out.find("\n1850 numeric option 1850 " + std::to_string(231 + 232 * 256 + 233 * 65536) + "\n"),
        std::string::npos);
}

TEST(Commands, SaveIntoAMissingFolderFailsBeforeTheBoardIsAsked) {
    Captured c = run({"--simulate", "save", "/nonexistent-folder/x.prm"});
    EXPECT_EQ(c.status, 2) << describe(c);
    EXPECT_NE(c.err.find("/nonexistent-folder"), std::string::npos) << describe(c);
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << describe(c);
}

namespace {

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::optional<ConfigRecord> recordOf(const std::string& path) {
    const ConfigReadResult read = ReadConfigFile(path);
    return read.ok() ? std::optional(read.data.record) : std::nullopt;
}

} // namespace

// A configuration saved from the simulated board, with every setting changed, goes through its text and
// back byte for byte: with --all onto any base, without it onto the board's factory settings.
TEST(Commands, ExportThenImportGivesTheConfigurationBack) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    const std::string board = path("board.prm");
    Captured c = run({"--simulate", "--no-progress", "save", board});
    ASSERT_EQ(c.status, 0) << describe(c);
    c = run({"export", board});
    EXPECT_EQ(c.status, 0) << describe(c);
    EXPECT_EQ(c.out,
              "# The configuration settings that differ from their defaults, one a line: name = value  "
              "# parameter index\n")
        << "a new board holds the factory settings";

    // Every byte of every setting gets a value of its own; the mirrors of odd parameters keep theirs, the
    // others agree with their parameter.
    auto record = recordOf(board);
    ASSERT_TRUE(record);
    const auto at = [&](int address) -> std::uint8_t& { return (*record)[RecordPos::Image + address]; };
    for (const catalogue::ParamInfo& p : catalogue::all())
        for (int i = 0; p.hasDefault && p.address >= 16 && i < p.width; ++i)
            at(p.address + i) = static_cast<std::uint8_t>(p.address * 7 + i * 3 + 1);
    for (const catalogue::ParamInfo& p : catalogue::all())
        for (int i = 0; p.hasDefault && p.mirror != 0 && p.index % 2 == 0 && i < p.width; ++i)
            at(catalogue::find(p.mirror)->address + i) = at(p.address + i);
    // The copies of 1850 (733..735), 1851 (736, 737) and 1844 (723) in the record's head.
    std::copy_n(&at(733), 5, record->begin() + RecordPos::Param1850);
    (*record)[RecordPos::Param1844] = at(723);
    std::filesystem::create_directory(path("source"));
    const std::string source = path("source/board.prm"); // the same name field
    writeBytes(source, EncodeProtected(*record, RandomFillers()));

    for (const bool all : {true, false}) {
        c = all ? run({"export", "--all", source}) : run({"export", source});
        ASSERT_EQ(c.status, 0) << describe(c);
        const std::string text = path(all ? "all.txt" : "changed.txt");
        writeText(text, c.out);
        const std::string folder = path(all ? "all" : "changed");
        std::filesystem::create_directory(folder);
        const std::string out = folder + "/board.prm";
        c = run({"import", text, board, out});
        ASSERT_EQ(c.status, 0) << describe(c);
        const auto back = recordOf(out);
        ASSERT_TRUE(back);
        EXPECT_TRUE(*back == *record) << (all ? "--all" : "changed only");
    }
}

TEST(Commands, ImportWithAFaultyLineWritesNothing) {
    QTemporaryDir dir;
    const std::string base = dir.filePath("base.prm").toStdString();
    const std::string out = dir.filePath("out.prm").toStdString();
    const std::string text = dir.filePath("visit.txt").toStdString();
    ProgramState state;
    ASSERT_EQ(SaveProtectedConfig(base, state), "");
    writeBytes(out, {1, 2, 3});
    writeText(text, "price_1 = 1\nprice_2 = 1.5\n");
    const Captured c = run({"import", text, base, out});
    EXPECT_EQ(c.status, 2) << describe(c);
    // The base's decimal point is 0: whole amounts only.
    EXPECT_EQ(c.err,
              "vmconfig-cli: " + text +
                  ": line 2: price_2: '1.5' has more than 0 decimals (decimal point 0); nothing written\n");
    EXPECT_EQ(readBytes(out), std::vector<std::uint8_t>({1, 2, 3}));
}

// A zeroed disk block read as a configuration would wipe a board: it is refused before any port is opened,
// by show and by write alike.
TEST(Commands, AZeroedOrDamagedFileIsNeverWrittenToABoard) {
    QTemporaryDir dir;
    const std::string zeros = dir.filePath("zeros.prm").toStdString();
    writeBytes(zeros, std::vector<std::uint8_t>(26011, 0));
    for (const auto& argv : {std::vector<std::string>{"show", zeros},
                             std::vector<std::string>{"--simulate", "--no-progress", "write", zeros}}) {
        const Captured c = run(argv);
        EXPECT_EQ(c.status, 2) << describe(c);
        EXPECT_EQ(
            c.err,
            "vmconfig-cli: " + zeros +
                ": The file holds no configuration: every data byte is 0x00 (a zeroed or erased file).\n")
            << describe(c);
        EXPECT_EQ(c.out, "") << describe(c);
    }
    // A port that does not exist is not even looked at.
    const Captured c = run({"--port", "/nonexistent/tty", "write", zeros});
    EXPECT_EQ(c.status, 2) << describe(c);
    EXPECT_NE(c.err.find("no configuration"), std::string::npos) << describe(c);
}

// A damaged parameter map is refused by name before connecting, instead of reading wrong addresses.
TEST(Commands, ADamagedMapIsRefusedByName) {
    QTemporaryDir dir;
    const std::filesystem::path maps = dir.path().toStdString();
    for (const char* name : {"W0482.inx", "W0482BV00.inx"})
        std::filesystem::copy_file(std::filesystem::path(VM_BIN_DIR) / name, maps / name);
    // Record 241 of the map holds no parameter; give it a command byte that names no memory space.
    std::fstream map(maps / "W0482BV00.inx", std::ios::in | std::ios::out | std::ios::binary);
    map.seekp(240 * 9);
    map.write("\x00\x10\xF3", 3);
    map.close();
    const Captured c = run({"--simulate", "--maps", maps.string(), "get", "1850"});
    EXPECT_EQ(c.status, 2) << describe(c);
    EXPECT_NE(c.err.find("\"W0482BV00.inx\" is damaged"), std::string::npos) << describe(c);
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << describe(c);
    EXPECT_EQ(c.out, "") << describe(c);
}
