#include "CliArgs.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace vm::cli {
namespace {

const std::map<std::string_view, Command>& commandNames() {
    static const std::map<std::string_view, Command> names{
        {"info", Command::Info},     {"save", Command::Save}, {"write", Command::Write},
        {"get", Command::Get},       {"set", Command::Set},   {"audit", Command::Audit},
        {"show", Command::Show},     {"diff", Command::Diff}, {"export", Command::Export},
        {"import", Command::Import}, {"show-audit", Command::ShowAudit},
    };
    return names;
}

// The user's text inside a one-line error: line breaks and other control characters show as '?'.
std::string shown(std::string_view text) {
    std::string out(text);
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    std::replace_if(out.begin(), out.end(), control, '?');
    return out;
}

std::optional<int> parseDecimal(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Checks the operand count of the command; returns an error line or nothing.
std::string checkOperands(const CliArgs& args, std::string_view name) {
    const auto count = args.operands.size();
    const std::string prefix = std::string(name) + ": ";
    switch (args.command) {
    case Command::Info:
        return count == 0 ? "" : prefix + "takes no operands";
    case Command::Save:
    case Command::Write:
    case Command::Audit:
    case Command::Show:
    case Command::ShowAudit:
    case Command::Export:
        return count == 1 ? "" : prefix + "needs exactly one FILE";
    case Command::Import:
        return count == 3 ? "" : prefix + "needs three files TEXT BASE OUT";
    case Command::Diff:
        return count == 2 ? "" : prefix + "needs two files FILE_A FILE_B";
    case Command::Get:
        if (count == 0) return prefix + "needs at least one INDEX";
        for (const auto& op : args.operands)
            if (!ParseIndex(op)) return prefix + "not a parameter index 1..33000: " + shown(op);
        return "";
    case Command::Set:
        if (count == 0) return prefix + "needs at least one INDEX=VALUE";
        for (const auto& op : args.operands)
            if (!ParseAssignment(op)) return prefix + "expected INDEX=VALUE, got: " + shown(op);
        return "";
    }
    return "";
}

} // namespace

std::optional<int> ParseIndex(std::string_view text) {
    const auto value = parseDecimal(text);
    if (!value || *value < 1 || *value > 33000) return std::nullopt;
    return value;
}

std::optional<Assignment> ParseAssignment(std::string_view text) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const auto index = ParseIndex(text.substr(0, eq));
    if (!index) return std::nullopt;
    return Assignment{*index, std::string(text.substr(eq + 1))};
}

ParseResult ParseCliArgs(const std::vector<std::string>& argv) {
    CliArgs args;
    std::optional<std::string> commandName;
    int portOptions = 0;
    bool optionsEnded = false;
    bool formatGiven = false;

    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argv.size()) return false;
            out = argv[++i];
            return true;
        };
        if (!optionsEnded && arg.starts_with("-")) {
            std::string operand;
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help" || arg == "-h") {
                args.help = true;
            } else if (arg == "--port") {
                if (!value(args.device) || args.device.empty()) return {{}, "--port needs a DEVICE"};
                args.port = PortKind::Device;
                ++portOptions;
            } else if (arg == "--com") {
                if (!value(operand)) return {{}, "--com needs a port number N"};
                const auto n = parseDecimal(operand);
                if (!n || *n < 1 || *n > 255)
                    return {{}, "--com: port number must be 1..255, got " + shown(operand)};
                args.com = *n;
                args.port = PortKind::Com;
                ++portOptions;
            } else if (arg == "--usb") {
                args.port = PortKind::Usb;
                ++portOptions;
            } else if (arg == "--simulate") {
                args.port = PortKind::Simulate;
                ++portOptions;
            } else if (arg == "--maps") {
                if (!value(args.mapDir) || args.mapDir.empty()) return {{}, "--maps needs a folder"};
            } else if (arg == "--format") {
                if (!value(operand)) return {{}, "--format needs csv or eva-dts"};
                if (operand == "csv")
                    args.format = AuditFormat::Csv;
                else if (operand == "eva-dts")
                    args.format = AuditFormat::EvaDts;
                else
                    return {{}, "--format: csv or eva-dts, got " + shown(operand)};
                formatGiven = true;
            } else if (arg == "--all") {
                args.all = true;
            } else if (arg == "--no-progress") {
                args.progress = false;
            } else {
                return {{}, "unknown option " + shown(arg) + " (see --help)"};
            }
            continue;
        }
        if (!commandName) {
            const auto it = commandNames().find(arg);
            if (it == commandNames().end()) return {{}, "unknown command " + shown(arg) + " (see --help)"};
            commandName = arg;
            args.command = it->second;
        } else {
            args.operands.push_back(arg);
        }
    }

    if (args.help) return {args, {}};
    if (!commandName) return {{}, "no command given (see --help)"};
    if (portOptions > 1) return {{}, "choose only one of --port, --com, --usb, --simulate"};
    if (auto error = checkOperands(args, *commandName); !error.empty()) return {{}, error};
    if (formatGiven && args.command != Command::Audit) return {{}, "--format belongs to audit"};
    if (args.all && args.command != Command::Export) return {{}, "--all goes with export only"};
    if (args.needsBoard() && args.port == PortKind::None)
        return {{}, *commandName + ": needs a board: --port DEVICE, --com N, --usb or --simulate"};
    return {args, {}};
}

