#pragma once
// The price and the discount that preselection keys 1 to 12 add to a selection.

#include "EditorBase.h"

namespace vm::editors {

class FrmPrePreSc : public EditorBase {
    Q_OBJECT
public:
    FrmPrePreSc(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
