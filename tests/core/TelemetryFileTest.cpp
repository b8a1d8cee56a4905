#include "FileIO.h"
#include "TelemetryFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t settingAt(int address) { return static_cast<std::uint8_t>((address * 5 + address / 256) & 0xFF); }

vm::TelemetryRecord recordWithSettings() {
    vm::TelemetryRecord r{};
    for (int a = 3824; a <= 4372; ++a)
        r[static_cast<std::size_t>(76 + a - 3824)] = settingAt(a);
    return r;
}

vm::TelemetryHeader sampleHeader() {
    vm::TelemetryHeader h;
    h.boardType = 482;
    h.edition = 2;
    h.software = 21;
    h.modelCode = 0x33;
    h.machineByte = 0x44;
    h.configBytes = {1, 2, 3, 4, 5, 6, 7, 8, 2};
    h.unitCodes = {0x11, 0x22, 0x33, 0x44};
    return h;
}

vm::FillerSource countingFillers() {
    auto n = std::make_shared<int>(0);
    return [n] { return static_cast<std::uint8_t>((*n)++ % 255); };
}

Bytes recordPart(const Bytes& file, int first, int length) {
    Bytes out;
    for (int r = first; r < first + length; ++r)
        out.push_back(file[static_cast<std::size_t>(2 * r)]);
    return out;
}

TEST(TelemetryFile, ASavedFileHasTheRecordLayoutFillersAndTrailer) {
    vmtest::TempDir dir;
    const auto path = dir / "gsm-site.tlm";
    ASSERT_EQ(vm::SaveTelemetryFile(path, recordWithSettings(), sampleHeader(), countingFillers()), "");
    const Bytes file = vm::ReadWholeFile(path, 4096).value();
    ASSERT_EQ(file.size(), 1253u);

    // Every record byte is followed by the next filler of the source; the trailer is low, 0x07, high.
    unsigned sum = 0;
    for (std::size_t i = 0; i < 1250; ++i) {
        if (i % 2 == 1) {
            ASSERT_EQ(file[i], (i / 2) % 255) << i;
        }
        sum += file[i];
    }
    EXPECT_EQ(Bytes(file.begin() + 1250, file.end()), (Bytes{static_cast<std::uint8_t>(sum & 0xFF), 0x07,
                                                             static_cast<std::uint8_t>((sum >> 8) & 0xFF)}));

    Bytes name{'g', 's', 'm', '-', 's', 'i', 't', 'e'};
    name.resize(32, 0xFF);
    EXPECT_EQ(recordPart(file, 0, 32), name);
    const std::string ident = "DT0482CV95";
    EXPECT_EQ(recordPart(file, 32, 10), Bytes(ident.begin(), ident.end()));
    EXPECT_EQ(recordPart(file, 42, 34),
              (Bytes{0,    ' ', ' ', ' ', ' ', ' ', 0x40, 0x33, 0,    0,    0,    0,    0,    0,    0,    0,   0x44,
                     1,    2,   3,   4,   5,   6,   7,    8,    2,    0x11, 0x22, 0x33, 0x44, 0xFF, 0xFF, 0xFF, 0xFF}));
    // Board address a stands at record byte 76 + (a - 3824): 3824 at file offset 152, 4372 at 1248.
    EXPECT_EQ(file[152], settingAt(3824));
    EXPECT_EQ(file[2 * (76 + 4008 - 3824)], settingAt(4008));
    EXPECT_EQ(file[2 * (76 + 4031 - 3824)], settingAt(4031));
    EXPECT_EQ(file[1248], settingAt(4372));
    for (int a = 3824; a <= 4372; ++a)
        ASSERT_EQ(file[static_cast<std::size_t>(2 * (76 + a - 3824))], settingAt(a)) << a;
}

