#pragma once
// The machine's options: door lighting, vending modes and plate compartments of a snack unit, general and
// per-unit option bits, a few settings of snack unit 1 and the numeric options.

#include "EditorBase.h"

#include <array>

class QLabel;

namespace vm::editors {

class SliderSwitch;

class FrmOpzioni : public EditorBase {
    Q_OBJECT
public:
    FrmOpzioni(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kCompartments = 12;
    // The byte (6 or 7) and the bit of plate compartment 0..11.
    static std::pair<int, unsigned> compartmentBit(int compartment);

protected:
    void buildExtra() override;
    bool beforeWrite(const Binding& b, int& stored) override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    std::uint32_t withBit(int param, unsigned mask, bool on) const;
    void chooseCompartment(int compartment);
    void switchCompartment(bool on);
    void showCompartments();

    int compartment_ = 0;
    SliderSwitch* compartmentSelector_ = nullptr;
    SliderSwitch* compartmentSwitch_ = nullptr;
    QLabel* compartmentNumber_ = nullptr;
    std::array<QLabel*, kCompartments> compartmentLabels_{};
};

} // namespace vm::editors
