#include "PtyBoardServer.h"

#include <cerrno>
#include <cstring>
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

std::int64_t PtyBoardServer::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
        .count();
}

void PtyBoardServer::queue(std::vector<Emission> emissions) {
    for (auto& e : emissions)
        outgoing_.emplace(e.atMs, std::move(e.bytes));
}

bool PtyBoardServer::flushDue(std::int64_t now) {
    while (!outgoing_.empty() && outgoing_.begin()->first <= now) {
        if (!writeAll(master_, outgoing_.begin()->second)) return false;
        outgoing_.erase(outgoing_.begin());
    }
    return true;
}

std::string PtyBoardServer::serve(int stopFd) {
    std::vector<std::uint8_t> buffer(4096);
    for (;;) {
        std::int64_t now = nowMs();
        if (!flushDue(now)) return systemError("write");
        if (board_.disappeared() && board_.disappearMode() == DisappearMode::Close) {
            ::close(master_);
            master_ = -1;
            return "the simulated board closed the line";
        }
        std::int64_t wakeAt = -1;
        if (!outgoing_.empty()) wakeAt = outgoing_.begin()->first;
        if (const auto deadline = board_.nextDeadline())
            wakeAt = wakeAt < 0 ? *deadline : std::min(wakeAt, *deadline);
        const int timeout = wakeAt < 0 ? -1 : static_cast<int>(std::max<std::int64_t>(0, wakeAt - now));

        pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
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
