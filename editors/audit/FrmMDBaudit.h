#pragma once
// The sixteen audit values the board keeps for an MDB payment system.

#include "AuditView.h"

namespace vm::editors {

class FrmMDBaudit : public AuditView {
    Q_OBJECT
public:
    FrmMDBaudit(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
