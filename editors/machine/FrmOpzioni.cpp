#include "FrmOpzioni.h"

#include "Catalogue.h"
#include "Conditions.h"
#include "ParamNames.h"
#include "widgets/SliderSwitch.h"

#include <QGroupBox>
#include <QLabel>

#include <bit>
#include <span>
#include <vector>

namespace vm::editors {

namespace {
constexpr int kVendingMode = 12; // unit 1's slot; position 2 (mixed) uses the plate compartments
constexpr int kMixedVending = 2;
constexpr int kCompartmentsLow = 6, kCompartmentsHigh = 7;

// One option bit of a switch array: control index, byte, bit.
struct BitSwitch {
    int index;
    int param;
    unsigned mask;
};
// Unit 1: the first panel, then the second (indexes 10, 11, 12 and 18 show options of the first again).
constexpr BitSwitch kUnit1First[] = {
    {0, 7, 0x08}, {1, 7, 0x10}, {2, 7, 0x20}, {3, 7, 0x40}, {4, param::UnitOptions2, 0x08},
    {5, 8, 0x01}, {6, 8, 0x04}, {7, 8, 0x08}, {8, 8, 0x10}, {9, 8, 0x20}};
constexpr BitSwitch kUnit1Second[] = {{10, 8, 0x08},
                                      {11, 8, 0x01},
                                      {12, 8, 0x10},
                                      {13, param::UnitOptions2, 0x02},
                                      {16, param::UnitOptions2, 0x04},
                                      {17, param::UnitOptions2, 0x01},
                                      {18, 7, 0x10}};
constexpr BitSwitch kGeneral[] = {{14, param::GeneralFlags2, 0x01}, {15, param::GeneralFlags2, 0x02},
                                  {26, param::GeneralFlags2, 0x20}, {27, param::GeneralFlags2, 0x80},
                                  {28, param::GeneralFlags, 0x02},  {29, param::GeneralFlags, 0x04},
                                  {30, param::GeneralFlags, 0x08},  {31, param::GeneralFlags, 0x10}};
constexpr int kUnit1Bits3 = param::UnitOptions3; // SwitchX1 19..25: its bits 0x01..0x40

// Units 2 to 4: enable bytes A and B, option bytes 2 and 3.
struct UnitBytes {
    int a, b, options2, options3;
};
constexpr UnitBytes kUnitBytes[] = {
    {param::EnableBytesUnit2 + 1, param::EnableBytesUnit2 + 2, param::UnitOptions2 + 1, param::UnitOptions3 + 1},
    {param::EnableBytesUnit3, param::EnableBytesUnit3 + 1, param::UnitOptions2 + 2, param::UnitOptions3 + 2},
    {param::EnableBytesUnit4, param::EnableBytesUnit4 + 1, param::UnitOptions2 + 3, param::UnitOptions3 + 3}};

std::vector<BitSwitch> unitSwitches(int unit) {
    const UnitBytes& u = kUnitBytes[unit - 2];
    std::vector<BitSwitch> s;
    for (int i = 0; i < 4; ++i)
        s.push_back({i, u.a, 0x08u << i});
    s.push_back({4, u.options2, 0x08});
    const unsigned bBits[] = {0x01, 0x04, 0x08, 0x10, 0x20};
    for (int i = 0; i < 5; ++i)
        s.push_back({5 + i, u.b, bBits[i]});
    s.push_back({10, u.options2, 0x02});
    if (unit == 2) {
        s.insert(s.end(), {{11, u.options2, 0x04}, {12, u.options2, 0x01}, {13, u.a, 0x10}});
        for (int i = 14; i <= 20; ++i)
            s.push_back({i, u.options3, 1u << (i - 14)});
    } else {
        s.insert(s.end(), {{11, u.a, 0x10}, {12, u.options3, 0x01}, {13, u.options3, 0x02}});
        for (int i = 14; i <= 18; ++i)
            s.push_back({i, u.options3, 0x04u << (i - 14)});
    }
    return s;
}

// The meaning of most option bits depends on the firmware: a switch names its byte and bit.
Binding bitSwitch(const QString& array, const BitSwitch& s) {
    Binding b =
        toggleSwitch(array, s.index, s.param, kFromCatalogue, s.mask)
            .titled(Caption(QStringLiteral("Opzione %1 bit %2").arg(s.param).arg(std::countr_zero(s.mask))));
    b.items = {Caption("No"), Caption("Si")};
    return b;
}

void addSwitches(EditorDefinition::Place frame, const QString& array, std::span<const BitSwitch> switches) {
    for (const BitSwitch& s : switches)
        frame.add(bitSwitch(array, s));
}

// Unit 1's main table holds a snack unit's settings when the unit is not a drink unit (types 1 and 2):
// for a drink unit these slots are its valve and canister counts.
Condition unit1IsSnack() {
    return slaveTypeIn(1, 3, 7);
}
Condition anySnackUnit() {
    return [](const EditorBase& e) {
        for (int unit = 1; unit <= 4; ++unit)
            if (e.state().SlaveType(unit) >= 3) return true;
        return false;
    };
}

// The numeric options: control index and parameter; the width of the parameter sets the range.
constexpr std::pair<int, int> kNumeric[] = {{0, param::NumericOption1},    {1, param::NumericOption5},
                                            {2, param::NumericOption6},    {4, param::NumericOption7},
                                            {5, param::NumericOption2},    {6, param::NumericOption2 + 1},
                                            {7, param::NumericOption2 + 2}};
int largestOf(int param) {
    const catalogue::ParamInfo* info = catalogue::find(param);
    return info && info->width >= 3 ? 0xFFFFFF : 0xFFFF;
}
} // namespace

std::pair<int, unsigned> FrmOpzioni::compartmentBit(int compartment) {
    if (compartment < 8) return {kCompartmentsLow, 1u << compartment};
    return {kCompartmentsHigh, 1u << (compartment - 8)};
}

FrmOpzioni::FrmOpzioni(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmOpzioni"), Caption("Opzioni"));
    auto general = d.page(Caption("Generale"));
    general.frame(QStringLiteral("Frame1"), Caption("Illuminazione porta"))
        .add(sliderSwitch("iSwitchSliderX2", 0, param::DoorLighting, kFromCatalogue,
                          {"On", "Off", "Random", "Touch"}));
    general.frame(QStringLiteral("Frame5"), Caption("Modo Vend. Cassetto"))
        .enabledIf(anySnackUnit())
        .add(sliderSwitch("SlswitchX1", 0, param::DrawerVendingMode, kFromCatalogue, {"Shopper", "FIFO"}));
    auto options = general.frame(QStringLiteral("Frame6"), Caption("Opzioni Generali"), 3);
    for (const BitSwitch& s : kGeneral) {
        Binding b = bitSwitch("SwitchX1", s);
        // The same keyboard option as in the machine configuration, under the same rule.
        if (s.index == 30)
            b.enabledIf(both(bitSet(param::GeneralFlags, 0x04), [](const EditorBase& e) {
                const auto coupling = e.currentValue(param::CouplingType);
                return coupling != 4 && coupling != 5;
            }));
        options.add(std::move(b));
    }
    options
        .add(sliderSwitch("SwitchX5", 2, param::PromotionEnables, kFromCatalogue, {"No", "Si"})
                 .bit(0x04)
                 .titled(Caption("Opzione 1387 bit 2")))
        .add(sliderSwitch("SwitchX5", 3, param::ShowTemperature, kFromCatalogue, {"No", "Si"})
                 .offsetBy(1)
                 .titled(Caption("Visualizza Temp.")))
        .add(sliderSwitch("SwitchX5", 4, param::ExpiryCheck, kFromCatalogue, {"No", "Si"})
                 .titled(Caption("Scadenza")))
        .add(sliderSwitch("SwitchX5", 5, param::GeneralFlags, kFromCatalogue, {"No", "Si"})
                 .bit(0x40)
                 .titled(Caption("Opzione 1855 bit 6")))
        .add(sliderSwitch("SwitchX5", 6, param::MinimumStep, kFromCatalogue, {"1", "2"})
                 .offsetBy(1)
                 .titled(Caption("Passo Minimo")));
    auto numeric = general.frame(QStringLiteral("Frame7"), Caption("Opzioni Numeriche"), 2);
    for (const auto& [index, param] : kNumeric)
        numeric.add(numberBox("Text1", index, param, kFromCatalogue, 0, largestOf(param))
                        .titled(Caption(QStringLiteral("Opzione %1").arg(param))));

    // A unit's page exists when its slot holds a unit, as in the machine configuration.
    auto unit1 = d.page(Caption("Slave 1")).enabledIf(slaveTypeIn(1, 1, 7));
    addSwitches(unit1.frame(QStringLiteral("Frame3"), Caption("Abilitazioni"), 3), "SwitchX1", kUnit1First);
    addSwitches(unit1.frame(QStringLiteral("Frame4"), Caption("Abilitazioni 2"), 3), "SwitchX1",
                kUnit1Second);
    auto bits3 = unit1.frame(QStringLiteral("Frame8"), Caption("Opzioni"), 3);
    for (int i = 19; i <= 25; ++i)
        bits3.add(bitSwitch("SwitchX1", {i, kUnit1Bits3, 1u << (i - 19)}));
    unit1.frame(QStringLiteral("Frame9"), Caption("Vendita"))
        .enabledIf(unit1IsSnack())
        .add(sliderSwitch("SwitchX5", 0, kVendingMode, kFromCatalogue, {"Shopper", "FIFO", "Misto"})
                 .titled(Caption("Modo Vendita")));
    auto settings =
        unit1.frame(QStringLiteral("Frame10"), Caption("Impostazioni"), 2).enabledIf(unit1IsSnack());
    const int settingParams[] = {11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    for (int i = 0; i < 13; ++i)
        settings.add(scrollBar("HScroll14", i, settingParams[i])
                         .titled(Caption(QStringLiteral("Impostazione %1").arg(settingParams[i]))));
    unit1.frame(QStringLiteral("Frame2"), Caption("Scomparti Piatto"), 2)
        .enabledIf(unit1IsSnack())
        .visibleIf(valueIn(kVendingMode, kMixedVending, kMixedVending));

    for (int unit = 2; unit <= 4; ++unit) {
        const QString array = QStringLiteral("SwitchX%1").arg(unit);
        const std::vector<BitSwitch> switches = unitSwitches(unit);
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit))).enabledIf(slaveTypeIn(unit, 1, 6));
        addSwitches(page.frame(QStringLiteral("Frame3_%1").arg(unit), Caption("Abilitazioni"), 3), array,
                    std::span(switches).first(10));
        addSwitches(page.frame(QStringLiteral("Frame4_%1").arg(unit), Caption("Abilitazioni 2"), 3), array,
                    std::span(switches).subspan(10));
    }
    d.extraWatch = {param::CouplingType, param::GeneralFlags, param::GeneralFlags2,
                    param::HiddenOption, param::MachineModel, kCompartmentsLow};
    for (int i = 0; i < param::HiddenOptionsCount; ++i)
        d.extraWatch.push_back(param::HiddenOptions + i);
    setup(std::move(d));
}

