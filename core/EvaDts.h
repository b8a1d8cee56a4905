#pragma once
// Audit reports in the vending industry's data transfer format (EVA-DTS, the DEX/UCS data format, version
// 6.1): one segment a line, ended by CR LF, elements separated by '*'. A report is framed by DXS and ST and
// closed by G85 (a CRC-16 of the report), SE (the segment count) and DXE. Plain C++.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::evadts {

struct Segment {
    std::string id;                    // "VA1", "PA2", ...
    std::vector<std::string> elements; // element 01 first; an empty element: a value the machine does not hold

    bool operator==(const Segment&) const = default;
};

// The CRC that G85 carries: CRC-16 with the polynomial x^16 + x^15 + x^2 + 1, bits taken least significant
// first, starting from 0, over every byte from the "S" of ST up to the CR LF that ends the segment before G85.
std::uint16_t Crc16(std::string_view bytes);

// The whole report: DXS (with `senderId`), ST, the body, G85, SE and DXE, each ended by CR LF. Empty elements
// at the end of a segment are left out; a '*' or a control character inside an element becomes a blank.
std::string WriteReport(std::string_view senderId, const std::vector<Segment>& body);

struct ReadSegment {
    Segment segment;
    int line = 0; // 1-based line of the file
};

struct Report {
    std::vector<ReadSegment> segments; // DXS .. DXE as the file has them
    std::string error;                 // empty: well formed
    int errorLine = 0;
    std::optional<std::uint16_t> storedCrc; // what G85 says; none when the report has no G85
    int crcLine = 0;
    std::uint16_t computedCrc = 0; // over the segments from ST to the one before G85

    bool ok() const { return error.empty(); }
    bool crcMatches() const { return !storedCrc || *storedCrc == computedCrc; }
};

// Reads a report, ours or another machine's. Lines may end in CR LF or LF alone; the CRC is computed over the
// segments with CR LF, as the standard defines it, so a file whose line ends were converted still checks.
// The first fault found makes the report malformed: a line that is no segment, a control character, the
// frame out of order (DXS, ST ... SE, DXE), a G85 that is no 4-digit hexadecimal number, an SE count that
// does not match.
Report ReadReport(std::string_view text);

// The standard's name of element `position` (from 1) of segment `id`, or empty when the dictionary has none.
std::string_view FieldName(std::string_view id, int position);

} // namespace vm::evadts
