#pragma once
// The price (0 = none, 1..50 of the price list) each snack sector of each slave is sold at. Sectors 10..47
// of a slave share their parameters with the jug prices of the same slave (FrmAssBricco): both windows edit
// them and show the same value.

#include "EditorBase.h"

namespace vm::editors {

class FrmAssPSS : public EditorBase {
    Q_OBJECT
public:
    FrmAssPSS(EditorContext& ctx, QWidget* parent = nullptr);

    // Elements per slave: 70 for slaves 1 to 3, 56 for slave 4.
    static int elementCount(int slave);
    // The parameter of element `element` of slave 1..4, 0 when the slave has no such element.
    static int elementParam(int slave, int element);
    // The sector an element stands for: 10..79 for slaves 1 to 3; 11..18, 21..28 ... 71..78 for slave 4.
    static int sectorNumber(int slave, int element);

protected:
    void rulesApplied() override;
};

} // namespace vm::editors
