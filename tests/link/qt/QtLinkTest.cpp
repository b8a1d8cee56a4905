// The Qt side of the link: timers on the event loop, the facade's signals, port names.
#include "LinkController.h"
#include "LinkFixture.h"
#include "PortDiscovery.h"
#include "PortProblems.h"
#include "ProgramState.h"
#include "QtSerialPort.h"
#include "QtTimerService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryFile>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <grp.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vm::link::test {
namespace {

bool waitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

TEST(QtTimerService, FiresOnceAndCancelledTimersStaySilentEvenFromACallback) {
    QtTimerService timers;
    int fired = 0, second = 0;
    const auto cancelled = timers.startTimer(10, [&] { ADD_FAILURE() << "cancelled timer fired"; });
    timers.cancelTimer(cancelled);
    timers.cancelTimer(cancelled); // twice does nothing
    const auto pending = timers.startTimer(500, [&] { ADD_FAILURE() << "cancelled timer fired"; });
    const auto start = timers.nowMs();
    timers.startTimer(10, [&] {
        ++fired;
        timers.cancelTimer(pending);
        timers.startTimer(5, [&] { ++second; });
    });
    ASSERT_TRUE(waitFor([&] { return second == 1; }));
    EXPECT_GE(timers.nowMs() - start, 10);
    waitFor([] { return false; }, 600);
    EXPECT_EQ(fired, 1);
}

TEST(PortDiscovery, ComNumbersNameTheSerialDevices) {
#ifndef Q_OS_WIN
    EXPECT_EQ(ComPortDeviceName(1), "/dev/ttyS0");
    EXPECT_EQ(ComPortDeviceName(4), "/dev/ttyS3");
    EXPECT_EQ(ResolveComPort(3), "/dev/ttyS2");
#endif
}

#ifndef Q_OS_WIN
// A pseudo-terminal stands in for a serial device.
struct Pty {
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) device = ::ptsname(master);
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
    int master = -1;
    std::string device;
};

// Each reason comes with what to do about it; the settings are read back from the device after opening.
TEST(QtSerialPort, APortThatCannotBeOpenedSaysWhyInOneLine) {
    std::string error;
    QtSerialPort missing("/dev/vm-link-test-no-such-port");
    EXPECT_FALSE(missing.open(error));
    EXPECT_NE(error.find("/dev/vm-link-test-no-such-port does not exist: plug the adapter in"),
              std::string::npos)
        << error;

    Pty pty;
    ASSERT_FALSE(pty.device.empty());
    QtSerialPort first(QString::fromStdString(pty.device));
    ASSERT_TRUE(first.open(error)) << error;
    QtSerialPort second(QString::fromStdString(pty.device));
    EXPECT_FALSE(second.open(error));
    EXPECT_NE(error.find("is in use by another program"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);

    const group* owner = ::getgrgid(::getegid()); // the group of a file this process creates
    ASSERT_TRUE(owner);
    QTemporaryFile device;
    ASSERT_TRUE(device.open());
    EXPECT_NE(DescribePortFailure(device.fileName().toStdString(), PortFailure::NoPermission, "")
                  .find("add your user to the group \"" + std::string(owner->gr_name) + "\""),
              std::string::npos);
}

TEST(QtSerialPort, LineSettingsAreReadBackFromTheDevice) {
    Pty pty;
    const int fd = ::open(pty.device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B19200);
    tio.c_cflag &= ~(PARENB | CSTOPB);
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
    EXPECT_EQ(LineSettingsProblem(fd), "");
    ::cfsetspeed(&tio, B9600);
    tio.c_cflag |= CSTOPB; // (a pseudo-terminal keeps no parity setting)
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
    EXPECT_EQ(LineSettingsProblem(fd), "not 19200 baud, 2 stop bits");
    ::close(fd);
}
#endif

TEST(LinkController, ConnectsReadsUnitsAndDisconnectsWithSignals) {
    const auto dir = std::filesystem::temp_directory_path() / "link-qt-test";
    std::filesystem::create_directories(dir);
    WriteIdentMap(dir / "W0482.inx");
    WriteParamMap(dir / "W0482BV00.inx");
    sim::SimulatedBoard board;
    std::string error;
    ASSERT_TRUE(board.loadMaps(dir, error)) << error;
    board.memory().write(sim::kConfigSpace, kUnitAddress, 7);
    QtTimerService boardTimers;
    ProgramState state;
    FormList forms;
    LinkController controller(state, forms, LinkOptions{dir, "Vending Config"});
    ASSERT_TRUE(controller.setPort(std::make_unique<sim::SimulatedPort>(board, boardTimers)));

    QSignalSpy connected(&controller, &LinkController::connected);
    QSignalSpy status(&controller, &LinkController::linkStatus);
    QSignalSpy firstUnit(&controller, &LinkController::firstUnitRead);
    QSignalSpy units(&controller, &LinkController::unitsRead);
    QSignalSpy disconnected(&controller, &LinkController::disconnected);
    controller.connectBoard(ConnectPurpose::Edit);
    ASSERT_TRUE(waitFor([&] { return connected.count() == 1; }));
    EXPECT_TRUE(controller.isConnected());
    EXPECT_GT(status.count(), 0);
    EXPECT_FALSE(controller.setPort(std::make_unique<sim::SimulatedPort>(board, boardTimers))); // not now

    controller.readUnits();
    ASSERT_TRUE(waitFor([&] { return units.count() == 1; }, 8000));
    ASSERT_EQ(firstUnit.count(), 1);
    EXPECT_EQ(firstUnit.at(0).at(0).toInt(), 7);
    EXPECT_EQ(units.at(0).at(0).value<UnitReadResult>().unitCodes[0], 7);

    controller.disconnectBoard();
    ASSERT_TRUE(waitFor([&] { return disconnected.count() == 1; }));
    EXPECT_TRUE(disconnected.at(0).at(0).toString().isEmpty());
    EXPECT_FALSE(state.Online);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace vm::link::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
