// The link's receive path against the simulated board, over a line the fuzzer controls: each reply may
// come whole, at once from inside the write, late, split, cut short, corrupted, lengthened or not at all;
// stray bytes arrive at any time, the line is lost or cannot be opened again, and the technician connects,
// edits, watches, saves, writes the board and disconnects in any order while the clock jumps.
//
// The board is the model. A value the link delivers must be the one it stored in the cell, for the
// parameter its request asked; when the bytes taken were the board's own reply to that request it must be
// the board's value, otherwise they must at least have the form of a whole reply. A save that succeeds
// holds the board's memory wherever the board's reply was taken, a board write that succeeds leaves the
// board holding the image, and once the line is quiet every write arrives and every polled parameter
// shows the board's value.

#include "FakeTimerService.h"
#include "FormList.h"
#include "Frames.h"
#include "FuzzFiles.h"
#include "LinkEngine.h"
#include "ProgramState.h"
#include "SimulatedBoard.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

using namespace vm;
using namespace vm::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

// VM_FUZZ_TRACE=1 prints the session of an input (actions, frames, bytes taken) to explain a finding.
const bool kTrace = std::getenv("VM_FUZZ_TRACE") != nullptr;
void trace(const char* what, const Bytes& bytes = {}, long long number = -1) {
    if (!kTrace) return;
    std::fprintf(stderr, "%s", what);
    if (number >= 0) std::fprintf(stderr, " %lld", number);
    for (const std::uint8_t b : bytes)
        std::fprintf(stderr, " %02X", b);
    std::fprintf(stderr, "\n");
}

// The board's map: a few parameters of every width, two of other memory spaces on the bytes of a
// configuration parameter, one polled with a divider, one resent at once after a time-out, one with a
// countdown already running, and two at the ends of the configuration memory and of the image. (A map
// with shared bytes or bytes beyond the image is refused when it is loaded.)
struct MapEntry {
    int address;
    std::uint8_t command, poll;
};
const std::vector<MapEntry> kMap = {
    {0x0123, 0x51, 0x00}, {0x0010, 0x50, 0x00}, {0x0200, 0x50, 0x02}, {0x0300, 0x5F, 0x00},
    {0x0123, 0x20, 0x00}, {0x0400, 0x52, 0x00}, {0x0404, 0x53, 0x00}, {0x0010, 0x10, 0x00},
    {0x0700, 0x50, 0x31}, {0x0310, 0x54, 0x00}, {0x327E, 0x51, 0x00}, {0x9C3F, 0x61, 0x00},
};
constexpr int kIdentBase = 0x7F00;

struct Maps {
    fuzz::ScratchFolder folder{"link"};
    Maps() {
        Bytes ident;
        for (int k = 1; k <= 20; ++k)
            ident.insert(ident.end(), {static_cast<std::uint8_t>((kIdentBase + k) >> 8),
                                       static_cast<std::uint8_t>((kIdentBase + k) & 0xFF), 0x50, 0, 0});
        fuzz::WriteFile(folder.path() / IdentMapFileName(482), ident);
        Bytes params;
        for (std::size_t i = 0; i < kMap.size(); ++i) {
            const MapEntry& e = kMap[i];
            const auto seed = static_cast<std::uint8_t>(0x11 * (i + 1));
            params.insert(params.end(),
                          {static_cast<std::uint8_t>(e.address >> 8),
                           static_cast<std::uint8_t>(e.address & 0xFF), e.command, e.poll, 0, seed,
                           static_cast<std::uint8_t>(seed + 1), static_cast<std::uint8_t>(seed + 2),
                           static_cast<std::uint8_t>(seed + 3)});
        }
        fuzz::WriteFile(folder.path() / ParamMapFileName(21, 0), params);
    }
};

ParamData decode(const Bytes& bytes, int width) {
    if (width > 4) return std::string(bytes.begin(), bytes.begin() + width);
    double number = 0, weight = 1;
    for (int i = 0; i < width; ++i, weight *= 256)
        number += bytes[static_cast<std::size_t>(i)] * weight;
    return number;
}

