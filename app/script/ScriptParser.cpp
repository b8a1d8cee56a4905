#include "ScriptParser.h"

#include <map>

namespace vm::script {

namespace {
struct Arity {
    int count;
    const char* usage;
};

// Every command with its number of arguments.
const std::map<QString, Arity>& commandTable() {
    static const std::map<QString, Arity> table{
        {"connect", {0, "connect"}},
        {"disconnect", {0, "disconnect"}},
        {"menu", {1, "menu ENTRY"}},
        {"answer", {1, "answer yes|no|ok|cancel|retry"}},
        {"expect-message", {1, "expect-message TEXT"}},
        {"file", {1, "file PATH"}},
        {"enter", {1, "enter TEXT"}},
        {"open", {1, "open FORM"}},
        {"close", {1, "close FORM"}},
        {"set", {3, "set FORM CONTROL VALUE"}},
        {"click", {2, "click FORM CONTROL"}},
        {"context", {3, "context FORM CONTROL|- ENTRY"}},
        {"expect", {3, "expect FORM CONTROL TEXT"}},
        {"settle", {0, "settle"}},
        {"wait", {1, "wait MS"}},
        {"timeout", {1, "timeout SECONDS"}},
        {"screenshot", {2, "screenshot FORM|main PATH"}},
        {"language", {1, "language NAME"}},
        {"quit", {0, "quit"}},
    };
    return table;
}

// The checks of single arguments that need no window.
QString argumentError(const ScriptCommand& c) {
    if (c.name == "answer") {
        static const QStringList words{"yes", "no", "ok", "cancel", "retry"};
        if (!words.contains(c.args[0].toLower())) return "unknown answer \"" + c.args[0] + "\"";
    } else if (c.name == "wait") {
        bool ok = false;
        if (c.args[0].toInt(&ok) < 0 || !ok) return "wait needs milliseconds, not \"" + c.args[0] + "\"";
    } else if (c.name == "timeout") {
        bool ok = false;
        const int seconds = c.args[0].toInt(&ok);
        if (!ok || seconds <= 0 || seconds > 24 * 3600)
            return "timeout needs whole seconds (1 to 86400), not \"" + c.args[0] + "\"";
    }
    return {};
}

// Fills `command` from a line that is neither blank nor a comment; returns why the line is wrong.
QString parseLine(const QString& line, ScriptCommand& command) {
    QString error;
    const auto words = SplitScriptLine(line, error);
    if (!words) return error;
    command.name = words->first().toLower();
    command.args = words->mid(1);
    const auto known = commandTable().find(command.name);
    if (known == commandTable().end()) return "unknown command \"" + words->first() + "\"";
    if (command.args.size() != known->second.count)
        return QStringLiteral("%1 arguments given; usage: %2")
            .arg(command.args.size())
            .arg(QString::fromLatin1(known->second.usage));
    return argumentError(command);
}
} // namespace

std::optional<QStringList> SplitScriptLine(const QString& line, QString& error) {
    QStringList words;
    QString word;
    bool inWord = false; // "" is an empty word, so a word can exist without characters
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && c.isSpace()) {
            if (inWord) words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (quoted) {
        error = "a quote is not closed";
        return std::nullopt;
    }
    if (inWord) words.append(word);
    return words;
}

ParsedScript ParseScript(const QString& text) {
    ParsedScript result;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        ScriptCommand command;
        command.line = i + 1;
        if (const QString error = parseLine(trimmed, command); !error.isEmpty()) {
            result.commands.clear();
            result.errorLine = i + 1;
            result.error = error;
            return result;
        }
        result.commands.push_back(std::move(command));
    }
    return result;
}

} // namespace vm::script
