// vm_soak: the link over a real serial port (QSerialPort on a pseudo-terminal) against vmboard-sim with
// every line fault switched on. Runs N live reads and writes of random configuration parameters and M
// save / write / verify cycles, pulls the line away in the middle of a transfer once, and prints:
//   requests, frames sent, retries (frames beyond one per request or block), wrong values stored,
//   corrupt or partial files written, hangs (a step that never ended). The last three must be 0, and a
//   run with faults switched on must have met some (retries); the exit code is 1 otherwise.
// Usage: vm_soak [--requests N] [--cycles M] [--rate R] [--seed S] [--reply-delay MS] [--sim PATH] [--maps DIR]

#include "BlockTransfer.h"
#include "BoardClient.h"
#include "ConfigFile.h"
#include "CountingPort.h"
#include "PtySimBoard.h"
#include "qt/QtSerialPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>

namespace {

using vm::ParamData;
using vm::ProgramState;

struct Options {
    int requests = 10000;
    int cycles = 20;
    double rate = 0.03;
    std::uint32_t seed = 1;
    int replyDelayMs = -1; // the board's reaction time; -1: vmboard-sim's own
    QString sim = QStringLiteral(VMBOARD_SIM_PATH);
    QString maps;
};

struct Counts {
    long requests = 0, frames = 0, minimumFrames = 0;
    long wrongValues = 0, badFiles = 0, hangs = 0, failedSteps = 0, pulls = 0, reconnects = 0;
};

constexpr int kIdentFrames = 6, kUnitFrames = 5;
constexpr std::array<vm::link::MemoryArea, 3> kAreas{vm::link::kAreaA, vm::link::kAreaB, vm::link::kAreaC};

int saveFrames() {
    int n = vm::link::kSecondAreaBlocks;
    for (const auto& a : kAreas)
        n += a.blocks() + (a.tail() ? 1 : 0);
    return n;
}
int writeFrames() {
    int n = 0;
    for (const auto& a : kAreas)
        n += a.blocks() + a.tail();
    return n;
}

// vmboard-sim's options: every line fault at the rate of the run.
QStringList simOptions(const Options& o, const QString& loadFile, std::uint32_t seed) {
    const QString rate = QString::number(o.rate);
    QStringList args{"--seed", QString::number(seed)};
    if (!o.maps.isEmpty()) args << "--maps" << o.maps;
    if (o.replyDelayMs >= 0) args << "--reply-delay" << QString::number(o.replyDelayMs);
    for (const char* fault : {"--corrupt-checksum", "--drop", "--split", "--late", "--trailing", "--unsolicited"})
        args << fault << rate;
    if (!loadFile.isEmpty()) args << "--load" << loadFile;
    return args;
}

class Soak {
public:
    explicit Soak(Options o) : o_(std::move(o)), random_(o_.seed) {}

