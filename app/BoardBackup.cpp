#include "BoardBackup.h"

#include "ConfigFile.h"

#include <QDir>

namespace vm::app {

namespace {
const QString kBackupPattern = QStringLiteral("*_board*.prm");
}

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
    result.path = dir.filePath(BackupFileName(board.BoardType, when));
    if (const std::string why = SaveProtectedConfig(result.path.toStdString(), board); !why.empty()) {
        result.error = QString::fromStdString(why);
        return result;
    }
    // The names start with the time: the first ones in name order are the oldest.
    const QStringList backups = dir.entryList({kBackupPattern}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kBackupsKept < backups.size(); ++i)
        dir.remove(backups[i]);
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
