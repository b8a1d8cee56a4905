#include "PtyBoardServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vm::sim {

namespace {
std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}
} // namespace

PtyBoardServer::PtyBoardServer(SimulatedBoard& board) : board_(board) {}

PtyBoardServer::~PtyBoardServer() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyBoardServer::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ptsname(master_);
    if (!name) {
        error = systemError("ptsname");
        return false;
    }
    devicePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = systemError("open slave");
        return false;
    }
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        error = systemError("tcgetattr");
        return false;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(PARENB | CSTOPB);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        error = systemError("tcsetattr");
        return false;
    }
    start_ = std::chrono::steady_clock::now();
    return true;
}

// Fractional milliseconds: a byte takes 0.52 ms on the line, and rounding each reply to whole milliseconds
// would make the simulated line slower than a real one.
double PtyBoardServer::nowMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

void PtyBoardServer::queue(std::vector<Emission> emissions) {
    for (auto& e : emissions)
        outgoing_.emplace(e.atMs, std::move(e.bytes));
}

bool PtyBoardServer::flushDue(double now) {
    while (!outgoing_.empty() && outgoing_.begin()->first <= now) {
        if (!writeAll(master_, outgoing_.begin()->second)) return false;
        outgoing_.erase(outgoing_.begin());
    }
    return true;
}

std::string PtyBoardServer::serve(int stopFd) {
    std::vector<std::uint8_t> buffer(4096);
    for (;;) {
        double now = nowMs();
        if (!flushDue(now)) return systemError("write");
        if (board_.disappeared() && board_.disappearMode() == DisappearMode::Close) {
            ::close(master_);
            master_ = -1;
            return "the simulated board closed the line";
        }
        std::optional<double> wakeAt;
        if (!outgoing_.empty()) wakeAt = outgoing_.begin()->first;
        if (const auto deadline = board_.nextDeadline()) wakeAt = std::min(wakeAt.value_or(*deadline), *deadline);
        timespec timeout{};
        if (wakeAt) {
            const auto ns = static_cast<long long>(std::max(0.0, *wakeAt - now) * 1e6);
            timeout = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        }

        pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::ppoll(fds, 2, wakeAt ? &timeout : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) return systemError("poll");
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP))) return "stopped";
        now = nowMs();
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            const ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n > 0)
                queue(board_.receive(std::span(buffer.data(), static_cast<std::size_t>(n)), now));
            else if (n < 0 && errno != EINTR && errno != EAGAIN)
                return systemError("read");
        }
        queue(board_.poll(now));
    }
}

} // namespace vm::sim
