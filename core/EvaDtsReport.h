#pragma once
// The board's sales data as an EVA-DTS audit report. One builder for every caller: the values come from a
// source that answers by parameter index (the live parameter table, or the values the command line read), so
// the window's export and `vmconfig-cli audit --format eva-dts` write the same report.
//
// Board counter -> element (an element the board holds nothing for stays empty):
//   ID1   02 machine model code (11733); 01 serial, 03..06 empty
//   ID4   01 decimal point (1823 AND 3); 02, 03 currency empty (the board holds none)
//   ID5   01, 02 date and time of the reading (the computer's clock)
//   CB1   02 board type, 03 software.revision.release (identification); 01 serial empty
//   VA1   01 total all (11434), 02 vend count (11440), 03 total all resettable (11435), 04 vend count
//         resettable (11441)
//   VA2   02 test vend total (11450), 04 resettable (11451); 01, 03 values empty
//   VA3   02 free vend total (11448), 04 resettable (11449); 01, 03 values empty
//   CA3   06 coins to the cash box (11478), 07 coins to the tubes (11467), 08 banknotes (11479), from the MDB
//         audit, which nothing resets; 01..05 empty. No CA2: the totals do not tell cash from other payments.
//   CA11  per coin channel with a value or a count: 01 value (12505 + c), 02 count since reset (1786 + c)
//   CA14  per banknote channel likewise: 01 value (12521 + c), 02 count since reset (1803 + c)
//   PA1   per sector with a vend: 01 unit and sector ("110" = unit 1, sector 10), 02 the price of its price
//         number (8471 + n - 1); per jug beverage with a vend: 01 "J" unit beverage ("J103"), 02 likewise
//   PA2   03 paid vends since reset (vend counters, jug vend counters); 01, 02, 04 empty
//   PA3   03 test vends since reset; PA4 03 free vends since reset (jug: slaves 1 and 2 only)
//   EA1   per alarm of the log, newest first: 01 code (with "/detail" for 144..146), 02 date, 03 time
// Not in the report: the hot and snack totals, discounts and overpay, the paid vend totals 11442..11447,
// the jug totals, the key and token values of the MDB audit.

#include "EvaDts.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class ProgramState;

struct BoardIdentity {
    int boardType = 0;
    int software = 0;
    int revision = 0;
    double release = 0;
};
BoardIdentity IdentityOf(const ProgramState& state);

struct ReadingTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// The computer's local time now.
ReadingTime ReadingTimeNow();

// The value of a parameter as the board delivered it, or nothing when it was not read.
using AuditSource = std::function<std::optional<std::uint32_t>(int index)>;

// Every parameter the report is made of: the audit values and the configuration that prices them.
std::vector<int> EvaDtsParams();

std::vector<evadts::Segment> EvaDtsBody(const AuditSource& value, const BoardIdentity& board,
                                        const ReadingTime& readAt);
// The whole report text.
std::string EvaDtsReport(const AuditSource& value, const BoardIdentity& board, const ReadingTime& readAt);

} // namespace vm
