#include "FrmConfSLAVE.h"

#include "ParamNames.h"
#include "widgets/IndexComboBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vm::editors {

namespace {
enum Machine { Ktr921 = 0, Ktr600 = 1, Dur400 = 2, Dur700 = 3 };
const char* const kMachines[] = {"KTR 921", "KTR 600", "DUR 400", "DUR 700"};

constexpr int kFirstUnitType = param::UnitType; // the unit types of unitSlots 1..4 at board addresses 0..3

QString slotText(std::uint8_t type) {
    switch (type) {
    case FrmConfSLAVE::kHotDrinkUnit: return QStringLiteral(" CALDO ");
    case FrmConfSLAVE::kSnackUnitA: return QStringLiteral(" TULA A ");
    case FrmConfSLAVE::kSnackUnitB: return QStringLiteral(" TULA B ");
    default: return QStringLiteral(" NESSUNA ");
    }
}
} // namespace

std::array<std::uint8_t, 4> FrmConfSLAVE::slotTypes(int machine) {
    if (machine == Ktr600) return {kSnackUnitA, kSnackUnitB, 0, 0};
    if (machine >= Ktr921 && machine <= Dur700) return {kHotDrinkUnit, kSnackUnitA, kSnackUnitB, 0};
    return {0, 0, 0, 0};
}

FrmConfSLAVE::FrmConfSLAVE(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmConfSLAVE"), Caption("Configurazione Slave"));
    d.window().add(comboBox("Combo1", 0, param::CouplingType, kFromCatalogue,
                            {kMachines[0], kMachines[1], kMachines[2], kMachines[3]})
                       .values({3, 4, 2, 2})
                       .onWrite([this](int& coupling) {
                           chooseMachine(coupling);
                           return true;
                       })
                       .titled(Caption("Macchina accoppiata")));
    // A slot can be ticked when the chosen machine has a unit there: it takes the machine's unit type, a
    // cleared one has none.
    auto unitSlots = d.window().frame(QStringLiteral("Frame1"), Caption("Unità"));
    for (int i = 0; i < 4; ++i)
        unitSlots.add(
            checkBox("Check1", i, kFirstUnitType + i)
                .titled(Caption(QStringLiteral("Slave %1").arg(i + 1)))
                .onWrite([this, i](int& stored) {
                    if (stored != 0) stored = slotTypes_[static_cast<std::size_t>(i)];
                    context().state.SlaveType(i + 1) = static_cast<std::uint8_t>(stored);
                    context().state.UnitCodes[static_cast<std::size_t>(i)] =
                        static_cast<std::uint8_t>(stored);
                    return true;
                })
                .enabledIf([i](const EditorBase& e) {
                    return static_cast<const FrmConfSLAVE&>(e).slotTypes_[static_cast<std::size_t>(i)] != 0;
                }));
    setup(std::move(d));

    context().state.SoftwareRelease = 4;
    if (context().hooks) context().hooks->setMenuEnabled(kLockedMenuEntry, false);
}

FrmConfSLAVE::~FrmConfSLAVE() {
    // Destroyed without a close: the locked menu entry still comes back.
    if (!menuRestored_ && context().hooks) context().hooks->setMenuEnabled(kLockedMenuEntry, true);
}

void FrmConfSLAVE::buildExtra() {
    QWidget* form = page(-1);
    machineLabel_ = new QLabel(form);
    registerControl(QStringLiteral("Label11"), 0, machineLabel_);
    addRow(form, nullptr, machineLabel_);
    // The main board first, then each slot's unit beside its check box.
    QGroupBox* unitSlots = frame(QStringLiteral("Frame1"));
    auto* grid = static_cast<QGridLayout*>(unitSlots->layout());
    for (int i = 0; i < 5; ++i) {
        slotLabels_[i] = new QLabel(i == 0 ? QStringLiteral(" SF0482B ") : slotText(0), unitSlots);
        slotLabels_[i]->setFrameShape(QFrame::Panel);
        slotLabels_[i]->setFrameShadow(QFrame::Sunken);
        registerControl(QStringLiteral("Label2"), i, slotLabels_[i]);
        if (i == 0) {
            addRow(unitSlots, nullptr, slotLabels_[i]);
            continue;
        }
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(control(QStringLiteral("Check1"), i - 1)), &row, &column, &rows, &columns);
        grid->addWidget(slotLabels_[i], row, column + 1);
    }
    command_ = addButton(QStringLiteral("Command1"), 0, Caption("OK"), form, [this] { finish(); });
    command_->setEnabled(false); // until a machine is chosen
    addRow(form, nullptr, command_);
}

int FrmConfSLAVE::machine() const {
    return static_cast<IndexComboBox*>(control(QStringLiteral("Combo1"), 0))->currentIndex();
}

void FrmConfSLAVE::showMachine(int chosen) {
    if (chosen < 0) return;
    machineLabel_->setText(QString::fromLatin1(kMachines[chosen]));
    slotTypes_ = slotTypes(chosen);
    for (int i = 0; i < 4; ++i)
        slotLabels_[i + 1]->setText(slotText(slotTypes_[i]));
    command_->setEnabled(true);
}

void FrmConfSLAVE::afterDelivery(int index, const ParamData&) {
    if (index == param::CouplingType) showMachine(machine());
}

// The flags the machine needs are written before the coupling type itself.
void FrmConfSLAVE::chooseMachine(int coupling) {
    ProgramState& state = context().state;
    const int chosen = machine();
    if (chosen == Dur400 || chosen == Dur700) writeParam(param::GeneralFlags2, 16);
    if (chosen == Dur400) writeParam(param::GeneralFlags, 128);
    state.CouplingType = static_cast<std::uint8_t>(coupling);
    showMachine(chosen);
    // Every unit the machine has starts present; the empty unitSlots stay empty.
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t type = slotTypes_[static_cast<std::size_t>(i)];
        state.SlaveType(i + 1) = type;
        state.UnitCodes[static_cast<std::size_t>(i)] = type;
        writeParam(kFirstUnitType + i, type);
    }
}

void FrmConfSLAVE::finish() {
    if (MainWindowHooks* hooks = context().hooks) {
        hooks->disableMenus();
        hooks->enableMenus();
    }
    closeForm();
}

void FrmConfSLAVE::formUnload() {
    if (!menuRestored_ && context().hooks) context().hooks->setMenuEnabled(kLockedMenuEntry, true);
    menuRestored_ = true;
}

} // namespace vm::editors
