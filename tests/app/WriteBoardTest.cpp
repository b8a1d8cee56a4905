// Write Board when it does not go through: refused without a backup, or cut off by a lost line. The
// configuration stays the one to write, Write Board stays available, and after a cut-off write the backup
// can be put back on the board.

#include "AppTestSupport.h"

#include <QAction>
#include <QFile>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

constexpr int kConnectMs = 60000;
constexpr int kTransferMs = 120000;
constexpr int kAddress = 100; // a byte of area A, the first one written

class WriteBoard : public test::AppTest {
protected:
    // Each connect gets the next port of `ports`.
    MainWindow& startOn(std::vector<test::SimBoardPort*> ports) {
        return start(PortChoice::Simulated, [this, ports]() mutable -> std::unique_ptr<link::SerialPort> {
            if (ports.empty()) return nullptr;
            std::unique_ptr<link::SerialPort> port(ports.front());
            ports.erase(ports.begin());
            return port;
        });
    }
};

// Answered No when no backup could be made: nothing is written, and Write Board, clicked again once the
// backup can be made, writes on the line that is still open.
TEST_F(WriteBoard, AfterNoToTheBackupQuestionWriteBoardWritesOnTheOpenLine) {
    auto* port = new test::SimBoardPort(folder.dir());
    MainWindow& w = startOn({port});
    QFile blocker(
        QString::fromStdString((folder.dir() / "backups").string())); // where the backups folder goes
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w.state().ConfigImage[kAddress] = 0x5A;
    ASSERT_NE(port->configByte(kAddress), 0x5A);

    test::QuestionAnswerer questions(editors::MessageAnswer::No);
    w.SmnuWrite_Click();
    ASSERT_TRUE(waitState(AppState::Writing, kConnectMs));
    ASSERT_TRUE(waitState(AppState::Connected, kTransferMs));
    ASSERT_EQ(questions.asked.size(), 1);
    EXPECT_TRUE(questions.asked[0].contains("could not be saved as a backup"))
        << questions.asked[0].toStdString();
    EXPECT_NE(port->configByte(kAddress), 0x5A);
    EXPECT_TRUE(w.entryEnabled("SmnuWrite"));

    ASSERT_TRUE(blocker.remove());
    w.action("SmnuWrite")->trigger();
    ASSERT_TRUE(waitState(AppState::Writing, 1000));
    ASSERT_TRUE(waitState(AppState::Connected, kTransferMs));
    EXPECT_EQ(port->configByte(kAddress), 0x5A);
    EXPECT_TRUE(dialogs().shown("The board was written."));
    EXPECT_FALSE(w.entryEnabled("SmnuWrite"));
}

// The line goes in the middle of the write: the board holds part of each configuration. The program says so
// and offers the backup; taken, it is the configuration that Write Board puts on the board once a line works.
TEST_F(WriteBoard, ALineLostDuringTheWriteOffersToPutTheBackupBack) {
    sim::BoardSettings vanishing;
    vanishing.faults.disappearAfter = 1000; // the backup read takes about 680 frames, the write as many
    auto* first = new test::SimBoardPort(folder.dir(), vanishing);
    auto* second = new test::SimBoardPort(folder.dir());
    const std::uint8_t previous = first->configByte(kAddress);
    ASSERT_NE(previous, 0x5A);
    second->board().memory().write(sim::kConfigSpace, kAddress, 0x33);
    MainWindow& w = startOn({first, second});
    w.state().ConfigImage[kAddress] = 0x5A;

    test::QuestionAnswerer questions(editors::MessageAnswer::Yes);
    w.SmnuWrite_Click();
    ASSERT_TRUE(WaitUntil([&] { return !questions.asked.isEmpty(); }, kConnectMs + kTransferMs));
    EXPECT_EQ(first->configByte(kAddress), 0x5A); // area A was written before the line went
    EXPECT_TRUE(dialogs().shown("Serial port lost"));
    const QString& question = questions.asked[0];
    EXPECT_TRUE(question.startsWith("The board was not completely written")) << question.toStdString();
    const QString backup = question.section('\n', -2, -2);
    EXPECT_TRUE(backup.endsWith("_board0482.prm")) << question.toStdString();
    EXPECT_EQ(w.appState(), AppState::Offline);
    EXPECT_EQ(w.state().ConfigImage[kAddress], previous); // the backup is the configuration now
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine / " + backup.section('/', -1));
    EXPECT_TRUE(w.entryEnabled("SmnuWrite"));

    w.SmnuWrite_Click();
    ASSERT_TRUE(waitState(AppState::Writing, kConnectMs));
    ASSERT_TRUE(waitState(AppState::Connected, kTransferMs));
    EXPECT_EQ(second->configByte(kAddress), previous);
}

} // namespace
} // namespace vm::app
