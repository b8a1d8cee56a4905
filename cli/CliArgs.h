#pragma once
// The command line of vmconfig-cli: which port, which command, and the command's operands.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;       // the board or the comparison said no (diff: files differ)
inline constexpr int kExitUsageOrError = 2; // bad command line, unreadable file, diff error

enum class PortKind { None, Device, Com, Usb, Simulate };

enum class Command { Info, Save, Write, Get, Set, Audit, Show, Diff, ShowAudit, Export, Import };

// The file `audit` writes.
enum class AuditFormat { Csv, EvaDts };

struct CliArgs {
    bool help = false;
    PortKind port = PortKind::None;
    std::string device; // --port DEVICE
    int com = 0;        // --com N
    bool progress = true;
    std::string mapDir; // --maps DIR; empty: the program's own folder
    AuditFormat format = AuditFormat::Csv; // --format csv|eva-dts (audit only)
    bool all = false;   // export --all
    Command command = Command::Info;
    std::vector<std::string> operands;

    bool needsBoard() const {
        return command != Command::Show && command != Command::Diff && command != Command::ShowAudit &&
               command != Command::Export && command != Command::Import;
    }
};

struct ParseResult {
    std::optional<CliArgs> args;
    std::string error; // one line, set when args is empty
};

// Parses the arguments after the program name. Options may stand before or after the command.
ParseResult ParseCliArgs(const std::vector<std::string>& argv);

// One `set` operand INDEX=VALUE.
struct Assignment {
    int index = 0;
    std::string value;
};
std::optional<Assignment> ParseAssignment(std::string_view text);
// A parameter index 1..33000 written in decimal.
std::optional<int> ParseIndex(std::string_view text);

// The text of --help.
std::string HelpText();

} // namespace vm::cli
