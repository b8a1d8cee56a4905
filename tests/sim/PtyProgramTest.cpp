// The vmboard-sim program on a real pseudo-terminal, driven with plain POSIX I/O.

#include "PtySimBoard.h"
#include "SimTestUtil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vm::sim::test {
namespace {

// vmboard-sim on the test maps with the extra arguments; its first output line names its line, opened here.
class PtyLine {
public:
    explicit PtyLine(const QStringList& extra)
        : sim(VMBOARD_SIM_PATH, QStringList{"--maps", QString::fromStdString(maps.dir().string())} + extra),
          device(sim.device().toStdString()) {
        if (!device.empty()) fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    }
    ~PtyLine() {
        if (fd >= 0) ::close(fd);
    }
    int stop() { return sim.stop(); }
    bool send(const Bytes& bytes) const {
        return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Up to `count` bytes, each piece within 5 s of the one before.
    std::string receive(std::size_t count) const {
        std::string got;
        char buffer[64];
        for (pollfd p{fd, POLLIN, 0}; got.size() < count && ::poll(&p, 1, 5000) == 1;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    TestMaps maps;
    support::PtySimBoard sim;
    std::string device;
    int fd = -1;
};

TEST(PtyProgram, AnswersFramesOnThePseudoTerminal) {
    PtyLine line({"--software", "21"});
    ASSERT_GE(line.fd, 0) << line.device;
    // The identification of the board class, then the worked read example in two pieces.
    ASSERT_TRUE(line.send(TestFrame(kTestSpace << 4, kIdentBase + 12)));
    EXPECT_EQ(line.receive(2), std::string("\x12\x12", 2));
    ASSERT_TRUE(line.send({kRead.begin(), kRead.begin() + 2}));
    ::usleep(5'000);
    ASSERT_TRUE(line.send({kRead.begin() + 2, kRead.end()}));
    EXPECT_EQ(line.receive(3), std::string("\x34\x12\x46", 3));
    EXPECT_EQ(line.stop(), 0);
}

TEST(PtyProgram, ABoardThatDisappearsClosesTheLine) {
    PtyLine line({"--disappear-after", "1"});
    ASSERT_GE(line.fd, 0) << line.device;
    ASSERT_TRUE(line.send(kRead));
    EXPECT_EQ(line.receive(3).size(), 3u);
    ASSERT_TRUE(line.send(kRead));
    // The program ends by itself; the line reports the hang-up.
    pollfd p{line.fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    EXPECT_EQ(line.stop(), 0);
}

} // namespace
} // namespace vm::sim::test
