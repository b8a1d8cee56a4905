#include "FrmConf.h"

#include "Conditions.h"
#include "ParamNames.h"
#include "StatePalette.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/IndexComboBox.h"
#include "widgets/SliderSwitch.h"
#include "widgets/ToggleSwitch.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <limits>
#include <span>
#include <utility>

namespace vm::editors {

namespace {
// Unit 2's main table lies as far after unit 1's as its first boiler after unit 1's.
constexpr int kUnitStride = param::Boiler1Unit2 - param::Boiler1;

// Product association elements 1..48, 49..56 and 57..70 of each unit; unit 4 has no C table.
constexpr int kAssocA[4] = {param::ProductAssociation, param::ProductAssociation + 48,
                            param::ProductAssociation + 96, param::ProductAssociation + 144};
constexpr int kAssocB[4] = {param::ProductAssociation49, param::ProductAssociation49 + 8,
                            param::ProductAssociation49 + 16, param::ProductAssociation49 + 24};
constexpr int kAssocC[3] = {param::ProductAssociation57, param::ProductAssociation57 + 14,
                            param::ProductAssociation57 + 28};
// A cold unit keeps its cold option in boiler 1's slot and its probe count in boiler 2's.
constexpr int kColdOption[4] = {param::Boiler1, param::Boiler1 + kUnitStride, param::ColdManagementUnit3,
                                param::ColdManagementUnit4};
constexpr int kColdProbes[4] = {param::Boiler2, param::Boiler2 + kUnitStride, param::ColdProbesUnit3,
                                param::ColdProbesUnit4};
const char* const kColdOptionName[4] = {"Option13", "Option14", "Option11", "Option12"};
const char* const kAssocBoxName[4] = {"Text3", "Text4", "Text5", "Text6"};

const char* const kFeatureCaptions[] = {"Serbatoio Treni", "Paletta Dopo",     "Braccio In Erg.", "Mac. Alternato",
                                        "Cooling Unit",    "Sempre Bicchiere", "Sempre Paletta",  "Macinino",
                                        "Doppio Macinino", "Gest .Paletta",    "Gest .Bicchieri", "Gest .Braccio",
                                        "Abilitazione 13"};
// A feature switch: control index, parameter (unit 1's: unit 2 adds the stride), bit, caption (as the unit-1
// switch of the same feature).
struct Feature {
    int control;
    int param;
    int bit;
    int caption;
};
constexpr int kE = param::EnableBytes;
// clang-format off
constexpr Feature kUnit1Features[] = {
    {0, kE, 0, 0},   {1, kE, 1, 1},   {2, kE + 1, 0, 2},   {3, kE, 6, 3},       {4, kE, 4, 4},
    {5, kE, 7, 5},   {6, kE, 5, 6},   {7, kE + 2, 6, 7},   {8, kE, 2, 8},       {9, kE + 1, 1, 9},
    {10, kE, 3, 10}, {11, kE + 2, 7, 11}, {12, param::GeneralFlags2, 6, 12}};
constexpr Feature kUnit2Features[] = {
    {0, kE, 0, 0},   {1, kE, 1, 1},   {2, kE + 1, 0, 2},   {3, kE, 6, 3},       {4, kE, 4, 4},
    {7, kE, 7, 5},   {8, kE, 5, 6},   {9, kE, 2, 8},       {13, kE + 2, 6, 7},  {14, kE + 1, 1, 9},
    {15, kE, 3, 10}, {16, kE + 2, 7, 11}};
// clang-format on
// The keyboard switches on GeneralFlags: control index and bit. Switch 6 writes the byte as it is.
constexpr std::pair<int, int> kGeneralSwitches[] = {{5, 1}, {10, 3}, {11, 2}, {12, 5}, {17, 6}, {18, 7}};

// The association rows of units 1 and 2: scroll array, value labels, unit 1's first parameter and how far
// unit 2's lies after it, caption.
struct Row {
    const char* scroll[2];
    const char* label[2];
    int first;
    int unit2;
    const char* caption;
};
constexpr int kPauseStride = param::FinalPauseUnit2 - param::FinalPauseUnit1;
// clang-format off
const Row kRows[] = {
    {{"HScroll4", "HScroll9"}, {"Label4s", "Label9s"}, param::ValvePowder1, kUnitStride, "1° "},
    {{"HScroll5", "HScroll10"}, {"Label5s", "Label10s"}, param::ValvePowder2, kUnitStride, "2° "},
    {{"HScroll6", "HScroll11"}, {"Label6s", "Label11s"}, param::ValvePowder3, kUnitStride, "3° "},
    {{"HScroll8", "HScroll12"}, {"Label8s", "Label12s"}, param::ValveMixer, kUnitStride, "Abbinamento Ev-Mixer"},
    {{"HScroll20", "HScroll21"}, {"Label20s", "Label21s"}, param::FinalPauseUnit1, kPauseStride,
     "Tempo Pausa Finale"}};
// clang-format on

QString unitFrame(const char* what, int unit) {
    return QStringLiteral("%1_%2").arg(QLatin1String(what)).arg(unit);
}

bool isDrinkUnit(const EditorBase& e, int unit) {
    const int type = e.state().SlaveType(unit);
    return type == 1 || type == 2;
}

// Cold management, cold probes and the product association table of unit 1..4.
void addColdAndAssociations(EditorDefinition::Place page, int unit) {
    const int u = unit - 1;
    // The cold option and probe count share boiler 1's and boiler 2's slots: a drink unit has none.
    page.frame(unitFrame("Cold", unit), Caption("GestioneFreddo"), 3)
        .enabledIf([unit](const EditorBase& e) { return !isDrinkUnit(e, unit); })
        .add(optionButton(kColdOptionName[u], 0, kColdOption[u], kFromCatalogue, 0).titled(Caption("Nessuna")))
        .add(optionButton(kColdOptionName[u], 1, kColdOption[u], kFromCatalogue, 1).titled(Caption("Snack")))
        .add(scrollBar("HScroll14", 100 + u, kColdProbes[u]).titled(Caption("N° Sonde")));
    auto table = page.frame(unitFrame("Assoc", unit), Caption("Associazione Prodotti"), 8);
    for (int i = 0; i < 56; ++i)
        table.add(numberBox(kAssocBoxName[u], i, i < 48 ? kAssocA[u] + i : kAssocB[u] + i - 48, 0, 0, 56)
                      .maskWith(127)
                      .error("Error Value or Value out of range")
                      .titled(Caption(QString::number(i + 1))));
}

std::vector<int> offlineOrder() {
    // The machine kind first: the rules for every later parameter depend on it.
    std::vector<int> order = {param::CouplingType, param::ExtraSugarTime, param::GeneralFlags,
                              param::GeneralFlags2, param::SingleJug};
    const auto range = [&](int first, int last) {
        for (int i = first; i <= last; ++i)
            order.push_back(i);
    };
    range(param::GearMotorSpeedSlave1, param::GearMotorSpeedSlave2 + param::GearMotorSpeedSlave2Count - 1);
    range(param::Boiler1, param::ColdManagementUnit3);
    order.insert(order.end(), {param::ColdManagementUnit3, param::ColdProbesUnit3, param::ColdManagementUnit4,
                               param::ColdProbesUnit4});
    for (int u = 0; u < 4; ++u) {
        range(kAssocA[u], kAssocA[u] + 47);
        range(kAssocB[u], kAssocB[u] + 7);
        if (u < 3) range(kAssocC[u], kAssocC[u] + 13);
    }
    range(param::FinalPauseUnit1, param::FinalPauseUnit2 + param::FinalPauseUnit2Count - 1);
    range(param::PumpTimesUnit1, param::PumpTimesUnit2 + param::PumpTimesUnit2Count - 1);
    return order;
}
} // namespace

int FrmConf::ExpectedCount(const ProgramState& s) {
    const auto drinkOrCold = [](int type) { return type == 1 || type == 2 ? 68 : type == 0 ? 0 : 50; };
    return drinkOrCold(s.SlaveType1) + drinkOrCold(s.SlaveType2) + (s.SlaveType3 >= 3 ? 50 : 0) +
           (s.SlaveType4 >= 3 ? 50 : 0);
}

FrmConf::FrmConf(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmConf"), Caption("Configurazione"));
    auto general = d.page(Caption("Generale"));
    general
        .add(comboBox("Combo1", 0, param::CouplingType, kFromCatalogue,
                      {"Nessuna", "KTR 921", "KTR 600", "DUR 400", "DUR 700"})
                 .values({0, 3, 4, 2, 2})
                 // the machine's choice rewrites both flag bytes
                 .reads({param::GeneralFlags, param::GeneralFlags2})
                 .onWrite([this](int& coupling) { return writeCoupling(coupling); })
                 .onShow([this](int index, const ParamData& value) { showCoupling(index, value); })
                 .titled(Caption("Macchina Accoppiata")))
        .add(
            checkBox("Check1", 0, param::GeneralFlags, kFromCatalogue, 0x20).titled(Caption("Vertical Code")))
        .add(sliderSwitch("iSwitchSliderX1", 0, param::GeneralFlags, kFromCatalogue,
                          {"None", "Horizontal Code", "Vertical Code F", "Vertical Code C"})
                 .reads({param::GeneralFlags2, param::CouplingType})
                 .onWrite([this](int& stored) {
                     keepFlagBytes(generalflags::forCode(stored, state().CouplingType, flagBytes()));
                     stored = static_cast<int>(bitCopy(param::GeneralFlags));
                     return true;
                 })
                 .afterWrite([this](int) { writeParam(param::GeneralFlags2, bitCopy(param::GeneralFlags2)); })
                 .onShow([this](int, const ParamData&) { showCodeSlider(); })
                 .titled(Caption("Codice")));
    auto keys = general.frame(QStringLiteral("Frame5"), Caption("Tastiere"), 3);
    for (const auto& [control, bit] : kGeneralSwitches) {
        // Which other bits a switch clears depends on the coupled machine; switch 17 also GeneralFlags2.
        Binding b =
            toggleSwitch("iSwitchToggleX2", control, param::GeneralFlags, kFromCatalogue, 1u << bit)
                .reads({param::CouplingType, param::GeneralFlags2})
                .onWrite([this, control, bit](int& flags) {
                    generalflags::Bytes bytes = flagBytes();
                    bytes.flags = static_cast<std::uint32_t>(flags);
                    const bool nowSet = ((bytes.flags >> bit) & 1u) != 0;
                    const int coupling = state().CouplingType;
                    keepFlagBytes(generalflags::afterKeyboardSwitch(control, nowSet, coupling, bytes));
                    flags = static_cast<int>(bitCopy(param::GeneralFlags));
                    return true;
                })
                .titled(Caption(QStringLiteral("Bit %1").arg(bit)));
        if (control == 10)
            b.captionLabel("Label7", 16)
                .enabledIf(both(bitSet(param::GeneralFlags, 0x04), negate(couplingIs({4, 5}))));
        keys.add(std::move(b));
    }
    general.frame(QStringLiteral("Frame6"), Caption("SLAVE 1"), 4)
        .add(controlArray(8, scrollBar("HScroll14", 0, param::GearMotorSpeedSlave1).titled(Caption("{n}"))));
    general.frame(QStringLiteral("Frame7"), Caption("SLAVE 2"), 4)
        .add(controlArray(8, scrollBar("HScroll13", 0, param::GearMotorSpeedSlave2).titled(Caption("{n}"))));
    general.frame(QStringLiteral("Frame8"), Caption("Tempo Extra Zucchero"))
        .add(scrollBar("HScroll14", 8, param::ExtraSugarTime));
    general.frame(QStringLiteral("Frame9"), Caption("Bricco Unico"))
        .add(scrollBar("HScroll14", 9, param::SingleJug));

    // A unit's page exists when its slot holds a unit (1..7 for unit 1, 1..6 for the others).
    for (int unit = 1; unit <= 4; ++unit) {
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit))).enabledIf(slaveTypeIn(unit, 1, unit == 1 ? 7 : 6));
        if (unit <= 2) addDrinkUnit(page, unit);
        addColdAndAssociations(page, unit);
    }
    d.extraWatch = {param::ExtraSugarTime, param::CouplingType, param::GeneralFlags, param::GeneralFlags2,
                    param::SingleJug};
    d.loadOrder = offlineOrder();
    setup(std::move(d));
    // Connected, the pages wait for a complete set of the board's values.
    lockPagesUntilDelivered(ExpectedCount(context().state));
}

