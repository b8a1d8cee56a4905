#pragma once
// The extra time of every product sector of the four snack units, one tab per unit.

#include "EditorBase.h"

namespace vm::editors {

class FrmExTempo : public EditorBase {
    Q_OBJECT
public:
    FrmExTempo(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