ParamData cellValue(const ParamCell& cell) {
    return decode(Bytes(cell.bytes.begin() + (CellPos::Value - 1), cell.bytes.end()), cell.valueSize());
}

ParamData boardValue(const sim::SimulatedBoard& board, const ParamCell& cell) {
    const int space = (cell.at(CellPos::Command) >> 4) & 0x07;
    return decode(
        board.memory().readRange(space, static_cast<std::uint16_t>(cell.boardAddress()), cell.valueSize()),
        cell.valueSize());
}

int frameAddress(const Bytes& frame) {
    return frame[2] | frame[3] << 8;
}

// The line: frames go to the board unharmed; what comes back is at the fuzzer's mercy. Each byte remembers
// whether it is an unaltered part of the board's reply to one frame (its number) or not (0).
class FuzzLine : public SerialPort {
public:
    FuzzLine(sim::SimulatedBoard& board, FakeTimerService& timers, FuzzedDataProvider& in)
        : board_(board), timers_(timers), in_(in) {}

    bool open(std::string& error) override {
        if (!quiet_ && in_.ConsumeIntegralInRange<int>(0, 31) == 31) {
            error = "the port is busy";
            return false;
        }
        open_ = true;
        waiting_.clear();
        return true;
    }
    void close() override {
        open_ = false;
        waiting_.clear();
    }
    bool isOpen() const override { return open_; }

    void write(std::span<const std::uint8_t> bytes) override {
        if (!open_) return;
        frame_.assign(bytes.begin(), bytes.end());
        trace("write", frame_, timers_.nowMs());
        taken_.reset();
        const std::uint64_t number = ++frameNumber_;
        expected_.clear();
        for (auto& emission : board_.receive(bytes, timers_.nowMs())) {
            expected_.insert(expected_.end(), emission.bytes.begin(), emission.bytes.end());
            answer(std::move(emission), number);
        }
    }
    std::size_t bytesWaiting() const override { return waiting_.size(); }
    std::vector<std::uint8_t> readAll() override {
        Bytes bytes;
        bool board = !waiting_.empty() && waiting_.size() == expected_.size();
        for (const auto& [byte, from] : waiting_) {
            bytes.push_back(byte);
            board = board && from == frameNumber_;
        }
        waiting_.clear();
        trace(board ? "take (board)" : "take", bytes, timers_.nowMs());
        // The first bytes taken after a frame are its reply (or bytes discarded before the next frame).
        if (!taken_) lastTaken_ = taken_ = Taken{frame_, bytes, board};
        return bytes;
    }
    void setReceiveThreshold(int threshold) override { threshold_ = threshold; }
    int receiveThreshold() const override { return threshold_; }

    // Bytes from nowhere, at once.
    void noise(const Bytes& bytes) {
        if (!open_ || bytes.empty()) return;
        arrive(bytes, 0);
    }
    void lose() {
        if (!open_) return;
        close();
        if (onLost) onLost("unplugged");
    }
    // From now on every reply comes whole and in time.
    void quieten() { quiet_ = true; }

    struct Taken {
        Bytes frame, bytes;
        bool board; // exactly the board's unaltered reply to this frame
    };
    const std::optional<Taken>& taken() const { return taken_; }
    // The reply last taken, kept when the next frame goes out: the link may send the next request before
    // it delivers the value just taken.
    const std::optional<Taken>& lastTaken() const { return lastTaken_; }

private:
    enum class Fault { None, Drop, Corrupt, Cut, Extra, Split, Late, Immediate, Count };

