#include "FrmConf.h"

#include "Conditions.h"
#include "ParamNames.h"
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
constexpr int kUnitStride = 54; // unit 2's main table lies 54 parameters after unit 1's
constexpr int kValveCount = 11, kBoxCount = 13, kSugarBox = 14;

// Product association elements 1..48, 49..56 and 57..70 of each unit; unit 4 has no C table.
constexpr int kAssocA[4] = {param::ProductAssociation, param::ProductAssociation + 48,
                            param::ProductAssociation + 96, param::ProductAssociation + 144};
constexpr int kAssocB[4] = {param::ProductAssociation49, param::ProductAssociation49 + 8,
                            param::ProductAssociation49 + 16, param::ProductAssociation49 + 24};
constexpr int kAssocC[3] = {param::ProductAssociation57, param::ProductAssociation57 + 14,
                            param::ProductAssociation57 + 28};
constexpr int kColdOption[4] = {1, 55, 109, 117};  // shares boiler 1's slot
constexpr int kColdProbes[4] = {2, 56, 110, 118};  // shares boiler 2's slot
const char* const kColdOptionName[4] = {"Option13", "Option14", "Option11", "Option12"};
const char* const kAssocBoxName[4] = {"Text3", "Text4", "Text5", "Text6"};

const char* const kFeatureCaptions[] = {"Serbatoio Treni", "Paletta Dopo",     "Braccio In Erg.", "Mac. Alternato",
                                        "Cooling Unit",    "Sempre Bicchiere", "Sempre Paletta",  "Macinino",
                                        "Doppio Macinino", "Gest .Paletta",    "Gest .Bicchieri", "Gest .Braccio",
                                        "Abilitazione 13"};
// A feature switch: control index, parameter, bit, caption (as the unit-1 switch of the same feature).
struct Feature {
    int control;
    int param;
    int bit;
    int caption;
};
// clang-format off
constexpr Feature kUnit1Features[] = {{0, 6, 0, 0},  {1, 6, 1, 1},   {2, 7, 0, 2},  {3, 6, 6, 3},  {4, 6, 4, 4},
                                      {5, 6, 7, 5},  {6, 6, 5, 6},   {7, 8, 6, 7},  {8, 6, 2, 8},  {9, 7, 1, 9},
                                      {10, 6, 3, 10}, {11, 8, 7, 11}, {12, param::GeneralFlags2, 6, 12}};
// clang-format on
constexpr Feature kUnit2Features[] = {{0, 60, 0, 0},  {1, 60, 1, 1},  {2, 61, 0, 2},   {3, 60, 6, 3},
                                      {4, 60, 4, 4},  {7, 60, 7, 5},  {8, 60, 5, 6},   {9, 60, 2, 8},
                                      {13, 62, 6, 7}, {14, 61, 1, 9}, {15, 60, 3, 10}, {16, 62, 7, 11}};
// The general switches on 1855: control index and bit. Switch 6 writes the byte unchanged (buildExtra).
constexpr std::pair<int, int> kGeneralSwitches[] = {{5, 1}, {10, 3}, {11, 2}, {12, 5}, {17, 6}, {18, 7}};

// The association rows of units 1 and 2: scroll array, value labels, first parameter of unit 1, caption.
struct Row {
    const char* scroll[2];
    const char* label[2];
    int first[2];
    const char* caption;
};
const Row kRows[] = {{{"HScroll4", "HScroll9"}, {"Label4s", "Label9s"}, {25, 79}, "1° "},
                     {{"HScroll5", "HScroll10"}, {"Label5s", "Label10s"}, {35, 89}, "2° "},
                     {{"HScroll6", "HScroll11"}, {"Label6s", "Label11s"}, {45, 99}, "3° "},
                     {{"HScroll8", "HScroll12"}, {"Label8s", "Label12s"}, {15, 69}, "Abbinamento Ev-Mixer"},
                     {{"HScroll20", "HScroll21"}, {"Label20s", "Label21s"}, {11658, 11668}, "Tempo Pausa Finale"}};

QString unitFrame(const char* what, int unit) {
    return QStringLiteral("%1_%2").arg(QLatin1String(what)).arg(unit);
}

bool isDrinkUnit(const EditorBase& e, int unit) {
    const int type = e.state().SlaveType(unit);
    return type == 1 || type == 2;
}

