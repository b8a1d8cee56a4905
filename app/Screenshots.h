#pragma once
// Pictures of the main window and of every editor window, offline and connected to the simulated board,
// for looking at the program without a display.

#include "UserDialogs.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vm::app {

class MainWindow;

// Dialogs that never block: messages are collected (and printed), questions answered with Cancel, file
// dialogs cancelled.
class NonBlockingDialogs final : public UserDialogs {
public:
    void message(const QString& text, MessageIcon icon, const QString& title) override;
    bool askRetry(const QString& text, const QString& title) override;
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    QStringList messages;
};

// Runs the event loop until `done` holds or `timeoutMs` passed; true when it holds.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// Writes the pictures into `dir` (created when missing). Returns the number of pictures that could not be
// taken; the reasons are appended to `problems`.
int TakeScreenshots(MainWindow& window, const QString& dir, QStringList& problems);

} // namespace vm::app
