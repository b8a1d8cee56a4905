#pragma once
// The price list: 50 prices in money format and the switch that sells everything at price 1.

#include "EditorBase.h"

namespace vm::editors {

class FrmPrezzi : public EditorBase {
    Q_OBJECT
public:
    FrmPrezzi(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
