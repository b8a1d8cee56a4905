#pragma once
// The copy of a board's configuration taken before Write Board replaces it: a protected configuration file
// in the "backups" folder beside the settings, named by the time and the board type, of which the newest
// kBackupsKept are kept. It holds the service codes and passwords in clear, so only its owner may read it.

#include "ProgramState.h"

#include <QDateTime>
#include <QString>

#include <filesystem>

namespace vm::app {

inline constexpr int kBackupsKept = 20;
inline constexpr const char* kBackupFolderName = "backups";

// "20240501-123005-123_board0482.prm": the time first, so that the names sort from the oldest.
QString BackupFileName(int boardType, const QDateTime& when);

struct BackupResult {
    QString path;  // the file written
    QString error; // empty on success
    bool ok() const { return error.isEmpty(); }
};

// Writes the state's configuration as a backup into `folder` (created when missing), both readable by the
// owner only, then deletes the oldest backups (by modification time) beyond kBackupsKept, never the new one.
// Files not named as BackupFileName names them are never touched.
BackupResult SaveBoardBackup(const std::filesystem::path& folder, const ProgramState& board,
                             const QDateTime& when);

// The images a Write Board is about to send, kept aside while the board's own configuration is read into
// the state for the backup.
struct ImagesToWrite {
    std::vector<std::uint8_t> config;
    std::vector<std::uint8_t> aux;
    std::array<std::uint8_t, 4> unitCodes{};
    std::uint8_t modelCode = 0;

    static ImagesToWrite takeFrom(const ProgramState& state);
    void restoreInto(ProgramState& state) const;
};

} // namespace vm::app
