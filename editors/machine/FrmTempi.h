#pragma once
// Times and thresholds: per drink unit the valve pre-wash times, the cold-valve timeouts, the key, lighting,
// pump, wash and dispensing times and (unit 1) the fresh-brew times; per snack unit the power-off time, the
// lift, spiral-motor and sensor timeouts, the detection time and the drawer retries; and the product
// shelf-life table by plate and sector.

#include "EditorBase.h"

namespace vm::editors {

class FrmTempi : public EditorBase {
    Q_OBJECT
public:
    FrmTempi(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
