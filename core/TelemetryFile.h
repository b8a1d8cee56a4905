#pragma once
// Telemetry settings files (".tlm"): the 625-byte settings record of the telemetry window in the protected
// format of configuration files (every record byte followed by a filler byte, then the checksum trailer),
// 1253 bytes in all.
//
// The record: a header naming the file, the board and the machine it was saved from, then the telemetry
// settings, record byte 76 + (a - 3824) holding board address a for a = 3824..4372.

#include "ConfigFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr int kTelemetryRecordSize = 625;
inline constexpr int kTelemetryFileSize = 2 * kTelemetryRecordSize + 3;
inline constexpr int kTelemetryFirstAddress = 3824;
inline constexpr int kTelemetryLastAddress = 4372;
inline constexpr int kTelemetrySettingsSize = kTelemetryLastAddress - kTelemetryFirstAddress + 1;

// Record offsets.
namespace TelemetryPos {
inline constexpr int Name = 0;            // 13 bytes, padded with 0xFF, then 19 bytes 0xFF
inline constexpr int Marker = 32;         // "DT"
inline constexpr int BoardType = 34;      // 4 decimal digits
inline constexpr int Edition = 38;        // "A".."E"
inline constexpr int Software = 39;       // "A" + software number
inline constexpr int CouplingDigits = 40; // 2 digits chosen by the coupled-machine byte
inline constexpr int ModelCode = 49;
inline constexpr int MachineByte = 58;
inline constexpr int ConfigBytes = 59; // 9 bytes, the last the coupled-machine byte
inline constexpr int CouplingByte = 67;
inline constexpr int UnitCodes = 68; // 4 bytes
inline constexpr int Settings = 76;  // board addresses 3824..4372
} // namespace TelemetryPos

// The record offset of board address a (3824..4372).
constexpr int TelemetryOffset(int address) { return TelemetryPos::Settings + address - kTelemetryFirstAddress; }
constexpr bool IsTelemetryAddress(int address) {
    return address >= kTelemetryFirstAddress && address <= kTelemetryLastAddress;
}

// The messages of a file that fails its checks (the system's own texts).
inline constexpr std::string_view kTelemetryInvalidText = "Error File : Isn't a valid File";
inline constexpr std::string_view kTelemetryErrorTitle = "ERROR";

using TelemetryRecord = std::array<std::uint8_t, kTelemetryRecordSize>;

// What the header says about the board and the machine. Saving takes it from the connected board, or from
// the last opened file while offline.
struct TelemetryHeader {
    int boardType = 0;
    int edition = 0;    // 0..4 for "A".."E"
    int software = 255; // 255: none known ("A")
    std::uint8_t modelCode = 0;
    std::uint8_t machineByte = 0;
    std::array<std::uint8_t, 9> configBytes{}; // the last is the coupled-machine byte
    std::array<std::uint8_t, 4> unitCodes{};

    bool operator==(const TelemetryHeader&) const = default;
};

// The two digits of the coupled-machine byte ("97", "95", "92", "60", "47"; "00" for any other value).
std::string_view CouplingDigits(std::uint8_t couplingByte);

// Writes the header fields and the name field of `fileTitle` into the record; the settings stay as they are.
void WriteTelemetryHeader(TelemetryRecord& record, const TelemetryHeader& header, std::string_view fileTitle);
// The header values a record carries (a letter outside "A".."E" reads as edition 0).
TelemetryHeader ReadTelemetryHeader(const TelemetryRecord& record);

// The 1253 bytes of the protected file.
std::vector<std::uint8_t> EncodeTelemetryFile(const TelemetryRecord& record, const FillerSource& fillers);

struct TelemetryReadResult {
    TelemetryRecord record{};
    std::string error; // empty on success, else the message to show
    bool ok() const { return error.empty(); }
};
// Checks the length, the trailer mark, the checksum and the "DT" marker, then takes the record bytes.
TelemetryReadResult DecodeTelemetryBytes(std::span<const std::uint8_t> bytes);
TelemetryReadResult ReadTelemetryFile(const std::filesystem::path& path);

// Writes the record with the header and the name field of the path's file name. The previous file is
// replaced only once the new one is completely written. Returns an error text, empty on success.
std::string SaveTelemetryFile(const std::filesystem::path& path, TelemetryRecord record,
                              const TelemetryHeader& header, const FillerSource& fillers = RandomFillers());

} // namespace vm
