#include "DemoData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <functional>
#include <numbers>

namespace vm::sim {

std::optional<ParamLocation> ParamLocator::operator()(int index) const {
    if (!records_ || index < 1 || index > static_cast<int>(records_->size())) return std::nullopt;
    const MapRecord& r = (*records_)[index - 1];
    if (r.command == 0) return std::nullopt;
    return ParamLocation{SpaceOfCommand(r.command), r.address, SizeOfCommand(r.command)};
}

int ParamLocator::indexAt(int space, std::uint16_t address, int first, int last) const {
    for (int index = first; index <= last; ++index) {
        const auto at = (*this)(index);
        if (at && at->space == space && static_cast<std::uint16_t>(address - at->address) < at->width)
            return index;
    }
    return 0;
}

namespace {

void put(BoardMemory& memory, const ParamLocator& locate, int index, std::uint32_t value) {
    const auto at = locate(index);
    if (!at) return;
    memory.writeNumber(at->space, at->address, std::min(at->width, 4), value);
}

std::optional<std::uint32_t> get(const BoardMemory& memory, const ParamLocator& locate, int index) {
    const auto at = locate(index);
    if (!at) return std::nullopt;
    return memory.readNumber(at->space, at->address, std::min(at->width, 4));
}

// Every vend counter index: paid, free and test vends (window offsets), four blocks, three ranges.
void forEachVendCounter(const std::function<void(int index, int window, int block, int i)>& visit) {
    for (int window = 0; window < 3; ++window)
        for (int block = 0; block < 4; ++block) {
            for (int i = 0; i < 48; ++i)
                visit(8773 + 48 * window + 176 * block + i, window, block, i);
            for (int i = 0; i < 8; ++i)
                visit(13211 + 32 * window + 8 * block + i, window, block, 48 + i);
            for (int i = 0; i < 14; ++i)
                visit(13766 + 42 * window + 14 * block + i, window, block, 56 + i);
        }
}

// Not resettable totals at even offsets from 11430, resettable at odd ones.
constexpr std::array<std::uint32_t, 12> kTotals = {1254350, 48720, 612900, 20150, 1867250, 68870,
                                                   12400,   1350,  3210,   120,   41873,   1512};
constexpr std::array<std::uint32_t, 6> kJugTotals = {340, 45, 12, 3, 8, 1};
// The audit of an MDB payment system: amounts in the smallest unit, then counts.
constexpr std::array<std::uint32_t, 16> kMdbAudit = {86450, 15200, 9300, 4100, 2250, 600, 1850, 37,
                                                     12400, 62,    150,  23400, 51000, 14, 9, 2};

struct Alarm {
    int hour, minute, day, month, year, code, detail;
};
constexpr std::array<Alarm, 5> kAlarms = {{{7, 12, 3, 11, 25, 3, 0},
                                           {9, 45, 17, 11, 25, 144, 2},
                                           {16, 5, 28, 11, 25, 12, 0},
                                           {11, 30, 2, 12, 25, 145, 1},
                                           {18, 58, 4, 12, 25, 7, 0}}};

} // namespace

void InstallDemoData(BoardMemory& memory, const ParamLocator& locate, std::int64_t clockSeconds) {
    for (std::size_t i = 0; i < kTotals.size(); ++i)
        put(memory, locate, 11430 + static_cast<int>(i), kTotals[i]);
    for (int coin = 0; coin < 16; ++coin)
        put(memory, locate, 1786 + coin, coin < 6 ? 1520u / (coin + 1) + 37u * coin : 0u);
    for (int note = 0; note < 16; ++note)
        put(memory, locate, 1803 + note, note < 3 ? 210u / (note + 1) : 0u);
    forEachVendCounter([&](int index, int window, int block, int i) {
        const bool used = block == 0 && i < 24;
        const std::uint32_t paid = 120u + static_cast<std::uint32_t>((i * 53) % 410);
        put(memory, locate, index, used ? paid / static_cast<std::uint32_t>(1 + 9 * window) : 0u);
    });
    for (std::size_t i = 0; i < kJugTotals.size(); ++i)
        put(memory, locate, 11921 + static_cast<int>(i), kJugTotals[i]);
    for (int i = 0; i < 32; ++i) {
        put(memory, locate, 11927 + i, i < 4 ? 3u + i : 0u);
        put(memory, locate, 11991 + i, i < 2 ? 1u + i : 0u);
    }
    for (std::size_t i = 0; i < kMdbAudit.size(); ++i)
        put(memory, locate, 11467 + static_cast<int>(i), kMdbAudit[i]);

    for (int r = 0; r < BoardParam::AlarmRecords; ++r)
        for (int f = 0; f < BoardParam::AlarmFields; ++f) {
            const int index = BoardParam::AlarmFirst + BoardParam::AlarmFields * r + f;
            if (r < static_cast<int>(kAlarms.size())) {
                const Alarm& a = kAlarms[r];
                const int fields[] = {a.hour, a.minute, a.day, a.month, a.year, a.code, a.detail};
                put(memory, locate, index, static_cast<std::uint32_t>(fields[f]));
            } else {
                put(memory, locate, index, 255); // an empty slot
            }
        }
    put(memory, locate, BoardParam::AlarmIndex, kAlarms.size() - 1);
    WriteClock(memory, locate, clockSeconds);
}

void WriteClock(BoardMemory& memory, const ParamLocator& locate, std::int64_t clockSeconds) {
    const std::time_t t = static_cast<std::time_t>(clockSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    put(memory, locate, BoardParam::ClockSeconds, tm.tm_sec);
    put(memory, locate, BoardParam::ClockHours, tm.tm_hour);
    put(memory, locate, BoardParam::ClockMinutes, tm.tm_min);
    const std::uint32_t date[] = {static_cast<std::uint32_t>(tm.tm_mday),
                                  static_cast<std::uint32_t>(tm.tm_mon + 1),
                                  static_cast<std::uint32_t>(tm.tm_year % 100),
                                  static_cast<std::uint32_t>(tm.tm_wday + 1)}; // 1 = Sunday
    for (int i = 0; i < 4; ++i) {
        put(memory, locate, BoardParam::ClockDay + i, date[i]);
        put(memory, locate, BoardParam::ClockMirrorDay + i, date[i]);
    }
}

std::optional<std::int64_t> ReadClock(const BoardMemory& memory, const ParamLocator& locate) {
    std::array<std::uint32_t, 6> v{};
    for (int i = 0; i < 6; ++i) {
        const auto value = get(memory, locate, BoardParam::ClockSeconds + i);
        if (!value) return std::nullopt;
        v[i] = *value;
    }
    const auto [sec, hour, minute, day, month, year] = v;
    if (sec > 59 || hour > 23 || minute > 59 || day < 1 || day > 31 || month < 1 || month > 12 || year > 99)
        return std::nullopt;
    std::tm tm{};
    tm.tm_sec = static_cast<int>(sec);
    tm.tm_min = static_cast<int>(minute);
    tm.tm_hour = static_cast<int>(hour);
    tm.tm_mday = static_cast<int>(day);
    tm.tm_mon = static_cast<int>(month) - 1;
    tm.tm_year = 100 + static_cast<int>(year);
    return static_cast<std::int64_t>(timegm(&tm));
}

bool TouchesClock(const ParamLocator& locate, int space, std::uint16_t address, int count) {
    for (int i = 0; i < count; ++i)
        if (locate.indexAt(space, static_cast<std::uint16_t>(address + i), BoardParam::ClockSeconds,
                           BoardParam::ClockWeekday) ||
            locate.indexAt(space, static_cast<std::uint16_t>(address + i), BoardParam::ClockMirrorDay,
                           BoardParam::ClockMirrorDay + 3))
            return true;
    return false;
}

namespace {
// Set temperatures in the configuration: boilers in whole degrees, cold units in tenths.
constexpr int kBoilerSet[2][2] = {{126, 127}, {137, 138}};
constexpr int kColdSet[4] = {128, 139, 150, 161};
constexpr int kDefaultBoilerTenths = 950, kDefaultColdTenths = 40;

std::uint32_t swing(std::int64_t nowMs, int baseTenths, int amplitudeTenths, double periodS, double phase) {
    const double t = static_cast<double>(nowMs) / 1000.0;
    const double value = baseTenths + amplitudeTenths * std::sin(2 * std::numbers::pi * t / periodS + phase) +
                         0.3 * amplitudeTenths * std::sin(2 * std::numbers::pi * t / 7.0 + 2 * phase);
    return static_cast<std::uint32_t>(std::max(0.0, std::round(value)));
}
} // namespace

void WriteTemperatures(BoardMemory& memory, const ParamLocator& locate, std::int64_t nowMs) {
    for (int u = 0; u < 2; ++u)
        for (int b = 0; b < 2; ++b) {
            const std::uint32_t set = get(memory, locate, kBoilerSet[u][b]).value_or(0);
            const int base = set > 0 ? static_cast<int>(set) * 10 : kDefaultBoilerTenths;
            put(memory, locate, BoardParam::MeasuredBoilerFirst + 2 * u + b,
                swing(nowMs, base, 25, 60.0 + 10 * b, u + 1.7 * b));
        }
    for (int u = 0; u < 4; ++u) {
        const std::uint32_t set = get(memory, locate, kColdSet[u]).value_or(0);
        const int base = set > 0 ? static_cast<int>(set) : kDefaultColdTenths;
        put(memory, locate, BoardParam::MeasuredColdFirst + u, swing(nowMs, base, 15, 90.0, 0.8 * u));
    }
}

bool TouchesTemperatures(const ParamLocator& locate, int space, std::uint16_t address, int count) {
    for (int i = 0; i < count; ++i)
        if (locate.indexAt(space, static_cast<std::uint16_t>(address + i), BoardParam::MeasuredBoilerFirst,
                           BoardParam::MeasuredLast))
            return true;
    return false;
}

bool RunClearCommand(BoardMemory& memory, const ParamLocator& locate, int space, std::uint16_t address) {
    const auto at = locate(BoardParam::ClearCommand);
    if (!at || at->space != space || at->address != address) return false;
    const auto code = memory.read(at->space, at->address);
    if (code == 7 || code == 8) {
        for (int i = 1; i < 12; i += 2)
            put(memory, locate, 11430 + i, 0);
        for (int i = 0; i < 16; ++i) {
            put(memory, locate, 1786 + i, 0);
            put(memory, locate, 1803 + i, 0);
        }
        forEachVendCounter([&](int index, int, int, int) { put(memory, locate, index, 0); });
        for (int index = 11927; index <= 12054; ++index)
            put(memory, locate, index, 0);
    }
    if (code == 8) {
        for (int i = 0; i < 12; i += 2)
            put(memory, locate, 11430 + i, 0);
        for (int i = 0; i < 6; ++i)
            put(memory, locate, 11921 + i, 0);
    }
    put(memory, locate, BoardParam::ClearCommand, 0);
    return true;
}

} // namespace vm::sim
