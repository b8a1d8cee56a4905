// The program's own Qt serial port and timers talking to vmboard-sim over a pseudo-terminal.

#include "ChildProcess.h"
#include "FormList.h"
#include "LinkEngine.h"
#include "ProgramState.h"
#include "QtSerialPort.h"
#include "QtTimerService.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <filesystem>

namespace vm::sim::test {
namespace {

struct ConnectWatcher : vm::link::LinkObserver {
    std::optional<vm::link::ConnectOutcome> outcome;
    std::string error;
    vm::link::LinkEngine* engine = nullptr;
    void connectFinished(vm::link::ConnectOutcome o, const std::string& e) override {
        outcome = o;
        error = e;
    }
    void askRetry(const std::string&, const std::string&) override { engine->answerRetry(false); }
};

TEST(QtPortOnPty, TheLinkConnectsToTheSimulatorProgram) {
    const std::filesystem::path dir = std::filesystem::path(VMBOARD_SIM_PATH).parent_path();
    if (!std::filesystem::exists(dir / "W0482.inx")) GTEST_SKIP() << "no map files in " << dir;
    Child child({VMBOARD_SIM_PATH, "--wire-time", "--split", "0.3", "--seed", "5"});
    const std::string device = StartedDevice(child);
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;

    int argc = 1;
    char name[] = "sim_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    vm::link::QtSerialPort port(QString::fromStdString(device));
    vm::link::QtTimerService timers;
    ProgramState state;
    FormList forms;
    ConnectWatcher watcher;
    vm::link::LinkEngine engine(state, forms, timers, watcher, vm::link::LinkOptions{dir, "test"});
    watcher.engine = &engine;
    engine.setPort(&port);
    engine.connect(vm::link::ConnectPurpose::Edit);

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (watcher.outcome) loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // never hang
    loop.exec();
    ASSERT_TRUE(watcher.outcome.has_value()) << "no answer within 20 s";
    EXPECT_EQ(*watcher.outcome, vm::link::ConnectOutcome::Connected) << watcher.error;
    EXPECT_EQ(state.BoardType, 482);
    engine.disconnect();
    QTimer::singleShot(1500, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(child.stop(), 0);
}

} // namespace
} // namespace vm::sim::test
