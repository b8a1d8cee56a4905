#pragma once
// A connected-or-not engine over a scripted board, with map files of its own in a temporary folder.

#include "FakeBoard.h"
#include "FakePort.h"
#include "FakeTimerService.h"
#include "FormList.h"
#include "LinkEngine.h"
#include "ProgramState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace vm::link::test {

// Parameter indexes of the test map.
inline constexpr int kWord = 1;             // 2 bytes at 0x0123
inline constexpr int kByte = 2;             // 1 byte at 0x0010
inline constexpr int kPolled = 3;           // 1 byte at 0x0200, poll divider 0x02
inline constexpr int kText = 4;             // 16 bytes at 0x0300
inline constexpr int kLastRecord = 11734;   // 1 byte at 0x0600, the highest index
inline constexpr int kUnitAddress = 0x0500; // 4779..4782 at 0x0500.., 11733 at 0x0510

struct Message {
    std::string title, text;
    int icon;
};

class RecordingObserver : public LinkObserver {
public:
    void linkStatus(int code) override { statuses.push_back(code); }
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

// The identification map: record k asks one byte at FakeBoard::kIdentBase + k.
inline void WriteIdentMap(const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    for (int k = 1; k <= 20; ++k) {
        const int a = FakeBoard::kIdentBase + k;
        out << static_cast<char>(a >> 8) << static_cast<char>(a & 0xFF) << '\x50' << '\0' << '\0';
    }
}

// A parameter map of `records` records holding the parameters named above; the rest are unused.
inline void WriteParamMap(const std::filesystem::path& file, int records = kLastRecord) {
    const std::map<int, std::array<int, 3>> used = {
        // index: address, command, poll
        {kWord, {0x0123, 0x51, 0}},      {kByte, {0x0010, 0x50, 0}}, {kPolled, {0x0200, 0x50, 2}},
        {kText, {0x0300, 0x5F, 0}},      {4779, {0x0500, 0x50, 0}},  {4780, {0x0501, 0x50, 0}},
        {4781, {0x0502, 0x50, 0}},       {4782, {0x0503, 0x50, 0}},  {11733, {0x0510, 0x50, 0}},
        {kLastRecord, {0x0600, 0x50, 0}}};
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
    LinkTest() : board(port, timers) {
        dir = std::filesystem::temp_directory_path() /
              ("link-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        WriteIdentMap(dir / "W0482.inx");
        WriteParamMap(dir / "W0482BV00.inx");
        board.setIdentity(0, 21, 18, 482, 5);
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

    void writeParamMap(const std::string& name, int records = kLastRecord) {
        WriteParamMap(dir / name, records);
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

    ProgramState state;
    FormList forms;
    TestTimers timers;
    RecordingObserver observer;
    RecordingForm form;
    FakePort port;
    FakeBoard board;
    std::filesystem::path dir;
    std::unique_ptr<LinkEngine> engine;
};

} // namespace vm::link::test