std::string HelpText() {
    return R"(Usage: vmconfig-cli [PORT] COMMAND [OPERANDS...] [OPTIONS]

Command-line companion of the vending board configuration tool.

Port (one of them, for the commands that talk to a board):
  --port DEVICE   the serial device, for example /dev/ttyUSB0 or a pseudo-terminal
  --com N         COM port N (1..255); on Linux COM N is /dev/ttyS(N-1)
  --usb           the port of the first FTDI USB serial adapter found
  --simulate      a simulated board inside this program (no hardware)
The line runs at 19200 baud, 8 data bits, no parity, 1 stop bit.

Commands that talk to a board:
  info                  identify the board: board class, type, software, revision,
                        release, unit codes and machine model code
  save FILE             read the whole configuration memory from the board and write
                        it to FILE as a protected configuration file (.prm). A failed
                        read writes no file and leaves an existing FILE as it was.
  write FILE            write a configuration file (.prm, .spf or .cfx) to the board,
                        then read the memory back and compare; mismatching addresses
                        are listed and the exit status is 1
  get INDEX...          read parameters live; prints INDEX NAME VALUE per parameter
  set INDEX=VALUE...    write parameters live and wait for the board's acknowledgement;
                        prints INDEX NAME VALUE as the board confirmed it. Numbers are
                        decimal; a text parameter takes the text after '='.
  audit FILE            read every sales and audit counter (money totals, coins,
                        banknotes, paid/free/test vends per sector, jug and MDB
                        counters) and the alarm log, and write them to FILE as CSV:
                        a "sep=;" line, the header index;name;value, then one row
                        per parameter with its raw value (money in the smallest
                        unit: the first row, 1823, is the decimal point). About
                        1200 values, read in a few seconds. A failed read writes no
                        file and leaves an existing FILE as it was.
    --format eva-dts    write an EVA-DTS audit report instead (DEX/UCS 6.1, the
                        format vending management software imports): totals, coin
                        and banknote counts, vends per product with their prices,
                        and the alarm log as events. --format csv is the default.

Commands that need no board:
  show FILE             every parameter carried by a configuration or telemetry (.tlm) file: INDEX NAME VALUE
  diff FILE_A FILE_B    only the parameters whose values differ: INDEX NAME VALUE_A VALUE_B
                        (with a .tlm file: the telemetry settings only)
  show-audit FILE       the segments of an EVA-DTS audit report (ours or another
                        machine's), each element with its name in the standard. A
                        malformed report is refused with its line number (status 2);
                        a report whose G85 CRC does not match is shown and reported
                        (status 1).
  export [--all] FILE   print the settings of a configuration file as text, one a line
                        in index order: NAME = VALUE  # INDEX. Only the settings that
                        differ from their defaults; with --all every setting. Names are
                        the parameter names in lower case with '_' for blanks and
                        punctuation; amounts are shown with the decimal point of the
                        configuration (decimal_point, written whenever amounts are);
                        texts in double quotes with \" \\ and \xNN, trailing blanks
                        left out. A mirror is written under its parameter, on a line
                        of its own only when it holds another value. Counters, unit
                        types and telemetry settings have no defaults and are left out.
  import TEXT BASE OUT  apply such a text to the configuration file BASE and write the
                        result to OUT (.prm). Lines name a setting or give its index;
                        '#' starts a comment. Every line is checked first: an unknown
                        name, a value of the wrong kind or out of range is reported
                        with its line number and nothing is written. Each parameter's
                        mirror receives the same value. Exported text applied to the
                        defaults (or, with --all, to any base) gives the file back.

Options:
  --maps DIR            folder of the parameter-map files (W0482.inx, W0482BV00.inx, ...);
                        default: the program's own folder
  --format csv|eva-dts  the file audit writes (default csv)
  --no-progress         no progress bar (it is shown on stderr only when stderr is a terminal)
  -h, --help            this text

Exit status:
  0  success (diff: the files hold the same parameter values)
  1  the operation failed: no answer, wrong answer, verification mismatch
     (diff: some parameters differ; show-audit: the CRC does not match)
  2  bad command line or an unreadable or invalid file (diff: error)
Errors are reported as one line on stderr.
)";
}

} // namespace vm::cli
