// The main window's connection: the link's signals, the port, Connect and DisConnect, FrmRead with the unit
// types, and where the end of each transfer goes (Save in MainWindowFiles.cpp, Write Board in
// MainWindowWrite.cpp).

#include "MainWindow.h"

#include "EditHistory.h"
#include "ProgressWindow.h"
#include "SimulatedPortFactory.h"

#include "ComMenuModel.h"
#include "qt/LinkController.h"
#include "qt/PortDiscovery.h"
#include "qt/QtSerialPort.h"

#include <QTimer>

namespace vm::app {

namespace {
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
    connect(l, &link::LinkController::firstUnitRead, this, [this](int code) { menus_->applyUnit1(code); });
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

// ---------------------------------------------------------------- Connect

void MainWindow::connectClicked() {
    if (menus_->connectCaptionIsConnect())
        beginOpening(false);
    else
        disconnectBoard();
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

void MainWindow::closeTransferWindow(QPointer<ProgressWindow>& window) {
    if (!window) return;
    ProgressWindow* w = window.data();
    window = nullptr;
    w->close(); // deletes itself
}

} // namespace vm::app
