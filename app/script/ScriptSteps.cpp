// The steps of the script commands: what each verb does to the main window and its windows, and what it
// waits for before the next line runs. The runner picks them in stepsFor and runs them.

#include "ScriptRunner.h"

#include "EditorRegistry.h"
#include "MainWindow.h"
#include "widgets/CommitLineEdit.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPixmap>

#include <memory>

namespace vm::script {

namespace {
using app::AppState;

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
