#pragma once
// The board's parameter-map files: the identification map "W0482.inx" (5-byte records) and the firmware
// maps such as "W0482BV00.inx" (9-byte records, record k = parameter index k), the start-up load that
// builds the parameter table from them, and the address-range report "Seriale.rus".

#include "ProgramState.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vm {

inline constexpr int kIdentFileRecordSize = 5;
inline constexpr int kUsedAddressMarkCount = 33281; // UsedAddressMarks covers addresses 0..33280
inline constexpr int kReportFirstAddress = 15;      // "Seriale.rus" scans from here ...
inline constexpr int kReportEndAddress = 32000;     // ... up to (not including) here
inline constexpr const char* kAddressReportFileName = "Seriale.rus";

struct MapLoadResult {
    bool ok = false;
    std::string
        error; // names the file that failed; with ok, a warning (the address report could not be written)
    int records = 0;
};

// "W" + the board type as 4 digits + ".inx": "W0482.inx".
std::string IdentMapFileName(int defaultBoardType);
// "W0482B" + char('A' + software) + 2-digit revision + ".inx": software 21, revision 0 give "W0482BV00.inx".
std::string ParamMapFileName(int software, int revision);

// Loads the identification map named from the bank's board type into IdentMap of the bank (at most 20
// records; a partial last record is not read). Record k (1-based) becomes IdentMap[bank][k - 1]. A map that
// breaks the rules of MapChecks.h is refused with an error naming the file and leaves the entries empty.
MapLoadResult LoadIdentMap(ProgramState& state, const std::filesystem::path& programDir, int bank);

// Loads a parameter map into the bank: record k fills cell k, RecordCount = number of records, every
// other cell of the bank is cleared. A missing or unreadable file, one with more records than the table
// holds, or one that breaks the rules of MapChecks.h leaves the bank empty (RecordCount 0) and reports an
// error naming the file.
MapLoadResult LoadParamMap(ProgramState& state, const std::filesystem::path& file, int bank);

// The runs [first, last] of board addresses used by the 1..4-byte parameters of memory space 5 of the
// bank (the UsedAddressMarks of the start-up load), in ascending order, limited to the report's range.
std::vector<std::pair<int, int>> UsedAddressRanges(const ProgramState& state, int bank);

// The start-up load: identification map, default identification data, the default parameter map into
// bank 0, and the report "Seriale.rus" (one "first-last" line per run, CR LF) in the program folder, or in
// reportDir when given (an installed program's data folder is read-only).
// A parameter map that cannot be loaded leaves the state offline with an empty bank 0 and BoardPresent
// False; a missing identification map is reported (ok False) but the parameter map is still loaded.
MapLoadResult WriteAddressMap(ProgramState& state, const std::filesystem::path& programDir,
                              const std::filesystem::path& reportDir = {});

} // namespace vm
