#pragma once
// What an editor window needs from the rest of the program. The main window fills one and hands it to every
// editor it opens; tests fill their own.

#include "ChangeLog.h"
#include "FormList.h"
#include "Messages.h"
#include "ProgramState.h"

#include <QSize>
#include <QString>

namespace vm::link {
class LinkMonitor; // only handed through: the windows that read it live in the layers above
}

namespace vm::editors {

class EditorBase;

// A file dialog an editor asks for.
struct FileChoice {
    bool save = false;
    QString title;
    QString filter; // e.g. "Tarature(*.csv)"
    QString suggested;
};

// The few things an editor asks of the main window.
class MainWindowHooks {
public:
    virtual ~MainWindowHooks() = default;
    virtual void disableMenus() = 0;                                     // DisableMenù
    virtual void enableMenus() = 0;                                      // EnableMenù
    virtual void setMenuEnabled(const QString& entry, bool enabled) = 0; // by entry name, e.g. "SmuNew"
    virtual QSize mainWindowSize() const = 0;                            // for CenterForm1
    // Opens (or brings to the front) another editor window; nullptr when there is none of that name.
    virtual EditorBase* openForm(const QString& /*formName*/) { return nullptr; }
    // The chosen path through the main window's file dialogs; empty when cancelled.
    virtual QString chooseFile(const FileChoice&) { return {}; }
    // The counts and the trace of the board link; nullptr when the program has no link.
    virtual link::LinkMonitor* linkMonitor() { return nullptr; }
    // The folder of the program's settings files; empty when settings are kept for the run only.
    virtual QString settingsFolder() const { return {}; }
};

struct EditorContext {
    ProgramState& state;
    const Messages& messages;
    FormList& forms;
    MainWindowHooks* hooks = nullptr; // may be null in tests
    ChangeLog* changes = nullptr;     // the program's change log; null: nothing is recorded
};

} // namespace vm::editors
