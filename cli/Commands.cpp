#include "Commands.h"

#include "BlockTransfer.h"
#include "BoardClient.h"
#include "CatalogueLookup.h"
#include "ConfigFile.h"
#include "ConfigText.h"
#include "ConfigView.h"
#include "CsvText.h"
#include "FileIO.h"
#include "ParamMap.h"
#include "ProgressBar.h"
#include "SimulatedBoard.h"
#include "SimulatedPort.h"
#include "qt/PortDiscovery.h"
#include "qt/QtSerialPort.h"
#include "qt/QtTimerService.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace vm::cli {
namespace {

// Prints one error line and gives the status.
int error(const CliIo& io, const std::string& text, int status) {
    std::fprintf(io.err, "vmconfig-cli: %s\n", text.c_str());
    return status;
}

std::filesystem::path mapDir(const CliArgs& args, const CliIo& io) {
    return args.mapDir.empty() ? io.programDir : std::filesystem::path(args.mapDir);
}

// The in-process simulated board and its clock; it must outlive the port that talks to it.
struct InProcessBoard {
    std::unique_ptr<link::QtTimerService> timers;
    std::unique_ptr<sim::SimulatedBoard> board;
};

std::unique_ptr<link::SerialPort> makePort(const CliArgs& args, const CliIo& io, InProcessBoard& sim,
                                           std::string& label, std::string& why) {
    switch (args.port) {
    case PortKind::Device:
        label = args.device;
        return std::make_unique<link::QtSerialPort>(QString::fromStdString(args.device));
    case PortKind::Com:
        label =
            "COM" + std::to_string(args.com) + " (" + link::ComPortDeviceName(args.com).toStdString() + ")";
        return std::make_unique<link::QtSerialPort>(link::ComPortDeviceName(args.com));
    case PortKind::Usb: {
        const QString name = link::FirstFtdiPortName();
        if (name.isEmpty()) {
            why = "USB port not available: no FTDI serial adapter found";
            return nullptr;
        }
        label = "USB adapter " + name.toStdString();
        return std::make_unique<link::QtSerialPort>(name);
    }
    case PortKind::Simulate: {
        label = "simulated board";
        sim.timers = std::make_unique<link::QtTimerService>();
        sim.board = std::make_unique<sim::SimulatedBoard>();
        if (!sim.board->loadMaps(mapDir(args, io), why)) {
            why = "simulated board: " + why;
            return nullptr;
        }
        return std::make_unique<sim::SimulatedPort>(*sim.board, *sim.timers);
    }
    case PortKind::None:
        break;
    }
    why = "no port chosen";
    return nullptr;
}

std::string unitCodesText(const std::array<std::uint8_t, 4>& codes) {
    std::string text;
    for (auto code : codes)
        text += (text.empty() ? "" : " ") + std::to_string(code);
    return text;
}

int runInfo(BoardClient& board, ProgramState& state, const CliIo& io) {
    if (!board.connectBoard(link::ConnectPurpose::Edit)) return error(io, board.lastError(), kExitFailed);
    link::UnitReadResult units;
    if (!board.readUnits(units)) return error(io, board.lastError(), kExitFailed);
    std::fprintf(io.out, "Board class: %d\n", state.BoardClass);
    std::fprintf(io.out, "Board type: %d\n", state.BoardType);
    std::fprintf(io.out, "Board software: %d (%c)\n", state.BoardSoftware,
                 SoftwareLetter(state.BoardSoftware));
    std::fprintf(io.out, "Board revision: %d\n", state.BoardRevision);
    std::fprintf(io.out, "Software release: %g\n", state.SoftwareRelease);
    std::fprintf(io.out, "Unit codes: %s\n", unitCodesText(units.unitCodes).c_str());
    std::fprintf(io.out, "Model code: %d\n", units.modelCode);
    return kExitOk;
}

int runSave(BoardClient& board, ProgramState& state, const std::filesystem::path& file, const CliIo& io) {
    // A folder that is not there fails now rather than after the whole memory was read.
    std::error_code ec;
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    if (!std::filesystem::is_directory(folder, ec))
        return error(io, file.string() + ": no such folder " + folder.string(), kExitUsageOrError);
    // As the main window does: connect, read the units (they go into the file), read the memory, save.
    if (!board.connectBoard(link::ConnectPurpose::Edit)) return error(io, board.lastError(), kExitFailed);
    link::UnitReadResult units;
    if (!board.readUnits(units)) return error(io, board.lastError(), kExitFailed);
    if (!board.saveRead()) return error(io, board.lastError() + "; no file written", kExitFailed);
    if (const std::string why = SaveProtectedConfig(file, state); !why.empty())
        return error(io, file.string() + ": " + why, kExitUsageOrError);
    std::fprintf(io.out, "Saved %s\n", file.string().c_str());
    return kExitOk;
}

// The file was read and checked before any port was opened.
int runWrite(BoardClient& board, ProgramState& state, const std::filesystem::path& file,
             const ConfigFileData& data, const CliIo& io) {
    ApplyConfigFile(data, state);
    const std::vector<std::uint8_t> expected = state.ConfigImage;

    if (!board.connectBoard(link::ConnectPurpose::WriteBoard))
        return error(io, board.lastError(), kExitFailed);
    const bool written = board.writeBoard();
    const std::string writeError = board.lastError();
    // Read back whatever happened, so that the user learns which addresses the board holds differently.
    if (!board.saveRead())
        return error(io, (written ? "" : writeError + "; ") + "verification read: " + board.lastError(),
                     kExitFailed);
    const auto runs = MismatchingRuns(expected, state.ConfigImage);
    int count = 0;
    for (const auto& [first, last] : runs) {
        std::fprintf(io.out, "Mismatch %d-%d\n", first, last);
        count += last - first + 1;
    }
    if (!written) return error(io, writeError, kExitFailed);
    if (count > 0)
        return error(io, std::to_string(count) + " bytes differ on the board after writing", kExitFailed);
    std::fprintf(io.out, "Written and verified %s\n", file.string().c_str());
    return kExitOk;
}

void printParam(const CliIo& io, int index, const ParamData& value) {
    std::fprintf(io.out, "%d %s %s\n", index, ParamName(index).c_str(), FormatValue(value).c_str());
}

// Whether the board's map has the parameter.
bool inBoardMap(const ProgramState& state, int index) {
    return index >= 1 && index <= state.RecordCount[0] && state.cell(index, 0).at(CellPos::Command) != 0;
}

int runGet(BoardClient& board, ProgramState& state, const CliArgs& args, const CliIo& io) {
    if (!board.connectBoard(link::ConnectPurpose::Edit)) return error(io, board.lastError(), kExitFailed);
    std::vector<int> indexes;
    for (const auto& op : args.operands) {
        const int index = *ParseIndex(op);
        if (!inBoardMap(state, index))
            return error(io, "parameter " + op + " is not in the board's parameter map", kExitUsageOrError);
        indexes.push_back(index);
    }
    std::map<int, ParamData> values;
    const bool ok = board.readParams(indexes, values);
    for (int index : indexes)
        if (values.contains(index)) printParam(io, index, values[index]);
    return ok ? kExitOk : error(io, board.lastError(), kExitFailed);
}

int runSet(BoardClient& board, ProgramState& state, const CliArgs& args, const CliIo& io) {
    if (!board.connectBoard(link::ConnectPurpose::Edit)) return error(io, board.lastError(), kExitFailed);
    std::vector<std::pair<int, ParamData>> assignments;
    std::map<int, int> mirrors;
    for (const auto& op : args.operands) {
        const Assignment a = *ParseAssignment(op);
        if (!inBoardMap(state, a.index))
            return error(io, "parameter " + std::to_string(a.index) + " is not in the board's parameter map",
                         kExitUsageOrError);
        std::string why;
        const auto value = ParseLiveValue(state.cell(a.index, 0), a.value, why);
        if (!value) return error(io, "parameter " + std::to_string(a.index) + ": " + why, kExitUsageOrError);
        assignments.emplace_back(a.index, *value);
        // The twin receives the same value, as the editors write it.
        if (const int mirror = ParamMirror(a.index); mirror != 0 && inBoardMap(state, mirror))
            mirrors[a.index] = mirror;
    }
    std::map<int, ParamData> values;
    const bool ok = board.writeParams(assignments, mirrors, values);
    for (const auto& [index, value] : assignments)
        if (values.contains(index)) printParam(io, index, values[index]);
    return ok ? kExitOk : error(io, board.lastError(), kExitFailed);
}

// The counters of the sales and audit views, then the alarm log; the decimal point first, so that a reader
// can scale the money values.
std::vector<int> auditParams() {
    std::vector<int> indexes = {1823};
    const auto range = [&](int first, int last) {
        for (int i = first; i <= last; ++i)
            indexes.push_back(i);
    };
    range(11430, 11451); // money totals, vend totals
    range(1786, 1801);   // coins
    range(1803, 1818);   // banknotes
    range(8773, 9476);   // four blocks of paid, free, test and jug vends
    range(13211, 13306); // the second range of vend counters
    range(13766, 13891); // the third range
    range(11921, 12054); // jug totals and jug counters
    range(11467, 11482); // MDB audit
    range(11815, 11920); // alarm log: newest record, then seven fields per record
    return indexes;
}

int runAudit(BoardClient& board, ProgramState& state, const std::filesystem::path& file, const CliIo& io) {
    std::error_code ec;
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    if (!std::filesystem::is_directory(folder, ec))
        return error(io, file.string() + ": no such folder " + folder.string(), kExitUsageOrError);
    if (!board.connectBoard(link::ConnectPurpose::Edit)) return error(io, board.lastError(), kExitFailed);
    std::vector<int> indexes = auditParams();
    std::erase_if(indexes, [&](int index) { return !inBoardMap(state, index); });
    std::map<int, ParamData> values;
    if (!board.readParams(indexes, values)) return error(io, board.lastError() + "; no file written", kExitFailed);
    std::vector<CsvRow> rows;
    for (int index : indexes)
        rows.push_back({std::to_string(index), ParamName(index), FormatValue(values[index])});
    // Written beside and renamed over the old file, so a failed write never leaves half a file.
    QSaveFile out(QString::fromStdString(file.string()));
    const std::string text = CsvText({"index", "name", "value"}, rows);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !out.commit())
        return error(io, file.string() + ": " + out.errorString().toStdString(), kExitUsageOrError);
    std::fprintf(io.out, "Audit of %zu values written to %s\n", rows.size(), file.string().c_str());
    return kExitOk;
}

