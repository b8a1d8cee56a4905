// vmconfig-cli: the command-line companion of the configuration tool.
#include "Commands.h"
#include "DataFolder.h"

#include <QCoreApplication>

#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vm::cli::CliIo io;
    io.errIsTerminal = isatty(fileno(stderr)) == 1;
    io.programDir = vm::FindDataFolder(QCoreApplication::applicationDirPath().toStdString());
    std::vector<std::string> args(argv + 1, argv + argc);
    return vm::cli::RunCli(args, io);
}
