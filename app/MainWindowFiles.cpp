// The main window's file commands: New, Load and Save (Form1), offline from and to the configuration files,
// and online Save, which reads the board's memory first.

#include "MainWindow.h"

#include "ProgressWindow.h"

#include "ConfigFile.h"
#include "qt/LinkController.h"

#include <QFileInfo>
#include <QTimer>

namespace vm::app {

void MainWindow::newClicked() {
    if (program_.Online) return; // a new configuration is only made offline
    program_.ClearConfigArea();
    changes_.startNew("New File");
    fileTitle_.clear();
    filePath_.clear();
    setCaptionOffline();
    children_->reloadEditors();
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
    // No open window may keep (and later write) values of the previous configuration.
    children_->reloadEditors();
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
