#pragma once
// Runs the lines of a script against the main window, one after the other. The runner is a state machine
// on the event loop: a line is a list of steps, each an action or a wait for a condition; a wait is looked
// at again whenever the program reports progress (state changes, transfer windows closing, link traffic,
// message boxes) and fails when the line's time limit passes.

#include "ControlDriver.h"
#include "MessageBox.h"
#include "ScriptParser.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

class QAction;
class QTextStream;

namespace vm::app {
class MainWindow;
}
namespace vm::editors {
class EditorBase;
}

namespace vm::script {

class ScriptDialogs;

inline constexpr int kDefaultTimeoutSeconds = 60;

class ScriptRunner : public QObject {
    Q_OBJECT
public:
    // `err` receives "FILE:LINE: reason" for the failing line.
    ScriptRunner(app::MainWindow& window, ScriptDialogs& dialogs, QString fileName,
                 std::vector<ScriptCommand> commands, QTextStream& err, QObject* parent = nullptr);
    ~ScriptRunner() override;

    // Runs the script from the event loop; finished() tells the exit status (0 or 1).
    void start();

signals:
    void finished(int exitCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How a wait stands: still waiting (text: for what), done, or failed (text: why).
    struct Progress {
        enum State { Waiting, Done, Failed } state = Done;
        QString text;
    };
    struct Step {
        std::function<QString()> act;    // returns why it failed, or nothing
        std::function<Progress()> until; // the condition to wait for
    };
    using Steps = std::vector<Step>;

    void runLine();
    void advance();
    void scheduleRecheck();
    void fail(const QString& reason);
    void finish(int exitCode);
    // The main window closed: the end of the script after quit, a failure otherwise.
    void programClosed();

    Steps stepsFor(const ScriptCommand& command);
    Steps connectSteps();
    Steps disconnectSteps();
    Steps menuSteps(const QString& entry);
    Steps openSteps(const QString& form);
    Steps closeSteps(const QString& form);
    Steps controlSteps(const QString& form, const QString& control, const QString* value);
    Steps contextSteps(const QString& form, const QString& control, const QString& entry);
    Steps expectSteps(const QString& form, const QString& control, const QString& text);
    Steps waitSteps(int ms);
    Steps screenshotSteps(const QString& form, const QString& path);
    Steps languageSteps(const QString& name);
    Steps quitSteps();

    // The program has finished what it was doing: no connect, read or transfer running, and while
    // connected every watched value read and every write acknowledged by the board. Fails once the line
    // to the board was lost.
    Progress idle() const;
    Progress boardQuiet() const;
    Progress closedOr(Progress otherwise) const;
    QString lastMessageSinceLine() const;
    QString closedReason() const;

    QAction* entry(const QString& name) const;
    QString triggerEntry(QAction* action, const QString& what);
    QWidget* openForm(const QString& form) const;
    QString locate(const QString& form, const QString& control, Control& out) const;

    app::MainWindow& window_;
    ScriptDialogs& dialogs_;
    QString fileName_;
    std::vector<ScriptCommand> commands_;
    QTextStream& err_;
    editors::MessageHandler previousHandler_;

    std::size_t next_ = 0;
    std::deque<Step> steps_;
    QTimer deadline_;
    QTimer fallback_; // a wait is looked at this often even when nothing is reported
    QTimer pause_;    // the `wait` command
    int timeoutSeconds_ = kDefaultTimeoutSeconds;
    bool running_ = false;
    bool lineActive_ = false;
    bool recheckQueued_ = false;
    bool finished_ = false;
    bool closingExpected_ = false;
    bool paused_ = false;
    qsizetype messagesAtLineStart_ = 0;
    QString waitingFor_;
    QString lineLost_; // why the line to the board went, until the next connect

    // The commit of a text box set by the current line.
    QPointer<QWidget> commitBox_;
    bool committed_ = false;
    QMetaObject::Connection commitConnection_;
};

} // namespace vm::script
