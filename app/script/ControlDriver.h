#pragma once
// What a script does with the controls of an editor window, the way a user would: sets scroll bars, check
// boxes, option buttons, switches, combos, text boxes and the check boxes of list rows; clicks buttons,
// tool-bar buttons and labels; reads what a control shows. Controls are handled by their Qt class, so any
// window built from the usual widgets works without code of its own here.

#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QAbstractItemView;
class QAction;
class QWidget;

namespace vm::editors {
class EditorBase;
}

namespace vm::script {

// A control as a script names it: Name, Name(Index), ListView1(ROW), ListView1(ROW,COLUMN), Toolbar1(KEY).
struct ControlName {
    QString name;
    QStringList args;
    QString text; // as written, for messages
};
std::optional<ControlName> ParseControlName(const QString& text);

// The control a line acts on: a widget, a row or cell of a list, or an action of a tool bar.
struct Control {
    QPointer<QWidget> widget; // the control itself, or the list or tool bar that holds the part
    QAbstractItemView* list = nullptr;
    int row = -1;
    int column = -1; // -1: the row's check box
    QAction* action = nullptr;
    QString label; // "HScroll1(3) of FrmItemNumber"
};

// Finds the control in the window (an editor's control array, or a child named "Name_Index"); returns why not.
QString FindControl(const QWidget& window, const ControlName& name, Control& out);
// Brings the tab pages that hold the control to the front, as clicks on their tabs would. Returns why not
// when such a page is disabled; `switched` tells whether another page came to the front.
QString ShowPagesOf(const Control& control, QWidget* window, bool& switched);
// Empty when a user could act on the control now, else why not.
QString CheckUsable(const Control& control, QWidget* window);

// Sets the control to `value` as a user would. A text box gets real key presses: the focus, the typed
// characters and Enter. An editable cell of a table takes the value as its edit would.
QString SetControl(const Control& control, const QString& value);
// A cell of a list is double-clicked.
QString ClickControl(const Control& control);
// What the control shows: its text, or its value for scroll bars, checks, options, switches, combos and list
// rows. Nothing for a class that shows neither.
std::optional<QString> ShownValue(const Control& control);

} // namespace vm::script
