#pragma once
// Item numbers of the spirals of the four snack units, one tab per unit.

#include "EditorBase.h"

namespace vm::editors {

class FrmItemNumber : public EditorBase {
    Q_OBJECT
public:
    FrmItemNumber(EditorContext& ctx, QWidget* parent = nullptr);

    // The parameter of spiral `spiral` (0-based) of unit 1..4, or 0 when the unit has no such spiral.
    static int spiralParam(int unit, int spiral);
    // Spirals per unit: 70 for units 1 to 3, 56 for unit 4.
    static int spiralCount(int unit);
    // The spiral's number on the machine: tray (spiral / 8 + 1) and place (spiral % 8 + 1), "11" to "18",
    // "21"...
    static int spiralNumber(int spiral);
};

} // namespace vm::editors
