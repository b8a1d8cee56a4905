#pragma once
// Every script command in one table: its name, how many arguments it takes, its usage and one line of help,
// and whether the line then waits until the board has acknowledged the writes it caused. The parser checks
// lines against it, the runner picks each line's steps by its verb, `vmconfig --help` prints it, and a test
// holds the README's table of commands to it.

#include <QString>

#include <span>

namespace vm::script {

enum class Verb {
    Connect,
    Disconnect,
    Menu,
    Answer,
    ExpectMessage,
    File,
    Enter,
    Open,
    Close,
    Set,
    Click,
    Context,
    Expect,
    Settle,
    Wait,
    Timeout,
    Screenshot,
    Language,
    Quit,
};

struct CommandSpec {
    Verb verb;
    const char* name;
    int arguments;
    const char* usage;
    const char* help;
    bool waitsForBoard; // the line ends only when the writes it caused are acknowledged
};

std::span<const CommandSpec> ScriptCommands();
// The command of that name (already in lower case), or nullptr.
const CommandSpec* FindScriptCommand(const QString& name);
// "Script commands:" and one line per command, for --help.
QString ScriptCommandsHelp();

} // namespace vm::script