void FrmOpzioni::buildExtra() {
    QGroupBox* box = frame(QStringLiteral("Frame2"));
    QStringList numbers;
    for (int i = 1; i <= kCompartments; ++i)
        numbers << QString::number(i);
    compartmentSelector_ = new SliderSwitch(box);
    compartmentSelector_->setPositions(numbers);
    registerControl(QStringLiteral("iSwitchSliderX1"), 0, compartmentSelector_);
    compartmentNumber_ = new QLabel(QStringLiteral("1"), box);
    registerControl(QStringLiteral("Label3"), 5, compartmentNumber_);
    addRow(box, captionLabel(Caption("Scomparto"), box), compartmentSelector_, compartmentNumber_);
    compartmentSwitch_ = new SliderSwitch(box);
    compartmentSwitch_->setPositions({QStringLiteral("No"), QStringLiteral("Si")});
    registerControl(QStringLiteral("SwitchX5"), 1, compartmentSwitch_);
    addRow(box, captionLabel(Caption("Abilitato"), box), compartmentSwitch_);
    for (int i = 0; i < kCompartments; ++i) {
        compartmentLabels_[static_cast<std::size_t>(i)] = new QLabel(box);
        registerControl(QStringLiteral("Label4"), i, compartmentLabels_[static_cast<std::size_t>(i)]);
        addRow(box, nullptr, compartmentLabels_[static_cast<std::size_t>(i)]);
    }
    connect(compartmentSelector_, &SliderSwitch::valueChanged, this, [this](int p) { chooseCompartment(p); });
    connect(compartmentSwitch_, &SliderSwitch::valueChanged, this,
            [this](int p) { switchCompartment(p != 0); });
}