// Boilers, groups, probes, counts, valve rows, pump times and feature switches of drink unit 1 or 2.
void addDrinkUnit(EditorDefinition::Place page, int unit) {
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
    options("Boiler1", "Caldaia 1", u ? "Option3" : "Option2", 1 + o, {{" ", 0}, {"Inox", 1}, {"Polisulfone", 2}});
    options("Boiler2", "Caldaia 2", u ? "Option7" : "Option5", 2 + o, {{" ", 0}, {"Inox", 2}, {"Polisulfone", 3}});
    options("Group1", "Gruppo 1", u ? "Option15" : "Option4", 9 + o, {{"No", 0}, {"Si", 1}});
    options("Group2", "Gruppo 2", u ? "Option17" : "Option16", 10 + o, {{"No", 0}, {"Si", 1}});

    const QString box = u ? QStringLiteral("Text2") : QStringLiteral("Text1");
    // The sugar box takes any number: past the number of boxes, the number of boxes is written (beforeWrite).
    page.frame(unitFrame("Unit", unit), Caption("Configurazione"), 3)
        .enabledIf(drinkUnit)
        .add(scrollBar("HScroll1", u, 3 + o).titled(Caption("Sonda Min")))
        .add(scrollBar("HScroll1", 2 + u, 4 + o).titled(Caption("Sonda Max")))
        .add(numberBox(box, 0, kValveCount + o, kFromCatalogue, 1, 8).refuseZero().keepTextOnFocus().titled(Caption("N° EV")))
        .add(numberBox(box, 1, 12 + o, kFromCatalogue, 0, 8).keepTextOnFocus().titled(Caption("N° Mixer")))
        .add(numberBox(box, 2, kBoxCount + o, kFromCatalogue, 1, 9).refuseZero().keepTextOnFocus()
                 .reads({kSugarBox + o}).titled(Caption("N° Scatole")))
        .add(numberBox(box, 3, kSugarBox + o, kFromCatalogue, 0, std::numeric_limits<int>::max()).keepTextOnFocus()
                 .reads({kBoxCount + o}).titled(Caption("Scatola Zucchero")));

    for (const Row& r : kRows) {
        auto f = page.frame(unitFrame(r.scroll[u], unit), Caption(r.caption), 4);
        for (int i = 0; i < 8; ++i)
            // A valve element is there to set when the unit is a drink unit with more than i valves.
            f.add(scrollBar(r.scroll[u], i, r.first[u] + i)
                      .valueLabel(r.label[u], i)
                      .titled(Caption(QString::number(i + 1)))
                      .enabledIf([unit, o, i](const EditorBase& e) {
                          return isDrinkUnit(e, unit) && static_cast<int>(e.currentValue(kValveCount + o)) > i;
                      }));
    }
    page.frame(unitFrame("Pump", unit), Caption("POMPA"), 2)
        .add(scrollBar("HScroll2", 2 * u, 11698 + 2 * u).titled(Caption("Tempo Start POMPA")))
        .add(scrollBar("HScroll2", 2 * u + 1, 11699 + 2 * u).titled(Caption("Tempo Off POMPA")));

    // The feature switches stay locked while the window waits for the board's values.
    auto features = page.frame(u ? QStringLiteral("Frame31") : QStringLiteral("Frame30"), Caption("ABILITAZIONI"), 3)
                        .enabledIf([unit](const EditorBase& e) { return !e.waiting() && isDrinkUnit(e, unit); });
    const QString name = u ? QStringLiteral("iSwitchToggleX2") : QStringLiteral("iSwitchToggleX1");
    for (const Feature& f : u ? std::span<const Feature>(kUnit2Features) : std::span<const Feature>(kUnit1Features)) {
        Binding b = toggleSwitch(name, f.control, f.param, kFromCatalogue, 1u << f.bit)
                        .titled(Caption(kFeatureCaptions[f.caption]));
        if (u == 0 && f.control == 11)
            b.captionLabel("Label7", 25).enabledIf([](const EditorBase& e) {
                return !e.state().ParamIsValid(1, 0) || e.state().CouplingType == 2;
            });
        features.add(std::move(b));
    }
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
    range(9477, 9492);
    range(1, 109);
    order.insert(order.end(), {109, 110, 117, 118});
    for (int u = 0; u < 4; ++u) {
        range(kAssocA[u], kAssocA[u] + 47);
        range(kAssocB[u], kAssocB[u] + 7);
        if (u < 3) range(kAssocC[u], kAssocC[u] + 13);
    }
    range(11658, 11675);
    range(11698, 11701);
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
                 .titled(Caption("Macchina Accoppiata")))
        .add(
            checkBox("Check1", 0, param::GeneralFlags, kFromCatalogue, 0x20).titled(Caption("Vertical Code")))
        .add(sliderSwitch("iSwitchSliderX1", 0, param::GeneralFlags, kFromCatalogue,
                          {"None", "Horizontal Code", "Vertical Code F", "Vertical Code C"})
                 .reads({param::GeneralFlags2, param::CouplingType})
                 .titled(Caption("Codice")));
    auto keys = general.frame(QStringLiteral("Frame5"), Caption("Tastiere"), 3);
    for (const auto& [control, bit] : kGeneralSwitches) {
        // Which other bits a switch clears depends on the coupled machine; switch 17 also changes 1856.
        Binding b = toggleSwitch("iSwitchToggleX2", control, param::GeneralFlags, kFromCatalogue, 1u << bit)
                        .reads({param::CouplingType, param::GeneralFlags2})
                        .titled(Caption(QStringLiteral("Bit %1").arg(bit)));
        if (control == 10)
            b.captionLabel("Label7", 16)
                .enabledIf(both(bitSet(param::GeneralFlags, 0x04), negate(couplingIs({4, 5}))));
        keys.add(std::move(b));
    }
    general.frame(QStringLiteral("Frame6"), Caption("SLAVE 1"), 4)
        .add(controlArray(8, scrollBar("HScroll14", 0, 9477).titled(Caption("{n}"))));
    general.frame(QStringLiteral("Frame7"), Caption("SLAVE 2"), 4)
        .add(controlArray(8, scrollBar("HScroll13", 0, 9485).titled(Caption("{n}"))));
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
    const int expected = ExpectedCount(context().state);
    if (context().state.Online && expected > 0) {
        startWaiting(expected);
        setPagesLocked(true);
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
    if (unit <= 3) {
        for (int i = 0; i < 48; ++i)
            writeParam(kAssocA[u] + i, 0, 1, static_cast<std::uint32_t>(2 + i % 8 + 10 * (i / 8)));
        for (int i = 0; i < 8; ++i)
            writeParam(kAssocB[u] + i, 0, 1, static_cast<std::uint32_t>(62 + i));
        for (int i = 0; i < 14; ++i)
            writeParam(kAssocC[u] + i, 0, 1, static_cast<std::uint32_t>(10 * (i / 2) + (i % 2 == 0 ? 10 : 1)));
    } else {
        for (int i = 0; i < 48; ++i)
            writeParam(kAssocA[u] + i, 0, 1, static_cast<std::uint32_t>(i + 1));
        for (int i = 0; i < 8; ++i)
            writeParam(kAssocB[u] + i, 0, 1, static_cast<std::uint32_t>(i + 1));
    }
    for (QWidget* w : parts)
        w->setEnabled(true);
}