// Boilers, groups, probes, counts, valve rows, pump times and feature switches of drink unit 1 or 2.
void FrmConf::addDrinkUnit(EditorDefinition::Place page, int unit) {
    const int u = unit - 1;
    const int o = u * kUnitStride;
    // A cold or snack unit keeps other settings in these slots: the drink rows are for drink units only.
    const auto drinkUnit = [unit](const EditorBase& e) { return isDrinkUnit(e, unit); };
    const auto options = [&](const char* frameName, const char* caption, const char* control, int param,
                             std::vector<std::pair<const char*, int>> choices) {
        auto f = page.frame(unitFrame(frameName, unit), Caption(caption), static_cast<int>(choices.size()))
                     .enabledIf(drinkUnit);
        for (std::size_t k = 0; k < choices.size(); ++k)
            f.add(optionButton(control, static_cast<int>(k), param, kFromCatalogue, choices[k].second)
                      .titled(Caption(choices[k].first)));
    };
    options("Boiler1", "Caldaia 1", u ? "Option3" : "Option2", param::Boiler1 + o,
            {{" ", 0}, {"Inox", 1}, {"Polisulfone", 2}});
    options("Boiler2", "Caldaia 2", u ? "Option7" : "Option5", param::Boiler2 + o,
            {{" ", 0}, {"Inox", 2}, {"Polisulfone", 3}});
    options("Group1", "Gruppo 1", u ? "Option15" : "Option4", param::Groups + o, {{"No", 0}, {"Si", 1}});
    options("Group2", "Gruppo 2", u ? "Option17" : "Option16", param::Groups + 1 + o, {{"No", 0}, {"Si", 1}});

    const QString box = u ? QStringLiteral("Text2") : QStringLiteral("Text1");
    page.frame(unitFrame("Unit", unit), Caption("Configurazione"), 3)
        .enabledIf(drinkUnit)
        .add(scrollBar("HScroll1", u, param::ProbeMinimum + o).titled(Caption("Sonda Min")))
        .add(scrollBar("HScroll1", 2 + u, param::ProbeMaximum + o).titled(Caption("Sonda Max")))
        .add(numberBox(box, 0, param::ValveCount + o, kFromCatalogue, 1, 8)
                 .refuseZero()
                 .keepTextOnFocus()
                 .titled(Caption("N° EV")))
        .add(numberBox(box, 1, param::MixerCount + o, kFromCatalogue, 0, 8)
                 .keepTextOnFocus()
                 .titled(Caption("N° Mixer")))
        .add(numberBox(box, 2, param::BoxCount + o, kFromCatalogue, 1, 9)
                 .refuseZero()
                 .keepTextOnFocus()
                 .reads({param::SugarBox + o})
                 .onWrite([this, o](int& boxes) {
                     if (boxes < static_cast<int>(currentValue(param::SugarBox + o)))
                         showInfo(QStringLiteral(" Change Number Sugar Box  "));
                     return true;
                 })
                 .titled(Caption("N° Scatole")))
        // The sugar box takes any number: past the number of boxes, the number of boxes is written and the
        // box shows red.
        .add(numberBox(box, 3, param::SugarBox + o, kFromCatalogue, 0, std::numeric_limits<int>::max())
                 .keepTextOnFocus()
                 .reads({param::BoxCount + o})
                 .onWrite([this, o](int& sugarBox) {
                     const int boxes = static_cast<int>(currentValue(param::BoxCount + o));
                     if (sugarBox <= boxes) return true;
                     showError(QStringLiteral(" Error: Value Out Of Range "));
                     sugarBox = boxes;
                     sugarBoxRefused_ = true;
                     return true;
                 })
                 .afterWrite([this, box](int) {
                     if (std::exchange(sugarBoxRefused_, false))
                         static_cast<CommitLineEdit*>(control(box, 3))->rejectCommit();
                 })
                 .titled(Caption("Scatola Zucchero")));

    for (const Row& r : kRows) {
        auto f = page.frame(unitFrame(r.scroll[u], unit), Caption(r.caption), 4);
        for (int i = 0; i < 8; ++i)
            // A valve element is there to set when the unit is a drink unit with more than i valves.
            f.add(scrollBar(r.scroll[u], i, r.first + u * r.unit2 + i)
                      .valueLabel(r.label[u], i)
                      .titled(Caption(QString::number(i + 1)))
                      .enabledIf([unit, o, i](const EditorBase& e) {
                          return isDrinkUnit(e, unit) &&
                                 static_cast<int>(e.currentValue(param::ValveCount + o)) > i;
                      }));
    }
    const int pump = u ? param::PumpTimesUnit2 : param::PumpTimesUnit1;
    page.frame(unitFrame("Pump", unit), Caption("POMPA"), 2)
        .add(scrollBar("HScroll2", 2 * u, pump).titled(Caption("Tempo Start POMPA")))
        .add(scrollBar("HScroll2", 2 * u + 1, pump + 1).titled(Caption("Tempo Off POMPA")));

    // The feature switches stay locked while the window waits for the board's values.
    auto features =
        page.frame(u ? QStringLiteral("Frame31") : QStringLiteral("Frame30"), Caption("ABILITAZIONI"), 3)
            .enabledIf([unit](const EditorBase& e) { return !e.pagesLocked() && isDrinkUnit(e, unit); });
    const QString name = u ? QStringLiteral("iSwitchToggleX2") : QStringLiteral("iSwitchToggleX1");
    const auto table =
        u ? std::span<const Feature>(kUnit2Features) : std::span<const Feature>(kUnit1Features);
    for (const Feature& f : table) {
        Binding b = toggleSwitch(name, f.control, f.param + o, kFromCatalogue, 1u << f.bit)
                        .titled(Caption(kFeatureCaptions[f.caption]));
        if (u == 0 && f.control == 11)
            b.captionLabel("Label7", 25).enabledIf([](const EditorBase& e) {
                return !e.state().ParamIsValid(param::Boiler1, 0) || e.state().CouplingType == 2;
            });
        features.add(std::move(b));
    }
}