    int run() {
        if (!dir_.isValid()) return fail("no temporary folder");
        if (!restartSim(QString())) return fail("vmboard-sim did not start (" + o_.sim.toStdString() + ")");
        client_ = std::make_unique<vm::cli::BoardClient>(state_, options(), takePort(), limits());
        if (!connect()) return fail("connect: " + client_->lastError());
        collectParams();
        // The board's memory as the first save reads it is the model every later value is checked against.
        if (!save(dir_.filePath("first.prm"), true)) return fail("first save: " + client_->lastError());
        model_ = state_.ConfigImage;

        QElapsedTimer clock;
        clock.start();
        const int pullAt = o_.cycles / 2;
        const int perCycle = o_.cycles > 0 ? o_.requests / o_.cycles : o_.requests;
        for (int cycle = 0; cycle < std::max(o_.cycles, 1); ++cycle) {
            const int live = cycle + 1 == std::max(o_.cycles, 1) ? o_.requests - perCycle * cycle : perCycle;
            for (int i = 0; i < live; ++i)
                liveRequest();
            if (o_.cycles > 0) transferCycle(cycle == pullAt);
            std::fprintf(stderr, "cycle %d: %ld requests, %ld frames, %.0f s\n", cycle + 1, c_.requests,
                         frames(), clock.elapsed() / 1000.0);
        }
        client_->disconnectBoard();
        print(clock.elapsed() / 1000.0);
        const bool pulled = o_.cycles == 0 || c_.pulls > 0;
        // A run whose seed never struck a fault went through the clean path only.
        const bool faultsMet = o_.rate == 0 || retries() > 0;
        if (!faultsMet) std::fprintf(stderr, "no fault struck: choose another seed or a higher rate\n");
        return c_.wrongValues == 0 && c_.badFiles == 0 && c_.hangs == 0 && pulled && faultsMet ? 0 : 1;
    }

private:
    vm::link::LinkOptions options() const {
        vm::link::LinkOptions options;
        options.programDir = o_.maps.isEmpty() ? QCoreApplication::applicationDirPath().toStdString()
                                               : o_.maps.toStdString();
        options.programTitle = "vm_soak";
        return options;
    }
    static vm::cli::WaitLimits limits() {
        // Generous: a step that still has not ended after these is stuck, not slow.
        vm::cli::WaitLimits limits;
        limits.perParamMs = 60000;
        limits.transferMs = 1800000;
        return limits;
    }
    std::unique_ptr<vm::link::SerialPort> takePort() {
        auto port = std::make_unique<vm::bench::CountingPort>(std::make_unique<vm::link::QtSerialPort>(sim_->device()));
        port_ = port.get();
        return port;
    }
    long frames() const { return framesBefore_ + (port_ ? static_cast<long>(port_->frames()) : 0); }
    long retries() const { return std::max(0L, frames() - c_.minimumFrames); }

    bool restartSim(const QString& loadFile) {
        sim_.reset(); // the old board goes before the new one starts
        sim_ = std::make_unique<vm::support::PtySimBoard>(
            o_.sim, simOptions(o_, loadFile, o_.seed + static_cast<std::uint32_t>(c_.reconnects)));
        return !sim_->device().isEmpty();
    }
    bool connect() {
        c_.minimumFrames += kIdentFrames + kUnitFrames;
        vm::link::UnitReadResult units;
        if (!client_->connectBoard(vm::link::ConnectPurpose::Edit)) return false;
        return client_->readUnits(units);
    }

    // Numeric configuration parameters that lie in the memory areas the transfers move.
    void collectParams() {
        for (int index = 1; index <= state_.RecordCount[0]; ++index) {
            const vm::ParamCell& cell = state_.cell(index, 0);
            if (((cell.at(vm::CellPos::Command) >> 4) & 0x07) != 5 || cell.isText() || cell.valueSize() > 3) continue;
            const int a = cell.boardAddress();
            for (const auto& area : kAreas)
                if (a >= area.first && a + cell.valueSize() <= area.first + area.bytes) params_.push_back(index);
        }
    }

    std::uint32_t modelValue(int index) const {
        const vm::ParamCell& cell = state_.cell(index, 0);
        std::uint32_t v = 0;
        for (int i = cell.valueSize() - 1; i >= 0; --i)
            v = v * 256 + model_[cell.boardAddress() + i];
        return v;
    }

