#pragma once
// Configuration files: the 13004-byte configuration record and the three file kinds that carry it.
//
//   protected (".prm", the only kind written): every record byte followed by a random filler byte, then the
//             checksum trailer (low byte, 0x07, high byte); exactly 26011 bytes.
//   plain     (".prm"/".spf" of exactly 13004 bytes): the record bytes only; no checksum.
//   ".cfx"    (the file name's last suffix is ".cfx", exact case): ConfigImage 0..12927 raw; its first four
//             bytes are also the unit codes; bytes past the image are ignored.
//
// Reading checks everything before anything is stored: a file that fails leaves every image untouched. A
// file whose data are all 0x00 or all 0xFF (a zeroed or erased disk block) is refused in every format.

#include "ProgramState.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr int kConfigRecordSize = 13004;
inline constexpr int kProtectedDataSize = 2 * kConfigRecordSize; // record and filler bytes
inline constexpr int kProtectedFileSize = kProtectedDataSize + 3;
inline constexpr std::uint8_t kProtectedTrailerMark = 0x07;
// No configuration file is larger: a ".cfx" image may carry more of the board's 64 KiB memory than it uses.
inline constexpr int kMaxConfigFileSize = 65536;

// Record offsets.
namespace RecordPos {
inline constexpr int Name = 0; // 13 bytes
inline constexpr int NameLength = 13;
inline constexpr int BoardType = 34;      // 4 decimal digits after "DT"
inline constexpr int SoftwareLetter = 39; // after "A"
inline constexpr int ModelCode = 49;      // AuxImage byte 8
inline constexpr int AuxByte9 = 58;
inline constexpr int Aux32 = 59;     // AuxImage bytes 32..34
inline constexpr int Param1850 = 62; // 3 bytes
inline constexpr int Param1851 = 65; // 2 bytes
inline constexpr int Param1844 = 67; // 1 byte
inline constexpr int UnitCodes = 68; // 4 bytes
inline constexpr int Image = 76;     // ConfigImage 0..12927
} // namespace RecordPos

// ConfigImage bytes 0..15 travel in the record but the record formats never load them back.
inline constexpr int kRecordImageLoadFirst = 16;

// The message of a protected file whose checksum does not match (the system's own text).
inline constexpr std::string_view kErrorFileText = " Attention : Error File!!  ";

using ConfigRecord = std::array<std::uint8_t, kConfigRecordSize>;

enum class ConfigFileKind { Protected, Plain, Cfx };

// The 13 bytes of the name field for a file name without folder (see the record layout), padded with `pad`.
std::string RecordNameField(std::string_view fileTitle, char pad = ' ');
// The edition letter of a board software number: 0 "A" .. 4 "E", 21 "V", anything else "A".
char SoftwareLetter(int software);

// Builds the record from the current images and identification data.
ConfigRecord BuildConfigRecord(const ProgramState& state, std::string_view fileTitle);

// A source of filler bytes 0..254. Tests pass a fixed sequence; saving uses RandomFillers().
using FillerSource = std::function<std::uint8_t()>;
FillerSource RandomFillers();

// The sum of the bytes modulo 65536, as the protected trailer stores it.
std::uint16_t ProtectedChecksum(std::span<const std::uint8_t> bytes);
// The protected form of any record: every byte followed by a filler byte, then the checksum trailer
// (2 x size + 3 bytes).
std::vector<std::uint8_t> EncodeProtectedRecord(std::span<const std::uint8_t> record, const FillerSource& fillers);
// The 26011 bytes of a protected file holding the record.
std::vector<std::uint8_t> EncodeProtected(const ConfigRecord& record, const FillerSource& fillers);
// Whether the trailer of a protected file of `recordSize` record bytes holds the sum of the bytes before it
// (the file must be at least 2 x recordSize + 3 bytes long).
bool ProtectedChecksumMatches(std::span<const std::uint8_t> file, int recordSize);

// What a configuration file carries into the images, detached from any ProgramState.
struct ConfigFileData {
    ConfigFileKind kind = ConfigFileKind::Protected;
    // The whole record for protected and plain files (name, board type, copies of 1850/1851/1844 included);
    // for ".cfx" files a record built around the raw image (name field blank).
    ConfigRecord record{};

    std::array<std::uint8_t, 4> unitCodes() const;
    std::uint8_t modelCode() const { return record[RecordPos::ModelCode]; }
    std::array<std::uint8_t, 3> aux32() const;
    // ConfigImage byte a (0..12927) as the file holds it.
    std::uint8_t imageByte(int address) const { return record[RecordPos::Image + address]; }
    // The first ConfigImage byte that loading stores: 0 for ".cfx", 16 for the record formats.
    int imageLoadFirst() const { return kind == ConfigFileKind::Cfx ? 0 : kRecordImageLoadFirst; }
};

struct ConfigReadResult {
    ConfigFileData data;
    std::string error; // empty on success; kErrorFileText for a wrong checksum
    bool ok() const { return error.empty(); }
};

// Decides the kind from the file name (exact-case last suffix ".cfx") and the length, and checks it.
ConfigReadResult DecodeConfigBytes(std::span<const std::uint8_t> bytes, std::string_view fileTitle);
// Reads and decodes a file without touching any state (show, diff).
ConfigReadResult ReadConfigFile(const std::filesystem::path& path);
// Stores what loading stores: UnitCodes; for the record formats also AuxImage 8 (and ModelCode),
// AuxImage 32..34 and ConfigImage 16..12927; for ".cfx" ConfigImage 0..12927.
void ApplyConfigFile(const ConfigFileData& data, ProgramState& state);

struct ConfigLoadResult {
    ConfigFileKind kind = ConfigFileKind::Protected;
    std::string error; // empty on success
    bool ok() const { return error.empty(); }
};
// The record of a file's data as a protected file named fileTitle holds it: the name field for the title and
// the copies of 1850, 1851 and 1844 taken from the image; a ".cfx" image gets the fields a save writes
// (the default board's type and edition, the unit codes from the image).
ConfigRecord RecordForSaving(const ConfigFileData& data, std::string_view fileTitle);

// Reads, checks and then stores a configuration file into the state. On any error nothing changes.
ConfigLoadResult LoadConfigFile(const std::filesystem::path& path, ProgramState& state);

// Writes the state as a protected file (the name field from the path's file name). The previous file is
// replaced only once the new one is completely written. Returns an error text, empty on success.
std::string SaveProtectedConfig(const std::filesystem::path& path, const ProgramState& state,
                                const FillerSource& fillers = RandomFillers());

} // namespace vm
