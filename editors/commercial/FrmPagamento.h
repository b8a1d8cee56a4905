#pragma once
// The payment system: its kind, timeouts, decimal point, credit limits, coin-changer tube levels, token
// values and the on/off options of the two option bytes.

#include "EditorBase.h"

namespace vm::editors {

class FrmPagamento : public EditorBase {
    Q_OBJECT
public:
    FrmPagamento(EditorContext& ctx, QWidget* parent = nullptr);

protected:
    void afterDelivery(int index, const ParamData& value) override;
};

} // namespace vm::editors
