#include "FrmDosi.h"

#include "Catalogue.h"
#include "DoseTables.h"
#include "Form2.h"
#include "MessageBox.h"
#include "ParamNames.h"
#include "SelectionKeys.h"
#include "widgets/CommitLineEdit.h"

#include <QAbstractSlider>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <limits>

namespace vm::editors {

using namespace doses;

namespace {
constexpr int kSelectionFlags = param::SelectionFlags; // bit 6: free vend; the other bits on SwitchX5
constexpr unsigned kFreeVend = 0x40;
constexpr unsigned kCalibrationVariant = 0x80; // the selection is calibrated with the command s + 16

// The scroll arrays of dose d: tables 0..16, then tables 17..28.
const char* const kFirstArray[kDoses] = {"HScroll1", "HScroll2", "HScroll3"};
const char* const kSecondArray[kDoses] = {"HScroll4", "HScroll6", "HScroll7"};

// A dispensing test: the dose and table whose value it runs with. Command1(j) for j = 0..8, in the order
// of the buttons on the doses' pages; Command2 runs the product of dose 1.
struct DispenseTest {
    int dose;
    int table;
    const char* caption;
};
constexpr DispenseTest kTests[] = {{0, kValveTable, "Test Ev"},  {0, kDoserTable, "Test Dosatore"},
                                   {0, kMixerTable, "Test Mixer"}, {1, kMixerTable, "Test Mixer"},
                                   {1, kDoserTable, "Test Dosatore"}, {1, kValveTable, "Test Ev"},
                                   {2, kValveTable, "Test Ev"},  {2, kDoserTable, "Test Dosatore"},
                                   {2, kMixerTable, "Test Mixer"}};
constexpr DispenseTest kProductTest = {0, 0, "Test Prodotto"};
constexpr int kFirstTestCommand = 64; // Command1(j) sends 64 + j, Command2 73: apart from the selections' 1..47
constexpr int kProductTestCommand = kFirstTestCommand + 9;
// Calibration buttons Command4(0..2): the window's test code of doses 1, 2, 3.
constexpr int kTestCodes[kDoses] = {4, 2, 3};

QString tableCaption(int table) {
    switch (table) {
    case 0: return QStringLiteral("Prodotto");
    case kValveTable: return QStringLiteral("Tempo Ev");
    case kDoserTable: return QStringLiteral("Tempo Dosatore");
    case kMixerTable: return QStringLiteral("Tempo Mixer");
    default: return QStringLiteral("Tab %1").arg(table + 1);
    }
}

// A command runs with what the window shows of the selection (a dose, the selection's flags): online its
// button waits until the board has sent that value.
Condition commandsAllowed(std::function<int(const EditorBase&)> reads) {
    return [reads = std::move(reads)](const EditorBase& e) {
        return e.state().Online && !static_cast<const FrmDosi&>(e).busy() && e.hasArrived(reads(e));
    };
}

int numberOf(const ParamData& value) {
    const double* d = std::get_if<double>(&value);
    return d ? static_cast<int>(*d) : 0;
}
} // namespace

FrmDosi::FrmDosi(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmDosi"), Caption("Dosi"));
    for (int dose = 0; dose < kDoses; ++dose) {
        auto page = d.page(Caption(QStringLiteral("Dose %1").arg(dose + 1)));
        auto first = page.frame(QStringLiteral("Dose%1A").arg(dose + 1), Caption("Tabelle 1-17"), 2);
        auto second = page.frame(QStringLiteral("Dose%1B").arg(dose + 1), Caption("Tabelle 18-29"), 2);
        for (int t = 0; t < kTables; ++t) {
            const bool inFirst = t < kFirstTables;
            Binding b = scrollBar(QLatin1String(inFirst ? kFirstArray[dose] : kSecondArray[dose]),
                                  inFirst ? t : t - kFirstTables, doseParam(dose, t, 0))
                            .perSelection()
                            .titled(Caption(tableCaption(t)));
            // Dose 1, table 1 shares the words of the product shelf-life table for selections 1..18: the
            // dose is their low byte, the other byte stays as it is. The others are single bytes.
            // base candidate: a per-selection binding takes the width of the selection's parameter.
            if (dose == 0 && t == 1)
                b.field(0x00FF).onWrite([this](int& stored) {
                    const int param = doseParam(0, 1, selection());
                    const catalogue::ParamInfo* info = catalogue::find(param);
                    if (!info || info->width != 1) return true;
                    writeParam(param, 0, 1, static_cast<std::uint32_t>(stored) & 0xFF);
                    return false;
                });
            (inFirst ? first : second).add(std::move(b));
        }
        auto tests = page.frame(QStringLiteral("Test%1").arg(dose + 1), Caption("Test"), 4);
        for (int j = 0; j < static_cast<int>(std::size(kTests)); ++j)
            if (kTests[j].dose == dose)
                tests.add(commandButton("Command1", j, kTestValue, 0)
                              .onWrite([this, j](int& stored) {
                                  return startTest(kTests[j].dose, kTests[j].table, kFirstTestCommand + j,
                                                   stored);
                              })
                              .titled(Caption(kTests[j].caption))
                              .enabledIf(commandsAllowed([t = kTests[j]](const EditorBase& e) {
                                  return doseParam(t.dose, t.table, 0) + e.selection();
                              })));
        if (dose == 0)
            tests.add(commandButton("Command2", 0, kTestValue, 0)
                          .onWrite([this](int& stored) {
                              return startTest(kProductTest.dose, kProductTest.table, kProductTestCommand,
                                               stored);
                          })
                          .titled(Caption(kProductTest.caption))
                          .enabledIf(commandsAllowed([](const EditorBase& e) {
                              return doseParam(kProductTest.dose, kProductTest.table, 0) + e.selection();
                          })));
    }

    auto selection = d.page(Caption("Selezione"), 2);
    selection.frame(QStringLiteral("Frame5"), Caption("Taratura"))
        .add(scrollBar("HScroll5", 0, kCalibration[0]).perSelection().titled(Caption("Taratura Dose 1")))
        .add(scrollBar("HScroll5", 1, kCalibration[1]).perSelection().titled(Caption("Taratura Dose 2")))
        .add(scrollBar("HScroll5", 2, kCalibration[2]).perSelection().titled(Caption("Taratura Dose 3")));
    selection.frame(QStringLiteral("Frame6"), Caption("Erogazione"), 2)
        .add(optionButton("Option1", 0, kSelectionFlags, kFromCatalogue, 0).bit(kFreeVend).perSelection().titled(Caption("Normale")))
        .add(optionButton("Option1", 1, kSelectionFlags, kFromCatalogue, 1).bit(kFreeVend).perSelection().titled(Caption("Gratis")));
    auto flags = selection.frame(QStringLiteral("Frame7"), Caption("Flag Selezione"), 4);
    for (int bit = 0; bit < 8; ++bit)
        if ((1u << bit) != kFreeVend)
            flags.add(toggleSwitch("SwitchX5", bit, kSelectionFlags, kFromCatalogue, 1u << bit)
                          .perSelection()
                          .titled(Caption(QStringLiteral("Bit %1").arg(bit))));
    // Text4 clamps a number above 254 instead of refusing it; only what is no number fails.
    selection
        .add(numberBox("Text4", 0, param::SelectionTextValue, kFromCatalogue, 0,
                       std::numeric_limits<int>::max())
                 .error("Value out of range")
                 .notNumeric(" Error: Insert Only Numbers ")
                 .perSelection()
                 .onWrite([this](int& stored) {
                     if (stored <= 254) return true;
                     showMessage({this, MessageIcon::Critical, MessageButtons::Ok,
                                  QStringLiteral("Value out of range"), QStringLiteral("Error Value")});
                     static_cast<CommitLineEdit*>(control(QStringLiteral("Text4"), 0))
                         ->setText(QStringLiteral("254"));
                     stored = 254;
                     return true;
                 })
                 .titled(Caption("Valore")))
        .add(valueText("Label5", 0, param::PreselectionKeyType).perSelection().titled(Caption("Tipo Tasto")));
    auto calibrate = selection.frame(QStringLiteral("Frame8"), Caption("Taratura Dosi"), 3);
    for (int j = 0; j < kDoses; ++j)
        calibrate.add(commandButton("Command4", j, kTestCommand, 0)
                          .onWrite([this, j](int& stored) { return startCalibration(j, stored); })
                          .titled(Caption(QStringLiteral("Tara Dose %1").arg(j + 1)))
                          .enabledIf(commandsAllowed(
                              [](const EditorBase& e) { return kSelectionFlags + e.selection(); })));
    d.extraWatch = {param::CouplingType, param::GeneralFlags2};
    setup(std::move(d));

    resultTimer_.setSingleShot(true);
    connect(&resultTimer_, &QTimer::timeout, this, [this] {
        step_ = Step::Idle;
        setResultText(0, QStringLiteral("Nessuna risposta"));
        applyRules();
    });
    chooseSelection(0);
}

void FrmDosi::buildExtra() {
    keys_ = new SelectionKeys([this](int s) { chooseSelection(s); }, page(-1));
    keys_->forEachLabel([this](const QString& name, int index, QWidget* label) { registerControl(name, index, label); });
    addRow(page(-1), captionLabel(Caption("Selezione")), keys_);

    QGroupBox* calibrate = frame(QStringLiteral("Frame8"));
    const char* const captions[] = {"Stato", "Misura", "Taratura"};
    for (int i = 0; i < 3; ++i) {
        auto* result = new QLabel(calibrate);
        result->setFrameShape(QFrame::Panel);
        result->setFrameShadow(QFrame::Sunken);
        result->setMinimumWidth(90);
        registerControl(QStringLiteral("LabelRis"), i, result);
        addRow(calibrate, captionLabel(Caption(captions[i])), result);
    }
    addRow(calibrate, nullptr,
           addButton(QStringLiteral("Command3"), 0, Caption("Esporta Tarature"), calibrate, [this] { exportCalibration(); }));

    // An empty text value counts as 0.
    auto* text4 = control(QStringLiteral("Text4"), 0);
    text4->installEventFilter(this);
}

bool FrmDosi::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == control(QStringLiteral("Text4"), 0)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* box = static_cast<CommitLineEdit*>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && box->text().trimmed().isEmpty())
            box->setText(QStringLiteral("0"));
    }
    return EditorBase::eventFilter(watched, event);
}