    void liveRequest() {
        ++c_.requests;
        ++c_.minimumFrames;
        const int index = params_[std::uniform_int_distribution<std::size_t>(0, params_.size() - 1)(random_)];
        const vm::ParamCell& cell = state_.cell(index, 0);
        std::map<int, ParamData> got;
        if (std::bernoulli_distribution(0.5)(random_)) {
            if (!client_->readParams({index}, got)) return stepFailed("read " + std::to_string(index));
            const double* value = std::get_if<double>(&got[index]);
            if (!value || *value != modelValue(index)) {
                ++c_.wrongValues;
                std::fprintf(stderr, "wrong value: parameter %d read %.0f, the board holds %u\n", index,
                             value ? *value : -1.0, modelValue(index));
            }
            return;
        }
        const std::uint32_t top = cell.valueSize() == 1 ? 0xFF : cell.valueSize() == 2 ? 0xFFFF : 0xFFFFFF;
        const std::uint32_t value = std::uniform_int_distribution<std::uint32_t>(0, top)(random_);
        const bool ok = client_->writeParams({{index, static_cast<double>(value)}}, {}, got);
        // The board took the write when the frame arrived, acknowledged or not: the model follows it.
        for (int i = 0; i < cell.valueSize(); ++i)
            model_[cell.boardAddress() + i] = static_cast<std::uint8_t>(value >> (8 * i));
        if (!ok) {
            if (client_->lastError().find("holds") != std::string::npos) {
                ++c_.wrongValues;
                std::fprintf(stderr, "wrong value: %s\n", client_->lastError().c_str());
                return;
            }
            stepFailed("write " + std::to_string(index));
        }
    }

    // A step that ended with the link's own failure message (the line was too noisy for its retries) is a
    // failed step; one the link never ended is a hang.
    void stepFailed(const std::string& what) {
        const std::string& error = client_->lastError();
        const bool hung = error.find("no answer") != std::string::npos ||
                          error.find("no acknowledgement") != std::string::npos ||
                          error.find("in time") != std::string::npos || error.empty();
        ++(hung ? c_.hangs : c_.failedSteps);
        std::fprintf(stderr, "%s: %s: %s\n", hung ? "hang" : "failed", what.c_str(), error.c_str());
    }

    // A save as the main window does it: the file only when the board's memory was read completely.
    bool save(const QString& path, bool learning) {
        c_.minimumFrames += saveFrames();
        QFile::remove(path);
        if (!client_->saveRead()) return false;
        if (!vm::SaveProtectedConfig(path.toStdString(), state_).empty()) return false;
        const vm::ConfigReadResult file = vm::ReadConfigFile(path.toStdString());
        long wrong = 0;
        for (const auto& area : kAreas)
            for (int a = area.first; a < area.first + area.bytes; ++a)
                if (!file.ok() || file.data.imageByte(a) != (learning ? state_.ConfigImage[a] : model_[a])) ++wrong;
        if (!file.ok()) {
            ++c_.badFiles;
            std::fprintf(stderr, "bad file: %s\n", file.error.c_str());
        } else if (wrong > 0) {
            ++c_.wrongValues;
            std::fprintf(stderr, "wrong values: %ld bytes of the saved memory differ from the board\n", wrong);
        }
        return true;
    }

    // Save, change part of the image, write it, read it back; once, pull the line away during a save.
    void transferCycle(bool pull) {
        const QString file = dir_.filePath("cycle.prm");
        if (!save(file, false)) return stepFailed("save");
        std::vector<std::uint8_t> image = model_;
        for (int n = 0; n < 64; ++n) {
            const auto& area = kAreas[std::uniform_int_distribution<int>(0, 2)(random_)];
            image[area.first + std::uniform_int_distribution<int>(0, area.bytes - 1)(random_)] =
                static_cast<std::uint8_t>(random_());
        }
        if (pull) return pullMidTransfer();
        state_.ConfigImage = image;
        c_.minimumFrames += writeFrames();
        if (!client_->writeBoard()) {
            stepFailed("write board");
            // Part of the image may be on the board: what it holds now is learned again, until a save
            // succeeds (every later check depends on it).
            for (int attempt = 1; !save(file, true); ++attempt) {
                stepFailed("save after the failed write");
                if (attempt == 5) {
                    ++c_.hangs;
                    std::fprintf(stderr, "the board's memory could not be learned again; the model is stale\n");
                    return;
                }
            }
            model_ = state_.ConfigImage;
            return;
        }
        for (const auto& area : kAreas)
            std::copy_n(image.begin() + area.first, area.bytes, model_.begin() + area.first);
        if (!save(file, false)) stepFailed("verify");
    }

