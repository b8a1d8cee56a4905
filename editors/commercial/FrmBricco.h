#pragma once
// The jug vend counters of each beverage of the first two slaves, read-only and read anew every 15 seconds.

#include "EditorBase.h"

namespace vm::editors {

class FrmBricco : public EditorBase {
    Q_OBJECT
public:
    FrmBricco(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kBeverages = 32;
    static constexpr int kRefreshMs = 15000;

protected:
    void buildExtra() override;
    void rulesApplied() override;
};

} // namespace vm::editors