void FrmDosi::chooseSelection(int selection) {
    if (selection < 0 || selection >= kSelections) return;
    keys_->markChosen(selection);
    if (tabs()) tabs()->setCurrentIndex(0);
    setSelection(selection);
}

// The dispensing test of a dose's table runs with the value its scroll bar shows; one command on the board at
// a time.
bool FrmDosi::startTest(int dose, int table, int command, int& stored) {
    if (busy()) return false;
    const bool inFirst = table < kFirstTables;
    const auto* bar = qobject_cast<QAbstractSlider*>(
        control(QLatin1String(inFirst ? kFirstArray[dose] : kSecondArray[dose]),
                inFirst ? table : table - kFirstTables));
    stored = bar ? bar->value() : 0;
    testCode_ = 0;
    startCommand(command, stored);
    return true;
}

// Calibration button j: the command is the selection's (s + 16 for a selection calibrated the other way).
bool FrmDosi::startCalibration(int j, int& stored) {
    if (busy()) return false;
    const int s = selection();
    testCode_ = kTestCodes[j];
    stored = (bitCopy(kSelectionFlags + s) & kCalibrationVariant) ? s + 16 : s + 1;
    startCommand(stored, -1);
    return true;
}

// value < 0: the command alone (calibration); otherwise the value cell is written first (this write).
void FrmDosi::startCommand(int command, int value) {
    command_ = command;
    testValue_ = value;
    testSelection_ = selection();
    step_ = value < 0 ? Step::CommandSent : Step::ValueSent;
    for (int i = 0; i < 3; ++i)
        setResultText(i, i == 0 ? QStringLiteral("In corso (%1)").arg(testSelection_ + 1) : QString());
    resultTimer_.start(boardAnswerLimitMs());
}