TEST(TelemetryFile, HeaderFieldsForOtherNamesBoardsAndCoupledMachines) {
    vm::TelemetryRecord r{};
    vm::TelemetryHeader h;
    h.boardType = 12345; // the last four digits
    h.edition = 7;       // outside A..E
    h.software = 255;    // none known
    const std::pair<std::uint8_t, std::string> couplings[] = {{0, "00"}, {1, "97"}, {2, "95"}, {3, "92"},
                                                              {4, "60"}, {5, "47"}, {6, "00"}};
    for (const auto& [coupling, digits] : couplings) {
        h.configBytes.back() = coupling;
        vm::WriteTelemetryHeader(r, h, "ABCDEFGHIJKLMNOP.tlm");
        EXPECT_EQ(std::string(r.begin(), r.begin() + 13), "ABCDEFGHIJKLM");
        EXPECT_EQ(std::string(r.begin() + 32, r.begin() + 42), "DT2345AA" + digits) << int(coupling);
    }
    vm::WriteTelemetryHeader(r, h, "ABCDEFGHIJKL.tlm"); // the dot is the 13th character
    EXPECT_EQ(std::string(r.begin(), r.begin() + 13), "ABCDEFGHIJKL.");
    vm::WriteTelemetryHeader(r, h, "nodot");
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 13), Bytes(13, 0xFF));
}

TEST(TelemetryFile, OpeningASavedFileGivesBackTheRecordAndTheHeaderToKeep) {
    vmtest::TempDir dir;
    const auto path = dir / "a.tlm";
    ASSERT_EQ(vm::SaveTelemetryFile(path, recordWithSettings(), sampleHeader()), "");
    const auto read = vm::ReadTelemetryFile(path);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_TRUE(std::equal(read.record.begin() + 76, read.record.end(), recordWithSettings().begin() + 76));
    EXPECT_EQ(vm::ReadTelemetryHeader(read.record), sampleHeader());
}

TEST(TelemetryFile, AFileThatFailsAnyCheckIsRefusedWithItsMessage) {
    vm::TelemetryRecord record = recordWithSettings();
    vm::WriteTelemetryHeader(record, sampleHeader(), "x.tlm");
    const Bytes good = vm::EncodeTelemetryFile(record, countingFillers());
    ASSERT_TRUE(vm::DecodeTelemetryBytes(good).ok());
    const std::string invalid = "Error File : Isn't a valid File";

    Bytes changed = good;
    changed[2 * 100] ^= 0x01; // a settings byte
    EXPECT_EQ(vm::DecodeTelemetryBytes(changed).error, " Attention : Error File!!  ");
    changed = good;
    changed[1251] = 0x06;
    EXPECT_EQ(vm::DecodeTelemetryBytes(changed).error, invalid);
    EXPECT_EQ(vm::DecodeTelemetryBytes(Bytes(good.begin(), good.end() - 1)).error, invalid);
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_EQ(vm::DecodeTelemetryBytes(longer).error, invalid);
    EXPECT_EQ(vm::DecodeTelemetryBytes(Bytes{}).error, invalid);

    // A configuration record cut to this size with a matching checksum is still no telemetry file: no "DT".
    changed = good;
    changed[2 * 33] = 'X';
    changed[2 * 33 + 1] = static_cast<std::uint8_t>(changed[2 * 33 + 1] - ('X' - 'T'));
    EXPECT_EQ(vm::DecodeTelemetryBytes(changed).error, invalid);

    vmtest::TempDir dir;
    EXPECT_FALSE(vm::ReadTelemetryFile(dir / "missing.tlm").ok());
    // A huge (sparse) file is refused by its size before anything is read.
    { std::ofstream(dir / "huge.tlm"); }
    std::filesystem::resize_file(dir / "huge.tlm", std::uintmax_t{100} << 20);
    EXPECT_EQ(vm::ReadTelemetryFile(dir / "huge.tlm").error,
              "Cannot read huge.tlm: it is too large (104857600 bytes; at most 65536)");
}

} // namespace
