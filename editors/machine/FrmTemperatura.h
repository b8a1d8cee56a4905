#pragma once
// Temperatures: the boilers and the cooling unit of each drink unit, and the refrigeration of each cold unit
// (tank temperature, deltas, offset, safety delta and time, defrosting, the second tank), one tab per unit
// shown by the unit's type.

#include "EditorBase.h"

namespace vm::editors {

class FrmTemperatura : public EditorBase {
    Q_OBJECT
public:
    FrmTemperatura(EditorContext& ctx, QWidget* parent = nullptr);

protected:
    void rulesApplied() override;
};

} // namespace vm::editors
