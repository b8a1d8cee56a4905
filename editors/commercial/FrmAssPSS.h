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

protected:
    void rulesApplied() override;
};

} // namespace vm::editors
