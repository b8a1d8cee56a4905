// The link engine against the simulated board on the delivered map files: what the program sees when it
// talks to it (skipped when the maps have not been built).

#include "FormList.h"
#include "LinkEngine.h"
#include "ProgramState.h"
#include "SimTestUtil.h"
#include "SimulatedPort.h"
#include "link/FakeTimerService.h"

#include <gtest/gtest.h>

namespace vm::sim::test {
namespace {

// What the engine tells the program; a retry question is answered No.
struct LinkRecorder : vm::link::LinkObserver {
    std::optional<vm::link::ConnectOutcome> connected;
    std::string connectError;
    std::optional<bool> transferOk;
    std::string transferError;
    std::vector<std::string> messages;
    vm::link::LinkEngine* engine = nullptr;

    void connectFinished(vm::link::ConnectOutcome outcome, const std::string& error) override {
        connected = outcome;
        connectError = error;
    }
    void transferFinished(vm::link::TransferKind, bool ok, const std::string& error) override {
        transferOk = ok;
        transferError = error;
    }
    void showMessage(const std::string&, const std::string& text, int) override { messages.push_back(text); }
    void askRetry(const std::string&, const std::string& text) override {
        messages.push_back(text);
        engine->answerRetry(false);
    }
};

class EngineOnBoard : public ::testing::Test {
protected:
    void start(BoardSettings settings) {
        if (!HaveDeliveredMaps()) GTEST_SKIP() << "no map files in " << DeliveredMapsDir();
        board = std::make_unique<SimulatedBoard>(settings);
        std::string error;
        ASSERT_TRUE(board->loadMaps(DeliveredMapsDir(), error)) << error;
        port = std::make_unique<SimulatedPort>(*board, timers);
        engine = std::make_unique<vm::link::LinkEngine>(state, forms, timers, recorder,
                                                        vm::link::LinkOptions{DeliveredMapsDir(), "test"});
        recorder.engine = engine.get();
        engine->setPort(port.get());
    }
    // Runs the clock until `done` or a simulated minute has passed.
    template <class Done> void runUntil(Done done) {
        for (int ms = 0; ms < 60'000 && !done(); ms += 10)
            timers.advance(10);
    }
    void connect() {
        engine->connect(vm::link::ConnectPurpose::Edit);
        runUntil([&] { return recorder.connected.has_value(); });
    }
    void transfer(void (vm::link::LinkEngine::*start)()) {
        recorder.transferOk.reset();
        (engine.get()->*start)();
        runUntil([&] { return recorder.transferOk.has_value(); });
        ASSERT_EQ(recorder.transferOk, true) << recorder.transferError;
    }

    ProgramState state;
    FormList forms;
    vm::link::FakeTimerService timers;
    LinkRecorder recorder;
    std::unique_ptr<SimulatedBoard> board;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<vm::link::LinkEngine> engine;
};

TEST_F(EngineOnBoard, ConnectsSavesAndWritesBack) {
    BoardSettings settings;
    settings.wireTime = true;
    start(settings);
    connect();
    ASSERT_EQ(recorder.connected, vm::link::ConnectOutcome::Connected) << recorder.connectError;
    EXPECT_EQ(state.BoardType, 482);
    EXPECT_EQ(state.BoardSoftware, 21);

    transfer(&vm::link::LinkEngine::saveRead);
    for (int a : {16, 1934, 3072, 3822, 4976, 12926})
        EXPECT_EQ(state.ConfigImage[a], board->memory().read(kConfigSpace, static_cast<std::uint16_t>(a)))
            << a;
    EXPECT_EQ(state.AuxImage[8], board->memory().read(kAuxSpace, 8));

    state.ConfigImage[1000] = 0x5A;
    state.ConfigImage[12926] = 0xA5;
    transfer(&vm::link::LinkEngine::writeBoard);
    EXPECT_EQ(board->memory().read(kConfigSpace, 1000), 0x5A);
    EXPECT_EQ(board->memory().read(kConfigSpace, 12926), 0xA5);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(EngineOnBoard, ConnectsThroughAnUnreliableLine) {
    BoardSettings settings;
    settings.faults.split = 0.5;
    settings.faults.corruptChecksum = 0.2;
    settings.faults.seed = 7;
    start(settings);
    connect();
    EXPECT_EQ(recorder.connected, vm::link::ConnectOutcome::Connected) << recorder.connectError;
}

TEST_F(EngineOnBoard, AnIncompatibleBoardIsRefused) {
    BoardSettings settings;
    settings.identity.boardClass = 17;
    start(settings);
    connect();
    EXPECT_EQ(recorder.connected, vm::link::ConnectOutcome::Refused);
}

} // namespace
} // namespace vm::sim::test
