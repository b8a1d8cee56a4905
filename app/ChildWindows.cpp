#include "ChildWindows.h"

#include "ChangesWindow.h"
#include "CompareWindow.h"
#include "ParamBrowser.h"

#include "EditorBase.h"
#include "EditorRegistry.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <utility>

namespace vm::app {

ChildWindows::ChildWindows(QMdiArea* area, editors::EditorContext& context, BoardReader readBoard)
    : area_(area), context_(context), readBoard_(std::move(readBoard)) {}

bool ChildWindows::isAppWindow(const QString& formName) {
    return formName == "FrmBrowse" || formName == "FrmCompare" || formName == "FrmChanges";
}

bool ChildWindows::formAvailable(const QString& formName) {
    if (isAppWindow(formName)) return true;
    for (const auto& entry : editors::editorEntries())
        if (entry.formName == formName) return true;
    return false;
}

// ---------------------------------------------------------------- opening

QWidget* ChildWindows::open(const QString& formName) {
    if (isAppWindow(formName)) return openAppWindow(formName);
    return openForm(formName);
}

QWidget* ChildWindows::openAppWindow(const QString& formName) {
    if (QMdiSubWindow* open = subWindowFor(formName)) {
        open->showNormal();
        area_->setActiveSubWindow(open);
        return open->widget();
    }
    QWidget* window = nullptr;
    if (formName == "FrmBrowse")
        window = new ParamBrowser(context_);
    else if (formName == "FrmCompare")
        window = new CompareWindow(context_, readBoard_);
    else if (formName == "FrmChanges" && context_.changes)
        window = new ChangesWindow(context_.state, *context_.changes);
    if (!window) return nullptr;
    QMdiSubWindow* sub = area_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->windowTitle());
    sub->resize(QSize(860, 560).boundedTo(area_->viewport()->size()));
    sub->show();
    area_->setActiveSubWindow(sub);
    return window;
}

editors::EditorBase* ChildWindows::openForm(const QString& formName) {
    // The machine configuration and the temperature chart share the space: one closes the other.
    if (formName == "FrmConf") {
        if (QMdiSubWindow* chart = subWindowFor("FrmGrafico")) chart->close();
    } else if (formName == "FrmGrafico") {
        if (QMdiSubWindow* conf = subWindowFor("FrmConf")) conf->close();
    } else if (formName == "FrmCancella") {
        closeAll();
    }
    if (QMdiSubWindow* open = subWindowFor(formName)) {
        open->showNormal();
        area_->setActiveSubWindow(open);
        return qobject_cast<editors::EditorBase*>(open->widget());
    }
    editors::EditorBase* editor = editors::createEditor(formName, context_, nullptr);
    if (!editor) return nullptr;
    editor->setObjectName(formName);
    // The sub-window owns the editor; closing it closes the editor first, which releases its parameters.
    QMdiSubWindow* sub = area_->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(editor->windowTitle());
    connect(editor, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    sub->show();
    editor->CenterForm1();
    area_->setActiveSubWindow(sub);
    return editor;
}

// ---------------------------------------------------------------- finding

QMdiSubWindow* ChildWindows::subWindowFor(const QString& formName) const {
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (sub->widget() && sub->widget()->objectName() == formName) return sub;
    return nullptr;
}

QWidget* ChildWindows::openWindow(const QString& formName) const {
    QMdiSubWindow* sub = subWindowFor(formName);
    return sub ? sub->widget() : nullptr;
}

QList<QWidget*> ChildWindows::openWindows() const {
    QList<QWidget*> result;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget()) result.append(sub->widget());
    return result;
}

void ChildWindows::listIn(QMenu* menu) {
    for (QAction* entry : std::exchange(listed_, {})) {
        menu->removeAction(entry);
        delete entry;
    }
    const auto subs = area_->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty()) return;
    listed_.append(menu->addSeparator());
    QMdiSubWindow* active = area_->activeSubWindow();
    for (QMdiSubWindow* sub : subs) {
        QAction* entry = menu->addAction(sub->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(sub == active);
        connect(entry, &QAction::triggered, this, [this, sub] { area_->setActiveSubWindow(sub); });
        listed_.append(entry);
    }
}

// ---------------------------------------------------------------- all of them

void ChildWindows::closeAll() {
    auto subs = area_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        (*it)->close();
        delete *it; // releases the editor's parameters now, before a connect changes the table
    }
}

void ChildWindows::reloadEditors() {
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (auto* editor = qobject_cast<editors::EditorBase*>(sub->widget())) editor->reload();
}

void ChildWindows::retranslate() {
    QMdiSubWindow* active = area_->activeSubWindow();
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (auto* editor = qobject_cast<editors::EditorBase*>(sub->widget())) {
            editor->retranslate();
            sub->setWindowTitle(editor->windowTitle());
        }
    if (active) area_->setActiveSubWindow(active);
}

} // namespace vm::app
