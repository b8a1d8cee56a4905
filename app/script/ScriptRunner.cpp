// The runner's state machine, the conditions it waits for, and the choice of steps for each verb; the steps
// themselves are in ScriptSteps.cpp.

#include "ScriptRunner.h"

#include "ScriptDialogs.h"

#include "MainWindow.h"
#include "qt/LinkController.h"

#include <QEvent>
#include <QTextStream>

namespace vm::script {

namespace {
using app::AppState;

// The progress windows of the connect, save and write.
const char* const kTransferWindows[] = {"FrmRead", "Form1", "Form3"};
constexpr int kFallbackRecheckMs = 250;
} // namespace

ScriptRunner::ScriptRunner(app::MainWindow& window, ScriptDialogs& dialogs, QString fileName,
                           std::vector<ScriptCommand> commands, QTextStream& err, QObject* parent)
    : QObject(parent), window_(window), dialogs_(dialogs), fileName_(std::move(fileName)),
      commands_(std::move(commands)), err_(err) {
    previousHandler_ = editors::setMessageHandler(
        [this](const editors::MessageRequest& request) { return dialogs_.editorMessage(request); });
    dialogs_.setOnShown([this] { scheduleRecheck(); });

    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("timed out after %1 s waiting for %2").arg(timeoutSeconds_).arg(waitingFor_));
    });
    fallback_.setInterval(kFallbackRecheckMs);
    connect(&fallback_, &QTimer::timeout, this, &ScriptRunner::scheduleRecheck);
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, [this] {
        paused_ = false;
        scheduleRecheck();
    });

    connect(&window_, &app::MainWindow::appStateChanged, this, &ScriptRunner::scheduleRecheck);
    connect(&window_, &app::MainWindow::transferWindowClosed, this, &ScriptRunner::scheduleRecheck);
    if (link::LinkController* link = window_.link()) {
        connect(link, &link::LinkController::linkStatus, this, &ScriptRunner::scheduleRecheck);
        // A lost line fails the next line that waits for the board: what it waits for can no longer come.
        connect(link, &link::LinkController::disconnected, this, [this](const QString& reason) {
            if (reason.isEmpty()) return; // a disconnect asked for
            lineLost_ = reason;
            scheduleRecheck();
        });
        connect(link, &link::LinkController::connected, this, [this] { lineLost_.clear(); });
    }
    window_.installEventFilter(this);
}

ScriptRunner::~ScriptRunner() {
    window_.removeEventFilter(this);
    dialogs_.setOnShown({});
    editors::setMessageHandler(std::move(previousHandler_));
}

void ScriptRunner::start() {
    runLine();
}

bool ScriptRunner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close || event->type() == QEvent::Hide) scheduleRecheck();
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the state machine

void ScriptRunner::runLine() {
    if (finished_) return;
    if (!window_.isVisible()) return programClosed();
    if (next_ >= commands_.size()) return finish(0);
    const ScriptCommand& command = commands_[next_];
    messagesAtLineStart_ = dialogs_.shownCount();
    waitingFor_.clear();
    const Steps steps = stepsFor(command);
    steps_.assign(steps.begin(), steps.end());
    const int extra = command.verb == Verb::Wait ? command.args[0].toInt() : 0;
    deadline_.start(timeoutSeconds_ * 1000 + extra);
    lineActive_ = true;
    advance();
}

void ScriptRunner::advance() {
    if (running_ || finished_ || !lineActive_) return;
    running_ = true;
    while (!steps_.empty() && !finished_) {
        QString problem;
        const Step step = steps_.front();
        if (step.act) {
            steps_.pop_front();
            problem = step.act();
        } else {
            const Progress progress = step.until();
            if (progress.state == Progress::Waiting) {
                waitingFor_ = progress.text;
                problem = dialogs_.takeProblem();
                if (problem.isEmpty()) {
                    fallback_.start();
                    running_ = false;
                    return;
                }
            } else if (progress.state == Progress::Failed) {
                problem = progress.text;
            } else {
                steps_.pop_front();
            }
        }
        if (problem.isEmpty()) problem = dialogs_.takeProblem();
        if (!problem.isEmpty()) {
            running_ = false;
            return fail(problem);
        }
    }
    running_ = false;
    if (finished_) return;
    lineActive_ = false; // a recheck queued during the line finds nothing more to do
    fallback_.stop();
    deadline_.stop();
    QObject::disconnect(commitConnection_);
    if (!window_.isVisible()) return programClosed(); // after quit the lines that follow are not run
    ++next_;
    QTimer::singleShot(0, this, &ScriptRunner::runLine);
}

void ScriptRunner::scheduleRecheck() {
    if (recheckQueued_ || finished_ || steps_.empty()) return;
    recheckQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        recheckQueued_ = false;
        advance();
    });
}

void ScriptRunner::fail(const QString& reason) {
    if (finished_) return;
    const int line = next_ < commands_.size() ? commands_[next_].line : 0;
    err_ << fileName_ << ":" << line << ": " << reason << Qt::endl;
    finish(1);
}

void ScriptRunner::programClosed() {
    if (closingExpected_) return finish(0);
    fail(closedReason());
}

QString ScriptRunner::closedReason() const {
    const QString last = lastMessageSinceLine();
    return "the program closed" + (last.isEmpty() ? QString() : " after \"" + last + "\"");
}