bool FrmConf::writeCoupling(int position) {
    std::uint32_t flags = bitCopy(param::GeneralFlags), flags2 = bitCopy(param::GeneralFlags2);
    switch (position) {
    case 1: // KTR 921
    case 2: // KTR 600
        flags &= ~0x80u;
        break;
    case 3: // DUR 400
        flags2 |= 0x10;
        flags |= 0x80;
        break;
    case 4: // DUR 700
        flags2 |= 0x10;
        flags &= ~0x80u;
        break;
    default:
        break;
    }
    setBitCopy(param::GeneralFlags2, flags2);
    writeParam(param::GeneralFlags2, flags2);
    setBitCopy(param::GeneralFlags, flags);
    writeParam(param::GeneralFlags, flags);
    return true;
}

// The bits another general switch must lose when one is switched, by coupled machine.
void FrmConf::clearDependentBits(int switchIndex, bool nowSet) {
    std::uint32_t flags = bitCopy(param::GeneralFlags);
    const int coupling = state().CouplingType;
    const auto clear = [&](std::initializer_list<int> bits) {
        for (int b : bits)
            flags &= ~(1u << b);
    };
    switch (switchIndex) {
    case 5:
        if (nowSet && (coupling == 2 || coupling == 6)) clear({6});
        if (nowSet && coupling == 3) clear({2, 6});
        break;
    case 11:
        if (nowSet && coupling == 1) clear({7});
        if (nowSet && (coupling == 2 || coupling == 6)) clear({6, 7});
        if (coupling == 3) flags &= 157;
        break;
    case 12:
        if (nowSet && (coupling == 2 || coupling == 3 || coupling == 6)) clear({6});
        break;
    case 17:
        if (nowSet && coupling == 2) clear({1, 2, 5});
        if (coupling == 3) flags &= 217;
        if (nowSet && coupling == 6) {
            clear({2, 5});
            // written with the next change of GeneralFlags2
            setBitCopy(param::GeneralFlags2, bitCopy(param::GeneralFlags2) & ~0x04u);
        }
        break;
    case 18:
        if (coupling == 1) clear({2});
        break;
    default:
        break;
    }
    setBitCopy(param::GeneralFlags, flags);
}

