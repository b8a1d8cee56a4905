#pragma once
// The settings of the 32 preselection keys, one key at a time: its type, the product, time and water it adds,
// and its three flags.

#include "EditorBase.h"

class QLabel;

namespace vm::editors {

class KeySelector;

class FrmPresel : public EditorBase {
    Q_OBJECT
public:
    FrmPresel(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kKeys = 32;
    // The text that explains a key type.
    static QString typeDescription(int type);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void rulesApplied() override;

private:
    void chooseKey(int key);
    void showKeyInPromotions();

    KeySelector* keys_ = nullptr;
    QLabel* description_ = nullptr;
};

} // namespace vm::editors
