// The main window offline: start-up, menus, languages, files, New, the open windows and exit.

#include "AppTestSupport.h"
#include "ConfigFile.h"
#include "FileIO.h"
#include "FrmInfo.h"
#include "MenuTree.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <gtest/gtest.h>

#include <fstream>

namespace vm::app {
namespace {

using test::MakeWindow;
using test::ProgramFolder;
namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MainWindowTest : public test::AppTest {};

TEST_F(MainWindowTest, ComesUpOfflineWithTheStartUpEnabling) {
    MainWindow& w = start();
    EXPECT_EQ(w.appState(), AppState::Offline);
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine");
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    // Files can be made or loaded, but nothing is there to save, write or edit.
    for (const char* on : {"SmuNew", "Smuload", "SmuConnect"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    for (const char* off : {"Smusave", "SmnuWrite", "mnuConfigura"})
        EXPECT_FALSE(w.entryEnabled(off)) << off;
    // The first language in name order is taken when the settings name none; its entry is checked.
    EXPECT_EQ(w.languageSettings().CurrentLanguage, "English");
    EXPECT_TRUE(w.findChild<QAction*>("smnuLingue0")->isChecked());
    EXPECT_EQ(w.findChild<QAction*>("smnuLingue1")->text(), "Italiano");
    EXPECT_FALSE(w.findChild<QAction*>("smnuLingue2")->isVisible());
    EXPECT_EQ(w.action("MnuValSoldi")->text(), "Coins && Banknotes");
    EXPECT_TRUE(dialogs().messages.empty());

    // A window that does not exist yet: its entry stays visible, disabled, and says why.
    w.EnableMenu();
    for (const MenuEntry& e : MenuEntries()) {
        const QString form = QString::fromUtf8(e.form.data(), e.form.size());
        if (form.isEmpty() || form == "FrmInfo" || w.formAvailable(form)) continue;
        QAction* a = w.action(e.name);
        EXPECT_TRUE(a->isVisible());
        EXPECT_FALSE(a->isEnabled()) << e.name;
        EXPECT_EQ(a->toolTip(), "not available yet");
    }
    // The editors ask through the hooks by entry name.
    editors::MainWindowHooks& hooks = w;
    hooks.setMenuEnabled("SmuNew", false);
    EXPECT_FALSE(w.action("SmuNew")->isEnabled());

    // The information window opens once; a second click shows the same one.
    w.aboutClicked();
    w.aboutClicked();
    EXPECT_EQ(w.findChildren<FrmInfo*>().size(), 1);
}

TEST(MainWindowStartUp, WithoutLanguageFilesItRefusesToRunWithoutAMapItCannotConnect) {
    ProgramFolder noLanguages(true, false);
    auto t = MakeWindow(noLanguages);
    EXPECT_FALSE(t->window->startUp());
    ASSERT_EQ(t->dialogs->messages.size(), 1u);
    EXPECT_EQ(t->dialogs->messages[0].text, "File missing!\nReinstall program");
    EXPECT_EQ(t->dialogs->messages[0].title, "Error");
    EXPECT_EQ(t->dialogs->messages[0].icon, MessageIcon::Critical);

    ProgramFolder noMaps(false, true);
    t = MakeWindow(noMaps);
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    ASSERT_EQ(t->dialogs->messages.size(), 1u);
    EXPECT_TRUE(t->dialogs->messages[0].text.contains("W0482")) << t->dialogs->messages[0].text.toStdString();
    w.connectClicked();
    EXPECT_EQ(w.appState(), AppState::Offline);
    EXPECT_EQ(w.action("SmuConnect")->text(), "Connect");
    ASSERT_EQ(t->dialogs->messages.size(), 2u);
    EXPECT_TRUE(t->dialogs->messages[1].text.contains("Connect is not possible"));
    w.writeBoardClicked();
    EXPECT_EQ(w.appState(), AppState::Offline);
}

TEST_F(MainWindowTest, AGoodLanguageFileSwitchesEverythingABadOneIsRefused) {
    std::ofstream(folder.dir() / "Broken.lng") << "&File\n&Exit\n"; // cut short: far fewer lines than needed
    MainWindow& w = start();
    // Listing order: Broken, English, Italiano. The settings name none: the first one that can be used.
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text,
              "The language file \"Broken.lng\" cannot be used: it has 2 lines; the "
              "program needs 1000.\nThe language English is used instead.");
    EXPECT_EQ(dialogs().messages[0].title, "Wrong file");
    EXPECT_EQ(w.languageSettings().CurrentLanguage, "English");
    EXPECT_TRUE(w.findChild<QAction*>("smnuLingue1")->isChecked());
    dialogs().messages.clear();
    w.languageChosen(2); // Italiano
    EXPECT_EQ(w.languageSettings().CurrentLanguage, "Italiano");
    EXPECT_TRUE(w.findChild<QAction*>("smnuLingue2")->isChecked());
    EXPECT_EQ(w.action("SmnuExTempi")->text(), "Extra &Tempi Settori");
    EXPECT_NE(fileText(folder.dir() / "vmconfig.ini").find("Lingua=Italiano\r\n"), std::string::npos);
    EXPECT_NE(fileText(folder.parent() / "dedorezovi.ini").find("Lingua=Italiano\r\n"), std::string::npos);
    EXPECT_TRUE(dialogs().messages.empty());

    w.languageChosen(0); // Broken: too short against Italiano
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text, "Check file message !!!");
    EXPECT_EQ(dialogs().messages[0].title, "Wrong file");
    EXPECT_EQ(dialogs().messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(w.languageSettings().CurrentLanguage, "Italiano");
    EXPECT_TRUE(w.findChild<QAction*>("smnuLingue2")->isChecked());
    EXPECT_FALSE(w.findChild<QAction*>("smnuLingue0")->isChecked());
    EXPECT_EQ(w.action("smnuTempi")->text(), "&Tempi");
    EXPECT_EQ(w.messages()(838), "Autenticazione");
}

// A language file that cannot be read (here one whose reading fails with an I/O error) is passed over for
// the next one: the program does not end as if no language were installed.
TEST(MainWindowStartUp, AnUnreadableLanguageFileIsPassedOverForTheNextOne) {
    ProgramFolder folder;
    fs::remove(folder.dir() / "English.lng");
    fs::create_symlink("/proc/self/mem", folder.dir() / "English.lng");
    auto t = MakeWindow(folder);
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    ASSERT_EQ(t->dialogs->messages.size(), 1u);
    const QString text = t->dialogs->messages[0].text;
    EXPECT_TRUE(text.startsWith("The language file \"English.lng\" cannot be used: it cannot be read"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("\nThe language Italiano is used instead.")) << text.toStdString();
    EXPECT_EQ(w.languageSettings().CurrentLanguage, "Italiano");
    EXPECT_EQ(w.action("smnuTempi")->text(), "&Tempi");
}

// A damaged parameter map is refused at start-up with a message naming it; Connect then says why it
// cannot, instead of talking to the board with wrong addresses.
TEST(MainWindowStartUp, ADamagedMapIsRefusedByNameAndConnectIsNotPossible) {
    ProgramFolder folder;
    std::fstream map(folder.dir() / "W0482BV00.inx", std::ios::in | std::ios::out | std::ios::binary);
    map.seekp(240 * 9); // record 241 holds no parameter; its command byte now names no memory space
    map.write("\x00\x10\xF3", 3);
    map.close();
    auto t = MakeWindow(folder);
    MainWindow& w = *t->window;
    ASSERT_TRUE(w.startUp());
    ASSERT_EQ(t->dialogs->messages.size(), 1u);
    EXPECT_TRUE(t->dialogs->messages[0].text.contains(
        "The parameter map \"W0482BV00.inx\" is damaged: record 241 has the command byte 0xF3"))
        << t->dialogs->messages[0].text.toStdString();
    w.connectClicked();
    EXPECT_EQ(w.appState(), AppState::Offline);
    ASSERT_EQ(t->dialogs->messages.size(), 2u);
    EXPECT_TRUE(t->dialogs->messages[1].text.contains("Connect is not possible"));
}

TEST_F(MainWindowTest, SaveThenLoadRestoresTheConfigurationAndTheMenusOfItsUnits) {
    MainWindow& w = start();
    ProgramState& s = w.state();
    for (int a = 0; a < kConfigAreaSize; ++a)
        s.ConfigImage[a] = static_cast<std::uint8_t>(a * 7 + 3);
    s.UnitCodes = {0x27, 3, 0, 1}; // a snack unit first
    s.AuxImage[8] = 42;

    // A cancelled dialog changes nothing.
    w.saveClicked();
    EXPECT_FALSE(w.findChild<QWidget*>("Form1"));
    EXPECT_EQ(dialogs().lastSave.initialName, "*.prm");
    EXPECT_EQ(dialogs().lastSave.filter, "Configurazione(*.prm)");

    const fs::path file = folder.dir() / "Machine12.prm";
    dialogs().saveAnswer = QString::fromStdString(file.string());
    w.saveClicked();
    ASSERT_TRUE(w.findChild<QWidget*>("Form1"));
    EXPECT_FALSE(w.action("mnuConfigura")->isEnabled()); // menus off while the save runs
    ASSERT_TRUE(waitClosed("Form1"));
    EXPECT_TRUE(w.entryEnabled("Smusave"));
    ASSERT_EQ(fs::file_size(file), static_cast<std::uintmax_t>(kProtectedFileSize));

    // Another configuration in memory, then the file back.
    s.ClearConfigArea();
    s.UnitCodes = {};
    s.AuxImage[8] = 0;
    w.setMenuEnabled("smnuDosi", true); // the load must switch the drink entries off again
    w.setMenuEnabled("SmuPromo", true);
    const QString before = w.windowTitle();
    w.loadClicked();
    EXPECT_EQ(w.windowTitle(), before);

    dialogs().openAnswer = QString::fromStdString(file.string());
    w.loadClicked();
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine / Machine12.prm");
    EXPECT_TRUE(dialogs().lastOpen.filter.contains("Configuration(*.cfx)"));
    for (int a = 16; a < kConfigAreaSize; ++a)
        ASSERT_EQ(s.ConfigImage[a], static_cast<std::uint8_t>(a * 7 + 3)) << a;
    EXPECT_EQ(s.ConfigImage[5], 0); // bytes 0..15 are not loaded back
    EXPECT_EQ(s.AuxImage[8], 42);
    EXPECT_EQ(s.UnitCodes[0], 7); // the stored 0x27 comes back as its low nibble, the unit type
    // FrmRead takes the loaded unit codes over offline and then sets the menus.
    ASSERT_TRUE(w.findChild<QWidget*>("FrmRead"));
    ASSERT_TRUE(waitClosed("FrmRead"));
    EXPECT_EQ(s.SlaveType1, 7);
    EXPECT_EQ(s.SlaveType4, 1);
    EXPECT_EQ(s.ModelCode, 42);
    for (const char* on : {"SmnuWrite", "smnuTempi", "mnuVending"})
        EXPECT_TRUE(w.entryEnabled(on)) << on;
    for (const char* off : {"smnuDosi", "smnuPreselez", "smnuInOut", "SmuPromo", "SmnuConfGraf"})
        EXPECT_FALSE(w.entryEnabled(off)) << off; // unit 1 sells snacks
    EXPECT_EQ(w.appState(), AppState::Offline);
    EXPECT_TRUE(dialogs().messages.empty());
}

// The unit-reading window outlives the main window by a moment (it is a child): its end must not reach the
// main window once that is gone.
TEST_F(MainWindowTest, ClosingTheMainWindowWhileFrmReadIsOpenReachesNoDestroyedWindow) {
    MainWindow& w = start();
    const fs::path file = folder.dir() / "units.prm";
    ASSERT_EQ(SaveProtectedConfig(file, w.state()), "");
    dialogs().openAnswer = QString::fromStdString(file.string());
    w.loadClicked();
    ASSERT_TRUE(w.findChild<QWidget*>("FrmRead"));
    int notices = 0;
    QObject listener;
    QObject::connect(&w, &MainWindow::transferWindowClosed, &listener, [&] { ++notices; });
    t->window.reset();
    EXPECT_EQ(notices, 0);
}

TEST_F(MainWindowTest, ACorruptedFileIsReportedAndChangesNothing) {
    MainWindow& w = start();
    ProgramState& s = w.state();
    s.ConfigImage[100] = 9;
    const fs::path file = folder.dir() / "bad.prm";
    ASSERT_EQ(SaveProtectedConfig(file, s), "");
    auto bytes = *ReadWholeFile(file, kMaxConfigFileSize);
    bytes[2 * (RecordPos::Image + 100)] ^= 0x40;
    ASSERT_EQ(WriteFileReplacing(file, bytes), "");

    s.ConfigImage[100] = 1;
    dialogs().openAnswer = QString::fromStdString(file.string());
    w.loadClicked();
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text, " Attention : Error File!!  ");
    EXPECT_EQ(dialogs().messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(s.ConfigImage[100], 1);
    EXPECT_FALSE(w.findChild<QWidget*>("FrmRead"));
    EXPECT_FALSE(w.entryEnabled("SmnuWrite"));
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine / bad.prm"); // the caption already names the file
}

TEST_F(MainWindowTest, NewClearsTheImageAndOpensTheCoupledUnitsEditorOnce) {
    MainWindow& w = start();
    w.state().ConfigImage[200] = 5;
    w.newClicked();
    EXPECT_EQ(w.state().ConfigImage[200], 0);
    EXPECT_EQ(w.windowTitle(), w.title() + "-OFFLine");
    QWidget* editor = w.openWindow("FrmConfSLAVE");
    ASSERT_TRUE(editor);
    w.newClicked();
    EXPECT_EQ(w.openWindow("FrmConfSLAVE"), editor);
    EXPECT_EQ(w.mdiArea()->subWindowList().size(), 1);
}

TEST_F(MainWindowTest, OneInstancePerWindowListedInTheWindowsMenu) {
    MainWindow& w = start();
    w.openForm("FrmItemNumber");
    w.openForm("FrmConfSLAVE");
    w.openForm("FrmItemNumber"); // comes to the front, no second one
    ASSERT_EQ(w.openWindows().size(), 2);
    EXPECT_EQ(w.mdiArea()->activeSubWindow()->widget(), w.openWindow("FrmItemNumber"));
    EXPECT_EQ(w.forms().size(), 2u); // both receive parameter values

    QMenu* list = w.findChild<QMenu*>("mnuWLMenu");
    ASSERT_TRUE(list);
    emit list->aboutToShow();
    ASSERT_EQ(list->actions().size(), 4); // the parameter browser, a separator, the two windows
    EXPECT_TRUE(list->actions()[2]->isChecked()); // FrmItemNumber, opened first and active
    list->actions()[3]->trigger();
    EXPECT_EQ(w.mdiArea()->activeSubWindow()->widget(), w.openWindow("FrmConfSLAVE"));

    // A language switch lets every open window set its texts again; the windows stay open.
    w.languageChosen(1);
    EXPECT_EQ(w.openWindows().size(), 2);
    EXPECT_EQ(w.mdiArea()->activeSubWindow()->widget(), w.openWindow("FrmConfSLAVE"));

    w.closeAllChildren();
    EXPECT_TRUE(w.openWindows().isEmpty());
    EXPECT_TRUE(w.forms().empty()); // closed windows release their parameters
}

TEST_F(MainWindowTest, ExitSavesBothSettingsFilesAndStartsTheLauncher) {
    MainWindow& w = start(PortChoice::ComMenu);
    w.comPortChosen(3);
    EXPECT_TRUE(w.findChild<QAction*>("mnuCox3")->isChecked());
    EXPECT_FALSE(w.findChild<QAction*>("mnuCox1")->isChecked());
    w.close();
    EXPECT_EQ(t->launcherCalls, 1);
    EXPECT_EQ(fileText(folder.dir() / "vmconfig.ini"), "Com=3\r\nLingua=English\r\n");
    EXPECT_EQ(fileText(folder.parent() / "dedorezovi.ini"), "Com=3\r\nLingua=English\r\n");
}

} // namespace
} // namespace vm::app
