#include "FrmConfSLAVE.h"

#include "widgets/IndexComboBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vm::editors {

namespace {
enum Machine { Ktr921 = 0, Ktr600 = 1, Dur400 = 2, Dur700 = 3 };

const char* const kMachines[] = {"KTR 921", "KTR 600", "DUR 400", "DUR 700"};
const char* const kMainBoard = " SF0482B ";
const char* const kNoUnit = " NESSUNA ";

const char* slotText(std::uint8_t type) {
    switch (type) {
    case FrmConfSLAVE::kHotDrinkUnit:
        return " CALDO ";
    case FrmConfSLAVE::kSnackUnitA:
        return " TULA A ";
    case FrmConfSLAVE::kSnackUnitB:
        return " TULA B ";
    default:
        return kNoUnit;
    }
}

constexpr int kCouplingParam = 1844;
constexpr int kFlagsParam = 1855;
constexpr int kFlags2Param = 1856;
} // namespace

std::array<std::uint8_t, 4> FrmConfSLAVE::slotTypes(int machine) {
    if (machine == Ktr600) return {kSnackUnitA, kSnackUnitB, 0, 0};
    if (machine >= Ktr921 && machine <= Dur700) return {kHotDrinkUnit, kSnackUnitA, kSnackUnitB, 0};
    return {0, 0, 0, 0};
}

FrmConfSLAVE::FrmConfSLAVE(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition definition;
    definition.formName = QStringLiteral("FrmConfSLAVE");
    definition.title = Caption("Configurazione Slave");
    setup(std::move(definition));

    context().state.SoftwareRelease = 4;
    if (context().hooks) context().hooks->setMenuEnabled(kLockedMenuEntry, false);
}

FrmConfSLAVE::~FrmConfSLAVE() {
    // Destroyed without a close: the locked menu entry still comes back.
    if (!menuRestored_ && context().hooks) context().hooks->setMenuEnabled(kLockedMenuEntry, true);
}

void FrmConfSLAVE::buildExtra() {
    QWidget* form = page(-1);

    combo_ = new IndexComboBox(form);
    for (const char* name : kMachines)
        combo_->addItem(QString::fromLatin1(name));
    combo_->setCurrentIndex(-1);
    registerControl(QStringLiteral("Combo1"), 0, combo_);
    machineLabel_ = new QLabel(form);
    registerControl(QStringLiteral("Label11"), 0, machineLabel_);
    addRow(form, captionLabel(Caption("Macchina accoppiata"), form), combo_, machineLabel_);

    auto* slotBox = new QGroupBox(form);
    slotBox->setObjectName(QStringLiteral("Frame1"));
    addText(Caption("Unità"), [slotBox](const QString& s) { slotBox->setTitle(s); });
    auto* grid = new QGridLayout(slotBox);
    for (int i = 0; i < 5; ++i) {
        slotLabels_[i] = new QLabel(QString::fromLatin1(i == 0 ? kMainBoard : kNoUnit), slotBox);
        slotLabels_[i]->setFrameShape(QFrame::Panel);
        slotLabels_[i]->setFrameShadow(QFrame::Sunken);
        registerControl(QStringLiteral("Label2"), i, slotLabels_[i]);
        grid->addWidget(slotLabels_[i], i, 1);
    }
    for (int i = 0; i < 4; ++i) {
        checks_[i] = new QCheckBox(slotBox);
        checks_[i]->setEnabled(false); // nothing to tick before a machine is chosen
        addText(Caption(QStringLiteral("Slave %1").arg(i + 1)),
                [box = checks_[i]](const QString& s) { box->setText(s); });
        registerControl(QStringLiteral("Check1"), i, checks_[i]);
        grid->addWidget(checks_[i], i + 1, 0);
        connect(checks_[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!filling_) setSlotPresent(i, on);
        });
    }
    addRow(form, nullptr, slotBox);

    command_ = new QPushButton(form);
    command_->setEnabled(false);
    addText(Caption("OK"), [button = command_](const QString& s) { button->setText(s); });
    registerControl(QStringLiteral("Command1"), 0, command_);
    addRow(form, nullptr, command_);

    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int machine) {
        if (!filling_ && machine >= 0) chooseMachine(machine);
    });
    connect(command_, &QPushButton::clicked, this, &FrmConfSLAVE::finish);
}

void FrmConfSLAVE::storeImageByte(int index, std::uint8_t value) {
    ProgramState& state = context().state;
    state.CurrentBank = 0;
    const int address = state.ParamAddress(index);
    if (address >= 0 && address < kImageSize) state.ConfigImage[static_cast<std::size_t>(address)] = value;
}

void FrmConfSLAVE::chooseMachine(int machine) {
    machineLabel_->setText(QString::fromLatin1(kMachines[machine]));
    slotTypes_ = slotTypes(machine);
    for (int i = 0; i < 4; ++i)
        slotLabels_[i + 1]->setText(QString::fromLatin1(slotText(slotTypes_[i])));

    switch (machine) {
    case Ktr921:
        storeImageByte(kCouplingParam, 3);
        break;
    case Ktr600:
        storeImageByte(kCouplingParam, 4);
        break;
    case Dur400:
        storeImageByte(kCouplingParam, 2);
        storeImageByte(kFlags2Param, 16);
        storeImageByte(kFlagsParam, 128);
        break;
    case Dur700:
        storeImageByte(kCouplingParam, 2);
        storeImageByte(kFlags2Param, 16);
        break;
    default:
        break;
    }
    context().state.CouplingType = machine == Ktr921 ? 3 : machine == Ktr600 ? 4 : 2;

    // Every unit the machine has starts present; the empty slots cannot be ticked.
    filling_ = true;
    for (int i = 0; i < 4; ++i) {
        checks_[i]->setEnabled(slotTypes_[i] != 0);
        checks_[i]->setChecked(slotTypes_[i] != 0);
    }
    filling_ = false;
    for (int i = 0; i < 4; ++i)
        setSlotPresent(i, slotTypes_[i] != 0);
    command_->setEnabled(true);
}

void FrmConfSLAVE::setSlotPresent(int slot, bool present) {
    ProgramState& state = context().state;
    const std::uint8_t type = present ? slotTypes_[slot] : 0;
    state.SlaveType(slot + 1) = type;
    state.UnitCodes[static_cast<std::size_t>(slot)] = type;
    state.ConfigImage[static_cast<std::size_t>(slot)] = type; // board addresses 0..3 hold the unit codes
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
