#pragma once
// The engine connected (or not) to the simulated board over its in-process port, on a hand-driven clock,
// with small map files of its own in a temporary folder. A test forces the faults it needs through the
// board's fault hook.

#include "FakeTimerService.h"
#include "FormList.h"
#include "LinkEngine.h"
#include "ProgramState.h"
#include "SimulatedPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace vm::link::test {

using Bytes = std::vector<std::uint8_t>;
using sim::ReplyFault;

// Parameter indexes of the test map.
inline constexpr int kWord = 1;             // 2 bytes at 0x0123
inline constexpr int kByte = 2;             // 1 byte at 0x0010
inline constexpr int kPolled = 3;           // 1 byte at 0x0200, poll divider 0x02
inline constexpr int kText = 4;             // 16 bytes at 0x0300
inline constexpr int kByteA = 5;            // 1 byte each at 0x0120..0x0122, in the block of kWord
inline constexpr int kByteB = 6;
inline constexpr int kByteC = 7;
inline constexpr int kTextA = 8;            // 16 bytes at 0x0328 and 0x0338: the block at 0x0330 holds
inline constexpr int kTextB = 9;            // part of each, the blocks beside it part of one
inline constexpr int kCounter = 20;         // 20..23: 4-byte counters at 0x4000.., space 2, poll divider 4
inline constexpr int kCounters = 4;
inline constexpr int kCounterAddress = 0x4000;
inline constexpr int kLastRecord = 11734;   // 1 byte at 0x0600, the highest index
inline constexpr int kUnitAddress = 0x0500; // 4779..4782 at 0x0500.., 11733 at 0x0510
inline constexpr int kIdentBase = 0x7F00;   // identification record k at kIdentBase + k
inline constexpr int kReplyMs = sim::BoardSettings{}.replyDelayMs;

inline int AddressOf(const Bytes& frame) {
    return frame[2] | frame[3] << 8;
}

struct Message {
    std::string title, text;
    int icon;
};

class RecordingObserver : public LinkObserver {
public:
    void linkStatus(LinkLamp lamp) override { statuses.push_back(static_cast<int>(lamp)); }
    void showMessage(const std::string& title, const std::string& text, int icon) override {
        messages.push_back({title, text, icon});
    }
    void askRetry(const std::string& title, const std::string& text) override {
        questions.push_back({title, text, kIconExclamation});
        if (onAsk) onAsk();
    }
    void connectFinished(ConnectOutcome o, const std::string& e) override { outcome = o, connectError = e; }
    void disconnected(const std::string& reason) override { disconnectReasons.push_back(reason); }
    void transferProgress(TransferKind, int value, int max) override { progress.emplace_back(value, max); }
    void transferText(TransferKind, const std::string& text) override { texts.push_back(text); }
    void firstUnitRead(int code) override { menuEffects.push_back(code); }
    void unitsRead(const UnitReadResult& result) override { units = result, ++unitsReadCount; }
    void transferFinished(TransferKind kind, bool ok, const std::string& error) override {
        finished.push_back({kind, ok, error});
    }

    struct Finish {
        TransferKind kind;
        bool ok;
        std::string error;
    };
    std::vector<int> statuses;
    std::vector<Message> messages, questions;
    std::function<void()> onAsk;
    std::optional<ConnectOutcome> outcome;
    std::string connectError;
    std::vector<std::string> disconnectReasons;
    std::vector<std::pair<int, int>> progress;
    std::vector<std::string> texts;
    std::vector<int> menuEffects; // the codes of unit 1 as they arrived
    std::optional<UnitReadResult> units;
    int unitsReadCount = 0;
    std::vector<Finish> finished;
};

// Cancelling may be switched off, as when a timer event is already queued when it is cancelled.
class TestTimers : public FakeTimerService {
public:
    void cancelTimer(TimerId id) override {
        if (!leaky) FakeTimerService::cancelTimer(id);
    }
    bool leaky = false;
};

class RecordingForm : public DeliveryTarget {
public:
    void deliver(int index, const ParamData& value) override { received.emplace_back(index, value); }
    std::vector<std::pair<int, ParamData>> received;
};

// The line to the simulated board as the test sees it: every frame written is kept, opening can be made to
// fail, and the line can be lost.
class BoardLine : public SerialPort {
public:
    BoardLine(sim::SimulatedBoard& board, TimerService& timers) : line_(board, timers) {
        line_.onReceive = [this] {
            if (onReceive) onReceive();
        };
    }
    bool open(std::string& error) override {
        if (failOpen) {
            error = "port busy";
            return false;
        }
        ++openCount;
        return line_.open(error);
    }
    void close() override {
        ++closeCount;
        line_.close();
    }
    bool isOpen() const override { return line_.isOpen(); }
    void write(std::span<const std::uint8_t> bytes) override {
        written.emplace_back(bytes.begin(), bytes.end());
        if (onWrite) onWrite(written.back());
        line_.write(bytes);
    }
    std::size_t bytesWaiting() const override { return line_.bytesWaiting(); }
    std::vector<std::uint8_t> readAll() override { return line_.readAll(); }
    void setReceiveThreshold(int threshold) override { line_.setReceiveThreshold(threshold); }
    int receiveThreshold() const override { return line_.receiveThreshold(); }
    void lose(const std::string& reason) {
        line_.close();
        if (onLost) onLost(reason);
    }

    bool failOpen = false;
    int openCount = 0, closeCount = 0;
    std::vector<Bytes> written;
    std::function<void(const Bytes&)> onWrite;

private:
    sim::SimulatedPort line_;
};

