#include "RunScript.h"

#include "MainWindow.h"
#include "ScriptDialogs.h"
#include "ScriptRunner.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>

namespace vm::script {

int RunScript(app::AppConfig config, const QString& scriptFile) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QFile file(scriptFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err << scriptFile << ": cannot read the script: " << file.errorString() << Qt::endl;
        return 2;
    }
    ParsedScript script = ParseScript(QString::fromUtf8(file.readAll()));
    if (script.errorLine != 0) {
        err << scriptFile << ":" << script.errorLine << ": " << script.error << Qt::endl;
        return 1;
    }

    auto dialogs = std::make_shared<ScriptDialogs>(out);
    config.dialogs = dialogs;
    config.launcher = [](const std::filesystem::path&) {}; // nothing else starts when the script quits
    app::MainWindow window(std::move(config));
    if (!window.startUp()) {
        err << scriptFile << ": the program could not start" << Qt::endl;
        return 1;
    }
    // The script decides when the program ends, also after its window closed.
    QApplication::setQuitOnLastWindowClosed(false);
    window.show();
    window.activateWindow(); // text boxes take the focus only in the active window

    ScriptRunner runner(window, *dialogs, scriptFile, std::move(script.commands), err);
    QObject::connect(&runner, &ScriptRunner::finished, &runner, [](int code) { QApplication::exit(code); });
    QTimer::singleShot(0, &runner, &ScriptRunner::start);
    return QApplication::exec();
}

} // namespace vm::script
