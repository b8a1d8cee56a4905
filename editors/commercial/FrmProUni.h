#pragma once
// The three unique products, one page each: the product box used and its four times.

#include "EditorBase.h"

namespace vm::editors {

class FrmProUni : public EditorBase {
    Q_OBJECT
public:
    FrmProUni(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