// The identification map: record k asks one byte at kIdentBase + k.
inline void WriteIdentMap(const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    for (int k = 1; k <= 20; ++k) {
        const int a = kIdentBase + k;
        out << static_cast<char>(a >> 8) << static_cast<char>(a & 0xFF) << '\x50' << '\0' << '\0';
    }
}

// A parameter map of `records` records holding the parameters named above; the rest are unused.
inline void WriteParamMap(const std::filesystem::path& file, int records = kLastRecord) {
    const std::map<int, std::array<int, 3>> used = {
        // index: address, command, poll
        {kWord, {0x0123, 0x51, 0}},      {kByte, {0x0010, 0x50, 0}}, {kPolled, {0x0200, 0x50, 2}},
        {kText, {0x0300, 0x5F, 0}},      {kByteA, {0x0120, 0x50, 0}}, {kByteB, {0x0121, 0x50, 0}},
        {kByteC, {0x0122, 0x50, 0}},     {kTextA, {0x0328, 0x5F, 0}}, {kTextB, {0x0338, 0x5F, 0}},
        {4779, {0x0500, 0x50, 0}},  {4780, {0x0501, 0x50, 0}},
        {4781, {0x0502, 0x50, 0}},       {4782, {0x0503, 0x50, 0}},  {11733, {0x0510, 0x50, 0}},
        {kLastRecord, {0x0600, 0x50, 0}}, {kCounter, {kCounterAddress, 0x23, 4}},
        {kCounter + 1, {kCounterAddress + 4, 0x23, 4}}, {kCounter + 2, {kCounterAddress + 8, 0x23, 4}},
        {kCounter + 3, {kCounterAddress + 12, 0x23, 4}}};
    std::string bytes(static_cast<std::size_t>(9 * records), '\0');
    for (const auto& [index, r] : used) {
        if (index > records) continue;
        const auto at = static_cast<std::size_t>(9 * (index - 1));
        bytes[at] = static_cast<char>(r[0] >> 8);
        bytes[at + 1] = static_cast<char>(r[0] & 0xFF);
        bytes[at + 2] = static_cast<char>(r[1]);
        bytes[at + 3] = static_cast<char>(r[2]);
    }
    std::ofstream(file, std::ios::binary) << bytes;
}

class LinkTest : public ::testing::Test {
protected:
    LinkTest() : port(board, timers) {
        dir = std::filesystem::temp_directory_path() /
              ("link-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        WriteIdentMap(dir / "W0482.inx");
        WriteParamMap(dir / "W0482BV00.inx");
        std::string error;
        EXPECT_TRUE(board.loadMaps(dir, error)) << error;
        setIdentity(0, 21, 18, 482, 5);
        engine =
            std::make_unique<LinkEngine>(state, forms, timers, observer, LinkOptions{dir, "Vending Config"});
        engine->setPort(&port);
        forms.add(&form);
    }
    ~LinkTest() override {
        engine.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    // The board on the line becomes one whose replies come late at random (same memory maps, identity).
    void useLateBoard(std::uint32_t seed, bool inOrder) {
        sim::BoardSettings settings;
        settings.faults.late = 0.3;
        settings.faults.lateInOrder = inOrder;
        settings.faults.seed = seed;
        board = sim::SimulatedBoard(settings);
        std::string error;
        ASSERT_TRUE(board.loadMaps(dir, error)) << error;
        setIdentity(0, 21, 18, 482, 5);
    }
    void setIdentity(int revision, int software, int boardClass, int type, int release) {
        board.setIdentity({boardClass, type, software, revision, release});
    }
    std::uint8_t boardByte(int address, int space = sim::kConfigSpace) const {
        return board.memory().read(space, static_cast<std::uint16_t>(address));
    }
    void setBoardByte(int address, std::uint8_t value) {
        board.memory().write(sim::kConfigSpace, static_cast<std::uint16_t>(address), value);
    }
    // Gives the first `n` frames (of those `which` selects) the fault, then answers normally.
    void failFirst(int n, ReplyFault fault, std::function<bool(const sim::Frame&)> which = {}) {
        board.faultHook = [=, count = 0](const sim::Frame& f) mutable {
            return (!which || which(f)) && count++ < n ? fault : ReplyFault::None;
        };
    }
    void failAt(int address, ReplyFault fault, int times = 1000) {
        failFirst(times, fault, [address](const sim::Frame& f) { return f.address == address; });
    }

    // Moves the clock 1 ms at a time until `done` holds or `limitMs` passed. Returns `done()`.
    bool runUntil(const std::function<bool()>& done, int limitMs = 20000) {
        for (int t = 0; t < limitMs && !done(); ++t)
            timers.advance(1);
        return done();
    }
    void connectBoard(ConnectPurpose purpose = ConnectPurpose::Edit) {
        engine->connect(purpose);
        ASSERT_TRUE(runUntil([&] { return observer.outcome.has_value(); }));
        ASSERT_EQ(*observer.outcome, ConnectOutcome::Connected) << observer.connectError;
        port.written.clear();
        observer.statuses.clear();
    }
    // Frames written since the last clear.
    std::vector<Bytes>& frames() { return port.written; }
    int framesFor(int address) const {
        return static_cast<int>(std::count_if(port.written.begin(), port.written.end(),
                                              [&](const Bytes& f) { return AddressOf(f) == address; }));
    }

    ProgramState state;
    FormList forms;
    TestTimers timers;
    RecordingObserver observer;
    RecordingForm form;
    sim::SimulatedBoard board;
    BoardLine port;
    std::filesystem::path dir;
    std::unique_ptr<LinkEngine> engine;
};

} // namespace vm::link::test
