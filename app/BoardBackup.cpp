#include "BoardBackup.h"

#include "ConfigFile.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace vm::app {

namespace {
// Exactly the names BackupFileName gives: rotation never touches a file the program did not write.
const QRegularExpression kBackupName(QStringLiteral(R"(^\d{8}-\d{6}-\d{3}_board\d{4}\.prm$)"));
constexpr QFile::Permissions kOwnerOnlyFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions kOwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;

// Deletes the oldest backups (by modification time: the clock may have gone back, so names do not tell)
// beyond kBackupsKept, never `newest`.
void rotate(const QDir& dir, const QString& newest) {
    QFileInfoList backups;
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files))
        if (kBackupName.match(file.fileName()).hasMatch() && file.fileName() != newest) backups.append(file);
    std::sort(backups.begin(), backups.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const QDateTime ta = a.lastModified(), tb = b.lastModified();
        return ta != tb ? ta < tb : a.fileName() < b.fileName();
    });
    for (qsizetype i = 0; i + kBackupsKept - 1 < backups.size(); ++i)
        QFile::remove(backups[i].filePath());
}
} // namespace

QString BackupFileName(int boardType, const QDateTime& when) {
    return when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
           QStringLiteral("_board%1.prm").arg(boardType, 4, 10, QChar(u'0'));
}

BackupResult SaveBoardBackup(const std::filesystem::path& folder, const ProgramState& board,
                             const QDateTime& when) {
    BackupResult result;
    QDir dir(QString::fromStdString(folder.string()));
    if (!dir.mkpath(QStringLiteral("."))) {
        result.error = "the folder " + dir.path() + " cannot be created";
        return result;
    }
    // The backups hold the service codes and passwords: the folder is the owner's alone before one is made.
    QFile::setPermissions(dir.path(), kOwnerOnlyFolder);
    const QString name = BackupFileName(board.BoardType, when);
    result.path = dir.filePath(name);
    if (const std::string why = SaveProtectedConfig(result.path.toStdString(), board); !why.empty()) {
        result.error = QString::fromStdString(why);
        return result;
    }
    QFile::setPermissions(result.path, kOwnerOnlyFile);
    rotate(dir, name);
    return result;
}

ImagesToWrite ImagesToWrite::takeFrom(const ProgramState& state) {
    return {state.ConfigImage, state.AuxImage, state.UnitCodes, state.ModelCode};
}

void ImagesToWrite::restoreInto(ProgramState& state) const {
    state.ConfigImage = config;
    state.AuxImage = aux;
    state.UnitCodes = unitCodes;
    state.ModelCode = modelCode;
}

} // namespace vm::app