void FrmDosi::sendCommand() {
    step_ = Step::CommandSent;
    writeParam(kTestCommand, 0, 1, static_cast<std::uint32_t>(command_));
}

// The cells hold what was written; the board's answer is read again (the wait for it counts as unread).
void FrmDosi::askForResult() {
    step_ = Step::Measuring;
    commandRead_ = valueRead_ = false;
    for (int index : {kTestCommand, kTestValue})
        context().state.RequestRead(index);
}

void FrmDosi::finishCommand(int measured) {
    resultTimer_.stop();
    step_ = Step::Idle;
    setResultText(0, QStringLiteral("Fatto (%1)").arg(testSelection_ + 1));
    setResultText(1, QString::number(measured));
    if (testCode_ == 0) return;
    // The question waits until the link has finished delivering: a message box inside a delivery would run
    // the link's events under it. Until it is answered the window stays busy.
    step_ = Step::Asking;
    setProperty("busy", true); // a script waits for the answer
    QTimer::singleShot(0, this, [this, measured] {
        askToCalibrate(measured);
        step_ = Step::Idle;
        setProperty("busy", false);
        applyRules();
    });
}

void FrmDosi::askToCalibrate(int measured) {
    // Calibration: the measurement becomes the calibration of the dose the code names once the technician
    // has seen it and agreed (a failed run measures nonsense).
    const int dose = testCode_ == 4 ? 0 : testCode_ == 2 ? 1 : 2;
    const int value = std::clamp(measured, 0, 255);
    const MessageAnswer answer =
        showMessage({this, MessageIcon::Exclamation, MessageButtons::YesNo,
                     QStringLiteral("Measured %1: write it as the calibration of dose %2 of selection %3?")
                         .arg(value)
                         .arg(dose + 1)
                         .arg(testSelection_ + 1),
                     QStringLiteral("Tara Dose %1").arg(dose + 1)});
    if (answer != MessageAnswer::Yes || isClosed()) {
        setResultText(2, QStringLiteral("Non scritta"));
        return;
    }
    writeParam(kCalibration[dose] + testSelection_, static_cast<std::uint32_t>(value));
    setResultText(2, QString::number(value));
}

