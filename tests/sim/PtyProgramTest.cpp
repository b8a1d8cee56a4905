// The vmboard-sim program on a real pseudo-terminal, driven with plain POSIX I/O.

#include "ChildProcess.h"
#include "TestMaps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace vm::sim::test {
namespace {

TEST(PtyProgram, AnswersAFrameOnThePseudoTerminal) {
    TestMaps maps;
    Child child({VMBOARD_SIM_PATH, "--maps", maps.dir().string(), "--software", "21"});
    ASSERT_GE(child.stdoutFd(), 0);
    const std::string device = StartedDevice(child);
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;

    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    // The identification of the board class, then the worked read example in two pieces.
    const unsigned char classRead[] = {kTestSpace << 4, 0x00, 0x0C, 0x03, (kTestSpace << 4) + 0x0F};
    ASSERT_EQ(::write(fd, classRead, sizeof classRead), 5);
    auto reply = ReadUntil(fd, std::chrono::seconds(5), [](const std::string& s) { return s.size() >= 2; });
    EXPECT_EQ(reply, std::string("\x12\x12", 2));

    const unsigned char read1[] = {0x51, 0x00}, read2[] = {0x23, 0x01, 0x75};
    ASSERT_EQ(::write(fd, read1, 2), 2);
    ::usleep(5'000);
    ASSERT_EQ(::write(fd, read2, 3), 3);
    reply = ReadUntil(fd, std::chrono::seconds(5), [](const std::string& s) { return s.size() >= 3; });
    EXPECT_EQ(reply, std::string("\x34\x12\x46", 3));
    ::close(fd);
    EXPECT_EQ(child.stop(), 0);
}

TEST(PtyProgram, ABoardThatDisappearsClosesTheLine) {
    TestMaps maps;
    Child child({VMBOARD_SIM_PATH, "--maps", maps.dir().string(), "--disappear-after", "1"});
    const std::string device = StartedDevice(child);
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const unsigned char read[] = {0x51, 0x00, 0x23, 0x01, 0x75};
    ASSERT_EQ(::write(fd, read, 5), 5);
    EXPECT_EQ(
        ReadUntil(fd, std::chrono::seconds(5), [](const std::string& s) { return s.size() >= 3; }).size(),
        3u);
    ASSERT_EQ(::write(fd, read, 5), 5);
    // The program ends by itself; the line reports the hang-up.
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    ::close(fd);
    EXPECT_EQ(child.stop(), 0);
}

} // namespace
} // namespace vm::sim::test
