#include "Display.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

struct FakeBar : vm::ScrollBarView {
    int min = 0, max = 100, value = -999, refreshes = 0;
    int Min() const override { return min; }
    int Max() const override { return max; }
    void setValue(int v) override { value = v; }
    void refresh() override { ++refreshes; }
};

struct FakeLabel : vm::LabelView {
    std::string caption;
    void setCaption(const std::string& c) override { caption = c; }
};

TEST(DisplayHelpers, FormatDecimalsRoundsHalvesAwayFromZeroWithFixedDecimals) {
    struct Case {
        double value;
        int decimals;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {12.3, 2, '.', "12.30"}, {7, 1, ',', "7,0"},       {0.05, 0, '.', "0"},
        {0.5, 0, '.', "1"},      {1.005, 2, '.', "1.01"},  {0.007, 3, '.', "0.007"},
        {-2.25, 1, '.', "-2.3"}, {-0.001, 2, '.', "0.00"}, {16777215, 3, '.', "16777215.000"},
        {5, 4, '.', ""},         {5, -1, '.', ""},
        // as many digits as decimals: a leading zero before the separator
        {0.5, 1, '.', "0.5"},    {0.25, 2, ',', "0,25"},   {0.125, 3, '.', "0.125"}, {-0.5, 1, '.', "-0.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vm::FormatDecimals(c.value, c.decimals, c.separator), c.text)
            << c.value << "/" << c.decimals;
    // Without a separator the user's locale decides.
    EXPECT_EQ(vm::FormatDecimals(1.5, 1), std::string("1") + vm::LocaleDecimalSeparator() + "5");
}

TEST(DisplayHelpers, ScrollRoutinesClampTheBarButShowTheValueItself) {
    FakeBar bar;
    FakeLabel label;
    vm::ShowScrollValue(label, bar, 150);
    EXPECT_EQ(bar.value, 100);
    EXPECT_EQ(bar.refreshes, 1);
    EXPECT_EQ(label.caption, "150");
    vm::ShowScrollValue(label, bar, -4);
    EXPECT_EQ(bar.value, 0);
    EXPECT_EQ(label.caption, "-4");
    vm::ShowScrollTenths(label, bar, 25, ',');
    EXPECT_EQ(label.caption, "2,5");

    bar.min = -32768;
    bar.max = 32767;
    vm::ShowScrollOffset(label, bar, -32768);
    EXPECT_EQ(bar.value, -32768);
    EXPECT_EQ(label.caption, "0");
    vm::ShowScrollOffset(label, bar, 100);
    EXPECT_EQ(label.caption, "32868");

    bar.min = 10; // min above max: Max first, then Min
    bar.max = 0;
    vm::ShowScrollValue(label, bar, 5);
    EXPECT_EQ(bar.value, 10);
}

TEST(DisplayHelpers, DayNumberMatchesTheSerialDateNumbering) {
    EXPECT_EQ(vm::DayNumber(1, 1, 1900), 2);
    EXPECT_EQ(vm::DayNumber(29, 2, 2000), 36585);
    EXPECT_EQ(vm::DayNumber(1, 13, 2000), 0);
    // From 1 March 1900 on every date is one day after the previous: compare with the C library's calendar.
    for (int day = 0; day < 200 * 366; ++day) {
        std::tm t{};
        t.tm_mon = 2;
        t.tm_mday = 1 + day;
        t.tm_hour = 12;
        ASSERT_NE(timegm(&t), -1);
        ASSERT_EQ(vm::DayNumber(t.tm_mday, t.tm_mon + 1, t.tm_year + 1900), 61 + day)
            << t.tm_year + 1900 << "-" << t.tm_mon + 1 << "-" << t.tm_mday;
    }
}

TEST(DisplayHelpers, CenterChildPlacesTheChildInTheUpperPartOfTheMainWindow) {
    const auto twips = vm::CenterChild({15000, 12000}, {6000, 4500}, vm::kCenterChildTopOffsetTwips);
    EXPECT_EQ(twips.left, 4500);
    EXPECT_EQ(twips.top, 3300);
    const auto tooBig = vm::CenterChild({300, 200}, {800, 900});
    EXPECT_EQ(tooBig.left, 0);
    EXPECT_EQ(tooBig.top, 0);
}

} // namespace