int runShow(const CliArgs& args, const CliIo& io) {
    const ViewFile file = ReadViewFile(args.operands[0]);
    if (!file.ok()) return error(io, args.operands[0] + ": " + file.error, kExitUsageOrError);
    const auto params = file.telemetryOnly ? TelemetryParams(ConfigMemoryParams()) : ConfigMemoryParams();
    for (const ShownParam& p : ShowConfig(file.data, params))
        std::fprintf(io.out, "%d %s %s\n", p.index, p.name.c_str(), p.value.c_str());
    return kExitOk;
}

// A telemetry settings file compared with a configuration compares the telemetry settings only.
int runDiff(const CliArgs& args, const CliIo& io) {
    const ViewFile a = ReadViewFile(args.operands[0]);
    if (!a.ok()) return error(io, args.operands[0] + ": " + a.error, kExitUsageOrError);
    const ViewFile b = ReadViewFile(args.operands[1]);
    if (!b.ok()) return error(io, args.operands[1] + ": " + b.error, kExitUsageOrError);
    const bool telemetry = a.telemetryOnly || b.telemetryOnly;
    const auto differing =
        DiffConfigs(a.data, b.data, telemetry ? TelemetryParams(ConfigMemoryParams()) : ConfigMemoryParams());
    for (const DiffParam& p : differing)
        std::fprintf(io.out, "%d %s %s %s\n", p.index, p.name.c_str(), p.valueA.c_str(), p.valueB.c_str());
    return differing.empty() ? kExitOk : kExitFailed;
}