// The byte with one bit switched. Offline the image is the truth: another window may have changed the byte
// since this one last showed it.
// base candidate: every bit switch could combine its bit with the image offline instead of the window's copy.
std::uint32_t FrmOpzioni::withBit(int param, unsigned mask, bool on) const {
    const auto byte = state().Online ? currentValue(param) : static_cast<std::uint32_t>(paramValue(param));
    return (byte & ~mask) | (on ? mask : 0u);
}

bool FrmOpzioni::beforeWrite(const Binding& b, int& stored) {
    if (b.isSwitch())
        stored = static_cast<int>(
            withBit(paramOf(b), b.bitMask, (static_cast<unsigned>(stored) & b.bitMask) != 0));
    return true;
}

void FrmOpzioni::afterDelivery(int index, const ParamData& value) {
    if (index != kCompartmentsLow && index != kCompartmentsHigh) return;
    if (const double* v = std::get_if<double>(&value)) setBitCopy(index, static_cast<std::uint32_t>(*v));
    showCompartments();
}

void FrmOpzioni::chooseCompartment(int compartment) {
    compartment_ = compartment;
    compartmentNumber_->setText(QString::number(compartment + 1));
    showCompartments();
}

void FrmOpzioni::switchCompartment(bool on) {
    if (isLoading()) return;
    const auto [param, mask] = compartmentBit(compartment_);
    // Online the byte is written only once the board has sent it, so no other compartment is lost.
    if (state().Online && !state().ParamIsValid(param, 0)) return showCompartments();
    const std::uint32_t byte = withBit(param, mask, on);
    setBitCopy(param, byte);
    writeParam(param, byte);
    showCompartments();
}

void FrmOpzioni::showCompartments() {
    const auto isOn = [this](int compartment) {
        const auto [param, mask] = compartmentBit(compartment);
        return (currentValue(param) & mask) != 0;
    };
    compartmentSwitch_->blockSignals(true);
    compartmentSwitch_->setValue(isOn(compartment_) ? 1 : 0);
    compartmentSwitch_->blockSignals(false);
    for (int i = 0; i < kCompartments; ++i)
        compartmentLabels_[static_cast<std::size_t>(i)]->setText(
            QStringLiteral("Scomparti Piatto %1: %2")
                .arg(i + 1)
                .arg(isOn(i) ? QStringLiteral("Si") : QStringLiteral("No")));
}

} // namespace vm::editors
