#include "FrmTemperatura.h"

#include "Conditions.h"
#include "ParamNames.h"

#include <QTabWidget>

namespace vm::editors {

namespace {
// Unit configuration read by the rules. A cold unit uses a drink unit's slots: the cold-management option
// is boiler 1's, the number of cold probes boiler 2's.
constexpr int kBoiler1[4] = {param::Boiler1, param::Boiler1Unit2, param::ColdManagementUnit3,
                             param::ColdManagementUnit4};
constexpr int kBoiler2[4] = {param::Boiler2, param::Boiler2Unit2, param::ColdProbesUnit3, param::ColdProbesUnit4};
constexpr int kEnableByte[2] = {param::EnableBytes, param::EnableBytesUnit2}; // bit 4: the unit has a cooling unit
constexpr unsigned kCoolingUnitBit = 0x10;
constexpr int kT98Enable[4] = {param::T98EnableUnit1, param::T98EnableUnit2, param::T98EnableUnit3,
                               param::T98EnableUnit4};
// Each unit's temperature block runs from its T98 enable to the end of the slots that follow it (a drink
// unit's pre-wash slots, which a cold unit uses for its refrigeration settings).
constexpr int kBlockEnd[4] = {param::PreWashTimeUnit1 + param::PreWashTimeUnit1Count - 1,
                              param::PreWashTimeUnit2 + param::PreWashTimeUnit2Count - 1,
                              param::ColdSettingsUnit3 + param::ColdSettingsUnit3Count - 1,
                              param::ColdSettingsUnit4 + param::ColdSettingsUnit4Count - 1};
constexpr int kBoilerTemperature[2] = {param::BoilerTemperatureUnit1, param::BoilerTemperatureUnit2};
constexpr int kCoolUnitTemperature[2] = {kBlockEnd[0], kBlockEnd[1]}; // the last slot of a drink unit's block

// The refrigeration settings of one cold unit: seven in the unit's main block (units 1 and 2 in the pre-wash
// slots, units 3 and 4 from the third of their cold settings), the second tank's three apart; `place` is the scroll index of each, in the caption order below.
struct ColdUnit {
    const char* scroll;
    const char* label;
    int mainFirst;
    int secondFirst;
    int place[10];
};
constexpr ColdUnit kColdUnits[4] = {
    {"HScroll3", "Label3s", param::PreWashTimeUnit1, param::ColdSecondTankUnit1, {15, 1, 2, 3, 4, 5, 6, 30, 20, 18}},
    {"HScroll3", "Label3s", param::PreWashTimeUnit2, param::ColdSecondTankUnit2, {8, 9, 10, 11, 12, 13, 14, 22, 21, 19}},
    {"HScroll2", "Label2s", param::ColdSettingsUnit3 + 2, param::ColdSecondTankUnit3, {0, 1, 2, 3, 4, 5, 6, 16, 15, 7}},
    {"HScroll2", "Label2s", param::ColdSettingsUnit4 + 2, param::ColdSecondTankUnit4, {8, 9, 10, 11, 12, 13, 14, 17, 18, 19}}};
struct Setting {
    const char* caption;
    const char* unit;
    bool tenths;
};
constexpr Setting kColdSettings[10] = {
    {"Temperatura vasca ", "(°C)", true},  {"Delta temperatura ", "(°C)", true},
    {"Offset temperatura ", "(°C)", true}, {"Delta Sicura ", "(°C)", false},
    {"Tempo Sicura ", "(m)", false},       {"Sbrina per ", "(m)", false},
    {"Sbrina dopo ", "(h)", false},        {"Temperatura vasca 2", "(°C)", true},
    {"Delta temperatura 2", "(°C)", true}, {"Offset temperatura 2", "(°C)", true}};
constexpr int kSecondTank = 7; // settings 7..9 need a second probe
constexpr int kSecondTankSettings = param::ColdSecondTankUnit1Count;

Caption withUnit(const char* caption, const char* unit) {
    QString text = QString::fromUtf8(caption);
    if (!text.endsWith(u' ')) text += u' ';
    return Caption(text + QString::fromUtf8(unit));
}

// Boiler temperatures and the cooling unit's temperature of drink unit 1 or 2.
void addBoilers(EditorDefinition::Place page, int unit) {
    const int u = unit - 1;
    page.add(scrollBar("HScroll1", 3 * u, kBoilerTemperature[u])
                 .valueLabel("Label1s", 3 * u)
                 .titled(withUnit("Termperatura Caldaia 1", "(°C)"))
                 .enabledIf(valueIn(kBoiler1[u], 1, 255)))
        .add(scrollBar("HScroll1", 3 * u + 1, kBoilerTemperature[u] + 1)
                 .valueLabel("Label1s", 3 * u + 1)
                 .titled(withUnit("Termperatura Caldaia 2", "(°C)"))
                 .enabledIf(valueIn(kBoiler2[u], 1, 255)))
        .add(scrollBar("HScroll1", 3 * u + 2, kCoolUnitTemperature[u])
                 .tenths()
                 .valueLabel("Label1s", 3 * u + 2)
                 .titled(withUnit("Temp. Cool Unit", "(°C)"))
                 .enabledIf(bitSet(kEnableByte[u], kCoolingUnitBit)));
}

// The T98 switch and the refrigeration settings of cold unit 1..4; they apply while its cold management is
// on, and the second tank's while it has a second probe.
void addColdUnit(EditorDefinition::Place page, int unit) {
    const int u = unit - 1;
    const ColdUnit& c = kColdUnits[u];
    page.add(toggleSwitch("SwitchX1", u, kT98Enable[u]).titled(Caption("Abilita Codice T98")));
    auto tank = page.frame(QStringLiteral("Cold_%1").arg(unit), Caption("Vasca"), 2)
                    .enabledIf(valueIn(kBoiler1[u], 1, 255));
    auto second = page.frame(QStringLiteral("Tank2_%1").arg(unit), Caption("Vasca 2"), 2)
                      .enabledIf(both(valueIn(kBoiler1[u], 1, 255), valueIn(kBoiler2[u], 2, 255)));
    for (int k = 0; k < 10; ++k) {
        const Setting& s = kColdSettings[k];
        const int param = k < kSecondTank ? c.mainFirst + k : c.secondFirst + k - kSecondTank;
        Binding b = scrollBar(c.scroll, c.place[k], param)
                        .valueLabel(c.label, c.place[k])
                        .titled(withUnit(s.caption, s.unit));
        if (s.tenths) b.tenths();
        (k < kSecondTank ? tank : second).add(std::move(b));
    }
}

std::vector<int> offlineOrder() {
    std::vector<int> order = {param::CouplingType};
    for (int u = 0; u < 4; ++u)
        order.insert(order.end(), {kBoiler1[u], kBoiler2[u]});
    order.insert(order.end(), {kEnableByte[0], kEnableByte[1]});
    // Then unit by unit: its main block and its second-tank settings.
    for (int u = 0; u < 4; ++u) {
        for (int i = kT98Enable[u]; i <= kBlockEnd[u]; ++i)
            order.push_back(i);
        for (int i = 0; i < kSecondTankSettings; ++i)
            order.push_back(kColdUnits[u].secondFirst + i);
    }
    return order;
}
} // namespace

FrmTemperatura::FrmTemperatura(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmTemperatura"), Caption("Temperatura"));
    // A boiler tab for each drink unit, a cold tab for each snack unit.
    for (int unit = 1; unit <= 2; ++unit)
        addBoilers(
            d.page(Caption(QStringLiteral("Caldaia Slave %1").arg(unit))).enabledIf(slaveTypeIn(unit, 1, 2)),
            unit);
    for (int unit = 1; unit <= 4; ++unit)
        addColdUnit(d.page(Caption(QStringLiteral("Slave Freddo %1").arg(unit)))
                        .enabledIf(slaveTypeIn(unit, 3, unit == 1 ? 7 : 6)),
                    unit);
    d.extraWatch = {param::CouplingType, kBoiler1[0], kBoiler2[0], kEnableByte[0], kBoiler1[1], kBoiler2[1],
                    kEnableByte[1],      kBoiler1[2], kBoiler2[2], kBoiler1[3],    kBoiler2[3]};
    d.loadOrder = offlineOrder();
    setup(std::move(d));
}

// base candidate: a page whose rule is false is hidden, not only disabled.
void FrmTemperatura::rulesApplied() {
    QTabWidget* t = tabs();
    for (int i = 0; t && i < t->count(); ++i)
        t->setTabVisible(i, t->isTabEnabled(i));
}

} // namespace vm::editors