std::span<std::uint8_t> imageOf(ConfigRecord& record) {
    return std::span(record).subspan(RecordPos::Image, kConfigAreaSize);
}

int runExport(const CliArgs& args, const CliIo& io) {
    const std::string& name = args.operands[0];
    ConfigReadResult file = ReadConfigFile(name);
    if (!file.ok()) return error(io, name + ": " + file.error, kExitUsageOrError);
    const std::string text = ConfigToText(imageOf(file.data.record), args.all);
    std::fputs(text.c_str(), io.out);
    return kExitOk;
}

int runImport(const CliArgs& args, const CliIo& io) {
    const std::string &textName = args.operands[0], &baseName = args.operands[1], &outName = args.operands[2];
    std::string why;
    constexpr std::uintmax_t kMaxConfigTextSize = 16u << 20; // every setting a line is under 1 MiB
    const auto text = ReadWholeFile(textName, kMaxConfigTextSize, &why);
    if (!text) return error(io, textName + ": it " + why, kExitUsageOrError);
    ConfigReadResult base = ReadConfigFile(baseName);
    if (!base.ok()) return error(io, baseName + ": " + base.error, kExitUsageOrError);
    const TextApplyResult applied =
        ApplyConfigText(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()),
                        imageOf(base.data.record));
    if (!applied.ok())
        return error(io, textName + ": " + applied.error + "; nothing written", kExitUsageOrError);
    const std::filesystem::path out(outName);
    const ConfigRecord record = RecordForSaving(base.data, out.filename().string());
    if (const std::string failed = WriteFileReplacing(out, EncodeProtected(record, RandomFillers()));
        !failed.empty())
        return error(io, outName + ": " + failed, kExitUsageOrError);
    std::fprintf(io.out, "Applied %d settings to %s, written to %s\n", applied.settings, baseName.c_str(),
                 outName.c_str());
    return kExitOk;
}

