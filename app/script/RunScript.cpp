#include "RunScript.h"

#include "MainWindow.h"
#include "ScriptDialogs.h"
#include "ScriptRunner.h"

#include "FileIO.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <optional>

namespace vm::script {

namespace {
// A script is a short text. A bigger file is no script, and a pipe or a device could block the program or
// never end.
constexpr std::uintmax_t kMaxScriptBytes = 1 << 20;

// The script's text, or nothing and why not.
std::optional<QString> readScript(const std::filesystem::path& file, QString& why) {
    std::string problem = NotARegularFile(file);
    std::error_code ec;
    if (problem.empty() && std::filesystem::file_size(file, ec) > kMaxScriptBytes && !ec)
        problem = "is larger than 1 MiB";
    std::optional<std::vector<std::uint8_t>> bytes;
    if (problem.empty()) bytes = ReadWholeFile(file, kMaxScriptBytes, &problem);
    if (!problem.empty()) {
        why = "the script " + QString::fromStdString(problem);
        return std::nullopt;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes->data()),
                             static_cast<qsizetype>(bytes->size()));
}
} // namespace

int RunScript(app::AppConfig config, const std::filesystem::path& scriptFile) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString name = QFile::decodeName(QByteArray::fromStdString(scriptFile.string()));
    QString why;
    const std::optional<QString> text = readScript(scriptFile, why);
    if (!text) {
        err << name << ": " << why << Qt::endl;
        return 2;
    }
    ParsedScript script = ParseScript(*text);
    if (script.errorLine != 0) {
        err << name << ":" << script.errorLine << ": " << script.error << Qt::endl;
        return 1;
    }

    auto dialogs = std::make_shared<ScriptDialogs>(out);
    config.dialogs = dialogs;
    config.launcher = [](const std::filesystem::path&) {}; // nothing else starts when the script quits
    app::MainWindow window(std::move(config));
    if (!window.startUp()) {
        err << name << ": the program could not start" << Qt::endl;
        return 1;
    }
    // The script decides when the program ends, also after its window closed.
    QApplication::setQuitOnLastWindowClosed(false);
    window.show();
    window.activateWindow(); // text boxes take the focus only in the active window

    ScriptRunner runner(window, *dialogs, name, std::move(script.commands), err);
    QObject::connect(&runner, &ScriptRunner::finished, &runner, [](int code) { QApplication::exit(code); });
    QTimer::singleShot(0, &runner, &ScriptRunner::start);
    return QApplication::exec();
}

} // namespace vm::script
