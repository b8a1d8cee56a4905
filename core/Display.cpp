#include "Display.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <locale>

namespace vm {

char LocaleDecimalSeparator() {
    static const char separator = [] {
        try {
            return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
        } catch (const std::exception&) {
            return '.';
        }
    }();
    return separator;
}

std::string FormatDecimals(double value, int decimals, char separator) {
    if (decimals < 0 || decimals > 3 || !std::isfinite(value)) return {};
    const double scale = std::pow(10.0, decimals);
    // Rounds the scaled value; a tiny nudge keeps 1.005 * 100 = 100.4999... from rounding down.
    const double scaled = std::round(std::abs(value) * scale * (1 + 1e-12));
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.0f", scaled);
    std::string digits = buffer.data();
    if (digits.size() < static_cast<std::size_t>(decimals) + 1)
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    std::string text = value < 0 && scaled != 0 ? "-" : "";
    text += digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) text += separator + digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    return text;
}

std::string PlainNumberText(double value, char separator) {
    if (!std::isfinite(value)) return {};
    std::array<char, 400> buffer{};
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        std::snprintf(buffer.data(), buffer.size(), "%.0f", value);
    else
        std::snprintf(buffer.data(), buffer.size(), "%.15g", value);
    std::string text = buffer.data();
    std::replace(text.begin(), text.end(), '.', separator);
    return text == "-0" ? "0" : text;
}

namespace {

// Clamps the way the windows always have: first against Max, then against Min, so that a bar whose Min
// exceeds its Max still gets a defined value.
void showOnBar(ScrollBarView& bar, double value) {
    double v = std::isfinite(value) ? value : 0;
    if (v > bar.Max()) v = bar.Max();
    if (v < bar.Min()) v = bar.Min();
    bar.setValue(static_cast<int>(v));
    bar.refresh();
}

} // namespace

void ShowScrollValue(LabelView& label, ScrollBarView& bar, double value) {
    showOnBar(bar, value);
    label.setCaption(PlainNumberText(value));
}

void ShowScrollTenths(LabelView& label, ScrollBarView& bar, double value, char separator) {
    showOnBar(bar, value);
    label.setCaption(FormatDecimals(value / 10, 1, separator));
}

void ShowScrollOffset(LabelView& label, ScrollBarView& bar, double value) {
    showOnBar(bar, value);
    label.setCaption(PlainNumberText(value + 32768));
}

int DayNumber(int day, int month, int year) {
    static constexpr std::array<int, 12> kDaysBefore{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    if (month < 1 || month > 12) return 0;
    const auto isLeap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    int n = (year - 1900) * 365 + 1;
    for (int y = 1904; y < year; y += 4)
        if (isLeap(y)) ++n;
    n += kDaysBefore[static_cast<std::size_t>(month - 1)] + day;
    if (isLeap(year) && month > 2) ++n;
    return n;
}

WindowPosition CenterChild(WindowSize main, WindowSize child, int topOffset) {
    const double top = main.height * 0.85 / 2 - child.height / 2.0 + topOffset;
    const double left = main.width / 2.0 - child.width / 2.0;
    return {std::max(0, static_cast<int>(std::lround(left))),
            std::max(0, static_cast<int>(std::lround(top)))};
}

} // namespace vm
