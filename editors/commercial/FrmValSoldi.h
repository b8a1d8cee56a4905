#pragma once
// The face value of each of the 16 coin and 16 banknote channels and whether each channel is accepted.

#include "EditorBase.h"

namespace vm::editors {

class FrmValSoldi : public EditorBase {
    Q_OBJECT
public:
    FrmValSoldi(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
