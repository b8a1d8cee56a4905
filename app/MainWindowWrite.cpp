// Write Board: the board's configuration is read and saved as a backup first, then the configuration is
// written over it; a write that did not complete offers the backup to put back. Also the board read of the
// compare window.

#include "MainWindow.h"

#include "MessageBox.h"
#include "ProgressWindow.h"

#include "qt/LinkController.h"

#include <QTimer>

namespace vm::app {

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

} // namespace vm::app