    void answer(sim::Emission emission, std::uint64_t number) {
        Bytes reply = std::move(emission.bytes);
        int delay = static_cast<int>(std::ceil(emission.atMs - static_cast<double>(timers_.nowMs())));
        const auto fault =
            quiet_
                ? Fault::None
                : static_cast<Fault>(in_.ConsumeIntegralInRange<int>(0, static_cast<int>(Fault::Count) - 1));
        std::uint64_t from = number;
        switch (fault) {
        case Fault::Drop:
            return;
        case Fault::Corrupt:
            reply[in_.ConsumeIntegralInRange<std::size_t>(0, reply.size() - 1)] ^=
                in_.ConsumeIntegralInRange<std::uint8_t>(1, 255);
            from = 0;
            break;
        case Fault::Cut:
            reply.resize(in_.ConsumeIntegralInRange<std::size_t>(0, reply.size() - 1));
            from = 0;
            break;
        case Fault::Extra: {
            const auto at = in_.ConsumeIntegralInRange<std::size_t>(0, reply.size());
            const Bytes extra = in_.ConsumeBytes<std::uint8_t>(in_.ConsumeIntegralInRange<std::size_t>(1, 3));
            reply.insert(reply.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
            from = 0;
            break;
        }
        case Fault::Split: {
            // The first piece is scheduled first: at the same time it still arrives first.
            const auto at = in_.ConsumeIntegralInRange<std::size_t>(0, reply.size());
            const int pause = in_.ConsumeIntegralInRange<int>(0, 60);
            later(Bytes(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(at)), number, delay);
            later(Bytes(reply.begin() + static_cast<std::ptrdiff_t>(at), reply.end()), number, delay + pause);
            return;
        }
        case Fault::Late:
            delay += in_.ConsumeIntegralInRange<int>(0, 4000);
            break;
        case Fault::Immediate:
            // The reply is in the port at once, but the port tells of it at the next turn of the event loop,
            // never inside the write (as a real port's ready-read signal).
            for (const std::uint8_t b : reply)
                waiting_.emplace_back(b, number);
            timers_.startTimer(0, [this] {
                if (open_ && !waiting_.empty() && threshold_ > 0 && onReceive) onReceive();
            });
            return;
        default:
            break;
        }
        later(std::move(reply), from, delay);
    }
    // A reply on its way outlives a reset of the port, as on a real line; a closed port hears nothing.
    void later(Bytes bytes, std::uint64_t from, int delayMs) {
        timers_.startTimer(std::max(0, delayMs), [this, bytes = std::move(bytes), from] {
            if (open_ && !bytes.empty()) arrive(bytes, from);
        });
    }
    void arrive(const Bytes& bytes, std::uint64_t from) {
        for (const std::uint8_t b : bytes)
            waiting_.emplace_back(b, from);
        if (threshold_ > 0 && onReceive) onReceive();
    }

    sim::SimulatedBoard& board_;
    FakeTimerService& timers_;
    FuzzedDataProvider& in_;
    bool open_ = false, quiet_ = false;
    int threshold_ = 1;
    std::vector<std::pair<std::uint8_t, std::uint64_t>> waiting_;
    Bytes frame_, expected_;
    std::uint64_t frameNumber_ = 0;
    std::optional<Taken> taken_, lastTaken_;
};

// Every delivery is checked against the cell, the request and the board.
class CheckingForm : public DeliveryTarget {
public:
    CheckingForm(const ProgramState& state, const sim::SimulatedBoard& board, const FuzzLine& line)
        : state_(state), board_(board), line_(line) {}

