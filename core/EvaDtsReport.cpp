#include "EvaDtsReport.h"

#include "ProgramState.h"
#include "SalesLayout.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vm {

namespace {

using evadts::Segment;
using namespace sales;

constexpr int kAlarmEmptySlot = 255;
constexpr int kDetailCodes[] = {144, 145, 146}; // alarms that carry a detail code

std::string text(std::optional<std::uint32_t> value) {
    return value ? std::to_string(*value) : std::string();
}

std::string digits(int value, int width) {
    char out[16];
    std::snprintf(out, sizeof out, "%0*d", width, value);
    return out;
}

// Reads every value through the source once and keeps it; a missing one stays empty.
class Values {
public:
    explicit Values(const AuditSource& source) : source_(source) {}
    std::optional<std::uint32_t> operator()(int index) const { return index > 0 ? source_(index) : std::nullopt; }
    std::string operator[](int index) const { return text((*this)(index)); }
    bool nonZero(int index) const { return (*this)(index).value_or(0) != 0; }

private:
    const AuditSource& source_;
};

// The price of a price number parameter (1..50 of the price list); empty when it holds none.
std::string priceOf(const Values& v, int numberParam) {
    const auto number = v(numberParam);
    return number ? v[PriceParam(static_cast<int>(*number))] : std::string();
}

void addProduct(std::vector<Segment>& out, const Values& v, const std::string& number, int priceNumberParam,
                int paid, int test, int free) {
    if (!v.nonZero(paid) && !v.nonZero(test) && !v.nonZero(free)) return;
    out.push_back({"PA1", {number, priceOf(v, priceNumberParam)}});
    out.push_back({"PA2", {"", "", v[paid]}});
    if (test) out.push_back({"PA3", {"", "", v[test]}});
    if (free) out.push_back({"PA4", {"", "", v[free]}});
}

void addProducts(std::vector<Segment>& out, const Values& v) {
    for (int block = 0; block < kBlocks; ++block) {
        const int unit = block + 1;
        for (int i = 0; i < kSectors; ++i) {
            const int sector = kFirstSector + i;
            const int element = PriceElementOfSector(unit, sector);
            addProduct(out, v, std::to_string(unit) + std::to_string(sector),
                       element < 0 ? 0 : PriceElementParam(unit, element), VendCounter(Vends::Paid, block, i),
                       VendCounter(Vends::Test, block, i), VendCounter(Vends::Free, block, i));
        }
        for (int b = 0; b < kJugBeverages; ++b)
            addProduct(out, v, "J" + std::to_string(unit) + digits(b + 1, 2), JugPriceParam(unit, b),
                       JugVendCounter(block, b), JugTestCounter(unit, b), JugFreeCounter(unit, b));
    }
}

void addCashChannels(std::vector<Segment>& out, const Values& v, const char* id, int firstValue, int firstCount) {
    for (int c = 0; c < kChannels; ++c)
        if (v.nonZero(firstValue + c) || v.nonZero(firstCount + c))
            out.push_back({id, {v[firstValue + c], v[firstCount + c]}});
}

void addAlarms(std::vector<Segment>& out, const Values& v) {
    const auto newest = v(kAlarmNewest);
    if (!newest || *newest >= static_cast<std::uint32_t>(kAlarmRecords)) return;
    for (int k = 0; k < kAlarmRecords; ++k) {
        const int r = (static_cast<int>(*newest) - k + kAlarmRecords) % kAlarmRecords;
        std::optional<std::uint32_t> f[kAlarmFields];
        for (int i = 0; i < kAlarmFields; ++i)
            f[i] = v(kAlarmFirst + kAlarmFields * r + i);
        const auto& [hours, minutes, day, month, year, code, detail] = f;
        if (!code || *code == kAlarmEmptySlot) continue;
        std::string id = std::to_string(*code);
        if (std::ranges::find(kDetailCodes, static_cast<int>(*code)) != std::end(kDetailCodes))
            id += "/" + text(detail);
        const bool dated = day && month && year && *day >= 1 && *day <= 31 && *month >= 1 && *month <= 12 &&
                           *year <= 99;
        const bool timed = hours && minutes && *hours < 24 && *minutes < 60;
        out.push_back({"EA1",
                       {id,
                        dated ? digits(2000 + static_cast<int>(*year), 4) + digits(static_cast<int>(*month), 2) +
                                    digits(static_cast<int>(*day), 2)
                              : "",
                        timed ? digits(static_cast<int>(*hours), 2) + digits(static_cast<int>(*minutes), 2) : ""}});
    }
}

std::string softwareRevision(const BoardIdentity& board) {
    char release[32];
    std::snprintf(release, sizeof release, "%g", board.release);
    return std::to_string(board.software) + "." + std::to_string(board.revision) + "." + release;
}

} // namespace

