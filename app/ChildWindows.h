#pragma once
// The main window's child windows: the editors and the program's own windows (parameter browser, comparison,
// changes) inside the MDI area. Opens each once (a second opening brings it to the front), finds the open
// ones, lists them in the Window menu, and closes, reloads and retranslates them.

#include "EditorContext.h"

#include <QList>
#include <QObject>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAction;
class QWidget;

namespace vm::app {

class ChildWindows : public QObject {
    Q_OBJECT
public:
    // Reads the board's memory into the configuration image, then calls back (the compare window's button).
    using BoardReader = std::function<void(std::function<void(bool, const QString&)> done)>;

    ChildWindows(QMdiArea* area, editors::EditorContext& context, BoardReader readBoard);

    // The windows that are no editors.
    static bool isAppWindow(const QString& formName);
    // An editor or one of the program's own windows of that name exists in this build.
    static bool formAvailable(const QString& formName);

    // Opens the window of a menu entry, or brings the open one to the front.
    QWidget* open(const QString& formName);
    editors::EditorBase* openForm(const QString& formName);

    QWidget* openWindow(const QString& formName) const;
    QList<QWidget*> openWindows() const; // in the order they were opened
    // From the last opened down to the first; each editor releases its parameters at once.
    void closeAll();
    // Every open editor shows the configuration again (after Load and New).
    void reloadEditors();
    // Every open editor takes the texts of the language just chosen.
    void retranslate();
    // The open windows listed in `menu` below its fixed entries, the active one checked.
    void listIn(QMenu* menu);

    QMdiArea* area() const { return area_; }

private:
    QWidget* openAppWindow(const QString& formName);
    QMdiSubWindow* subWindowFor(const QString& formName) const;

    QMdiArea* area_;
    editors::EditorContext& context_;
    BoardReader readBoard_;
    QList<QAction*> listed_; // the entries listIn added last
};

} // namespace vm::app