    void deliver(int index, const ParamData& value) override {
        VM_FUZZ_CHECK(index >= 1 && index <= state_.RecordCount[0]);
        const ParamCell& cell = state_.cell(index, 0);
        VM_FUZZ_CHECK(value == cellValue(cell)); // stored as delivered
        VM_FUZZ_CHECK(line_.lastTaken().has_value());
        const auto& [frame, reply, fromBoard] = *line_.lastTaken();
        const int width = cell.valueSize();
        const int offset = cell.boardAddress() - frameAddress(frame);
        if (!(frame[0] & 0x80) && (offset != 0 || frame[0] != (cell.at(CellPos::Command) & 0x7F))) {
            // A block of configuration memory read to fill a window: the cell lies in it (a cell across two
            // blocks ends in the later one).
            const int size = (frame[0] & 0x0F) + 1;
            VM_FUZZ_CHECK((frame[0] & 0x70) == 0x50 && ((cell.at(CellPos::Command) >> 4) & 0x07) == 5);
            VM_FUZZ_CHECK(offset < size && offset + width > 0 && offset + width <= size);
            if (fromBoard) {
                VM_FUZZ_CHECK(value == boardValue(board_, cell));
                return;
            }
            VM_FUZZ_CHECK(IsValidDataReply(reply, size));
            if (offset >= 0)
                VM_FUZZ_CHECK(value == decode(Bytes(reply.begin() + offset, reply.begin() + offset + width), width));
            return;
        }
        // The request was the one of this parameter.
        VM_FUZZ_CHECK(offset == 0 && (frame[0] & 0x7F) == (cell.at(CellPos::Command) & 0x7F));
        if (frame[0] & 0x80) {
            // A write: the value written, which the board now holds.
            VM_FUZZ_CHECK(value == decode(Bytes(frame.begin() + 4, frame.end() - 1), width));
            VM_FUZZ_CHECK(value == boardValue(board_, cell));
            return;
        }
        if (fromBoard) {
            VM_FUZZ_CHECK(value == boardValue(board_, cell));
            return;
        }
        // Bytes that were not the board's reply can only be taken when they have the form of a whole
        // reply, value bytes and their sum: a stray reply of the right length is the one thing the
        // checksum cannot tell.
        VM_FUZZ_CHECK(IsValidDataReply(reply, width));
        VM_FUZZ_CHECK(value == decode(reply, width));
    }

private:
    const ProgramState& state_;
    const sim::SimulatedBoard& board_;
    const FuzzLine& line_;
};

// The areas of a whole-memory transfer, as (memory space, first address, bytes).
struct Area {
    int space, first, bytes;
};
constexpr Area kTransferAreas[] = {{5, 16, 1919}, {5, 3072, 751}, {5, 4976, 7951}};
constexpr Area kSecondArea{1, 0, 48};

class Observer : public LinkObserver {
public:
    Observer(ProgramState& state, const sim::SimulatedBoard& board, FuzzedDataProvider& in)
        : state_(state), board_(board), in_(in) {}
    void attach(LinkEngine& engine, FuzzLine& line) { engine_ = &engine, line_ = &line; }

    void askRetry(const std::string&, const std::string&) override {
        asked = true;
        if (in_.ConsumeBool()) answer(in_.ConsumeBool());
    }
    void answer(bool retry) {
        asked = false;
        engine_->answerRetry(retry);
    }

    // Called by the harness right before it starts a transfer.
    void saveStarting() {
        blockReplies_.clear();
        editedDuringSave_.clear();
        saving_ = true;
    }
    void writeStarting() { imageAtWrite_ = state_.ConfigImage; }
    void edited(int address, int width) {
        if (saving_)
            for (int i = 0; i < width; ++i)
                editedDuringSave_.insert(address + i);
    }
    // Called before every write to the line: a block of the save, not a live request still in flight
    // when the save was asked for (or the discarding of the bytes that followed it)?
    void frameWritten() {
        blockFrame_ = saving_ && engine_->state() == LinkState::Transferring && !engine_->requestInFlight();
    }
    // Called after every read from the line: remembers how each block of the save was answered.
    void frameTaken() {
        if (!blockFrame_ || !line_->taken()) return;
        const Bytes& frame = line_->taken()->frame;
        const int space = (frame[0] >> 4) & 0x07;
        blockReplies_[{space, frameAddress(frame)}] = {(frame[0] & 0x0F) + 1, line_->taken()->board};
    }

