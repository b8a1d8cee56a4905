#pragma once
// The coin and the banknote counters: sixteen counts each.

#include "AuditView.h"

namespace vm::editors {

class FrmMonete : public AuditView {
    Q_OBJECT
public:
    FrmMonete(EditorContext& ctx, QWidget* parent = nullptr);
};

class FrmBanconote : public AuditView {
    Q_OBJECT
public:
    FrmBanconote(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
