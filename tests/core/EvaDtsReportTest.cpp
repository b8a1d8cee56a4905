#include "EvaDtsReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace vm;

namespace {

// The report as lines "ID*element*...", read back by the reader, between ST and G85.
std::vector<std::string> bodyLines(const std::map<int, std::uint32_t>& board) {
    const AuditSource source = [&](int index) -> std::optional<std::uint32_t> {
        const auto it = board.find(index);
        return it == board.end() ? std::nullopt : std::optional(it->second);
    };
    const std::string text = EvaDtsReport(source, {482, 21, 0, 4}, {2025, 12, 4, 18, 58, 7});
    const evadts::Report report = evadts::ReadReport(text);
    EXPECT_TRUE(report.ok()) << report.error;
    EXPECT_TRUE(report.crcMatches());
    std::vector<std::string> lines;
    for (const auto& [segment, line] : report.segments) {
        if (segment.id == "DXS" || segment.id == "ST" || segment.id == "G85" || segment.id == "SE" ||
            segment.id == "DXE")
            continue;
        std::string text = segment.id;
        for (const std::string& e : segment.elements)
            text += "*" + e;
        lines.push_back(text);
    }
    return lines;
}

} // namespace

// Each value lands in its element; what the board does not hold stays empty, a segment with nothing held is
// left out, a product appears once it has a vend, prices come through the product's price number, and the
// alarm log runs newest first without its empty slots.
TEST(EvaDtsReport, TheBoardsCountersLandInTheirElements) {
    const std::map<int, std::uint32_t> board = {
        {1823, 2}, {11733, 3},
        {11434, 612900}, {11440, 41873}, {11435, 3210}, {11441, 1512}, {11450, 50}, {11451, 5},
        {11478, 23400}, {11467, 86450}, {11479, 51000},
        {12505, 50}, {1786, 1520}, {12506, 100}, {1787, 0}, {12507, 0}, {1788, 0}, {1789, 7},
        {12521, 500}, {1803, 210},
        // unit 1, sector 10: price element 7890 holds price number 3
        {8773, 120}, {8821, 12}, {8869, 0}, {7890, 3}, {8473, 150},
        // unit 4, sector 11: price number 51 is no price
        {9302, 9}, {7986, 51},
        // jug beverage 3 of unit 2: price number 1
        {9095, 4}, {11961, 1}, {12025, 0}, {8185, 1}, {8471, 100},
        // alarm log: newest record 1, then 0, 14 (an empty slot), 13 (day 32: no date)
        {11815, 1},
        {11816, 7}, {11817, 12}, {11818, 3}, {11819, 11}, {11820, 25}, {11821, 3}, {11822, 0},
        {11823, 9}, {11824, 45}, {11825, 17}, {11826, 11}, {11827, 25}, {11828, 144}, {11829, 2},
        {11919, 255},
        {11907, 23}, {11908, 5}, {11909, 32}, {11910, 1}, {11911, 26}, {11912, 12}, {11913, 0},
    };
    const std::vector<std::string> expected = {
        "ID1**3",
        "ID4*2",
        "ID5*20251204*185807",
        "CB1**482*21.0.4",
        "VA1*612900*41873*3210*1512",
        "VA2**50**5",
        "CA3******23400*86450*51000",
        "CA11*50*1520",
        "CA11*100*0",
        "CA11**7",
        "CA14*500*210",
        "PA1*110*150",
        "PA2***120",
        "PA3***0",
        "PA4***12",
        "PA1*J203*100",
        "PA2***4",
        "PA3***1",
        "PA4***0",
        "PA1*411",
        "PA2***9",
        "EA1*144/2*20251117*0945",
        "EA1*3*20251103*0712",
        "EA1*12**2305",
    };
    EXPECT_EQ(bodyLines(board), expected);
}

TEST(EvaDtsReport, ParamsHoldTheDecimalPointFirstAndEachParameterOnce) {
    const std::vector<int> params = EvaDtsParams();
    ASSERT_FALSE(params.empty());
    EXPECT_EQ(params.front(), 1823);
    EXPECT_TRUE(std::is_sorted(params.begin() + 1, params.end()));
    EXPECT_EQ(std::adjacent_find(params.begin(), params.end()), params.end());
    for (int index : {11733, 12505, 12536, 8471, 8520, 7890, 13920 + 13, 8151 + 127, 11920, 13891})
        EXPECT_TRUE(std::ranges::binary_search(params.begin() + 1, params.end(), index)) << index;
}
