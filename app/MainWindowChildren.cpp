// The main window's child windows: opening the editors and the program's own windows (parameter browser,
// comparison, changes) inside the MDI area, finding the open ones, and closing, reloading and retranslating them.

#include "MainWindow.h"

#include "ChangesWindow.h"
#include "CompareWindow.h"
#include "ParamBrowser.h"

#include "EditorBase.h"
#include "EditorRegistry.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace vm::app {

bool MainWindow::isAppWindow(const QString& formName) {
    return formName == "FrmBrowse" || formName == "FrmCompare" || formName == "FrmChanges";
}

QWidget* MainWindow::openAppWindow(const QString& formName) {
    if (QMdiSubWindow* open = subWindowFor(formName)) {
        open->showNormal();
        mdi_->setActiveSubWindow(open);
        return open->widget();
    }
    QWidget* window = nullptr;
    if (formName == "FrmBrowse")
        window = new ParamBrowser(editorContext_);
    else if (formName == "FrmCompare")
        window = new CompareWindow(editorContext_, [this](auto done) { readBoardMemory(std::move(done)); });
    else if (formName == "FrmChanges")
        window = new ChangesWindow(program_, changes_);
    if (!window) return nullptr;
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->windowTitle());
    sub->resize(QSize(860, 560).boundedTo(mdi_->viewport()->size()));
    sub->show();
    mdi_->setActiveSubWindow(sub);
    return window;
}

bool MainWindow::formAvailable(const QString& formName) const {
    if (isAppWindow(formName)) return true;
    for (const auto& entry : editors::editorEntries())
        if (entry.formName == formName) return true;
    return false;
}

QMdiSubWindow* MainWindow::subWindowFor(const QString& formName) const {
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->widget() && sub->widget()->objectName() == formName) return sub;
    return nullptr;
}

QWidget* MainWindow::openWindow(const QString& formName) const {
    QMdiSubWindow* sub = subWindowFor(formName);
    return sub ? sub->widget() : nullptr;
}

QList<QWidget*> MainWindow::openWindows() const {
    QList<QWidget*> result;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget()) result.append(sub->widget());
    return result;
}

editors::EditorBase* MainWindow::openForm(const QString& formName) {
    // The machine configuration and the temperature chart share the space: one closes the other.
    if (formName == "FrmConf") {
        if (QMdiSubWindow* chart = subWindowFor("FrmGrafico")) chart->close();
    } else if (formName == "FrmGrafico") {
        if (QMdiSubWindow* conf = subWindowFor("FrmConf")) conf->close();
    } else if (formName == "FrmCancella") {
        closeAllChildren();
    }
    if (QMdiSubWindow* open = subWindowFor(formName)) {
        open->showNormal();
        mdi_->setActiveSubWindow(open);
        return qobject_cast<editors::EditorBase*>(open->widget());
    }
    editors::EditorBase* editor = editors::createEditor(formName, editorContext_, nullptr);
    if (!editor) return nullptr;
    editor->setObjectName(formName);
    // The sub-window owns the editor; closing it closes the editor first, which releases its parameters.
    QMdiSubWindow* sub = mdi_->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(editor->windowTitle());
    connect(editor, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    sub->show();
    editor->CenterForm1();
    mdi_->setActiveSubWindow(sub);
    return editor;
}

void MainWindow::closeAllChildren() {
    // From the last opened down to the first.
    auto subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        (*it)->close();
        delete *it; // releases the editor's parameters now, before a connect changes the table
    }
}

void MainWindow::reloadEditors() {
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (auto* editor = qobject_cast<editors::EditorBase*>(sub->widget())) editor->reload();
}

void MainWindow::retranslateChildren() {
    QMdiSubWindow* active = mdi_->activeSubWindow();
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (auto* editor = qobject_cast<editors::EditorBase*>(sub->widget())) {
            editor->retranslate();
            sub->setWindowTitle(editor->windowTitle());
        }
    if (active) mdi_->setActiveSubWindow(active);
}

} // namespace vm::app
