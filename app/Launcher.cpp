#include "Launcher.h"

#include <QProcess>
#include <QString>

#include <system_error>

namespace vm::app {

std::filesystem::path LauncherPath(const std::filesystem::path& programDir) {
    return programDir.parent_path() / kLauncherName;
}

bool LauncherStartable(const std::filesystem::path& launcher) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(launcher, ec)) return false;
#ifdef _WIN32
    return true;
#else
    using std::filesystem::perms;
    const perms p = std::filesystem::status(launcher, ec).permissions();
    return !ec && (p & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none;
#endif
}

bool StartLauncher(const std::filesystem::path& programDir) {
    const auto launcher = LauncherPath(programDir);
    if (!LauncherStartable(launcher)) return false;
    return QProcess::startDetached(QString::fromStdString(launcher.string()), {},
                                   QString::fromStdString(launcher.parent_path().string()));
}

} // namespace vm::app
