#pragma once
// The lines of a script file: blank lines and lines starting with # are skipped, the arguments of a command
// are separated by blanks, and an argument with blanks is written in double quotes. Every line is checked
// before the first one runs, so a misspelt command never leaves a half-done job on the board.

#include "ScriptCommands.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vm::script {

struct ScriptCommand {
    int line = 0; // 1-based line of the file
    QString name; // in lower case
    Verb verb = Verb::Quit;
    QStringList args;
};

struct ParsedScript {
    std::vector<ScriptCommand> commands;
    int errorLine = 0; // 0 when every line is good
    QString error;
};

// Splits one line into its words; nothing and `error` set on an unbalanced quote.
std::optional<QStringList> SplitScriptLine(const QString& line, QString& error);

ParsedScript ParseScript(const QString& text);

} // namespace vm::script
