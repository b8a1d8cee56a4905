#pragma once
// The double-product settings of the drink selections, one selection at a time: two sets ("Doppio
// Prodotto 1" and "2") of two groups of nine valve and mixer settings.

#include "EditorBase.h"

namespace vm::editors {

class SelectionKeys;

class FrmDoppiP : public EditorBase {
    Q_OBJECT
public:
    FrmDoppiP(EditorContext& ctx, QWidget* parent = nullptr);
    // Chooses selection s (0..31), as a click on its key does.
    void chooseSelection(int selection);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    SelectionKeys* keys_ = nullptr;
};

} // namespace vm::editors
