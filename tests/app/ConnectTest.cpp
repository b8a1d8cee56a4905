// Connect, DisConnect, Write Board and an online save against the board simulated in the process.

#include "AppTestSupport.h"
#include "ConfigFile.h"

#include <QAction>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

using test::MakeWindow;
using test::ProgramFolder;
namespace fs = std::filesystem;

constexpr int kConnectMs = 60000; // identification, map load and four unit reads 1.1 s apart
constexpr int kTransferMs = 120000;


bool waitState(MainWindow& w, AppState state, int ms) {
    return WaitUntil([&] { return w.appState() == state; }, ms);
}

TEST(Connect, ReachesConnectedWithTheUnitTypesReadAndTheMenusSet) {
    ProgramFolder folder;
    auto t = MakeWindow(folder, PortChoice::Simulated);
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    w.state().SlaveType1 = 0xEE; // whatever was there before must be replaced by the board's units

    w.SmuConnect_Click();
    EXPECT_EQ(w.appState(), AppState::Opening);
    EXPECT_EQ(w.action("SmuConnect")->text(), "DisConnect");
    EXPECT_FALSE(w.action("mnuFile")->isEnabled());
    EXPECT_FALSE(w.action("mnuGSM")->isEnabled());

    ASSERT_TRUE(waitState(w, AppState::Reading, kConnectMs)) << AppStateName(w.appState());
    EXPECT_TRUE(w.state().Online);
    EXPECT_TRUE(w.findChild<QWidget*>("FrmRead"));
    ASSERT_TRUE(waitState(w, AppState::Connected, kConnectMs)) << AppStateName(w.appState());
    EXPECT_FALSE(w.findChild<QWidget*>("FrmRead"));

    const ProgramState& s = w.state();
    EXPECT_LE(s.SlaveType1, 15);
    for (int unit = 1; unit <= 4; ++unit)
        EXPECT_EQ(s.UnitCodes[unit - 1], w.state().SlaveType(unit)) << unit;
    EXPECT_EQ(w.windowTitle(), w.title() + "-Connected");
    EXPECT_TRUE(w.action("mnuFile")->isEnabled());
    EXPECT_TRUE(w.entryEnabled("smnuDati"));
    EXPECT_TRUE(w.entryEnabled("smnuAllarmi"));
    EXPECT_FALSE(w.entryEnabled("Smuload"));
    EXPECT_FALSE(w.entryEnabled("SmuNew"));
    EXPECT_TRUE(w.entryEnabled("Smusave"));
    EXPECT_EQ(w.entryEnabled("smnuInOut"), s.SlaveType1 != 7);
    EXPECT_TRUE(t->dialogs->messages.empty()) << t->dialogs->messages.front().text.toStdString();

    // An online save reads the board's memory first.
    const fs::path file = folder.dir() / "board.prm";
    t->dialogs->saveAnswer = QString::fromStdString(file.string());
    w.Smusave_Click();
    ASSERT_TRUE(WaitUntil([&] { return !w.findChild<QWidget*>("Form1"); }, kTransferMs));
    ASSERT_TRUE(fs::exists(file));
    const ConfigReadResult saved = ReadConfigFile(file);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.data.unitCodes()[0], s.UnitCodes[0]);
    EXPECT_EQ(w.appState(), AppState::Connected);
    EXPECT_TRUE(t->dialogs->messages.empty());

    w.SmuConnect_Click(); // DisConnect
    ASSERT_TRUE(waitState(w, AppState::Offline, 10000));
    EXPECT_FALSE(w.state().Online);
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine");
    for (const char* on : {"mnuFile", "mnuVer", "Smuload", "SmuNew", "mnuCom", "mnuLingue"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    EXPECT_FALSE(w.entryEnabled("mnuConfigura"));
}

TEST(Connect, APortThatWillNotOpenRestoresTheMenus) {
    ProgramFolder folder;
    auto t = MakeWindow(folder, PortChoice::ComMenu, [] { return std::make_unique<test::FailingPort>(); });
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    w.SmuConnect_Click();
    ASSERT_TRUE(waitState(w, AppState::Offline, 10000));
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    EXPECT_FALSE(w.state().Online);
    for (const char* on : {"mnuFile", "SmnuWrite", "mnuLingue", "mnuVer", "mnuWL", "mnuCom", "mnuGSM"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    ASSERT_FALSE(t->dialogs->messages.empty());
    EXPECT_TRUE(t->dialogs->shown("Attention error port!")) << t->dialogs->messages[0].text.toStdString();
    EXPECT_EQ(t->dialogs->messages[0].title, "ERROR ");

    // Write Board fails the same way and gives the file menu back with the configuration's menus.
    t->dialogs->messages.clear();
    w.SmnuWrite_Click();
    ASSERT_TRUE(waitState(w, AppState::Offline, 10000));
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    EXPECT_TRUE(w.entryEnabled("mnuFile"));
    EXPECT_TRUE(w.entryEnabled("mnuConfigura")); // EnableMenù ran
    EXPECT_TRUE(t->dialogs->shown("Attention error port!"));
}

TEST(Connect, WriteBoardWritesTheImageAndEndsConnected) {
    ProgramFolder folder;
    auto t = MakeWindow(folder, PortChoice::Simulated);
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    w.SmnuWrite_Click();
    ASSERT_TRUE(waitState(w, AppState::Writing, kConnectMs)) << AppStateName(w.appState());
    EXPECT_EQ(w.windowTitle(), w.title() + "-Connected");
    EXPECT_TRUE(w.findChild<QWidget*>("Form3"));
    EXPECT_FALSE(w.entryEnabled("SmnuWrite"));
    ASSERT_TRUE(waitState(w, AppState::Connected, kTransferMs)) << AppStateName(w.appState());
    EXPECT_FALSE(w.findChild<QWidget*>("Form3"));
    EXPECT_TRUE(w.entryEnabled("mnuFile"));
    EXPECT_TRUE(w.entryEnabled("mnuVending"));
    EXPECT_TRUE(t->dialogs->messages.empty()) << t->dialogs->messages.front().text.toStdString();
    w.SmuConnect_Click();
    ASSERT_TRUE(waitState(w, AppState::Offline, 10000));
}

} // namespace
} // namespace vm::app

namespace vm::app {
namespace {

TEST(Connect, ABoardThatDoesNotAnswerIsGivenUpWithCancel) {
    test::ProgramFolder folder;
    auto t =
        test::MakeWindow(folder, PortChoice::ComMenu, [] { return std::make_unique<test::SilentPort>(); });
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    w.SmuConnect_Click();
    ASSERT_TRUE(WaitUntil([&] { return w.appState() == AppState::Offline; }, 60000));
    EXPECT_EQ(t->dialogs->retryQuestions, 1);  // "Board Not Ready", answered Cancel
    EXPECT_TRUE(t->dialogs->messages.empty()); // nothing more after the user's own Cancel
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    EXPECT_FALSE(w.state().Online);
    EXPECT_TRUE(w.entryEnabled("mnuFile"));
}

} // namespace
} // namespace vm::app

#include "SimulatedPortFactory.h"

namespace vm::app {
namespace {

// The simulated board's port with a plug that the test can pull.
class PluggablePort final : public link::SerialPort {
public:
    explicit PluggablePort(std::unique_ptr<link::SerialPort> inner) : inner_(std::move(inner)) {
        inner_->onReceive = [this] {
            if (onReceive) onReceive();
        };
    }
    void pull() {
        inner_->close();
        if (onLost) onLost("adapter unplugged");
    }
    bool open(std::string& error) override { return inner_->open(error); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void write(std::span<const std::uint8_t> bytes) override { inner_->write(bytes); }
    std::size_t bytesWaiting() const override { return inner_->bytesWaiting(); }
    std::vector<std::uint8_t> readAll() override { return inner_->readAll(); }
    void setReceiveThreshold(int t) override { inner_->setReceiveThreshold(t); }
    int receiveThreshold() const override { return inner_->receiveThreshold(); }

private:
    std::unique_ptr<link::SerialPort> inner_;
};

TEST(Connect, ALostLineIsReportedAndTheWindowGoesOffline) {
    test::ProgramFolder folder;
    PluggablePort* plug = nullptr;
    const auto dir = folder.dir();
    auto t =
        test::MakeWindow(folder, PortChoice::Simulated, [&plug, dir]() -> std::unique_ptr<link::SerialPort> {
            std::string error;
            auto port = std::make_unique<PluggablePort>(MakeSimulatedPort(dir, error));
            plug = port.get();
            return port;
        });
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    w.SmuConnect_Click();
    ASSERT_TRUE(WaitUntil([&] { return w.appState() == AppState::Connected; }, kConnectMs));
    ASSERT_NE(plug, nullptr);
    plug->pull();
    ASSERT_TRUE(WaitUntil([&] { return w.appState() == AppState::Offline; }, 10000));
    // The link says so once; the window adds nothing of its own.
    ASSERT_EQ(t->dialogs->messages.size(), 1u);
    EXPECT_TRUE(t->dialogs->messages[0].text.contains("lost"));
    EXPECT_FALSE(w.state().Online);
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine");
    EXPECT_TRUE(w.entryEnabled("mnuFile"));
}

} // namespace
} // namespace vm::app
