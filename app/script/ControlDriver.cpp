#include "ControlDriver.h"

#include "EditorBase.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

namespace vm::script {

namespace {
bool isPartHolder(const QWidget* w) {
    return qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QToolBar*>(w);
}

std::optional<int> number(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QModelIndex cellIndex(const Control& c) {
    const QAbstractItemModel* model = c.list->model();
    return model ? model->index(c.row, std::max(0, c.column), c.list->rootIndex()) : QModelIndex();
}

// The tab page of `tabs` that holds `w`, or -1.
int pageOf(QWidget* w, QTabWidget*& tabs) {
    auto* stack = w->parentWidget() ? qobject_cast<QStackedWidget*>(w->parentWidget()) : nullptr;
    tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs ? tabs->indexOf(w) : -1;
}

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Qt's key codes of the ASCII characters are their codes, letters in upper case.
QMdiSubWindow* mdiSubWindowOf(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) return sub;
    return nullptr;
}

int keyOf(QChar c) {
    const char16_t code = c.toUpper().unicode();
    return code < 0x80 ? int(code) : int(Qt::Key_unknown);
}

QString typeInto(const Control& c, QLineEdit* edit, const QString& value) {
    if (edit->isReadOnly()) return c.label + " is read-only";
    // A click elsewhere and one into the box: the box takes the focus as it does for a user.
    if (edit->hasFocus()) edit->clearFocus();
    // A user clicking into the box brings its window to the front first (after a message box, say).
    if (!edit->window()->isActiveWindow()) {
        edit->window()->activateWindow();
        QApplication::processEvents();
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(edit->window() == edit ? nullptr : mdiSubWindowOf(edit)))
        sub->mdiArea()->setActiveSubWindow(sub);
    edit->setFocus(Qt::MouseFocusReason);
    if (!edit->hasFocus()) return c.label + " did not take the focus (its window is not active)";
    sendKey(edit, Qt::Key_A, Qt::ControlModifier, {}); // select what is there, so the typing replaces it
    for (const QChar ch : value)
        sendKey(edit, keyOf(ch), Qt::NoModifier, QString(ch));
    sendKey(edit, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    return {};
}

void clickAt(QWidget* w) {
    const QPointF centre = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

QString className(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className());
}
} // namespace

std::optional<ControlName> ParseControlName(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(R"(^([A-Za-z_]\w*)(?:\(([^()]*)\))?$)"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    ControlName name{m.captured(1), {}, text.trimmed()};
    if (m.hasCaptured(2))
        for (const QString& arg : m.captured(2).split(u','))
            name.args.append(arg.trimmed());
    return name;
}

QString FindControl(const QWidget& window, const ControlName& name, Control& out) {
    const auto* editor = qobject_cast<const editors::EditorBase*>(&window);
    const auto controlOf = [&](const QString& array, int index) -> QWidget* {
        if (editor) return editor->control(array, index);
        return window.findChild<QWidget*>(editors::controlKey(array, index));
    };
    out = Control{};
    out.label = name.text + " of " + window.objectName();
    const QString missing = "there is no control " + out.label;
    if (name.args.size() > 2) return missing;
    const auto first = name.args.isEmpty() ? std::optional<int>(0) : number(name.args[0]);

    // Name or Name(Index): an ordinary control.
    if (name.args.size() <= 1 && first) {
        QWidget* w = controlOf(name.name, *first);
        if (w && !isPartHolder(w)) {
            out.widget = w;
            return {};
        }
    }
    // A row or a cell of a list, or an action of a tool bar: the holder is the array's first element.
    QWidget* holder = controlOf(name.name, 0);
    if (!holder || name.args.isEmpty()) return missing;
    out.widget = holder;
    if (auto* bar = qobject_cast<QToolBar*>(holder)) {
        if (name.args.size() != 1) return missing;
        for (QAction* action : bar->actions())
            if (action->objectName() == name.args[0]) {
                out.action = action;
                return {};
            }
        return "the tool bar " + name.name + " of " + window.objectName() + " has no button " + name.args[0];
    }
    auto* list = qobject_cast<QAbstractItemView*>(holder);
    const auto column = name.args.size() == 2 ? number(name.args[1]) : std::optional<int>(-1);
    if (!list || !first || !column) return missing;
    out.list = list;
    out.row = *first;
    out.column = *column;
    if (!cellIndex(out).isValid()) return "the list " + name.name + " has no " + name.text;
    return {};
}

QString ShowPagesOf(const Control& control, QWidget* window, bool& switched) {
    switched = false;
    for (QWidget* w = control.widget; w && w != window; w = w->parentWidget()) {
        QTabWidget* tabs = nullptr;
        const int page = pageOf(w, tabs);
        if (page < 0 || tabs->currentIndex() == page) continue;
        if (!tabs->isTabEnabled(page))
            return control.label + " is on the page \"" + tabs->tabText(page) + "\", which is not enabled";
        tabs->setCurrentIndex(page);
        switched = true;
    }
    return {};
}

QString CheckUsable(const Control& c, QWidget* window) {
    if (!c.widget) return c.label + " no longer exists";
    if (!c.widget->isVisibleTo(window)) return c.label + " is not shown";
    if (!c.widget->isEnabled()) {
        for (QWidget* w = c.widget; w && w != window; w = w->parentWidget()) {
            QTabWidget* tabs = nullptr;
            const int page = pageOf(w, tabs);
            if (page >= 0 && !tabs->isTabEnabled(page))
                return "the page \"" + tabs->tabText(page) + "\" of " + c.label + " is not enabled";
        }
        return c.label + " is disabled";
    }
    if (c.action && (!c.action->isEnabled() || !c.action->isVisible())) return c.label + " is disabled";
    if (c.list && !(cellIndex(c).flags() & Qt::ItemIsEnabled)) return c.label + " is disabled";
    return {};
}

QString SetControl(const Control& c, const QString& value) {
    const auto n = number(value);
    const QString notNumber = "\"" + value + "\" is not a number for " + c.label;
    if (c.list) {
        if (c.column >= 0) {
            const QModelIndex cell = cellIndex(c);
            if (!(cell.flags() & Qt::ItemIsEditable)) return c.label + " cannot be edited";
            // A refused value is the window's to report (a message box); the line goes on.
            c.list->model()->setData(cell, value, Qt::EditRole);
            return {};
        }
        if (!n || (*n != 0 && *n != 1)) return "a row of a list is set to 0 or 1, not \"" + value + "\"";
        const QModelIndex index = cellIndex(c);
        if (!(index.flags() & Qt::ItemIsUserCheckable)) return c.label + " has no check box";
        c.list->model()->setData(index, *n ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        return {};
    }
    if (c.action) return c.label + " is a tool-bar button: click it";
    QWidget* w = c.widget;
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        if (!n) return notNumber;
        if (*n < slider->minimum() || *n > slider->maximum())
            return QStringLiteral("%1 is outside the range %2..%3 of %4")
                .arg(value)
                .arg(slider->minimum())
                .arg(slider->maximum())
                .arg(c.label);
        // setValue reports the change (valueChanged) whether the bar tracks its thumb or not.
        slider->setValue(*n);
        return {};
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (!n) return notNumber;
        if (*n < 0 || *n >= combo->count())
            return QStringLiteral("%1 has no entry %2 (it has %3)")
                .arg(c.label)
                .arg(value)
                .arg(combo->count());
        combo->setCurrentIndex(*n);
        return {};
    }
    if (auto* option = qobject_cast<QRadioButton*>(w)) {
        if (n != 1) return "an option button is set with 1, not \"" + value + "\"";
        if (!option->isChecked()) option->click();
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (!button->isCheckable()) return c.label + " is a command button: click it";
        if (!n || (*n != 0 && *n != 1)) return c.label + " is set to 0 or 1, not \"" + value + "\"";
        if (button->isChecked() != (*n == 1)) button->click();
        return {};
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return typeInto(c, edit, value);
    return c.label + " is a " + className(w) + ", which set does not know";
}

QString ClickControl(const Control& c) {
    if (c.action) {
        c.action->trigger();
        return {};
    }
    if (c.list) {
        if (c.column < 0) return "a list row is set, not clicked; click one of its cells";
        const QModelIndex cell = cellIndex(c);
        c.list->scrollTo(cell);
        c.list->setCurrentIndex(cell);
        QWidget* viewport = c.list->viewport();
        const QPointF at = QRectF(c.list->visualRect(cell)).center();
        const QPointF global = viewport->mapToGlobal(at);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        }
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
        button->click();
        return {};
    }
    if (auto* label = qobject_cast<QLabel*>(c.widget)) {
        clickAt(label);
        return {};
    }
    return c.label + " is a " + className(c.widget) + ", which click does not know";
}

std::optional<QString> ShownValue(const Control& c) {
    if (c.list) {
        const QModelIndex index = cellIndex(c);
        if (c.column >= 0) return index.data(Qt::DisplayRole).toString();
        return QString::number(index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? 1 : 0);
    }
    if (c.action) return c.action->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    QWidget* w = c.widget;
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) return QString::number(slider->value());
    if (auto* combo = qobject_cast<QComboBox*>(w)) return QString::number(combo->currentIndex());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->isCheckable() ? QString::number(button->isChecked() ? 1 : 0) : button->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return std::nullopt;
}

} // namespace vm::script
