#pragma once
// The price (1..50 of the price list) each of the 30 jug beverages of each slave is sold at.

#include "EditorBase.h"
#include "ParamNames.h"

namespace vm::editors {

class FrmAssBricco : public EditorBase {
    Q_OBJECT
public:
    FrmAssBricco(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kBeverages = 30;
    // The price number of beverage `beverage` (0-based) of slave 1..4; every slave has a block of 32.
    static int beverageParam(int slave, int beverage) {
        return param::JugPrice + 32 * (slave - 1) + beverage;
    }
};

} // namespace vm::editors
