#include "ScriptCommands.h"

namespace vm::script {

namespace {
constexpr CommandSpec kCommands[] = {
    {Verb::Connect, "connect", 0, "connect", "connects as the menu entry does; a connect that ends in a message fails",
     true},
    {Verb::Disconnect, "disconnect", 0, "disconnect", "disconnects as the menu entry does", true},
    {Verb::Menu, "menu", 1, "menu ENTRY", "clicks the menu entry of that name; fails when it is disabled", true},
    {Verb::Answer, "answer", 1, "answer yes|no|ok|cancel|retry", "queues the answer to the next message box",
     false},
    {Verb::ExpectMessage, "expect-message", 1, "expect-message TEXT",
     "a message containing TEXT was shown since the last expect-message", false},
    {Verb::File, "file", 1, "file PATH", "queues the path chosen in the next file dialog", false},
    {Verb::Enter, "enter", 1, "enter TEXT", "queues the text typed into the next input box", false},
    {Verb::Open, "open", 1, "open FORM", "opens a window (through its menu entry where it has one)", true},
    {Verb::Close, "close", 1, "close FORM", "closes a window", true},
    {Verb::Set, "set", 3, "set FORM CONTROL VALUE", "sets a control as a user would", true},
    {Verb::Click, "click", 2, "click FORM CONTROL", "clicks a button, a tool-bar button, a label or a cell", true},
    {Verb::Context, "context", 3, "context FORM CONTROL ENTRY",
     "chooses ENTRY of the control's context menu (CONTROL -: the window's own)", true},
    {Verb::Expect, "expect", 3, "expect FORM CONTROL TEXT", "the control shows TEXT or has the value TEXT", false},
    {Verb::Settle, "settle", 0, "settle", "waits until the board has acknowledged every write", true},
    {Verb::Wait, "wait", 1, "wait MS", "waits MS milliseconds", false},
    {Verb::Timeout, "timeout", 1, "timeout SECONDS", "sets the time limit of every later line (default 60 s)",
     false},
    {Verb::Screenshot, "screenshot", 2, "screenshot FORM|main PATH",
     "writes a picture of a window or of the main window", false},
    {Verb::Language, "language", 1, "language NAME", "picks a language of the language menu", true},
    {Verb::Quit, "quit", 0, "quit", "File > Exit; the lines after it are not run", false},
};
} // namespace

std::span<const CommandSpec> ScriptCommands() {
    return kCommands;
}

const CommandSpec* FindScriptCommand(const QString& name) {
    for (const CommandSpec& c : kCommands)
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

QString ScriptCommandsHelp() {
    QString text = QStringLiteral("Script commands (one a line; # starts a comment):\n");
    for (const CommandSpec& c : kCommands)
        text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(c.usage).leftJustified(30), QString::fromLatin1(c.help));
    return text;
}

} // namespace vm::script