void FrmConf::buildExtra() {
    // Label11 shows the chosen machine beside the list.
    QWidget* combo = control(QStringLiteral("Combo1"), 0);
    auto* machine = new QLabel(combo->parentWidget());
    registerControl(QStringLiteral("Label11"), 0, machine);
    auto* grid = static_cast<QGridLayout*>(combo->parentWidget()->layout());
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(combo), &row, &column, &rows, &columns);
    grid->addWidget(machine, row, column + 1);
    // General switch 6 writes the flags byte as it is.
    auto* same = new ToggleSwitch(frame(QStringLiteral("Frame5")));
    registerControl(QStringLiteral("iSwitchToggleX2"), 6, same);
    addRow(frame(QStringLiteral("Frame5")), captionLabel(Caption("Bit -")), same);
    connect(same, &ToggleSwitch::toggled, this, [this] {
        if (!isLoading()) writeParam(param::GeneralFlags, bitCopy(param::GeneralFlags));
    });
    requireValues(same, {param::GeneralFlags});
    for (int unit = 1; unit <= 4; ++unit) {
        QGroupBox* table = frame(unitFrame("Assoc", unit));
        addButton(QStringLiteral("Command%1").arg(unit), 0, Caption("RESET"), table, [this, unit] {
            if (confirm(QStringLiteral("Reset Prodotti Uguali"))) resetAssociations(unit);
        });
        addRow(table, nullptr, control(QStringLiteral("Command%1").arg(unit), 0));
    }
}

