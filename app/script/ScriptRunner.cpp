#include "ScriptRunner.h"

#include "ScriptDialogs.h"

#include "EditorBase.h"
#include "EditorRegistry.h"
#include "MainWindow.h"
#include "qt/LinkController.h"
#include "widgets/CommitLineEdit.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPixmap>
#include <QTextStream>

#include <memory>

namespace vm::script {

namespace {
using app::AppState;

// The progress windows of the connect, save and write.
const char* const kTransferWindows[] = {"FrmRead", "Form1", "Form3"};
constexpr int kFallbackRecheckMs = 250;

// A menu entry a user can click: enabled and shown, and so is every menu on the way to it.
bool reachable(const QAction* action) {
    if (!action->isEnabled() || !action->isVisible()) return false;
    for (QObject* holder : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder))
            if (!reachable(menu->menuAction())) return false;
    return true;
}

QString withoutMnemonic(QString text) {
    return text.remove(u'&');
}
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

// ---------------------------------------------------------------- lookups

QAction* ScriptRunner::entry(const QString& name) const {
    return window_.findChild<QAction*>(name);
}

QString ScriptRunner::triggerEntry(QAction* action, const QString& what) {
    if (!action) return "there is no " + what;
    if (action->menu()) return what + " opens a menu; name one of its entries";
    if (!reachable(action)) return what + " is disabled";
    action->trigger();
    return {};
}

QWidget* ScriptRunner::openForm(const QString& form) const {
    for (QWidget* w : window_.openWindows())
        if (w->objectName().compare(form, Qt::CaseInsensitive) == 0) return w;
    return nullptr;
}

QString ScriptRunner::locate(const QString& form, const QString& control, Control& out) const {
    const QWidget* e = openForm(form);
    if (!e) return form + " is not open";
    const auto name = ParseControlName(control);
    if (!name) return "\"" + control + "\" is not a control name (Name, Name(Index) or Name(Row,Column))";
    return FindControl(*e, *name, out);
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
    const CommandSpec* spec = FindScriptCommand(c.name);
    if (spec && spec->waitsForBoard) steps.push_back(idleStep);
    return steps;
}

ScriptRunner::Steps ScriptRunner::connectSteps() {
    const auto act = [this]() -> QString {
        QAction* action = window_.action("SmuConnect");
        if (window_.appState() != AppState::Offline || (action && action->text() != "Connect"))
            return "already connected";
        return triggerEntry(action, "the Connect entry");
    };
    const auto until = [this]() -> Progress {
        const QString last = lastMessageSinceLine();
        switch (window_.appState()) {
        case AppState::Connected:
            return {Progress::Done, {}};
        case AppState::Offline:
            return closedOr({Progress::Failed, last.isEmpty() ? QStringLiteral("the connect failed")
                                                              : "the connect ended with \"" + last + "\""});
        default:
            return closedOr(
                {Progress::Waiting,
                 "the connection" + (last.isEmpty() ? QString() : " (last message \"" + last + "\")")});
        }
    };
    return {{act, {}}, {{}, until}};
}

ScriptRunner::Steps ScriptRunner::disconnectSteps() {
    const auto act = [this]() -> QString {
        QAction* action = window_.action("SmuConnect");
        if (window_.appState() == AppState::Offline || (action && action->text() != "DisConnect"))
            return "not connected";
        return triggerEntry(action, "the DisConnect entry");
    };
    const auto until = [this]() -> Progress {
        if (window_.appState() == AppState::Offline) return closedOr({Progress::Done, {}});
        return closedOr({Progress::Waiting, QStringLiteral("the disconnect")});
    };
    return {{act, {}}, {{}, until}};
}

ScriptRunner::Steps ScriptRunner::menuSteps(const QString& name) {
    return {{[this, name] {
                 if (name == "smnuExit") closingExpected_ = true;
                 return triggerEntry(entry(name), "the menu entry " + name);
             },
             {}}};
}

ScriptRunner::Steps ScriptRunner::openSteps(const QString& form) {
    return {{[this, form]() -> QString {
                 QString known;
                 for (const auto& e : editors::editorEntries())
                     if (e.formName.compare(form, Qt::CaseInsensitive) == 0) known = e.formName;
                 for (QAction* action : window_.findChildren<QAction*>()) // windows that are no editors
                     if (known.isEmpty() &&
                         action->property("form").toString().compare(form, Qt::CaseInsensitive) == 0)
                         known = action->property("form").toString();
                 if (known.isEmpty()) return "there is no window " + form;
                 // Through its menu entry where it has one, so the entry's rules apply.
                 QAction* menuEntry = nullptr;
                 for (QAction* action : window_.findChildren<QAction*>())
                     if (action->property("form").toString().compare(known, Qt::CaseInsensitive) == 0)
                         menuEntry = action;
                 if (menuEntry) {
                     if (const QString error = triggerEntry(
                             menuEntry, "the menu entry " + menuEntry->objectName() + " of " + known);
                         !error.isEmpty())
                         return error;
                 } else {
                     window_.openForm(known);
                 }
                 return openForm(known) ? QString() : known + " did not open";
             },
             {}}};
}

ScriptRunner::Steps ScriptRunner::closeSteps(const QString& form) {
    return {{[this, form]() -> QString {
                 QWidget* w = openForm(form);
                 if (!w) return form + " is not open";
                 if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                     sub->close();
                 else
                     w->close();
                 return {};
             },
             {}}};
}

ScriptRunner::Steps ScriptRunner::controlSteps(const QString& form, const QString& control,
                                               const QString* value) {
    const std::optional<QString> setTo = value ? std::optional<QString>(*value) : std::nullopt;
    // First the page that holds the control comes to the front, and its values arrive; then the control
    // is used.
    const auto reveal = [this, form, control]() -> QString {
        Control c;
        if (QString error = locate(form, control, c); !error.isEmpty()) return error;
        bool switched = false;
        return ShowPagesOf(c, openForm(form), switched);
    };
    const auto use = [this, form, control, setTo]() -> QString {
        Control c;
        if (QString error = locate(form, control, c); !error.isEmpty()) return error;
        if (QString error = CheckUsable(c, openForm(form)); !error.isEmpty()) return error;
        committed_ = true; // a click commits nothing; only a typed box waits for its commit
        if (!setTo) return ClickControl(c);
        if (auto* box = qobject_cast<editors::CommitLineEdit*>(c.widget.data());
            box && !c.list && !c.action) {
            committed_ = false;
            commitBox_ = box;
            commitConnection_ = connect(box, &editors::CommitLineEdit::commitRequested, this, [this] {
                committed_ = true;
                scheduleRecheck();
            });
        }
        return SetControl(c, *setTo);
    };
    const auto commit = [this, control]() -> Progress {
        if (committed_) return {Progress::Done, {}};
        if (!commitBox_) return {Progress::Failed, control + " went away before its value was committed"};
        return closedOr({Progress::Waiting, "the commit of " + control});
    };
    return {{reveal, {}}, {{}, [this] { return idle(); }}, {use, {}}, {{}, commit}};
}

// An entry of a control's context menu (CONTROL "-": the window's own), chosen as a user would.
ScriptRunner::Steps ScriptRunner::contextSteps(const QString& form, const QString& control,
                                               const QString& entry) {
    const bool ofWindow = control == "-";
    const auto reveal = [this, form, control, ofWindow]() -> QString {
        if (ofWindow) return openForm(form) ? QString() : form + " is not open";
        Control c;
        if (QString error = locate(form, control, c); !error.isEmpty()) return error;
        bool switched = false;
        return ShowPagesOf(c, openForm(form), switched);
    };
    const auto use = [this, form, control, entry, ofWindow]() -> QString {
        QWidget* window = openForm(form);
        if (!window) return form + " is not open";
        QList<QAction*> offered;
        QString where = form;
        if (!ofWindow) {
            Control c;
            if (QString error = locate(form, control, c); !error.isEmpty()) return error;
            if (c.list || c.action) return c.label + " has no context menu of its own";
            if (QString error = CheckUsable(c, window); !error.isEmpty()) return error;
            if (c.widget->contextMenuPolicy() == Qt::CustomContextMenu) offered += c.widget->actions();
            where = c.label;
        }
        if (window->contextMenuPolicy() == Qt::ActionsContextMenu) offered += window->actions();
        QStringList names;
        for (QAction* action : offered) {
            const QString caption = withoutMnemonic(action->text());
            if (caption.compare(entry, Qt::CaseInsensitive) != 0) {
                names << caption;
                continue;
            }
            if (!action->isEnabled())
                return "\"" + caption + "\" is disabled in the context menu of " + where;
            action->trigger();
            return {};
        }
        return "the context menu of " + where + " has no entry \"" + entry + "\"" +
               (names.isEmpty() ? QStringLiteral(" (it has none)") : " (it has: " + names.join(", ") + ")");
    };
    return {{reveal, {}}, {{}, [this] { return idle(); }}, {use, {}}};
}

// As a technician looks: the page that holds the control comes to the front first, and when another page
// came forward its values arrive before the control is read (live views read the page in front only). A
// control on a page that cannot be opened is read as it stands.
ScriptRunner::Steps ScriptRunner::expectSteps(const QString& form, const QString& control,
                                              const QString& text) {
    auto switched = std::make_shared<bool>(false);
    const auto reveal = [this, form, control, switched]() -> QString {
        Control c;
        if (QString error = locate(form, control, c); !error.isEmpty()) return error;
        (void)ShowPagesOf(c, openForm(form), *switched);
        return {};
    };
    const auto arrived = [this, switched]() -> Progress {
        return *switched ? idle() : closedOr({Progress::Done, {}});
    };
    const auto compare = [this, form, control, text]() -> QString {
        Control c;
        if (QString error = locate(form, control, c); !error.isEmpty()) return error;
        const auto shown = ShownValue(c);
        if (!shown) return c.label + " shows neither a text nor a value";
        if (*shown == text) return {};
        return c.label + " is \"" + *shown + "\", not \"" + text + "\"";
    };
    return {{reveal, {}}, {{}, arrived}, {compare, {}}};
}

ScriptRunner::Steps ScriptRunner::waitSteps(int ms) {
    const auto act = [this, ms] {
        paused_ = true;
        pause_.start(ms);
        return QString();
    };
    const auto until = [this, ms]() -> Progress {
        if (paused_) return closedOr({Progress::Waiting, QStringLiteral("%1 ms to pass").arg(ms)});
        return closedOr({Progress::Done, {}});
    };
    return {{act, {}}, {{}, until}};
}

ScriptRunner::Steps ScriptRunner::screenshotSteps(const QString& form, const QString& path) {
    return {{[this, form, path]() -> QString {
                 QWidget* target = &window_;
                 if (form.compare("main", Qt::CaseInsensitive) != 0) {
                     QWidget* w = openForm(form);
                     if (!w) return form + " is not open";
                     target = qobject_cast<QMdiSubWindow*>(w->parentWidget()) ? w->parentWidget() : w;
                 }
                 const QFileInfo file(path);
                 QDir().mkpath(file.absolutePath());
                 if (!target->grab().save(file.absoluteFilePath())) return "could not write " + path;
                 return {};
             },
             {}}};
}

ScriptRunner::Steps ScriptRunner::languageSteps(const QString& name) {
    return {{[this, name]() -> QString {
                 QStringList offered;
                 for (QAction* action : window_.findChildren<QAction*>()) {
                     if (!action->objectName().startsWith("smnuLingue") || !action->isVisible()) continue;
                     const QString caption = withoutMnemonic(action->text());
                     if (caption.compare(name, Qt::CaseInsensitive) == 0)
                         return triggerEntry(action, "the language " + caption);
                     offered.append(caption);
                 }
                 return "there is no language " + name + " (offered: " + offered.join(", ") + ")";
             },
             {}}};
}

ScriptRunner::Steps ScriptRunner::quitSteps() {
    const auto act = [this] {
        closingExpected_ = true;
        return triggerEntry(window_.action("smnuExit"), "the Exit entry");
    };
    const auto until = [this]() -> Progress {
        if (window_.isVisible()) return {Progress::Waiting, QStringLiteral("the program to close")};
        return {Progress::Done, {}};
    };
    return {{act, {}}, {{}, until}};
}

} // namespace vm::script
