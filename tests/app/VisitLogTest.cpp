// The main window's record of a visit offline: Edit > Undo names and takes back the last edit, New and Load
// start a new log (the earlier ones stay), a file that is refused starts none, and the log is a file of the
// program's data folder.

#include "AppTestSupport.h"
#include "ConfigFile.h"
#include "EditHistory.h"

#include <QAction>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

namespace fs = std::filesystem;

constexpr int kPrice1Address = 7568; // "price 1" (8471), two bytes

class VisitLogTest : public test::AppTest {};

TEST_F(VisitLogTest, UndoTakesBackTheLastEditAndNewAndLoadStartTheNextLog) {
    MainWindow& w = start();
    ProgramState& s = w.state();
    ASSERT_EQ(s.ParamAddress(8471), kPrice1Address);
    w.openForm("FrmPrezzi");
    auto* price1 = w.openWindow("FrmPrezzi")->findChild<QScrollBar*>("HScroll1_0");
    ASSERT_NE(price1, nullptr);
    EXPECT_FALSE(w.action("mnuUndo")->isEnabled());

    price1->setValue(-32618); // 150 stored: offset by 32768
    EXPECT_EQ(s.ConfigImage[kPrice1Address], 150);
    ASSERT_EQ(w.changes().changes().size(), 1u);
    EXPECT_TRUE(w.action("mnuUndo")->isEnabled());
    EXPECT_EQ(w.action("mnuUndo")->text(), "&Undo price 1 (FrmPrezzi)");
    EXPECT_EQ(w.action("mnuUndo")->shortcut(), QKeySequence(QKeySequence::Undo));

    w.action("mnuUndo")->trigger();
    EXPECT_EQ(s.ConfigImage[kPrice1Address], 0);
    EXPECT_EQ(price1->value(), -32768); // the open window shows it
    EXPECT_TRUE(w.action("mnuRedo")->isEnabled());
    ASSERT_EQ(w.changes().changes().size(), 2u);
    EXPECT_EQ(w.changes().changes()[1].kind, ChangeKind::Undo);

    // The log is written to the data folder's changes/ as it grows.
    const fs::path first = w.changes().file();
    EXPECT_EQ(first.parent_path(), w.dataFolder() / "changes");
    EXPECT_TRUE(fs::exists(first));

    // New: the next log; the undo list no longer reaches into the old configuration.
    w.newClicked();
    EXPECT_EQ(w.changes().currentLog(), 2);
    EXPECT_EQ(w.changes().logReason(2), "New File");
    EXPECT_FALSE(w.action("mnuRedo")->isEnabled());
    EXPECT_EQ(w.history().stack().count(), 0);

    // A refused file starts no log; a good one does, named after it.
    const fs::path file = folder.dir() / "site.prm";
    s.ConfigImage[kPrice1Address] = 7;
    ASSERT_EQ(SaveProtectedConfig(file, s), "");
    const fs::path bad = folder.dir() / "bad.prm";
    ASSERT_EQ(SaveProtectedConfig(bad, s), "");
    fs::resize_file(bad, 100);
    dialogs().openAnswer = QString::fromStdString(bad.string());
    w.loadClicked();
    EXPECT_EQ(w.changes().currentLog(), 2);
    dialogs().openAnswer = QString::fromStdString(file.string());
    w.loadClicked();
    EXPECT_EQ(w.changes().currentLog(), 3);
    EXPECT_EQ(w.changes().logReason(3), "Load File site.prm");
    EXPECT_EQ(w.changes().changes().size(), 2u); // the first log's changes stay for the service report
}

} // namespace
} // namespace vm::app
