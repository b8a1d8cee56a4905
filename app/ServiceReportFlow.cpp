// File > Service report...: the technician's name (asked once, then kept in the settings), the file, and
// while connected the board's configuration and sales counters read first.

#include "MainWindow.h"

#include "CounterRead.h"
#include "ServiceReport.h"

#include <QDir>
#include <QSettings>

namespace vm::app {

namespace {
constexpr int kCounterReadMs = 60000;
const char* const kTitle = "Service report";
} // namespace

QString MainWindow::technician() const {
    QSettings store(QDir(settingsFolder()).filePath("service.ini"), QSettings::IniFormat);
    return store.value("technician").toString();
}

void MainWindow::reportClicked() {
    if (reporting_) return;
    QString name = technician().trimmed();
    if (name.isEmpty()) {
        const auto typed =
            dialogs_->askText("The technician's name, for this and the later service reports:", kTitle, {});
        if (!typed || typed->trimmed().isEmpty()) return;
        name = typed->trimmed();
        QSettings store(QDir(settingsFolder()).filePath("service.ini"), QSettings::IniFormat);
        store.setValue("technician", name);
    }
    FileDialogRequest request;
    request.title = kTitle;
    request.initialName = "service-" + QDate::currentDate().toString("yyyyMMdd") + ".pdf";
    request.defaultExtension = "pdf";
    request.filter = "Service report (*.pdf)";
    request.folder = dialogFolder();
    const QString path = dialogs_->saveFile(request);
    if (path.isEmpty()) return;

    if (!program_.Online) {
        const QString source =
            fileTitle_.isEmpty() ? QStringLiteral("a new configuration, not saved") : filePath_;
        return finishReport(
            path, CollectServiceReport(program_, changes_, name, source, QDateTime::currentDateTime()), {});
    }
    reporting_ = true;
    // The differences from the defaults are the board's: its configuration memory is read first.
    readBoardMemory([this, path, name](bool ok, const QString& error) {
        if (!ok) {
            reporting_ = false;
            return message("The board's configuration could not be read; no report was written.\n" + error,
                           MessageIcon::Critical, kTitle);
        }
        const ServiceReport report = CollectServiceReport(
            program_, changes_, name, "the board on " + portDescription(), QDateTime::currentDateTime());
        counterRead_ = new CounterRead(
            program_, forms_, SalesParams(program_), kCounterReadMs,
            [this, path, report](const std::vector<std::pair<int, double>>& values) {
                finishReport(path, report, values);
            },
            this);
    });
}

void MainWindow::finishReport(const QString& path, ServiceReport report,
                              const std::vector<std::pair<int, double>>& sales) {
    reporting_ = false;
    if (program_.Online) AddSales(report, program_, sales);
    if (const auto error = WriteServiceReport(report, path))
        return message("The service report could not be written: " + *error, MessageIcon::Critical, kTitle);
    message("The service report is written to " + path, MessageIcon::Information, kTitle);
}

} // namespace vm::app
