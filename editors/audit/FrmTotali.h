#pragma once
// The money totals of the machine: not resettable and resettable, with the "Battute" count of each.

#include "AuditView.h"

namespace vm::editors {

class FrmTotali : public AuditView {
    Q_OBJECT
public:
    FrmTotali(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