void FrmConf::resetAssociations(int unit) {
    const int u = unit - 1;
    QWidget* parts[] = {frame(unitFrame("Cold", unit)), frame(unitFrame("Assoc", unit)),
                        control(QStringLiteral("Command%1").arg(unit), 0)};
    for (QWidget* w : parts)
        w->setEnabled(false);
    // Units 1..3 take the standard products, unit 4 its elements in order.
    const bool standard = unit <= 3;
    for (int i = 0; i < 48; ++i)
        writeParam(kAssocA[u] + i, 0, 1,
                   static_cast<std::uint32_t>(standard ? 2 + i % 8 + 10 * (i / 8) : i + 1));
    for (int i = 0; i < 8; ++i)
        writeParam(kAssocB[u] + i, 0, 1, static_cast<std::uint32_t>(standard ? 62 + i : i + 1));
    for (int i = 0; standard && i < 14; ++i)
        writeParam(kAssocC[u] + i, 0, 1, static_cast<std::uint32_t>(10 * (i / 2) + (i % 2 == 0 ? 10 : 1)));
    for (QWidget* w : parts)
        w->setEnabled(true);
}

generalflags::Bytes FrmConf::flagBytes() const {
    return {bitCopy(param::GeneralFlags), bitCopy(param::GeneralFlags2)};
}

