// The vmboard-sim program on a real pseudo-terminal, driven with plain POSIX I/O.

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

using Clock = std::chrono::steady_clock;

// Reads from fd until `enough` says so or the time is up.
std::string ReadUntil(int fd, std::chrono::milliseconds limit, const std::function<bool(const std::string&)>& enough) {
    std::string got;
    const auto end = Clock::now() + limit;
    while (!enough(got)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

class Child {
public:
    explicit Child(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
    }
    ~Child() {
        stop();
        if (stdout_ >= 0) ::close(stdout_);
    }
    int stdoutFd() const { return stdout_; }
    // SIGTERM, then the exit status (or -1 when it had to be killed).
    int stop() {
        if (pid_ <= 0) return -1;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(10'000);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

TEST(PtyProgram, AnswersAFrameOnThePseudoTerminal) {
    TestMaps maps;
    Child child({VMBOARD_SIM_PATH, "--maps", maps.dir().string(), "--software", "21"});
    ASSERT_GE(child.stdoutFd(), 0);
    const std::string first = ReadUntil(child.stdoutFd(), std::chrono::seconds(10),
                                        [](const std::string& s) { return s.find('\n') != std::string::npos; });
    ASSERT_NE(first.find('\n'), std::string::npos) << "no device path printed";
    const std::string device = first.substr(0, first.find('\n'));
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

} // namespace
} // namespace vm::sim::test
