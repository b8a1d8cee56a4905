// Connect, DisConnect, Write Board and an online save against the board simulated in the process, and the
// menus after a port that will not open. (How the link copes with a faulty board is tested in the link
// tests.)

#include "AppTestSupport.h"
#include "ConfigFile.h"

#include <QAction>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

namespace fs = std::filesystem;

constexpr int kConnectMs = 60000; // identification, map load and four unit reads 1.1 s apart
constexpr int kTransferMs = 120000;

class Connect : public test::AppTest {
protected:
    // Back offline with the file menu and Connect offered again.
    void expectOffline() {
        MainWindow& w = *t->window;
        EXPECT_FALSE(w.state().Online);
        EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
        EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine");
        EXPECT_TRUE(w.entryEnabled("mnuFile"));
    }
};

TEST_F(Connect, ReachesConnectedWithTheUnitTypesReadAndTheMenusSet) {
    MainWindow& w = start();
    w.state().SlaveType1 = 0xEE; // whatever was there before must be replaced by the board's units
    const QLabel* panel1 = w.findChild<QLabel*>("Panel1");
    ASSERT_TRUE(panel1 && !panel1->text().isEmpty());

    w.SmuConnect_Click();
    EXPECT_EQ(w.appState(), AppState::Opening);
    EXPECT_EQ(w.action("SmuConnect")->text(), "DisConnect");
    EXPECT_FALSE(w.action("mnuFile")->isEnabled());
    EXPECT_FALSE(w.action("mnuGSM")->isEnabled());

    ASSERT_TRUE(waitState(AppState::Reading, kConnectMs)) << AppStateName(w.appState());
    EXPECT_TRUE(w.state().Online);
    EXPECT_TRUE(w.findChild<QWidget*>("FrmRead"));
    ASSERT_TRUE(waitState(AppState::Connected, kConnectMs)) << AppStateName(w.appState());
    ASSERT_TRUE(waitClosed("FrmRead")); // it shows "... DONE! ... " a moment after the menus are ready
    EXPECT_TRUE(panel1->text().isEmpty()); // cleared by the first reply taken

    ProgramState& s = w.state();
    EXPECT_LE(s.SlaveType1, 15);
    for (int unit = 1; unit <= 4; ++unit)
        EXPECT_EQ(s.UnitCodes[unit - 1], s.SlaveType(unit)) << unit;
    EXPECT_EQ(w.windowTitle(), w.title() + "-Connected");
    for (const char* on : {"mnuFile", "smnuDati", "smnuAllarmi", "Smusave"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    EXPECT_FALSE(w.entryEnabled("Smuload"));
    EXPECT_FALSE(w.entryEnabled("SmuNew"));
    EXPECT_EQ(w.entryEnabled("smnuInOut"), s.SlaveType1 != 7);
    EXPECT_TRUE(dialogs().messages.empty()) << dialogs().messages.front().text.toStdString();

    // An online save reads the board's memory first.
    const fs::path file = folder.dir() / "board.prm";
    dialogs().saveAnswer = QString::fromStdString(file.string());
    w.Smusave_Click();
    ASSERT_TRUE(waitClosed("Form1", kTransferMs));
    const ConfigReadResult saved = ReadConfigFile(file);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.data.unitCodes()[0], s.UnitCodes[0]);
    EXPECT_EQ(w.appState(), AppState::Connected);
    EXPECT_TRUE(dialogs().messages.empty());

    w.SmuConnect_Click(); // DisConnect
    ASSERT_TRUE(waitState(AppState::Offline, 10000));
    expectOffline();
    for (const char* on : {"mnuVer", "Smuload", "SmuNew", "mnuCom", "mnuLingue"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    EXPECT_FALSE(w.entryEnabled("mnuConfigura"));
}

TEST_F(Connect, APortThatWillNotOpenRestoresTheMenus) {
    MainWindow& w = start(PortChoice::ComMenu, [] { return std::make_unique<test::DeadPort>(false); });
    w.SmuConnect_Click();
    ASSERT_TRUE(waitState(AppState::Offline, 10000));
    expectOffline();
    for (const char* on : {"SmnuWrite", "mnuLingue", "mnuVer", "mnuWL", "mnuCom", "mnuGSM"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    ASSERT_FALSE(dialogs().messages.empty());
    EXPECT_TRUE(dialogs().shown("Attention error port!")) << dialogs().messages[0].text.toStdString();
    EXPECT_TRUE(dialogs().shown("no such port")); // and why
    EXPECT_EQ(dialogs().messages[0].title, "ERROR ");

    // Write Board fails the same way and gives the file menu back with the configuration's menus.
    dialogs().messages.clear();
    w.SmnuWrite_Click();
    ASSERT_TRUE(waitState(AppState::Offline, 10000));
    expectOffline();
    EXPECT_TRUE(w.entryEnabled("mnuConfigura")); // EnableMenu ran
    EXPECT_TRUE(dialogs().shown("Attention error port!"));
}

TEST_F(Connect, WriteBoardWritesTheImageAndEndsConnected) {
    MainWindow& w = start();
    w.SmnuWrite_Click();
    ASSERT_TRUE(waitState(AppState::Writing, kConnectMs)) << AppStateName(w.appState());
    EXPECT_EQ(w.windowTitle(), w.title() + "-Connected");
    EXPECT_TRUE(w.findChild<QWidget*>("Form3"));
    EXPECT_FALSE(w.entryEnabled("SmnuWrite"));
    ASSERT_TRUE(waitState(AppState::Connected, kTransferMs)) << AppStateName(w.appState());
    EXPECT_TRUE(
        waitClosed("Form3", 1000)); // closed with the state change, deleted by the event loop after it
    EXPECT_TRUE(w.entryEnabled("mnuFile"));
    EXPECT_TRUE(w.entryEnabled("mnuVending"));
    // The board's configuration was saved before it was written over, and the message names the file.
    ASSERT_EQ(dialogs().messages.size(), 1u);
    const QString text = dialogs().messages[0].text;
    EXPECT_TRUE(text.startsWith("The board was written.")) << text.toStdString();
    EXPECT_TRUE(QFile::exists(text.section('\n', -1))) << text.toStdString();
}

} // namespace
} // namespace vm::app