void FrmConf::keepFlagBytes(generalflags::Bytes b) {
    setBitCopy(param::GeneralFlags, b.flags);
    setBitCopy(param::GeneralFlags2, b.flags2);
}

// The machine's choice rewrites both flag bytes before the coupling type itself is written.
bool FrmConf::writeCoupling(int coupling) {
    context().state.CouplingType = static_cast<std::uint8_t>(coupling);
    const int position = static_cast<IndexComboBox*>(control(QStringLiteral("Combo1"), 0))->currentIndex();
    const generalflags::Bytes b = generalflags::forMachine(position, flagBytes());
    setBitCopy(param::GeneralFlags2, b.flags2);
    writeParam(param::GeneralFlags2, b.flags2);
    setBitCopy(param::GeneralFlags, b.flags);
    writeParam(param::GeneralFlags, b.flags);
    return true;
}

void FrmConf::showCoupling(int index, const ParamData& value) {
    const double* v = std::get_if<double>(&value);
    if (v && index == param::CouplingType) context().state.CouplingType = static_cast<std::uint8_t>(*v);
    auto* combo = static_cast<IndexComboBox*>(control(QStringLiteral("Combo1"), 0));
    const int coupling = static_cast<int>(currentValue(param::CouplingType));
    const int position = generalflags::machinePosition(coupling, currentValue(param::GeneralFlags));
    combo->setCurrentIndex(position);
    auto* label = static_cast<QLabel*>(control(QStringLiteral("Label11"), 0));
    if (label) label->setText(position >= 0 ? combo->itemText(position) : QString::number(coupling));
}

void FrmConf::showCodeSlider() {
    const int position =
        generalflags::codePosition({currentValue(param::GeneralFlags), currentValue(param::GeneralFlags2)});
    static_cast<SliderSwitch*>(control(QStringLiteral("iSwitchSliderX1"), 0))->setValue(position);
}

// Valve labels: light yellow where the element can be set, the button face where it cannot.
void FrmConf::rulesApplied() {
    for (int u = 0; u < 2; ++u)
        for (const Row& r : kRows)
            for (int i = 0; i < 8; ++i)
                if (QLabel* label = valueLabel(QLatin1String(r.scroll[u]), i))
                    if (const QWidget* bar = control(QLatin1String(r.scroll[u]), i))
                        paintState(label, bar->isEnabled() ? PaletteState::Highlight : PaletteState::Face);
}

} // namespace vm::editors
