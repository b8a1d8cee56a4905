// The backups folder keeps the newest backups, nothing but backups is ever deleted from it, and only the
// user can read it.

#include "BoardBackup.h"

#include "ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

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

// The clock went back: twenty older backups carry later names. The new one stays, the backup written
// longest ago goes, and files the program did not write stay, even when their names look alike.
TEST(BoardBackup, RotationGoesByAgeSparesTheNewBackupAndTouchesOnlyBackups) {
    namespace fs = std::filesystem;
    QTemporaryDir temp;
    const QDir folder(temp.filePath("backups"));
    ASSERT_TRUE(QDir().mkpath(folder.path())); // left by an earlier version, readable by all
    fs::permissions(folder.path().toStdString(), fs::perms::owner_all | fs::perms::group_read |
                                                     fs::perms::group_exec | fs::perms::others_read |
                                                     fs::perms::others_exec);
    const auto touch = [&](const QString& name, const QDateTime& modified) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    // "20990101-..." was written last, "20990120-..." first.
    const QDateTime start(QDate(2023, 6, 1), QTime(8, 0));
    for (int day = 1; day <= 20; ++day)
        touch(QStringLiteral("209901%1-000000-000_board0482.prm").arg(day, 2, 10, QChar(u'0')),
              start.addSecs(3600 * (20 - day)));
    const QStringList userFiles = {"2024_board_notes.prm", "site_board2.prm",
                                   "20240101-000000-000_board0482.prm.txt"};
    for (const QString& name : userFiles)
        touch(name, start.addYears(-1));

    ProgramState board;
    board.BoardType = 482;
    const BackupResult r =
        SaveBoardBackup(folder.path().toStdString(), board, QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.path, folder.filePath("20240501-120000-000_board0482.prm"));
    EXPECT_TRUE(QFile::exists(r.path));
    EXPECT_FALSE(QFile::exists(folder.filePath("20990120-000000-000_board0482.prm")));
    EXPECT_EQ(folder.entryList({"20990*"}, QDir::Files).size(), 19);
    for (const QString& name : userFiles)
        EXPECT_TRUE(QFile::exists(folder.filePath(name))) << name.toStdString();

    EXPECT_EQ(fs::status(r.path.toStdString()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(folder.path().toStdString()).permissions(), fs::perms::owner_all);
}

} // namespace
} // namespace vm::app
