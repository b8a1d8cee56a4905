// vmconfig: the configuration tool's main window.

#include "AppOptions.h"
#include "DataFolder.h"
#include "MainWindow.h"
#include "RunScript.h"
#include "ScriptCommands.h"
#include "Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(vm::app::kExecutableName);
    QApplication::setApplicationVersion(VM_VERSION);

    QString error;
    // The arguments as bytes: Qt's own list loses the bytes of a file name that is not UTF-8.
    const auto options = vm::app::ParseAppOptions(std::vector<std::string>(argv, argv + argc), error,
                                                 vm::script::ScriptCommandsHelp());
    if (!options) {
        QTextStream(stderr) << error << "\n";
        return 2;
    }

    vm::app::AppConfig config;
    config.programDir = vm::FindDataFolder(QApplication::applicationDirPath().toStdString());
    // An installed program cannot write beside its data: its settings go to the user's folder.
    if (!QFileInfo(QString::fromStdString(config.programDir.string())).isWritable()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(folder);
        // It keeps the board backups, with their service codes and passwords: the user's alone.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        config.settingsDir = folder.toStdString();
        config.dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    }
    if (options->simulate) config.port = vm::app::PortChoice::Simulated;
    if (!options->device.isEmpty()) {
        config.port = vm::app::PortChoice::Device;
        config.device = options->device;
    }
    if (!options->scriptFile.empty()) return vm::script::RunScript(std::move(config), options->scriptFile);
    const bool screenshots = !options->screenshotDir.isEmpty();
    if (screenshots) {
        config.dialogs = std::make_shared<vm::app::NonBlockingDialogs>();
        config.launcher = [](const std::filesystem::path&) {};
    }

    vm::app::MainWindow window(std::move(config));
    if (!window.startUp()) return 1;
    if (screenshots) {
        QStringList problems;
        const int failures = vm::app::TakeScreenshots(window, options->screenshotDir, problems);
        for (const QString& problem : problems)
            QTextStream(stderr) << problem << "\n";
        return failures == 0 ? 0 : 1;
    }
    window.show();
    return QApplication::exec();
}
