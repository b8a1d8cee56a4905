#include "ParamMap.h"

#include "FileIO.h"
#include "MapChecks.h"

#include <algorithm>
#include <cstdio>

namespace vm {

namespace {

// Type code 5 with 1..4 value bytes: the configuration bytes the address report covers.
bool isUsedConfigCommand(std::uint8_t command) {
    return command >= 0x50 && command <= 0x53;
}

std::string fourDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", value);
    return text;
}

std::string paramMapFileNameFor(int boardType, int software, int revision) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", revision);
    const char letter = static_cast<char>(('A' + software) & 0xFF);
    return "W" + fourDigits(boardType) + "B" + letter + digits + ".inx";
}

// The largest map files read: a full parameter table (and a partial record), and an identification map
// far longer than its 20 records.
constexpr std::uintmax_t kMaxParamMapSize = static_cast<std::uintmax_t>(kMaxRecords + 1) * kMapRecordSize - 1;
constexpr std::uintmax_t kMaxIdentMapSize = 4096;

// Reads a whole byte file; false when it cannot be opened or read, and `why` says why.
bool readFile(const std::filesystem::path& file, std::uintmax_t maxBytes, std::vector<std::uint8_t>& bytes,
              std::string& why) {
    auto read = ReadWholeFile(file, maxBytes, &why);
    if (!read) return false;
    bytes = std::move(*read);
    return true;
}

std::string fileLabel(const std::filesystem::path& file) {
    return "\"" + file.filename().string() + "\"";
}

bool isBank(int bank) {
    return bank >= 0 && bank < kBankCount;
}

MapLoadResult noSuchBank(int bank) {
    MapLoadResult result;
    result.error = "There is no bank " + std::to_string(bank) + ".";
    return result;
}

} // namespace

std::string IdentMapFileName(int defaultBoardType) {
    return "W" + fourDigits(defaultBoardType) + ".inx";
}

std::string ParamMapFileName(int software, int revision) {
    return paramMapFileNameFor(482, software, revision);
}

MapLoadResult LoadIdentMap(ProgramState& state, const std::filesystem::path& programDir, int bank) {
    if (!isBank(bank)) return noSuchBank(bank);
    MapLoadResult result;
    auto& entries = state.IdentMap.at(static_cast<std::size_t>(bank));
    for (auto& entry : entries)
        entry.fill(0);

    const std::filesystem::path file = programDir / IdentMapFileName(state.DefaultBoardType);
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!readFile(file, kMaxIdentMapSize, bytes, why)) {
        result.error = "Cannot read the identification map " + fileLabel(file) + ": it " + why + ".";
        return result;
    }
    if (const std::string fault = IdentMapFault(bytes); !fault.empty()) {
        result.error = "The identification map " + fileLabel(file) + " is damaged: " + fault + ".";
        return result;
    }
    const int records =
        std::min<int>(static_cast<int>(bytes.size() / kIdentFileRecordSize), kIdentRecordCount);
    for (int k = 0; k < records; ++k) {
        const std::uint8_t* r = bytes.data() + static_cast<std::size_t>(k) * kIdentFileRecordSize;
        // bytes 1..4, two NULs (watch count, flags), byte 5 (page), four NULs
        entries[static_cast<std::size_t>(k)] = {r[0], r[1], r[2], r[3], 0, 0, r[4], 0, 0, 0, 0};
    }
    result.ok = true;
    result.records = records;
    return result;
}

MapLoadResult LoadParamMap(ProgramState& state, const std::filesystem::path& file, int bank) {
    if (!isBank(bank)) return noSuchBank(bank);
    MapLoadResult result;
    state.ClearBank(bank);

    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!readFile(file, kMaxParamMapSize, bytes, why)) {
        result.error = "Cannot read the parameter map " + fileLabel(file) + ": it " + why + ".";
        return result;
    }
    if (const std::string fault = ParamMapFault(bytes); !fault.empty()) {
        result.error = "The parameter map " + fileLabel(file) + " is damaged: " + fault + ".";
        return result;
    }
    const std::size_t records = bytes.size() / kMapRecordSize; // a partial last record is not read
    for (std::size_t k = 0; k < records; ++k) {
        std::span<const std::uint8_t, kMapRecordSize> record(bytes.data() + k * kMapRecordSize,
                                                             kMapRecordSize);
        state.FillCellFromMapRecord(static_cast<int>(k) + 1, bank, record);
    }
    state.RecordCount[static_cast<std::size_t>(bank)] = static_cast<std::uint16_t>(records);
    result.ok = true;
    result.records = static_cast<int>(records);
    return result;
}

std::vector<std::pair<int, int>> UsedAddressRanges(const ProgramState& state, int bank) {
    if (!isBank(bank)) return {};
    std::vector<bool> marks(kUsedAddressMarkCount, false);
    const int count = state.RecordCount[static_cast<std::size_t>(bank)];
    for (int index = 1; index <= count; ++index) {
        const ParamCell& cell = state.cell(index, bank);
        if (!isUsedConfigCommand(cell.at(CellPos::Command))) continue;
        const int first = cell.boardAddress();
        for (int a = first; a < first + cell.valueSize() && a < kUsedAddressMarkCount; ++a)
            marks[static_cast<std::size_t>(a)] = true;
    }

    std::vector<std::pair<int, int>> ranges;
    int a = kReportFirstAddress;
    while (a < kReportEndAddress) {
        if (!marks[static_cast<std::size_t>(a)]) {
            ++a;
            continue;
        }
        int b = a + 1;
        while (b < kUsedAddressMarkCount && marks[static_cast<std::size_t>(b)])
            ++b;
        ranges.emplace_back(a, b - 1);
        a = b;
    }
    return ranges;
}

MapLoadResult WriteAddressMap(ProgramState& state, const std::filesystem::path& programDir,
                              const std::filesystem::path& reportDir) {
    const MapLoadResult ident = LoadIdentMap(state, programDir, 0);

    state.BoardPresent[0] = true;
    state.BoardType = state.DefaultBoardType;
    state.BoardSoftware = state.RequiredSoftware;
    state.BoardRevision = state.DefaultRevision;
    state.CurrentBank = 0;
    const std::filesystem::path mapFile =
        programDir /
        paramMapFileNameFor(state.DefaultBoardType, state.RequiredSoftware, state.DefaultRevision);
    MapLoadResult result = LoadParamMap(state, mapFile, 0);
    if (!result.ok) {
        // Without a map nothing can be watched: the program stays offline over an empty table.
        state.BoardPresent[0] = false;
        state.Online = false;
        return result;
    }
    if (!ident.ok) {
        result.ok = false;
        result.error = ident.error;
    }

    // The report lists the configuration bytes of the map, one run per line, Windows line ends.
    const std::filesystem::path report = (reportDir.empty() ? programDir : reportDir) / kAddressReportFileName;
    std::string text;
    for (const auto& [first, last] : UsedAddressRanges(state, 0))
        text += std::to_string(first) + '-' + std::to_string(last) + "\r\n";
    const std::string error = WriteFileReplacing(
        report, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!error.empty() && result.ok) result.error = error;
    return result;
}

} // namespace vm