    void transferFinished(TransferKind kind, bool ok, const std::string&) override {
        if (kind == TransferKind::Save) {
            if (saving_ && ok) checkSave();
            saving_ = false;
        }
        if (kind == TransferKind::Write && ok) {
            for (const Area& area : kTransferAreas)
                for (int a = area.first; a < area.first + area.bytes; ++a)
                    VM_FUZZ_CHECK(board_.memory().read(area.space, static_cast<std::uint16_t>(a)) ==
                                  imageAtWrite_[static_cast<std::size_t>(a)]);
        }
    }

    bool asked = false;

private:
    void checkSave() {
        std::map<std::pair<int, int>, bool> byteFromBoard; // (space, address): the reply was the board's
        for (const auto& [key, reply] : blockReplies_)
            for (int i = 0; i < reply.first; ++i)
                byteFromBoard[{key.first, key.second + i}] = reply.second;
        auto check = [&](const Area& area, const std::vector<std::uint8_t>& image) {
            for (int a = area.first; a < area.first + area.bytes; ++a) {
                const auto it = byteFromBoard.find({area.space, a});
                VM_FUZZ_CHECK(it != byteFromBoard.end()); // every byte was asked for
                if (!it->second || (area.space == 5 && editedDuringSave_.count(a))) continue;
                if (image[static_cast<std::size_t>(a)] !=
                    board_.memory().read(area.space, static_cast<std::uint16_t>(a)))
                    trace("saved byte differs at", {}, a);
                VM_FUZZ_CHECK(image[static_cast<std::size_t>(a)] ==
                              board_.memory().read(area.space, static_cast<std::uint16_t>(a)));
            }
        };
        for (const Area& area : kTransferAreas)
            check(area, state_.ConfigImage);
        check(kSecondArea, state_.AuxImage);
    }

