#pragma once
// The preventive-maintenance decounters of the two hot-drink units: water filter, boilers, HACCP, valves,
// gaskets, grinders and coffee filters, each a word set through an offset scroll bar.

#include "EditorBase.h"

namespace vm::editors {

class FrmAzione : public EditorBase {
    Q_OBJECT
public:
    FrmAzione(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
