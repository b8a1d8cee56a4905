#pragma once
// Running vmboard-sim as a child process in the tests, always bounded in time.

#include <chrono>
#include <csignal>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vm::sim::test {

using Clock = std::chrono::steady_clock;

// Reads from fd until `enough` says so or the time is up.
inline std::string ReadUntil(int fd, std::chrono::milliseconds limit,
                             const std::function<bool(const std::string&)>& enough) {
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
            for (auto& a : args)
                argv.push_back(a.data());
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

// Starts vmboard-sim with the arguments and returns the device path of its first line ("" on failure).
inline std::string StartedDevice(Child& child) {
    const std::string first = ReadUntil(child.stdoutFd(), std::chrono::seconds(10), [](const std::string& s) {
        return s.find('\n') != std::string::npos;
    });
    const auto end = first.find('\n');
    return end == std::string::npos ? std::string() : first.substr(0, end);
}

} // namespace vm::sim::test
