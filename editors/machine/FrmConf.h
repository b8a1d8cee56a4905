#pragma once
// The structural configuration of the machine and its up to four coupled units: the coupled machine, the
// general flags, and per unit its boilers, groups, probes, canisters, valve associations, pump and pause
// times, feature switches, cold-unit settings and product association tables.

#include "EditorBase.h"
#include "GeneralFlagRules.h"

namespace vm::editors {

class FrmConf : public EditorBase {
    Q_OBJECT
public:
    FrmConf(EditorContext& ctx, QWidget* parent = nullptr);

    // Deliveries expected while connected before the unit pages are enabled, from the four slave types.
    static int ExpectedCount(const ProgramState& state);
    // Resets the product association tables of unit 1..4 (after the confirmation).
    void resetAssociations(int unit);

protected:
    void buildExtra() override;
    void rulesApplied() override;

private:
    void addDrinkUnit(EditorDefinition::Place page, int unit);
    generalflags::Bytes flagBytes() const; // the window's copies
    void keepFlagBytes(generalflags::Bytes b);
    bool writeCoupling(int coupling);
    void showCodeSlider();
    void showCoupling(int index, const ParamData& value);

    bool sugarBoxRefused_ = false; // the typed sugar box was past the number of boxes
};

} // namespace vm::editors
