// The GSM window's tool bar: its copy of the settings opened from and saved to a ".tlm" file, and written to
// the board as a whole.
#include "FrmGSM.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "TelemetrySettings.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QToolBar>

namespace vm::remote {

using editors::Caption;

void FrmGSM::buildToolBar(QWidget* container) {
    auto* bar = new QToolBar(container);
    registerControl(QStringLiteral("Toolbar1"), 0, bar);
    const auto addAction = [this, bar](const char* key, const Caption& caption, void (FrmGSM::*handler)()) {
        QAction* action = bar->addAction(QString());
        action->setObjectName(QString::fromLatin1(key));
        addText(caption, [action](const QString& s) { action->setText(s); });
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!isLoading() && !isClosed()) (this->*handler)();
        });
        return action;
    };
    addAction("Open", Caption(864, "Apri"), &FrmGSM::openFile);
    addAction("Save", Caption(865, "Salva"), &FrmGSM::saveFile);
    writeAllAction_ = addAction("WriteAll", Caption(866, "Scrivi Tutto"), &FrmGSM::writeAll);
    // "WriteAll" sends the window's copy of every setting: live, each must have come from the board first.
    std::vector<int> written;
    for (int index : TelemetrySettingsOrder())
        if (info(index).width != 0) written.push_back(index);
    requireValues(writeAllAction_, std::move(written));
    status_ = new QLabel(container);
    registerControl(QStringLiteral("StatusBar1"), 0, status_);
    addRow(container, nullptr, bar, status_);
}

void FrmGSM::openFile() {
    const QString path =
        chooseFile(false, QStringLiteral("Open"), QStringLiteral("Configuration(*.tlm)|*.tlm"));
    if (path.isEmpty() || QFileInfo(path).fileName() == QStringLiteral("*.tlm")) return;
    const TelemetryReadResult read = ReadTelemetryFile(path.toStdString());
    if (!read.ok()) {
        // A file that fails its checks changes nothing: the window keeps its copy and its mode.
        editors::showMessage({this, editors::MessageIcon::Exclamation, editors::MessageButtons::Ok,
                              QString::fromStdString(read.error),
                              QString::fromLatin1(kTelemetryErrorTitle.data())});
        return;
    }
    fileMode_ = true;
    buffer_ = read.record;
    header_ = ReadTelemetryHeader(read.record);
    for (int index : TelemetrySettingsOrder())
        showSetting(index);
    updateEnabling();
    setStatusLine(QFileInfo(path).fileName());
}

TelemetryHeader FrmGSM::headerForSave() const {
    TelemetryHeader h = header_;
    if (!state().Online) return h;
    h.boardType = state().BoardType;
    h.edition = state().BoardRevision <= 4 ? state().BoardRevision : 0;
    h.software = state().BoardSoftware;
    h.modelCode = state().ModelCode;
    h.machineByte = state().AuxImage[9];
    h.unitCodes = state().UnitCodes;
    return h;
}

void FrmGSM::saveFile() {
    const QString path = chooseFile(true, QStringLiteral("Save"),
                                    QStringLiteral("Configuration(*.tlm)|*.tlm"), QStringLiteral("*.tlm"));
    if (path.isEmpty() || QFileInfo(path).fileName() == QStringLiteral("*.tlm")) return;
    const std::string error = SaveTelemetryFile(path.toStdString(), buffer_, headerForSave());
    if (!error.empty()) {
        showError(QString::fromStdString(error));
        return;
    }
    setStatusLine(QFileInfo(path).fileName());
}

// Everything the window carries, the settings without a control of their own included, in the order of the
// delivery after opening a file.
void FrmGSM::writeAll() {
    if (!state().Online) return;
    for (QGroupBox* f :
         {frame(QStringLiteral("Frame1")), frame(QStringLiteral("Frame2")), frame(QStringLiteral("Frame3"))})
        f->setEnabled(false);
    // The module's settings go to the board's cells only: the configuration image never carries its
    // passwords.
    for (int index : TelemetrySettingsOrder())
        if (info(index).width != 0) setBoardCell(index, SettingBytes(buffer_, index));
    updateEnabling();
}

void FrmGSM::updateEnabling() {
    const bool editable = state().Online || fileMode_;
    for (QGroupBox* f :
         {frame(QStringLiteral("Frame1")), frame(QStringLiteral("Frame2")), frame(QStringLiteral("Frame3"))})
        f->setEnabled(editable);
    writeAllAction_->setEnabled(state().Online);
    applyRules(); // what still waits for the board's values stays disabled
}

void FrmGSM::setStatusLine(const QString& what) {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale english(QLocale::English);
    status_->setText(english.toString(now, QStringLiteral("dd MMM yyyy")) + QStringLiteral(" -- ") +
                     now.toString(QStringLiteral("hh:mm")) + QStringLiteral(" -- ") + what);
}

} // namespace vm::remote
