// The main window's connection and file commands: Connect, DisConnect, Write Board, New, Load, Save, and
// the progress windows that go with them.

#include "MainWindow.h"

#include "EditHistory.h"
#include "MenuRules.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "SimulatedPortFactory.h"

#include "ComMenuModel.h"
#include "ConfigFile.h"
#include "qt/LinkController.h"
#include "qt/PortDiscovery.h"
#include "qt/QtSerialPort.h"

#include <QFileInfo>
#include <QTimer>

namespace vm::app {

namespace {
constexpr int kTransferStartMs = 500; // Form1 and Form3 start their transfer after being shown
constexpr int kReadDoneShownMs = 600; // FrmRead stays this long after the units were read

QString displayText(QString text) {
    // The link's texts use carriage returns as line breaks.
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

} // namespace

void MainWindow::setupLink() {
    link::LinkOptions options;
    options.programDir = config_.programDir;
    options.programTitle = kProgramTitle;
    link_ = std::make_unique<link::LinkController>(program_, forms_, options);
    link::LinkController* l = link_.get();
    connect(l, &link::LinkController::linkStatus, this, &MainWindow::showLamp);
    connect(
        l, &link::LinkController::message, this, [this](const QString& title, const QString& text, int icon) {
            linkSpoke_ = true;
            message(displayText(text),
                    icon == link::kIconExclamation ? MessageIcon::Exclamation : MessageIcon::Critical, title);
        });
    connect(l, &link::LinkController::askRetry, this, [this](const QString& title, const QString& text) {
        linkSpoke_ = true;
        link_->answerRetry(dialogs_->askRetry(displayText(text), title));
    });
    connect(l, &link::LinkController::connected, this, &MainWindow::onConnected);
    connect(l, &link::LinkController::connectFailed, this, &MainWindow::onConnectFailed);
    connect(l, &link::LinkController::refused, this, &MainWindow::onRefused);
    connect(l, &link::LinkController::disconnected, this, &MainWindow::onDisconnected);
    connect(l, &link::LinkController::firstUnitRead, this, [this](int code) {
        ApplyUnit1Menus([this](std::string_view e, bool on) { setEntry(e, on); }, code);
    });
    connect(l, &link::LinkController::unitsRead, this, &MainWindow::onUnitsRead);
    connect(l, &link::LinkController::transferText, this, &MainWindow::onTransferText);
    connect(l, &link::LinkController::transferProgress, this, &MainWindow::onTransferProgress);
    connect(l, &link::LinkController::transferFinished, this, &MainWindow::onTransferFinished);
}

std::unique_ptr<link::SerialPort> MainWindow::makePort() {
    if (config_.portFactory) return config_.portFactory();
    switch (config_.port) {
    case PortChoice::Simulated: {
        std::string error;
        auto port = MakeSimulatedPort(config_.programDir, error);
        if (!port) message(QString::fromStdString(error), MessageIcon::Critical, kProgramTitle);
        return port;
    }
    case PortChoice::Device:
        return std::make_unique<link::QtSerialPort>(config_.device);
    case PortChoice::ComMenu:
        break;
    }
    return std::make_unique<link::QtSerialPort>(link::ResolveComPort(comMenu_->comPort()));
}

// ---------------------------------------------------------------- Connect / Write Board

void MainWindow::connectClicked() {
    if (connectCaptionIsConnect())
        beginOpening(false);
    else
        disconnectBoard();
}

void MainWindow::writeBoardClicked() {
    // A write that was refused or did not complete leaves the line open: the next one starts on it.
    if (state_ == AppState::Connected && link_->isConnected()) {
        DisableMenu();
        setEntry("mnuFile", false);
        closeAllChildren();
        return showWriteWindow();
    }
    beginOpening(true);
}

void MainWindow::beginOpening(bool forWrite) {
    if (!mapError_.empty()) {
        message("Connect is not possible: " + QString::fromStdString(mapError_), MessageIcon::Critical,
                kProgramTitle);
        return;
    }
    auto port = makePort();
    if (!port) return;
    writeAfterOpen_ = forWrite;
    linkSpoke_ = false;
    if (!forWrite) setEntry("mnuGSM", false);
    DisableMenu();
    setEntry("mnuFile", false);
    if (!forWrite) setEntry("SmnuWrite", false);
    setConnectCaption(false);
    closeAllChildren();
    history_->clear(); // the board's values replace the ones the edits were made on
    setState(AppState::Opening);
    if (!link_->setPort(std::move(port))) {
        restoreAfterFailedOpen();
        return;
    }
    link_->connectBoard(forWrite ? link::ConnectPurpose::WriteBoard : link::ConnectPurpose::Edit);
}

void MainWindow::onConnected() {
    if (state_ != AppState::Opening) return;
    if (writeAfterOpen_) return showWriteWindow();
    // The link has cleared the configuration area, set Online and shown indicators 1 and 2.
    setState(AppState::Reading);
    showFrmRead();
}

void MainWindow::onConnectFailed(const QString& error) {
    if (state_ != AppState::Opening) return;
    // The link has already shown why (port error, "Board Not Ready" answered with Cancel); other causes,
    // such as a missing firmware map, are shown here.
    if (!error.isEmpty() && !linkSpoke_) message(displayText(error), MessageIcon::Critical, kProgramTitle);
    restoreAfterFailedOpen();
}

void MainWindow::restoreAfterFailedOpen() {
    setConnectCaption(true);
    if (writeAfterOpen_) {
        setEntry("mnuFile", true);
        EnableMenu();
    } else {
        for (const char* entry : {"mnuFile", "SmnuWrite", "mnuLingue", "mnuVer", "mnuWL", "mnuCom", "mnuGSM"})
            setEntry(entry, true);
    }
    setState(AppState::Offline);
}

void MainWindow::onRefused(const QString& text) {
    (void)text; // the link has shown the "Not Compatible" message
    restoreAfterFailedOpen();
    close();
}

// ---------------------------------------------------------------- DisConnect

void MainWindow::disconnectBoard() {
    setEntry("mnuFile", false);
    closeTransferWindow(frmRead_);
    closeTransferWindow(form1_);
    closeTransferWindow(form3_);
    if (link_->linkState() == link::LinkState::Closed)
        onDisconnected({});
    else
        link_->disconnectBoard(); // the request in flight ends first; then disconnected()
}

void MainWindow::onDisconnected(const QString& reason) {
    if (exiting_) return;
    // A lost line (reason not empty) has been reported by the link already.
    (void)reason;
    if (toWrite_) {
        // The line went while the board was read for the backup: the loaded configuration comes back.
        toWrite_->restoreInto(program_);
        toWrite_.reset();
    }
    boardReadDone_ = {};
    closeTransferWindow(frmRead_);
    closeTransferWindow(form1_);
    closeTransferWindow(form3_);
    DisableMenu();
    setCaptionOffline();
    program_.Online = false;
    setConnectCaption(true);
    closeAllChildren();
    history_->clear(); // an undo now would change the image only, not the board the edits went to
    showLamp(link::LinkLamp::SendDark);
    showLamp(link::LinkLamp::ReceiveDark);
    // The user may want another port or language before connecting again, so the Com and language menus
    // come back together with the file commands.
    for (const char* entry : {"mnuFile", "mnuVer", "Smuload", "SmuNew", "mnuCom", "mnuLingue", "mnuWL"})
        setEntry(entry, true);
    setState(AppState::Offline);
}

// ---------------------------------------------------------------- FrmRead

void MainWindow::showFrmRead() {
    closeTransferWindow(frmRead_);
    frmRead_ = MakeFrmRead(this);
    connect(frmRead_, &QObject::destroyed, this, [this] { emit transferWindowClosed("FrmRead"); });
    frmRead_->setRange(100);
    frmRead_->showCentred();
    link_->readUnits();
}

void MainWindow::onUnitsRead(const link::UnitReadResult& result) {
    // The units are known: the menus are ready at once; the window shows "... DONE! ... " a moment longer.
    (void)result;
    if (!frmRead_) return;
    if (program_.Online) setCaptionConnected();
    EnableMenu();
    setEntry("mnuFile", true);
    if (state_ == AppState::Reading) setState(AppState::Connected);
    const QPointer<ProgressWindow> shown = frmRead_;
    QTimer::singleShot(kReadDoneShownMs, shown.data(), [this, shown] {
        if (frmRead_ == shown) closeTransferWindow(frmRead_);
    });
}

// ---------------------------------------------------------------- transfers

void MainWindow::onTransferText(link::TransferKind kind, const QString& text) {
    if (toWrite_) return; // Form3 tells what the backup read does
    ProgressWindow* window = kind == link::TransferKind::UnitRead ? frmRead_.data()
                             : kind == link::TransferKind::Save   ? form1_.data()
                                                                  : form3_.data();
    if (window) window->setText(text);
}

void MainWindow::onTransferProgress(link::TransferKind kind, int value, int maximum) {
    ProgressWindow* window = kind == link::TransferKind::UnitRead            ? frmRead_.data()
                             : kind == link::TransferKind::Save && !toWrite_ ? form1_.data()
                                                                             : form3_.data();
    if (!window) return;
    window->setRange(maximum);
    window->setValue(value);
}

void MainWindow::onTransferFinished(link::TransferKind kind, bool ok, const QString& error) {
    if (kind == link::TransferKind::Save && toWrite_) return finishBackup(ok, error);
    if (kind == link::TransferKind::Save && boardReadDone_) {
        const auto done = std::exchange(boardReadDone_, {});
        EnableMenu();
        setEntry("mnuFile", true);
        return done(ok, error);
    }
    if (kind == link::TransferKind::Save) {
        if (!form1_) return;
        if (ok) {
            writeConfigFile();
        } else {
            message("The configuration could not be read from the board; no file was written.\n" + error,
                    MessageIcon::Critical, kProgramTitle);
            finishSave();
        }
        return;
    }
    if (kind == link::TransferKind::Write) {
        endWrite();
        if (ok) {
            message("The board was written. The board's previous configuration is saved in\n" + backupPath_,
                    MessageIcon::Information, kProgramTitle);
            return;
        }
        // The link has shown why (" Communication Error ", "Checksum Error", the lost line). The
        // configuration is still the one to write, and Write Board may try again.
        setEntry("SmnuWrite", true);
        // Asked once the link has gone on with what it was doing (a lost line ends the connection first).
        QTimer::singleShot(0, this, [this, backup = backupPath_] { offerBackup(backup); });
    }
}

// ---------------------------------------------------------------- Write Board, backup first

void MainWindow::showWriteWindow() {
    setCaptionConnected();
    program_.Online = true;
    form3_ = MakeForm3(this);
    connect(form3_, &QObject::destroyed, this, [this] { emit transferWindowClosed("Form3"); });
    form3_->showCentred();
    setEntry("SmnuWrite", false);
    setState(AppState::Writing);
    QTimer::singleShot(kTransferStartMs, this, [this] {
        if (form3_ && state_ == AppState::Writing) startBackup();
    });
}

void MainWindow::readBoardMemory(std::function<void(bool, const QString&)> done) {
    if (!program_.Online || state_ != AppState::Connected || link_->transferRunning() || boardReadDone_)
        return done(false, "the board is busy");
    boardReadDone_ = std::move(done);
    DisableMenu();
    setEntry("mnuFile", false);
    link_->saveConfiguration();
}

std::filesystem::path MainWindow::backupFolder() const {
    return (config_.settingsDir.empty() ? config_.programDir : config_.settingsDir) / kBackupFolderName;
}

void MainWindow::startBackup() {
    // The save read fills the images with the board's memory; the configuration to write waits aside.
    toWrite_ = ImagesToWrite::takeFrom(program_);
    backupPath_.clear();
    form3_->setText("Backup of the board's configuration....");
    link_->saveConfiguration();
}

void MainWindow::finishBackup(bool ok, const QString& error) {
    QString why = error;
    if (ok) {
        const BackupResult backup = SaveBoardBackup(backupFolder(), program_, QDateTime::currentDateTime());
        if (backup.ok())
            backupPath_ = backup.path;
        else
            why = backup.error;
    }
    toWrite_->restoreInto(program_);
    toWrite_.reset();
    if (!form3_ || state_ != AppState::Writing) return; // disconnected meanwhile
    if (backupPath_.isEmpty() &&
        !askYesNo("The board's present configuration could not be saved as a backup (" + why +
                  ").\nWrite the board all the same?")) {
        endWrite();
        setEntry("SmnuWrite", true); // nothing was written: the configuration can be written later
        return;
    }
    if (!form3_ || state_ != AppState::Writing) return;
    form3_->setText(kWriteText);
    // The configuration written is the board's from now on: the edits after it are a new log.
    changes_.startNew("Write Board");
    link_->writeBoard();
}

// A write that did not complete has left the board with part of each configuration. The backup, taken as
// the configuration to write, lets Write Board put the previous one back, now or once the line works.
void MainWindow::offerBackup(const QString& backup) {
    if (backup.isEmpty() || exiting_) return;
    if (askYesNo(
            "The board was not completely written: it may now hold part of the new configuration and part "
            "of its previous one.\nIts previous configuration is saved in\n" +
            backup + "\nLoad that backup now, so that Write Board puts it back on the board?"))
        loadConfiguration(backup);
}

bool MainWindow::askYesNo(const QString& text) {
    editors::MessageRequest ask;
    ask.parent = this;
    ask.icon = editors::MessageIcon::Exclamation;
    ask.buttons = editors::MessageButtons::YesNo;
    ask.title = kProgramTitle;
    ask.text = text;
    return editors::showMessage(ask) == editors::MessageAnswer::Yes;
}

void MainWindow::endWrite() {
    setEntry("mnuFile", true);
    EnableMenu();
    showLamp(link::LinkLamp::SendDark);
    showLamp(link::LinkLamp::ReceiveDark);
    showLamp(link::LinkLamp::FaultDark);
    closeTransferWindow(form3_);
    if (state_ == AppState::Writing) setState(AppState::Connected);
}

void MainWindow::closeTransferWindow(QPointer<ProgressWindow>& window) {
    if (!window) return;
    ProgressWindow* w = window.data();
    window = nullptr;
    w->close(); // deletes itself
}

// ---------------------------------------------------------------- New, Load, Save

void MainWindow::newClicked() {
    if (program_.Online) return; // a new configuration is only made offline
    program_.ClearConfigArea();
    changes_.startNew("New File");
    fileTitle_.clear();
    filePath_.clear();
    setCaptionOffline();
    reloadEditors();
    openForm("FrmConfSLAVE");
}

void MainWindow::loadClicked() {
    if (program_.Online) return; // loading happens only offline
    FileDialogRequest request;
    request.title = "Load";
    request.defaultExtension = "prm";
    request.filter = "Configuration(*.prm);;Configuration(*.spf);;Configuration(*.cfx)";
    request.folder = dialogFolder();
    const QString path = dialogs_->openFile(request);
    const QString title = QFileInfo(path).fileName();
    if (title.isEmpty() || title == "*.prm" || title == "*.spf" || title == "*.cfx") return;
    loadConfiguration(path);
}

void MainWindow::loadConfiguration(const QString& path) {
    fileTitle_ = QFileInfo(path).fileName();
    filePath_ = path;
    if (!program_.Online) setCaptionOffline(fileTitle_);

    const ConfigLoadResult loaded = LoadConfigFile(path.toStdString(), program_);
    if (!loaded.ok()) {
        message(QString::fromStdString(loaded.error), MessageIcon::Exclamation, kProgramTitle);
        return;
    }
    changes_.startNew("Load File " + fileTitle_.toStdString());
    reloadEditors(); // no open window may keep (and later write) values of the previous configuration
    EnableMenu();
    setEntry("SmnuWrite", true);
    if (!program_.Online) showFrmRead(); // takes the loaded unit codes over for the menus and editors
}

void MainWindow::saveClicked() {
    FileDialogRequest request;
    request.title = "Save";
    request.initialName = "*.prm";
    request.defaultExtension = "prm";
    request.filter = "Configurazione(*.prm)";
    request.folder = dialogFolder();
    const QString path = dialogs_->saveFile(request);
    const QString title = QFileInfo(path).fileName();
    if (title.isEmpty() || title == "*.prm") return;
    fileTitle_ = title;
    filePath_ = path;
    if (program_.Online) {
        showLamp(link::LinkLamp::SendDark);
        showLamp(link::LinkLamp::ReceiveDark);
    }
    closeTransferWindow(form1_);
    form1_ = MakeForm1(this);
    connect(form1_, &QObject::destroyed, this, [this] { emit transferWindowClosed("Form1"); });
    form1_->setRange(kConfigAreaSize);
    form1_->showCentred();
    DisableMenu();
    setEntry("mnuFile", false);
    QTimer::singleShot(kTransferStartMs, this, [this] {
        if (!form1_) return;
        if (program_.Online)
            link_->saveConfiguration(); // reads the board's memory first; then transferFinished(Save)
        else
            writeConfigFile();
    });
}

QString MainWindow::dialogFolder() const {
    // The folder of the last file chosen, else the program's folder.
    if (!filePath_.isEmpty()) return QFileInfo(filePath_).absolutePath();
    return QString::fromStdString(config_.programDir.string());
}

void MainWindow::writeConfigFile() {
    const std::string error = SaveProtectedConfig(filePath_.toStdString(), program_);
    if (form1_) form1_->setValue(kConfigAreaSize);
    if (!error.empty())
        message("The file could not be written:\n" + QString::fromStdString(error), MessageIcon::Critical,
                kProgramTitle);
    finishSave();
}

void MainWindow::finishSave() {
    if (program_.Online) {
        showLamp(link::LinkLamp::SendDark);
        showLamp(link::LinkLamp::ReceiveDark);
    }
    EnableMenu();
    setEntry("mnuFile", true);
    closeTransferWindow(form1_);
}

} // namespace vm::app