void FrmDosi::afterDelivery(int index, const ParamData& value) {
    if (index == param::CouplingType || index == param::GeneralFlags2)
        keys_->showLayout(SelectionKeys::layoutFor(static_cast<int>(currentValue(param::CouplingType)),
                                                   currentValue(param::GeneralFlags2)));
    const int v = numberOf(value);
    switch (step_) {
    case Step::ValueSent:
        if (index == kTestValue && v == testValue_) sendCommand(); // the board has the value
        break;
    case Step::CommandSent:
        if (index == kTestCommand && v == command_) askForResult(); // the board has the command
        break;
    case Step::Measuring:
        if (index == kTestCommand) commandRead_ = true, commandNow_ = v;
        if (index == kTestValue) valueRead_ = true, valueNow_ = v;
        if (commandRead_ && valueRead_) {
            if (commandNow_ == 0)
                finishCommand(valueNow_);
            else
                askForResult(); // still running
        }
        break;
    case Step::Asking: // the technician is being asked: nothing more is awaited from the board
    case Step::Idle:
        break;
    }
}

void FrmDosi::setResultText(int label, const QString& text) {
    if (auto* l = qobject_cast<QLabel*>(control(QStringLiteral("LabelRis"), label))) l->setText(text);
}

void FrmDosi::formUnload() {
    resultTimer_.stop();
}

void FrmDosi::exportCalibration() {
    QString path = chooseFile(true, QStringLiteral("Tarature"), QStringLiteral("Tarature(*.csv)"), QStringLiteral("*.csv"));
    if (path.isEmpty() || QFileInfo(path).fileName() == QLatin1String("*.csv")) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    // base candidate: the link indicators 1 and 2 are reset here when connected (no hook reaches them).
    openSummary(path);
}

void FrmDosi::openSummary(const QString& path) {
    Form2::setCalibrationFile(path);
    auto* summary = context().hooks ? qobject_cast<Form2*>(context().hooks->openForm(QStringLiteral("Form2"))) : nullptr;
    if (summary) summary->exportTo(path);
}

} // namespace vm::editors
