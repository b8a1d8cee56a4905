// The command line of vmconfig-cli on any arguments (the input split at NUL bytes). A command line that
// is accepted names a known command with the operands it needs and exactly the port it asks for.

#include "CliArgs.h"
#include "FuzzFiles.h"

#include <algorithm>

using namespace vm::cli;

namespace {
bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> argv(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            argv.emplace_back();
        else
            argv.back().push_back(static_cast<char>(data[i]));
    }

    const ParseResult parsed = ParseCliArgs(argv);
    VM_FUZZ_CHECK(parsed.args.has_value() != !parsed.error.empty());
    VM_FUZZ_CHECK(parsed.error.find('\n') == std::string::npos);
    if (!parsed.args || parsed.args->help) return 0;

    const CliArgs& args = *parsed.args;
    if (args.needsBoard()) VM_FUZZ_CHECK(args.port != PortKind::None);
    if (args.port == PortKind::Com) VM_FUZZ_CHECK(args.com >= 1 && args.com <= 255);
    if (args.port == PortKind::Device) VM_FUZZ_CHECK(!args.device.empty());
    switch (args.command) {
    case Command::Info:
        VM_FUZZ_CHECK(args.operands.empty());
        break;
    case Command::Save:
    case Command::Write:
    case Command::Show:
        VM_FUZZ_CHECK(args.operands.size() == 1);
        break;
    case Command::Diff:
        VM_FUZZ_CHECK(args.operands.size() == 2);
        break;
    case Command::Get:
        VM_FUZZ_CHECK(!args.operands.empty());
        for (const std::string& op : args.operands) {
            const auto index = ParseIndex(op);
            VM_FUZZ_CHECK(index && *index >= 1 && *index <= 33000 && allDigits(op));
        }
        break;
    case Command::Set:
        VM_FUZZ_CHECK(!args.operands.empty());
        for (const std::string& op : args.operands) {
            const auto assignment = ParseAssignment(op);
            VM_FUZZ_CHECK(assignment && assignment->index >= 1 && assignment->index <= 33000);
            const auto eq = op.find('=');
            VM_FUZZ_CHECK(allDigits(op.substr(0, eq)) && assignment->value == op.substr(eq + 1));
        }
        break;
    }
    return 0;
}
