#pragma once
// Shows a stored value in a scroll bar and its value label through the shared display routines.

#include "Binding.h"

class QLabel;
class QScrollBar;

namespace vm::editors {

// Sets the bar to the control value of `stored` (clamped to the bar's range) and the label to the stored
// value in the binding's format, unclamped. `decimals` is the window's money decimals.
void showScroll(QScrollBar& bar, QLabel* label, const Binding& binding, double stored, int decimals);

// The label text of a stored value in a format.
QString formatStored(LabelFormat format, double stored, int decimals);

} // namespace vm::editors
