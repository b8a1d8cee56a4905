#include "TelemetryFile.h"

#include "FileIO.h"

#include <algorithm>

namespace vm {

namespace {

constexpr int kNamePaddingEnd = 32;
constexpr int kBlanksFirst = 43;
constexpr int kBlanksEnd = 48;
constexpr int kSeparator = 48; // 0x40 between the identification text and the machine bytes
constexpr int kZeroesEnd = 58;
constexpr int kUnitMarksFirst = 72;

char letter(int value, int last) { return value >= 0 && value <= last ? static_cast<char>('A' + value) : 'A'; }

} // namespace

std::string_view CouplingDigits(std::uint8_t couplingByte) {
    switch (couplingByte) {
    case 1: return "97";
    case 2: return "95";
    case 3: return "92";
    case 4: return "60";
    case 5: return "47";
    default: return "00";
    }
}

void WriteTelemetryHeader(TelemetryRecord& r, const TelemetryHeader& h, std::string_view fileTitle) {
    const std::string name = RecordNameField(fileTitle, static_cast<char>(0xFF));
    std::copy(name.begin(), name.end(), r.begin());
    std::fill(r.begin() + static_cast<int>(name.size()), r.begin() + kNamePaddingEnd, std::uint8_t{0xFF});
    r[TelemetryPos::Marker] = 'D';
    r[TelemetryPos::Marker + 1] = 'T';
    int type = std::max(0, h.boardType) % 10000;
    for (int i = 3; i >= 0; --i) {
        r[static_cast<std::size_t>(TelemetryPos::BoardType + i)] = static_cast<std::uint8_t>('0' + type % 10);
        type /= 10;
    }
    r[TelemetryPos::Edition] = static_cast<std::uint8_t>(letter(h.edition, 4));
    r[TelemetryPos::Software] = static_cast<std::uint8_t>(letter(h.software, 25));
    const std::string_view digits = CouplingDigits(h.configBytes.back());
    r[TelemetryPos::CouplingDigits] = static_cast<std::uint8_t>(digits[0]);
    r[TelemetryPos::CouplingDigits + 1] = static_cast<std::uint8_t>(digits[1]);
    r[TelemetryPos::CouplingDigits + 2] = 0;
    std::fill(r.begin() + kBlanksFirst, r.begin() + kBlanksEnd, std::uint8_t{' '});
    r[kSeparator] = 0x40;
    r[TelemetryPos::ModelCode] = h.modelCode;
    std::fill(r.begin() + TelemetryPos::ModelCode + 1, r.begin() + kZeroesEnd, std::uint8_t{0});
    r[TelemetryPos::MachineByte] = h.machineByte;
    std::copy(h.configBytes.begin(), h.configBytes.end(), r.begin() + TelemetryPos::ConfigBytes);
    std::copy(h.unitCodes.begin(), h.unitCodes.end(), r.begin() + TelemetryPos::UnitCodes);
    std::fill(r.begin() + kUnitMarksFirst, r.begin() + TelemetryPos::Settings, std::uint8_t{0xFF});
}

TelemetryHeader ReadTelemetryHeader(const TelemetryRecord& r) {
    TelemetryHeader h;
    h.boardType = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = r[static_cast<std::size_t>(TelemetryPos::BoardType + i)] - '0';
        h.boardType = h.boardType * 10 + (digit >= 0 && digit <= 9 ? digit : 0);
    }
    const int edition = r[TelemetryPos::Edition] - 'A';
    h.edition = edition >= 0 && edition <= 4 ? edition : 0;
    const int software = r[TelemetryPos::Software] - 'A';
    // "A" stands both for software 0 and for none known: it reads back as 0, which writes "A" again.
    h.software = software >= 0 && software <= 25 ? software : 255;
    h.modelCode = r[TelemetryPos::ModelCode];
    h.machineByte = r[TelemetryPos::MachineByte];
    std::copy_n(r.begin() + TelemetryPos::ConfigBytes, h.configBytes.size(), h.configBytes.begin());
    std::copy_n(r.begin() + TelemetryPos::UnitCodes, h.unitCodes.size(), h.unitCodes.begin());
    return h;
}

std::vector<std::uint8_t> EncodeTelemetryFile(const TelemetryRecord& record, const FillerSource& fillers) {
    return EncodeProtectedRecord(record, fillers);
}

TelemetryReadResult DecodeTelemetryBytes(std::span<const std::uint8_t> bytes) {
    TelemetryReadResult result;
    constexpr auto dataSize = static_cast<std::size_t>(2 * kTelemetryRecordSize);
    if (bytes.size() != static_cast<std::size_t>(kTelemetryFileSize) ||
        bytes[dataSize + 1] != kProtectedTrailerMark) {
        result.error = std::string(kTelemetryInvalidText);
        return result;
    }
    if (!ProtectedChecksumMatches(bytes, kTelemetryRecordSize)) {
        result.error = std::string(kErrorFileText);
        return result;
    }
    for (std::size_t i = 0; i < result.record.size(); ++i)
        result.record[i] = bytes[2 * i];
    if (result.record[TelemetryPos::Marker] != 'D' || result.record[TelemetryPos::Marker + 1] != 'T') {
        result.record = {};
        result.error = std::string(kTelemetryInvalidText);
    }
    return result;
}

TelemetryReadResult ReadTelemetryFile(const std::filesystem::path& path) {
    std::string why;
    // Far above the one valid length, so that any file of a sane size gets the file-check message.
    const auto bytes = ReadWholeFile(path, kMaxConfigFileSize, &why);
    if (!bytes) {
        TelemetryReadResult result;
        result.error = "Cannot read " + path.filename().string() + ": it " + why;
        return result;
    }
    return DecodeTelemetryBytes(*bytes);
}

std::string SaveTelemetryFile(const std::filesystem::path& path, TelemetryRecord record,
                              const TelemetryHeader& header, const FillerSource& fillers) {
    WriteTelemetryHeader(record, header, path.filename().string());
    return WriteFileReplacing(path, EncodeTelemetryFile(record, fillers));
}

} // namespace vm
