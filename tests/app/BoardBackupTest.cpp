// The backups folder keeps the newest backups and nothing but backups is ever deleted from it.

#include "BoardBackup.h"

#include "ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

TEST(BoardBackup, KeepsTheNewestTwentyAndLeavesOtherFilesAlone) {
    QTemporaryDir temp;
    const QDir folder(temp.filePath("backups"));
    ProgramState board;
    board.BoardType = 482;
    board.ConfigImage[100] = 0x5A;
    QDir().mkpath(folder.path());
    QFile other(folder.filePath("mine.prm"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    const QDateTime first(QDate(2023, 12, 31), QTime(23, 59, 58));
    QString newest;
    for (int i = 0; i < 22; ++i) {
        const BackupResult r = SaveBoardBackup(folder.path().toStdString(), board, first.addSecs(i));
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        newest = r.path;
    }
    const QStringList kept = folder.entryList({"*_board0482.prm"}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 20);
    EXPECT_EQ(kept.first(), "20240101-000000-000_board0482.prm"); // the two of 2023 went
    EXPECT_EQ(folder.filePath(kept.last()), newest);
    EXPECT_TRUE(other.exists());

    ProgramState loaded;
    ASSERT_TRUE(LoadConfigFile(newest.toStdString(), loaded).ok());
    EXPECT_EQ(loaded.ConfigImage[100], 0x5A);
}

} // namespace
} // namespace vm::app