void ScriptRunner::finish(int exitCode) {
    finished_ = true;
    steps_.clear();
    deadline_.stop();
    fallback_.stop();
    pause_.stop();
    QObject::disconnect(commitConnection_);
    emit finished(exitCode);
}

// ---------------------------------------------------------------- conditions

ScriptRunner::Progress ScriptRunner::closedOr(Progress otherwise) const {
    if (window_.isVisible()) return otherwise;
    if (closingExpected_) return {Progress::Done, {}};
    return {Progress::Failed, closedReason()};
}

ScriptRunner::Progress ScriptRunner::idle() const {
    if (!lineLost_.isEmpty())
        return closedOr({Progress::Failed, "the line to the board was lost: " + lineLost_});
    const AppState state = window_.appState();
    if (state == AppState::Opening || state == AppState::Reading || state == AppState::Writing)
        return closedOr(
            {Progress::Waiting, QStringLiteral("the program (%1)").arg(app::AppStateName(state))});
    if (window_.link() && window_.link()->transferRunning())
        return closedOr({Progress::Waiting, QStringLiteral("the transfer")});
    if (window_.reportRunning()) return closedOr({Progress::Waiting, QStringLiteral("the service report")});
    for (const char* name : kTransferWindows) {
        const QWidget* w = window_.findChild<QWidget*>(name);
        if (w && w->isVisible())
            return closedOr({Progress::Waiting, QString::fromLatin1(name) + " to close"});
    }
    // A window at work on the board by itself (the clock copy waiting for the next minute) says so.
    for (QWidget* w : window_.openWindows())
        if (w->property("busy").toBool())
            return closedOr({Progress::Waiting, w->objectName() + " to finish its work on the board"});
    return closedOr(boardQuiet());
}

ScriptRunner::Progress ScriptRunner::boardQuiet() const {
    if (window_.appState() != AppState::Connected) return {Progress::Done, {}};
    const ProgramState& state = window_.state();
    int unread = 0;
    int unacknowledged = 0;
    for (int index = 1; index <= state.RecordCount[0]; ++index) {
        const ParamCell& cell = state.cell(index, 0);
        // A written cell loses Valid until the board acknowledges it; a watched one is Valid once read.
        if (cell.has(WritePending))
            ++unacknowledged;
        else if (cell.has(Pending) && !cell.has(Valid))
            ++unread;
    }
    if (unread == 0 && unacknowledged == 0) return {Progress::Done, {}};
    return {Progress::Waiting, QStringLiteral("the board (%1 values unread, %2 writes unacknowledged)")
                                   .arg(unread)
                                   .arg(unacknowledged)};
}

QString ScriptRunner::lastMessageSinceLine() const {
    return dialogs_.shownCount() > messagesAtLineStart_ ? dialogs_.lastShown() : QString();
}

// ---------------------------------------------------------------- commands

ScriptRunner::Steps ScriptRunner::stepsFor(const ScriptCommand& c) {
    const QString& a = c.args.value(0);
    const Step idleStep{{}, [this] { return idle(); }};
    const auto now = [](std::function<void()> act) -> Steps {
        return {{[act] {
                     act();
                     return QString();
                 },
                 {}}};
    };
    Steps steps;
    switch (c.verb) {
    case Verb::Connect:
        steps = connectSteps();
        break;
    case Verb::Disconnect:
        steps = disconnectSteps();
        break;
    case Verb::Menu:
        steps = menuSteps(a);
        break;
    case Verb::Open:
        steps = openSteps(a);
        break;
    case Verb::Close:
        steps = closeSteps(a);
        break;
    case Verb::Set:
        steps = controlSteps(a, c.args[1], &c.args[2]);
        break;
    case Verb::Click:
        steps = controlSteps(a, c.args[1], nullptr);
        break;
    case Verb::Context:
        steps = contextSteps(a, c.args[1], c.args[2]);
        break;
    case Verb::Enter:
        steps = now([this, a] { dialogs_.queueText(a); });
        break;
    case Verb::Expect:
        steps = expectSteps(a, c.args[1], c.args[2]);
        break;
    case Verb::Settle:
        break;
    case Verb::Wait:
        steps = waitSteps(a.toInt());
        break;
    case Verb::Screenshot:
        steps = screenshotSteps(a, c.args[1]);
        break;
    case Verb::Language:
        steps = languageSteps(a);
        break;
    case Verb::Quit:
        steps = quitSteps();
        break;
    case Verb::Timeout:
        steps = now([this, a] { timeoutSeconds_ = a.toInt(); });
        break;
    case Verb::File:
        steps = now([this, a] { dialogs_.queueFile(a); });
        break;
    case Verb::Answer:
        steps = now([this, a] { dialogs_.queueAnswer(*AnswerFromWord(a)); });
        break;
    case Verb::ExpectMessage:
        steps = {{[this, a] {
                      const QStringList shown = dialogs_.takeShown();
                      for (const QString& message : shown)
                          if (message.contains(a)) return QString();
                      return "no message containing \"" + a + "\" was shown" +
                             (shown.isEmpty() ? QStringLiteral(" (none was)")
                                              : "; shown: " + shown.join(" | "));
                  },
                  {}}};
        break;
    }
    const CommandSpec* command = FindScriptCommand(c.name);
    if (command && command->waitsForBoard) steps.push_back(idleStep);
    return steps;
}

} // namespace vm::script
