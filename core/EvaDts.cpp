#include "EvaDts.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

namespace vm::evadts {

namespace {

constexpr std::string_view kEnd = "\r\n";

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

std::string clean(std::string_view element) {
    std::string out(element);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '*' || isControl(c); }, ' ');
    return out;
}

std::string line(const Segment& s) {
    std::size_t used = s.elements.size();
    while (used > 0 && s.elements[used - 1].empty())
        --used;
    std::string text = s.id;
    for (std::size_t i = 0; i < used; ++i)
        text += '*' + clean(s.elements[i]);
    return text;
}

std::string hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t star = text.find('*', start);
        parts.emplace_back(text.substr(start, star == std::string_view::npos ? star : star - start));
        if (star == std::string_view::npos) return parts;
        start = star + 1;
    }
}

// Segment identifiers are upper-case letters and digits, starting with a letter.
bool isSegmentId(std::string_view id) {
    if (id.size() < 2 || id.size() > 8 || id[0] < 'A' || id[0] > 'Z') return false;
    return std::ranges::all_of(id, [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

std::optional<std::uint16_t> parseHex4(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 4 || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::optional<int> parseCount(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::uint16_t Crc16(std::string_view bytes) {
    std::uint16_t crc = 0;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::string WriteReport(std::string_view senderId, const std::vector<Segment>& body) {
    std::string checked = line({"ST", {"001", "0001"}}) + std::string(kEnd);
    for (const Segment& s : body)
        checked += line(s) + std::string(kEnd);
    const int count = static_cast<int>(body.size()) + 3; // ST, the body, G85 and SE
    std::string text = line({"DXS", {std::string(senderId), "VA", "V0/6", "1"}}) + std::string(kEnd);
    text += checked;
    text += line({"G85", {hex4(Crc16(checked))}}) + std::string(kEnd);
    text += line({"SE", {std::to_string(count), "0001"}}) + std::string(kEnd);
    text += line({"DXE", {"1", "1"}}) + std::string(kEnd);
    return text;
}

Report ReadReport(std::string_view text) {
    Report report;
    enum class Stage { Start, AfterDxs, Body, AfterG85, AfterSe, Done } stage = Stage::Start;
    bool dxs = false;
    int counted = 0; // segments from ST on
    std::string checked;
    int lineNo = 0;
    const auto fail = [&](int at, std::string why) {
        report.error = std::move(why);
        report.errorLine = at;
        return report;
    };

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view raw = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (raw.empty()) continue;
        if (std::ranges::any_of(raw, isControl)) return fail(lineNo, "control character inside the segment");
        std::vector<std::string> parts = split(raw);
        Segment segment{parts.front(), {parts.begin() + 1, parts.end()}};
        if (!isSegmentId(segment.id)) return fail(lineNo, "not a segment: \"" + std::string(raw.substr(0, 20)) + "\"");
        const std::string& id = segment.id;

        switch (stage) {
        case Stage::Start:
            if (id == "DXS") {
                dxs = true;
                stage = Stage::AfterDxs;
                break;
            }
            [[fallthrough]];
        case Stage::AfterDxs:
            if (id != "ST") return fail(lineNo, id + " before ST");
            stage = Stage::Body;
            break;
        case Stage::Body:
            if (id == "DXS" || id == "ST" || id == "DXE") return fail(lineNo, id + " inside the report");
            if (id == "G85") {
                if (segment.elements.empty() || !(report.storedCrc = parseHex4(segment.elements[0])))
                    return fail(lineNo, "G85 holds no 4-digit hexadecimal CRC");
                report.crcLine = lineNo;
                report.computedCrc = Crc16(checked);
                stage = Stage::AfterG85;
            }
            break;
        case Stage::AfterG85:
            if (id != "SE") return fail(lineNo, id + " after G85 (only SE may follow)");
            break;
        case Stage::AfterSe:
            if (!dxs || id != "DXE") return fail(lineNo, id + " after SE");
            stage = Stage::Done;
            break;
        case Stage::Done:
            return fail(lineNo, id + " after DXE");
        }
        if (stage == Stage::Body || stage == Stage::AfterG85) ++counted;
        if (stage == Stage::Body) checked.append(raw).append(kEnd);
        if (id == "SE") {
            const auto count = segment.elements.empty() ? std::nullopt : parseCount(segment.elements[0]);
            if (!count) return fail(lineNo, "SE holds no segment count");
            if (*count != counted)
                return fail(lineNo, "SE counts " + std::to_string(*count) + " segments, the report has " +
                                        std::to_string(counted));
            stage = Stage::AfterSe;
        }
        report.segments.push_back({std::move(segment), lineNo});
    }
    const int end = lineNo + 1;
    switch (stage) {
    case Stage::Start:
        return fail(end, "no segments");
    case Stage::AfterDxs:
        return fail(end, "the report ends before ST");
    case Stage::Body:
    case Stage::AfterG85:
        return fail(end, "the report ends without SE");
    case Stage::AfterSe:
        if (dxs) return fail(end, "the report ends without DXE");
        break;
    case Stage::Done:
        break;
    }
    return report;
}

namespace {

using Names = std::vector<std::string_view>;

const std::map<std::string_view, Names>& dictionary() {
    static const std::map<std::string_view, Names> names{
        {"DXS",
         {"Communication ID Of Sender", "Functional Identifier", "Version", "Transmission Control Number"}},
        {"ST", {"Transaction Set Header", "Transaction Set Control Number"}},
        {"ID1",
         {"Machine Serial Number", "Machine Model Number", "Machine Build Standard", "Machine Location",
          "User Defined Field", "Machine Asset Number"}},
        {"ID4", {"Decimal Point Position", "Currency Numeric Code", "Currency Alphabetic Code"}},
        {"ID5", {"Date Of Reading", "Time Of Reading"}},
        {"CB1", {"Control Board Serial Number", "Control Board Model Number", "Control Board Software Revision"}},
        {"VA1",
         {"Value Of All Paid Vends Since Initialisation", "Number Of All Paid Vends Since Initialisation",
          "Value Of All Paid Vends Since Last Reset", "Number Of All Paid Vends Since Last Reset"}},
        {"VA2",
         {"Test Vend Value Of Sales Since Initialisation", "Number Of Test Vends Since Initialisation",
          "Test Vend Value Of Sales Since Last Reset", "Number Of Test Vends Since Last Reset"}},
        {"VA3",
         {"Free Vend Value Of Sales Since Initialisation", "Number Of Free Vends Since Initialisation",
          "Free Vend Value Of Sales Since Last Reset", "Number Of Free Vends Since Last Reset"}},
        {"BA1", {"Bill Validator Serial Number", "Bill Validator Model Number", "Bill Validator Software Revision"}},
        {"CA1", {"Coin Mechanism Serial Number", "Coin Mechanism Model Number", "Coin Mechanism Software Revision"}},
        {"CA2",
         {"Value Of Cash Sales Since Initialisation", "Number Of Cash Vends Since Initialisation",
          "Value Of Cash Sales Since Last Reset", "Number Of Cash Vends Since Last Reset"}},
        {"CA3",
         {"Value Of Cash In Since Last Reset", "Value Of Cash To Cash Box Since Last Reset",
          "Value Of Cash To Tubes Since Last Reset", "Value Of Bills In Since Last Reset",
          "Value Of Cash In Since Initialisation", "Value Of Cash To Cash Box Since Initialisation",
          "Value Of Cash To Tubes Since Initialisation", "Value Of Bills In Since Initialisation"}},
        {"CA4",
         {"Value Of Cash Dispensed Since Last Reset", "Value Of Cash Manually Dispensed Since Last Reset",
          "Value Of Cash Dispensed Since Initialisation", "Value Of Cash Manually Dispensed Since Initialisation"}},
        {"CA11",
         {"Coin Value", "Number Of Coins In Since Last Reset", "Number Of Coins To Cash Box Since Last Reset",
          "Number Of Coins To Tubes Since Last Reset", "Number Of Coins In Since Initialisation",
          "Number Of Coins To Cash Box Since Initialisation", "Number Of Coins To Tubes Since Initialisation"}},
        {"CA14",
         {"Bill Value", "Number Of Bills In Since Last Reset", "Number Of Bills To Stacker Since Last Reset",
          "Number Of Bills In Since Initialisation", "Number Of Bills To Stacker Since Initialisation"}},
        {"DA2",
         {"Value Of Cashless 1 Sales Since Initialisation", "Number Of Cashless 1 Vends Since Initialisation",
          "Value Of Cashless 1 Sales Since Last Reset", "Number Of Cashless 1 Vends Since Last Reset"}},
        {"PA1", {"Product Number", "Product Price", "Product Identification"}},
        {"PA2",
         {"Number Of Products Vended Since Initialisation", "Value Of Paid Product Sales Since Initialisation",
          "Number Of Products Vended Since Last Reset", "Value Of Paid Product Sales Since Last Reset"}},
        {"PA3",
         {"Number Of Test Vends Since Initialisation", "Value Of Test Vends Since Initialisation",
          "Number Of Test Vends Since Last Reset", "Value Of Test Vends Since Last Reset"}},
        {"PA4",
         {"Number Of Free Vends Since Initialisation", "Value Of Free Vends Since Initialisation",
          "Number Of Free Vends Since Last Reset", "Value Of Free Vends Since Last Reset"}},
        {"EA1",
         {"Event Identification", "Date Of Event", "Time Of Event", "Duration Of Event Minutes",
          "Duration Of Event Milliseconds"}},
        {"EA2",
         {"Event Identification", "Number Of Events Since Last Reset", "Number Of Events Since Initialisation",
          "Current Event Activity", "Duration Of Events Since Last Reset",
          "Duration Of Events Since Initialisation"}},
        {"EA3",
         {"Number Of Reads With Reset Since Initialisation", "Date Of This Reading", "Time Of This Reading",
          "This Terminal Identification", "Date Of Last Read Out", "Time Of Last Read Out",
          "Last Terminal Identification", "User Defined Field", "Number Of Reads Since Initialisation",
          "Number Of Resets Since Initialisation"}},
        {"G85", {"CRC"}},
        {"SE", {"Number Of Included Segments", "Transaction Set Control Number"}},
        {"DXE", {"Transmission Control Number", "Number Of Included Sets"}},
    };
    return names;
}

} // namespace

std::string_view FieldName(std::string_view id, int position) {
    const auto it = dictionary().find(id);
    if (it == dictionary().end() || position < 1 || position > static_cast<int>(it->second.size())) return {};
    return it->second[static_cast<std::size_t>(position - 1)];
}

} // namespace vm::evadts