int runBoardCommand(const CliArgs& args, const CliIo& io) {
    if (!QCoreApplication::instance()) return error(io, "internal: no QCoreApplication", kExitUsageOrError);
    // A file that is no sound configuration never gets as far as a port.
    ConfigReadResult toWrite;
    if (args.command == Command::Write) {
        toWrite = ReadConfigFile(args.operands[0]);
        if (!toWrite.ok()) return error(io, args.operands[0] + ": " + toWrite.error, kExitUsageOrError);
    }
    // Nor does a damaged map: the connect would read or write the wrong memory with it.
    ProgramState state;
    for (const MapLoadResult& map :
         {LoadIdentMap(state, mapDir(args, io), 0),
          LoadParamMap(
              state, mapDir(args, io) / ParamMapFileName(state.RequiredSoftware, state.DefaultRevision), 0)})
        if (!map.ok) return error(io, map.error, kExitUsageOrError);

    InProcessBoard sim; // declared first: outlives the port inside the client
    std::string label, why;
    auto port = makePort(args, io, sim, label, why);
    if (!port) return error(io, why, kExitFailed);

    link::LinkOptions options;
    options.programDir = mapDir(args, io);
    options.programTitle = "vmconfig-cli";
    BoardClient board(state, options, std::move(port));
    board.setPortLabel(label);

    ProgressBar bar(io.err, args.progress && io.errIsTerminal);
    // The write reports each area from 0; the read after a write is the verification.
    int writeArea = -1;
    bool written = false;
    board.onProgress = [&](link::TransferKind kind, int value, int maximum) {
        if (kind == link::TransferKind::Write) {
            if (value == 0) writeArea = std::min(writeArea + 1, 2);
            bar.update(std::string("Write area ") + "ABC"[std::max(writeArea, 0)], value, maximum);
        } else {
            bar.update(written ? "Verify      " : "Read        ", value, maximum);
        }
    };
    board.onTransferEnded = [&] {
        bar.finish();
        written = writeArea >= 0;
    };

    int status = kExitOk;
    switch (args.command) {
    case Command::Info:
        status = runInfo(board, state, io);
        break;
    case Command::Save:
        status = runSave(board, state, args.operands[0], io);
        break;
    case Command::Write:
        status = runWrite(board, state, args.operands[0], toWrite.data, io);
        break;
    case Command::Get:
        status = runGet(board, state, args, io);
        break;
    case Command::Set:
        status = runSet(board, state, args, io);
        break;
    case Command::Audit:
        status = runAudit(board, state, args.operands[0], io);
        break;
    default:
        break;
    }
    bar.finish();
    board.disconnectBoard();
    return status;
}

} // namespace

std::vector<std::pair<int, int>> MismatchingRuns(const std::vector<std::uint8_t>& expected,
                                                 const std::vector<std::uint8_t>& actual) {
    std::vector<std::pair<int, int>> runs;
    for (const link::MemoryArea& area : {link::kAreaA, link::kAreaB, link::kAreaC}) {
        for (int a = area.first; a < area.first + area.bytes; ++a) {
            const bool same = a < static_cast<int>(expected.size()) && a < static_cast<int>(actual.size()) &&
                              expected[a] == actual[a];
            if (same) continue;
            if (!runs.empty() && runs.back().second == a - 1)
                runs.back().second = a;
            else
                runs.emplace_back(a, a);
        }
    }
    return runs;
}

int RunCommand(const CliArgs& args, const CliIo& io) {
    if (args.help) {
        std::fputs(HelpText().c_str(), io.out);
        return kExitOk;
    }
    switch (args.command) {
    case Command::Show:
        return runShow(args, io);
    case Command::Diff:
        return runDiff(args, io);
    case Command::Export:
        return runExport(args, io);
    case Command::Import:
        return runImport(args, io);
    default:
        return runBoardCommand(args, io);
    }
}

int RunCli(const std::vector<std::string>& argv, const CliIo& io) {
    const ParseResult parsed = ParseCliArgs(argv);
    if (!parsed.args) return error(io, parsed.error, kExitUsageOrError);
    return RunCommand(*parsed.args, io);
}

} // namespace vm::cli
