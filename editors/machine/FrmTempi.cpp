#include "FrmTempi.h"

#include "Conditions.h"
#include "ParamNames.h"

#include <span>

namespace vm::editors {

namespace {
constexpr int kValveCount[2] = {11, 65};
constexpr int kFreshBrewFirst = param::DrinkTime10; // loaded first, before the flags and the coupled machine
constexpr int kShelfLife = param::ShelfLife; // 18 words: plate number (low byte) and sector (high byte)
constexpr int kShelfLifePairs = 18;
constexpr int kWordMax = 65535;
constexpr int kDrawerRetries[4] = {param::DrawerRetriesSlave1, param::DrawerRetriesSlave2,
                                   param::DrawerRetriesSlave3, param::DrawerRetriesSlave4};

// A time of a drink unit: HScroll1 index, parameter (0: the dispensing word, see dispensingWord), caption.
struct Time {
    int index;
    int param;
    const char* caption;
};
constexpr int kDispensingWord = 0;
// Time n (from 1) of unit u (from 1): every unit keeps 17 times, one after the other from unit 1's.
constexpr int kTimesPerUnit = param::TimesUnit2 - param::TimesUnit1;
constexpr int unitTime(int unit, int n) { return param::TimesUnit1 + kTimesPerUnit * (unit - 1) + n - 1; }
constexpr Time kUnit1Times[] = {{2, unitTime(1, 1), "Tempo On tasto"},
                                {3, unitTime(1, 2), "Periodo illuminazione RND"},
                                {4, param::BlinkTime, "Tempo Lampeggio"},
                                {5, unitTime(1, 4), "Tempo Pompa ST"},
                                {6, unitTime(1, 5), "Tempo lavaggio"},
                                {7, unitTime(1, 6), "Tempo erog. caffè"},
                                {8, kDispensingWord, "Timeout pompa"},
                                {9, unitTime(1, 8), "Timeout carico"}};
constexpr Time kUnit2Times[] = {
    {22, unitTime(2, 1), "Tempo On tasto"},    {23, unitTime(2, 2), "Periodo illuminazione RND"},
    {25, unitTime(2, 4), "Tempo Pompa ST"},    {26, unitTime(2, 5), "Tempo lavaggio"},
    {27, unitTime(2, 6), "Tempo erog. caffè"}, {28, kDispensingWord, "Timeout pompa"},
    {29, unitTime(2, 8), "Timeout carico"}};
// The fresh-brew unit is unit 1 only: its times have no unit-2 counterpart.
constexpr Time kFreshBrew[] = {{10, kFreshBrewFirst, "Acqua infusione tè"},
                               {16, param::CoffeeInfusionWater, "Acqua infusione caffè"},
                               {17, param::CoffeeInfusionTime, "Tempo infusione caffè"},
                               {18, param::TeaInfusionTime, "Tempo infusione tè"}};

// Boards before release 4 keep the word in a table of its own.
Locator dispensingWord(int unit) {
    return [unit](const EditorBase& e) {
        if (e.state().SoftwareRelease >= 4) return unitTime(unit, 7);
        return unit == 1 ? param::DispensingTimeUnit1 : param::DispensingTimeUnit2;
    };
}

bool isDrinkUnit(const EditorBase& e, int unit) {
    const int type = e.state().SlaveType(unit);
    return type == 1 || type == 2;
}

bool isSnackUnit(const EditorBase& e, int unit) {
    return e.state().SlaveType(unit) >= 3;
}

QString unitFrame(const char* what, int unit) {
    return QStringLiteral("%1_%2").arg(QLatin1String(what)).arg(unit);
}

Binding drinkTime(const Time& t, int unit) {
    Binding b = scrollBar("HScroll1", t.index, t.param).titled(Caption(t.caption));
    if (t.param == kDispensingWord) b.at(dispensingWord(unit)).range(0, kWordMax);
    return b;
}

// Pre-wash times per valve, cold-valve timeouts and the times of drink unit 1 or 2 (shown while it is one).
void addDrinkUnit(EditorDefinition::Place page, int unit) {
    const int u = unit - 1;
    const auto drink = [unit](const EditorBase& e) { return isDrinkUnit(e, unit); };
    auto valves = page.frame(unitFrame("EV", unit), Caption("Prelavaggio EV"), 4).visibleIf(drink);
    for (int i = 0; i < 8; ++i)
        // A valve the unit does not have cannot be set.
        valves.add(scrollBar(u ? "HScrollEV2" : "HScrollEV1", i, (u ? param::PreWashTimeUnit2 : param::PreWashTimeUnit1) + i)
                       .titled(Caption(QStringLiteral("EV %1").arg(i + 1)))
                       .enabledIf([valveCount = kValveCount[u], i](const EditorBase& e) {
                           return static_cast<int>(e.currentValue(valveCount)) > i;
                       }));
    auto cold = page.frame(unitFrame("ColdEV", unit), Caption("Timeout EV Fredda"), 2).visibleIf(drink);
    for (int i = 0; i < 12; ++i)
        cold.add(scrollBar(u ? "HScroll5" : "HScroll2", i,
                           (u ? param::ColdValveTimeoutUnit2 : param::ColdValveTimeoutUnit1) + i)
                     .titled(Caption(QStringLiteral("%1  Ev.%2  Fredda")
                                         .arg(i % 2 ? QStringLiteral("ROUT") : QStringLiteral("TOUT"))
                                         .arg(i / 2 + 1))));
    auto times =
        page.frame(unitFrame("Times", unit), Caption(QStringLiteral("Tempi SLAVE %1 (Sec.)").arg(unit)), 2)
            .visibleIf(drink);
    for (const Time& t : u ? std::span<const Time>(kUnit2Times) : std::span<const Time>(kUnit1Times))
        times.add(drinkTime(t, unit));
    if (unit == 1) {
        auto fresh =
            page.frame(QStringLiteral("FreshBrew"), Caption("TEMPI FRESH BREW (Sec.)"), 2).visibleIf(drink);
        for (const Time& t : kFreshBrew)
            fresh.add(drinkTime(t, unit));
    }
}

// The times of snack unit 1..4 (shown while it is one). HScroll3 counts 19 places per unit; the lift and
// spiral-motor timeouts of all four units sit in unit 1's places 1 to 8, plate motor and auto-rotation at
// 76, 77.
void addSnackUnit(EditorDefinition::Place page, int unit) {
    const int u = unit - 1;
    const int base = 19 * u;
    auto f =
        page.frame(unitFrame("Snack", unit), Caption(QStringLiteral("Tempi SLAVE %1 (Sec.)").arg(unit)), 2)
            .visibleIf([unit](const EditorBase& e) { return isSnackUnit(e, unit); });
    f.add(scrollBar("HScroll3", base, unitTime(unit, 15)).titled(Caption("Time Power OFF")))
        .add(scrollBar("HScroll3", 1 + u, param::LiftTimeout + u).titled(Caption("Timeout  Lift")))
        .add(scrollBar("HScroll3", 5 + u, unitTime(unit, 1)).titled(Caption("Timeout motori spirali")))
        .add(scrollBar("HScroll3", base + 17, param::SensorTimeout + u).titled(Caption("Timeout Sensore")))
        .add(scrollBar("HScroll3", base + 18, param::DetectionTime + u).titled(Caption("Tempo Rilevamento")))
        .add(controlArray(
            8, scrollBar("HScroll3", base + 9, kDrawerRetries[u]).titled(Caption("Tentativi cassetto {n}"))));
    if (unit == 1)
        f.add(scrollBar("HScroll3", 76, param::PlateMotorTime).titled(Caption("Tempo Motore Piatto")))
            .add(scrollBar("HScroll3", 77, param::AutoRotation).titled(Caption("AutoRotazione")));
}

// Plate number and sector in the two bytes of one word; either box writes the word with its own byte changed.
void addShelfLife(EditorDefinition::Place page) {
    const Caption error("Error Value or Value out of range");
    for (int k = 0; k < kShelfLifePairs; ++k)
        page.add(numberBox("Text1", 2 * k, kShelfLife + k, kFromCatalogue, 0, 255)
                     .field(0x00FF)
                     .error(error)
                     .titled(Caption("N° Piatto :")))
            .add(numberBox("Text1", 2 * k + 1, kShelfLife + k, kFromCatalogue, 0, 255)
                     .field(0xFF00)
                     .error(error)
                     .titled(Caption("Settore :")));
}
} // namespace

FrmTempi::FrmTempi(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmTempi"), Caption("Tempi e Soglie"));
    d.watchVisibleTab = true; // the link polls the shown unit only
    for (int unit = 1; unit <= 4; ++unit) {
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit)))
                        .enabledIf(slaveTypeIn(unit, 1, unit == 1 ? 7 : 6));
        if (unit <= 2) addDrinkUnit(page, unit);
        addSnackUnit(page, unit);
    }
    addShelfLife(d.page(Caption("Scadenza Prodotto / Settore"), 4));
    // The valve counts decide which pre-wash times can be set.
    d.extraWatch = {kFreshBrewFirst, param::GeneralFlags, param::CouplingType, kValveCount[0],
                    kValveCount[1]};
    setup(std::move(d));
}

} // namespace vm::editors