    // The board goes away in the middle of a save: a clear failure, no file, and a working link after the
    // board is back.
    void pullMidTransfer() {
        const QString file = dir_.filePath("pulled.prm");
        QFile::remove(file);
        client_->onProgress = [this](vm::link::TransferKind, int value, int) {
            if (value == 100) sim_->kill();
        };
        c_.minimumFrames += 101; // the blocks read before the pull and the one it cuts off
        const bool ok = client_->saveRead();
        client_->onProgress = nullptr;
        ++c_.pulls;
        if (ok || client_->lastError().empty()) {
            ++c_.badFiles;
            std::fprintf(stderr, "pulled line: the save did not fail clearly\n");
        }
        if (!ok && QFile::exists(file)) ++c_.badFiles;
        std::fprintf(stderr, "line pulled during the save: %s\n", client_->lastError().c_str());
        // The board comes back with the memory it had.
        ProgramState holder;
        holder.ConfigImage = model_;
        const QString image = dir_.filePath("board.prm");
        vm::SaveProtectedConfig(image.toStdString(), holder);
        ++c_.reconnects;
        framesBefore_ += static_cast<long>(port_->frames());
        client_->disconnectBoard(); // when the line was not noticed gone, the save failed by its time-outs
        const char* failed = !restartSim(image)               ? "the board did not start again"
                             : !client_->setPort(takePort()) ? "the new port did not open"
                             : !connect()                    ? "the connect failed"
                                                             : nullptr;
        if (failed) {
            ++c_.hangs;
            std::fprintf(stderr, "no reconnect after the pull (%s): %s\n", failed, client_->lastError().c_str());
            return;
        }
        if (!save(dir_.filePath("after-pull.prm"), false)) stepFailed("save after the pull");
    }

    void print(double seconds) const {
        std::printf("vm_soak: seed %u, fault rate %.3f each (corrupt, drop, split, late, trailing, unsolicited)\n",
                    o_.seed, o_.rate);
        std::printf("  live requests                %ld\n", c_.requests);
        std::printf("  save/write/verify cycles     %d\n", o_.cycles);
        std::printf("  frames sent                  %ld\n", frames());
        std::printf("  retries (extra frames)       %ld\n", retries());
        std::printf("  wrong values stored          %ld\n", c_.wrongValues);
        std::printf("  corrupt or partial files     %ld\n", c_.badFiles);
        std::printf("  hangs                        %ld\n", c_.hangs);
        std::printf("  steps failed with a message  %ld\n", c_.failedSteps);
        std::printf("  line pulled mid-transfer     %ld (reconnected %ld)\n", c_.pulls, c_.reconnects);
        std::printf("  time                         %.0f s\n", seconds);
    }

    int fail(const std::string& why) {
        std::fprintf(stderr, "vm_soak: %s\n", why.c_str());
        return 2;
    }

    Options o_;
    std::mt19937 random_;
    QTemporaryDir dir_;
    ProgramState state_;
    std::unique_ptr<vm::support::PtySimBoard> sim_;
    vm::bench::CountingPort* port_ = nullptr;
    long framesBefore_ = 0;
    std::unique_ptr<vm::cli::BoardClient> client_;
    std::vector<int> params_;
    std::vector<std::uint8_t> model_;
    Counts c_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == "--requests") o.requests = value.toInt();
        else if (name == "--cycles") o.cycles = value.toInt();
        else if (name == "--rate") o.rate = value.toDouble();
        else if (name == "--seed") o.seed = value.toUInt();
        else if (name == "--reply-delay") o.replyDelayMs = value.toInt();
        else if (name == "--sim") o.sim = value;
        else if (name == "--maps") o.maps = value;
        else {
            std::fprintf(stderr, "usage: vm_soak [--requests N] [--cycles M] [--rate R] [--seed S] [--reply-delay MS] "
                                 "[--sim PATH] [--maps DIR]\n");
            return 2;
        }
    }
    return Soak(o).run();
}
