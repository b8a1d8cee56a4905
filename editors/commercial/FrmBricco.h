#pragma once
// The jug vend counters of each beverage of the first two slaves, read-only and read anew every 15 seconds.

#include "EditorBase.h"

#include <array>

class QLabel;

namespace vm::editors {

class FrmBricco : public EditorBase {
    Q_OBJECT
public:
    FrmBricco(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kSlaves = 2;
    static constexpr int kBeverages = 32;
    static constexpr int kRefreshMs = 15000;

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    std::array<std::array<QLabel*, kBeverages>, kSlaves> counts_{};
};

} // namespace vm::editors
