#include "AppOptions.h"

#include <QCommandLineParser>
#include <QFile>

namespace vm::app {

std::optional<AppOptions> ParseAppOptions(const std::vector<std::string>& arguments, QString& error) {
    // One character per byte, so that a file name that is not UTF-8 comes back from the parser unchanged.
    QStringList latin1;
    for (const std::string& argument : arguments)
        latin1.append(QString::fromLatin1(argument));
    const auto bytes = [](const QString& value) { return value.toLatin1(); };
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Configuration tool for the vending machine control board. Without options it opens the main window\n"
        "on the port last chosen in the Com menu.\n\n"
        "Exit status:\n"
        "  0  the window was closed, the pictures were written or every script line succeeded\n"
        "  1  the start failed, a picture could not be written or a script line failed\n"
        "  2  bad command line or a script that cannot be read");
    const QCommandLineOption simulate("simulate", "Connect to the simulated board instead of a serial port.");
    const QCommandLineOption port("port", "Use the serial device DEVICE.", "DEVICE");
    const QCommandLineOption shots("screenshots", "Write pictures of every window to DIR and exit.", "DIR");
    const QCommandLineOption script("script", "Run the lines of FILE and exit (0: all succeeded).", "FILE");
    parser.addOptions({simulate, port, shots, script});
    parser.addHelpOption();
    if (!parser.parse(latin1)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet("help")) parser.showHelp(0); // on stdout, and a success
    if (!parser.positionalArguments().isEmpty()) {
        error = "Unexpected argument: " + QFile::decodeName(bytes(parser.positionalArguments().constFirst()));
        return std::nullopt;
    }
    AppOptions options;
    options.simulate = parser.isSet(simulate);
    options.device = QFile::decodeName(bytes(parser.value(port)));
    options.screenshotDir = QFile::decodeName(bytes(parser.value(shots)));
    options.scriptFile = bytes(parser.value(script)).toStdString();
    if (options.simulate && !options.device.isEmpty()) {
        error = "--simulate and --port exclude each other.";
        return std::nullopt;
    }
    if (!options.screenshotDir.isEmpty() && !options.scriptFile.empty()) {
        error = "--screenshots and --script exclude each other.";
        return std::nullopt;
    }
    return options;
}

} // namespace vm::app