    ProgramState& state_;
    const sim::SimulatedBoard& board_;
    FuzzedDataProvider& in_;
    LinkEngine* engine_ = nullptr;
    FuzzLine* line_ = nullptr;
    bool saving_ = false, blockFrame_ = false;
    std::map<std::pair<int, int>, std::pair<int, bool>> blockReplies_; // bytes asked, taken from the board
    std::set<int> editedDuringSave_;
    std::vector<std::uint8_t> imageAtWrite_;
};

// The line tells the observer of every frame written and every reply taken.
class RecordingLine : public FuzzLine {
public:
    using FuzzLine::FuzzLine;
    void write(std::span<const std::uint8_t> bytes) override {
        if (observer) observer->frameWritten();
        FuzzLine::write(bytes);
    }
    std::vector<std::uint8_t> readAll() override {
        auto bytes = FuzzLine::readAll();
        if (observer) observer->frameTaken();
        return bytes;
    }
    Observer* observer = nullptr;
};

const sim::SimulatedBoard& boardPrototype(const std::filesystem::path& maps) {
    static const sim::SimulatedBoard board = [&] {
        sim::SimulatedBoard b;
        std::string error;
        if (!b.loadMaps(maps, error)) fuzz::Fail(error.c_str());
        return b;
    }();
    return board;
}

void edit(ProgramState& state, Observer& observer, FuzzedDataProvider& in) {
    const int index = in.ConsumeIntegralInRange<int>(1, static_cast<int>(kMap.size()) + 1);
    if (!state.IsParameter(index)) return;
    const ParamCell& cell = state.cell(index, 0);
    const auto value = in.ConsumeIntegral<std::uint32_t>();
    trace("edit", {}, index);
    observer.edited(cell.boardAddress(), cell.valueSize());
    if (cell.isText())
        state.WriteImageText(index, 0, in.ConsumeRandomLengthString(20), nullptr);
    else if (cell.valueSize() == 1)
        state.WriteImageByte(index, 0, value & 0xFF, nullptr);
    else if (cell.valueSize() == 2)
        state.WriteImageWord(index, 0, value & 0xFFFF, nullptr);
    else if (cell.valueSize() == 3)
        state.WriteImage24(index, 0, value & 0xFFFFFF, nullptr);
    else if (state.Online)
        state.SetParamValue(index, static_cast<double>(value));
}

// With the line quiet the link settles: every write arrives and every parameter that is watched and
// polled shows the board's value (one with no poll divider is read once).
void settle(ProgramState& state, LinkEngine& engine, FakeTimerService& timers, Observer& observer,
            const sim::SimulatedBoard& board) {
    const auto writePending = [&] {
        for (int index = 1; index <= state.RecordCount[0]; ++index)
            if (state.cell(index, 0).has(WritePending)) return true;
        return false;
    };
    const auto busy = [&] {
        if (observer.asked) observer.answer(true);
        const LinkState s = engine.state();
        return s == LinkState::Identifying || s == LinkState::AwaitingRetry || s == LinkState::Transferring ||
               s == LinkState::Disconnecting || (s == LinkState::Pumping && writePending());
    };
    for (int second = 0; second < 60 && busy(); ++second)
        timers.advance(1000);
    if (busy()) {
        trace("still busy in state", {}, static_cast<int>(engine.state()));
        for (int index = 1; index <= state.RecordCount[0]; ++index)
            if (state.cell(index, 0).has(WritePending))
                trace("write pending",
                      Bytes(state.cell(index, 0).bytes.begin(), state.cell(index, 0).bytes.end()), index);
    }
    VM_FUZZ_CHECK(!busy());
    if (engine.state() != LinkState::Pumping) return;
    timers.advance(5000); // every polled parameter is read again after the last write
    for (int index = 1; index <= state.RecordCount[0]; ++index) {
        const ParamCell& cell = state.cell(index, 0);
        if (cell.has(Watched) && cell.has(Pending) && cell.at(CellPos::PollDivider) != 0) {
            VM_FUZZ_CHECK(cell.has(Valid));
            VM_FUZZ_CHECK(cellValue(cell) == boardValue(board, cell));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Maps maps;
    FuzzedDataProvider in(data, size);

    FakeTimerService timers;
    sim::SimulatedBoard board = boardPrototype(maps.folder.path());
    ProgramState state;
    FormList forms;
    Observer observer(state, board, in);
    RecordingLine line(board, timers, in);
    CheckingForm form(state, board, line);
    LinkEngine engine(state, forms, timers, observer, LinkOptions{maps.folder.path(), "Fuzz"});
    observer.attach(engine, line);
    line.observer = &observer;
    engine.setPort(&line);
    forms.add(&form);

    engine.connect(ConnectPurpose::Edit);
    for (int step = 0; step < 400 && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange<int>(0, 13);
        trace("action", {}, action);
        switch (action) {
        case 0:
            timers.advance(in.ConsumeIntegralInRange<int>(0, 100));
            break;
        case 1:
            timers.advance(in.ConsumeIntegralInRange<int>(0, 5000));
            break;
        case 2:
            line.noise(in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(1, 20)));
            break;
        case 3:
        case 4: {
            const int index = in.ConsumeIntegralInRange<int>(1, static_cast<int>(kMap.size()) + 1);
            trace(action == 3 ? "watch" : "release", {}, index);
            action == 3 ? state.WatchParam(index) : state.ReleaseParam(index);
            break;
        }
        case 5:
            edit(state, observer, in);
            break;
        case 6:
            engine.connect(in.ConsumeBool() ? ConnectPurpose::Edit : ConnectPurpose::WriteBoard);
            break;
        case 7:
            engine.disconnect();
            break;
        case 8:
            if (engine.state() == LinkState::Pumping) observer.saveStarting();
            engine.saveRead();
            break;
        case 9:
            if (engine.state() == LinkState::Pumping) observer.writeStarting();
            engine.writeBoard();
            break;
        case 10:
            line.lose();
            break;
        case 11:
            if (observer.asked) observer.answer(in.ConsumeBool());
            break;
        case 12:
            engine.readUnits();
            break;
        case 13:
            if (engine.state() == LinkState::Closed) engine.connect(ConnectPurpose::Edit);
            break;
        }
    }
    line.quieten();
    settle(state, engine, timers, observer, board);
    return 0;
}
