#include "SimOptions.h"

#include <charconv>
#include <functional>
#include <map>
#include <optional>

namespace vm::sim {

namespace {

bool parseInt(const std::string& text, long long low, long long high, long long& out) {
    long long value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) return false;
    out = value;
    return true;
}

bool parseRate(const std::string& text, double& out) {
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        if (used != text.size() || !(value >= 0.0 && value <= 1.0)) return false;
        out = value;
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

SimOptionsResult ParseSimOptions(const std::vector<std::string>& args, const std::string& defaultMapsDir) {
    SimOptionsResult result;
    SimOptions& o = result.options;
    o.mapsDir = defaultMapsDir;
    BoardIdentity& id = o.board.identity;
    FaultSettings& f = o.board.faults;

    using Setter = std::function<bool(const std::string&)>;
    auto integer = [](long long low, long long high, auto assign) -> Setter {
        return [=](const std::string& v) {
            long long n = 0;
            if (!parseInt(v, low, high, n)) return false;
            assign(n);
            return true;
        };
    };
    auto rate = [](double& target) -> Setter {
        return [&target](const std::string& v) { return parseRate(v, target); };
    };

    const std::map<std::string, Setter> withValue = {
        {"--class", integer(0, 255, [&](long long n) { id.boardClass = static_cast<int>(n); })},
        {"--type", integer(0, 65535, [&](long long n) { id.boardType = static_cast<int>(n); })},
        {"--software", integer(0, 255, [&](long long n) { id.software = static_cast<int>(n); })},
        {"--revision", integer(0, 99, [&](long long n) { id.revision = static_cast<int>(n); })},
        {"--release", integer(0, 255, [&](long long n) { id.release = static_cast<int>(n); })},
        {"--corrupt-checksum", rate(f.corruptChecksum)},
        {"--drop", rate(f.drop)},
        {"--split", rate(f.split)},
        {"--trailing", rate(f.trailing)},
        {"--late", rate(f.late)},
        {"--unsolicited", rate(f.unsolicited)},
        {"--disappear-after",
         integer(0, 2147483647, [&](long long n) { f.disappearAfter = static_cast<int>(n); })},
        {"--reply-delay", integer(0, 1000, [&](long long n) { o.board.replyDelayMs = static_cast<int>(n); })},
        {"--seed", integer(0, 4294967295LL, [&](long long n) { f.seed = static_cast<std::uint32_t>(n); })},
        {"--disappear-mode",
         [&](const std::string& v) {
             if (v == "close")
                 f.disappearMode = DisappearMode::Close;
             else if (v == "silent")
                 f.disappearMode = DisappearMode::Silent;
             else
                 return false;
             return true;
         }},
        {"--maps", [&](const std::string& v) { return !(o.mapsDir = v).empty(); }},
        {"--load", [&](const std::string& v) { return !(o.loadFile = v).empty(); }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--wire-time" && !value) {
            o.board.wireTime = true;
        } else if (name == "--late-in-order" && !value) {
            o.board.faults.lateInOrder = true;
        } else if (name == "--empty" && !value) {
            o.empty = true;
        } else if (const auto it = withValue.find(name); it != withValue.end()) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    result.error = "option " + name + " needs a value";
                    return result;
                }
                value = args[++i];
            }
            if (!it->second(*value)) {
                result.error = "bad value for " + name + ": \"" + *value + "\"";
                return result;
            }
        } else {
            result.error = "unknown option: " + args[i];
            return result;
        }
    }
    if (o.empty && !o.loadFile.empty()) result.error = "--empty and --load exclude each other";
    return result;
}

std::string SimUsage(const std::string& programName) {
    return "Usage: " + programName + R"( [options]
Simulates the vending machine's control board on a pseudo-terminal. The first line printed is the
device to open; the board answers there until the program is stopped (Ctrl-C or SIGTERM).

Identity:
  --class N              board class (default 18)
  --type N               board type (default 482)
  --software N           software number (default 21)
  --revision N           parameter-map revision 0..99 (default 0)
  --release N            software release (default: as the firmware map gives it)
Memory:
  --maps DIR             folder of W0482.inx and the firmware maps (default: the program's folder)
  --load FILE            start from a configuration file (.prm, .spf or .cfx)
  --empty                configuration memory all zero
Faults (rates 0..1 per answered frame):
  --corrupt-checksum R   wrong checksum byte
  --drop R               no reply
  --split R              reply in 2..4 pieces with short pauses
  --trailing R           1..3 extra bytes after the reply
  --late R               reply after more than 1 s
  --late-in-order        a late reply holds back the replies behind it (default: they overtake it)
  --unsolicited R        stray bytes after the reply
  --disappear-after N    stop after N frames (0: never)
  --disappear-mode M     close (the line goes away, default) or silent (no more answers)
  --seed S               seed of the fault choices (default 1)
Timing:
  --wire-time            requests and replies take their time at 19200 baud (0.52 ms per byte)
  --reply-delay MS       the board's reaction time before each reply (default 2)
  --help                 this text

Exit status:
  0  the board stopped: Ctrl-C, SIGTERM or the end of its line (the reason is printed on stderr)
  1  the board or its pseudo-terminal could not be set up
  2  bad command line
)";
}

} // namespace vm::sim
