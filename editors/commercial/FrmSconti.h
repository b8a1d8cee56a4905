#pragma once
// The discount amounts: the 50 general discounts and the one for a sale without a cup (FrmSconti), and the
// 50 discounts of sales paid with a key (FrmScontiCh). Money in the decimals of the payment settings.

#include "EditorBase.h"

namespace vm::editors {

class FrmSconti : public EditorBase {
    Q_OBJECT
public:
    FrmSconti(EditorContext& ctx, QWidget* parent = nullptr);
};

class FrmScontiCh : public EditorBase {
    Q_OBJECT
public:
    FrmScontiCh(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
