#pragma once
// Value display helpers shared by the editor windows: fixed-decimal numbers, scroll bars paired with a
// value label, day counts of dates and the placement of a child window.

#include <string>

namespace vm {

// The decimal separator of the user's locale ('.' when the locale cannot be read).
char LocaleDecimalSeparator();

// The value with 0..3 decimals ("#0", "#0.0", "#0.00", "#0.000"), halves rounded away from zero; any other
// count of decimals gives an empty text.
std::string FormatDecimals(double value, int decimals, char separator = LocaleDecimalSeparator());

// A number as plain decimal text: whole numbers without decimals, others with up to 15 significant digits.
std::string PlainNumberText(double value, char separator = LocaleDecimalSeparator());

// The part of a scroll bar the display routines use; the Qt layer wraps its widgets in these.
class ScrollBarView {
public:
    virtual ~ScrollBarView() = default;
    virtual int Min() const = 0;
    virtual int Max() const = 0;
    virtual void setValue(int value) = 0;
    virtual void refresh() = 0;
};

class LabelView {
public:
    virtual ~LabelView() = default;
    virtual void setCaption(const std::string& caption) = 0;
};

// The bar shows the value clamped to Min..Max; the label shows the value itself, unclamped.
void ShowScrollValue(LabelView& label, ScrollBarView& bar, double value);
// As ShowScrollValue; the label shows value / 10 with one decimal.
void ShowScrollTenths(LabelView& label, ScrollBarView& bar, double value,
                      char separator = LocaleDecimalSeparator());
// As ShowScrollValue; the label shows value + 32768, the stored form of an offset scroll bar.
void ShowScrollOffset(LabelView& label, ScrollBarView& bar, double value);

// Day count of a date (month 1..12, year 1900 or later): 1 January 1900 counts 2, and from 1 March 1900 on
// it equals the usual serial date number (30 December 1899 = 0). An invalid month gives 0.
int DayNumber(int day, int month, int year);

struct WindowSize {
    int width = 0;
    int height = 0;
};
struct WindowPosition {
    int left = 0;
    int top = 0;
};

// The top offset of a centred child window, in the main window's units.
inline constexpr int kCenterChildTopOffsetTwips = 450;
inline constexpr int kCenterChildTopOffsetPixels = 30; // 450 twips at 96 dots per inch

// Where a child window goes inside the main window: horizontally centred, vertically centred on the upper
// 85 % of the main window and moved down by the offset. A child larger than the main window is kept at
// 0 so that its title bar stays reachable.
WindowPosition CenterChild(WindowSize main, WindowSize child, int topOffset = kCenterChildTopOffsetPixels);

} // namespace vm