BoardIdentity IdentityOf(const ProgramState& state) {
    return {state.BoardType, state.BoardSoftware, state.BoardRevision, state.SoftwareRelease};
}

ReadingTime ReadingTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::vector<int> EvaDtsParams() {
    std::vector<int> indexes = AuditParams();
    indexes.push_back(kModelCode);
    for (int c = 0; c < kChannels; ++c) {
        indexes.push_back(kCoinValue + c);
        indexes.push_back(kBanknoteValue + c);
    }
    for (int n = 1; n <= kPrices; ++n)
        indexes.push_back(PriceParam(n));
    for (int slave = 1; slave <= kBlocks; ++slave) {
        for (int e = 0; e < PriceElementCount(slave); ++e)
            indexes.push_back(PriceElementParam(slave, e));
        for (int b = 0; b < kJugBeverages; ++b)
            indexes.push_back(JugPriceParam(slave, b)); // partly the same parameters as price elements 32..47
    }
    std::ranges::sort(indexes.begin() + 1, indexes.end()); // the decimal point stays first
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

std::vector<Segment> EvaDtsBody(const AuditSource& source, const BoardIdentity& board, const ReadingTime& at) {
    const Values v(source);
    std::vector<Segment> out;
    out.push_back({"ID1", {"", v[kModelCode]}});
    const auto point = v(kDecimalPoint);
    out.push_back({"ID4", {point ? std::to_string(*point & 3) : ""}});
    out.push_back({"ID5",
                   {digits(at.year, 4) + digits(at.month, 2) + digits(at.day, 2),
                    digits(at.hour, 2) + digits(at.minute, 2) + digits(at.second, 2)}});
    out.push_back({"CB1", {"", std::to_string(board.boardType), softwareRevision(board)}});
    out.push_back({"VA1", {v[kTotalAll], v[kVendCount], v[kTotalAllReset], v[kVendCountReset]}});
    out.push_back({"VA2", {"", v[kTestVendTotal], "", v[kTestVendTotalReset]}});
    out.push_back({"VA3", {"", v[kFreeVendTotal], "", v[kFreeVendTotalReset]}});
    out.push_back({"CA3", {"", "", "", "", "", v[kMdbCashBoxCoins], v[kMdbTubesAmount], v[kMdbBanknotesAmount]}});
    addCashChannels(out, v, "CA11", kCoinValue, kCoinCount);
    addCashChannels(out, v, "CA14", kBanknoteValue, kBanknoteCount);
    addProducts(out, v);
    addAlarms(out, v);
    // A segment the board holds nothing for is left out.
    std::erase_if(out, [](const Segment& s) { return std::ranges::all_of(s.elements, &std::string::empty); });
    return out;
}

std::string EvaDtsReport(const AuditSource& source, const BoardIdentity& board, const ReadingTime& at) {
    // The sender: our three letters and the board type.
    return evadts::WriteReport("VMC" + digits(board.boardType, 7), EvaDtsBody(source, board, at));
}

} // namespace vm