bool FrmConf::beforeWrite(const Binding& b, int& stored) {
    ProgramState& s = context().state;
    if (b.control == QLatin1String("Combo1")) {
        s.CouplingType = static_cast<std::uint8_t>(stored);
        return writeCoupling(static_cast<IndexComboBox*>(control(b.control, 0))->currentIndex());
    }
    if (b.control == QLatin1String("iSwitchSliderX1")) {
        std::uint32_t flags = bitCopy(param::GeneralFlags), flags2 = bitCopy(param::GeneralFlags2);
        const int position = stored;
        flags = position == 0 ? flags & ~0x22u : position == 1 ? (flags | 0x02u) & ~0x20u : flags | 0x22u;
        if (position >= 2 && s.CouplingType == 6) flags &= ~0x40u;
        flags2 = position == 3 ? flags2 | 0x04u : flags2 & ~0x04u;
        setBitCopy(param::GeneralFlags, flags);
        setBitCopy(param::GeneralFlags2, flags2);
        stored = static_cast<int>(flags);
        return true;
    }
    if (b.control == QLatin1String("iSwitchToggleX2") && b.index == param::GeneralFlags) {
        setBitCopy(param::GeneralFlags, static_cast<std::uint32_t>(stored));
        clearDependentBits(b.controlIndex, (static_cast<unsigned>(stored) & b.bitMask) != 0);
        stored = static_cast<int>(bitCopy(param::GeneralFlags));
        return true;
    }
    if (b.control == QLatin1String("Text1") || b.control == QLatin1String("Text2")) {
        const int o = b.control == QLatin1String("Text2") ? kUnitStride : 0;
        if (b.controlIndex == 2 && stored < static_cast<int>(currentValue(kSugarBox + o)))
            showInfo(QStringLiteral(" Change Number Sugar Box  "));
        if (b.controlIndex == 3 && stored > static_cast<int>(currentValue(kBoxCount + o))) {
            // Past the number of boxes: the number of boxes becomes the sugar box, and the box shows red.
            showError(QStringLiteral(" Error: Value Out Of Range "));
            stored = static_cast<int>(currentValue(kBoxCount + o));
            sugarBoxRefused_ = true;
        }
    }
    return true;
}

void FrmConf::afterWrite(const Binding& b, int) {
    if (b.control == QLatin1String("iSwitchSliderX1"))
        writeParam(param::GeneralFlags2, bitCopy(param::GeneralFlags2));
    if (std::exchange(sugarBoxRefused_, false))
        static_cast<CommitLineEdit*>(control(b.control, b.controlIndex))->rejectCommit();
}

void FrmConf::afterDelivery(int index, const ParamData& value) {
    if (index == param::CouplingType) {
        if (const double* v = std::get_if<double>(&value)) context().state.CouplingType = static_cast<std::uint8_t>(*v);
        showCoupling();
    }
    if (index == param::GeneralFlags) showCoupling();
    if (index == param::GeneralFlags || index == param::GeneralFlags2) showCodeSlider();
}

// DUR 400 and DUR 700 share the coupling value 2; bit 7 of the flags tells them apart.
void FrmConf::showCoupling() {
    auto* combo = static_cast<IndexComboBox*>(control(QStringLiteral("Combo1"), 0));
    const int coupling = static_cast<int>(currentValue(param::CouplingType));
    const int position = coupling == 0   ? 0
                         : coupling == 3 ? 1
                         : coupling == 4 ? 2
                         : coupling == 2 ? ((currentValue(param::GeneralFlags) & 0x80) ? 3 : 4)
                                         : -1;
    combo->setCurrentIndex(position);
    auto* label = static_cast<QLabel*>(control(QStringLiteral("Label11"), 0));
    if (label) label->setText(position >= 0 ? combo->itemText(position) : QString::number(coupling));
}

void FrmConf::showCodeSlider() {
    const std::uint32_t flags = currentValue(param::GeneralFlags);
    const int position = !(flags & 0x02)                               ? 0
                         : !(flags & 0x20)                             ? 1
                         : (currentValue(param::GeneralFlags2) & 0x04) ? 3
                                                                       : 2;
    static_cast<SliderSwitch*>(control(QStringLiteral("iSwitchSliderX1"), 0))->setValue(position);
}

void FrmConf::waitingDone() {
    setPagesLocked(false); // EnableTable
}

// Valve labels: light yellow where the element can be set, the button face where it cannot.
void FrmConf::rulesApplied() {
    for (int u = 0; u < 2; ++u)
        for (const Row& r : kRows)
            for (int i = 0; i < 8; ++i) {
                QLabel* label = valueLabel(QLatin1String(r.scroll[u]), i);
                QWidget* bar = control(QLatin1String(r.scroll[u]), i);
                if (!label || !bar) continue;
                const QColor colour = bar->isEnabled() ? QColor(0xFF, 0xFF, 0xC0) : palette().color(QPalette::Button);
                if (label->autoFillBackground() && label->palette().color(QPalette::Window) == colour) continue;
                label->setAutoFillBackground(true);
                QPalette p = label->palette();
                p.setColor(QPalette::Window, colour);
                label->setPalette(p);
            }
}

} // namespace vm::editors
