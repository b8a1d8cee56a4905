#pragma once
// The promotions: the promotion mode, five happy hours with their monthly or weekly day, four daily time
// bands, the happy-hour discount, the promotion key with its three values, and three enables.

#include "EditorBase.h"

namespace vm::editors {

class KeySelector;
class SliderSwitch;

class FrmPromo : public EditorBase {
    Q_OBJECT
public:
    FrmPromo(EditorContext& ctx, QWidget* parent = nullptr);

    // From model 4 on the board keeps a set of values per key and the key scroll bar only chooses the key;
    // below, there is one set and the scroll bar stores the promotion key.
    bool keyed() const { return keyed_; }
    int happyHour() const { return happyHour_; }

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void rulesApplied() override;

private:
    void keyMoved(int key);
    void chooseHappyHour(int happyHour);

    bool keyed_ = false;
    int happyHour_ = 0;
    KeySelector* keys_ = nullptr;
    SliderSwitch* happyHourSwitch_ = nullptr;
};

} // namespace vm::editors
