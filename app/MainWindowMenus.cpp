// The main window's menu bar: the menus built from the menu tree, their captions in the chosen language, the
// language and Com menus, the list of open windows, and which entries are enabled.

#include "MainWindow.h"

#include "EditHistory.h"
#include "MenuRules.h"
#include "MenuTree.h"

#include "ComMenuModel.h"
#include "LanguageMenu.h"

#include "audit/EvaDtsExport.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include <utility>

namespace vm::app {

namespace {
constexpr const char* kNotAvailable = "not available yet";

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

void MainWindow::buildMenus() {
    QHash<QString, QMenu*> menus;
    for (const MenuEntry& entry : MenuEntries()) {
        const QString name = qs(entry.name);
        QMenu* parentMenu = entry.parent.empty() ? nullptr : menus.value(qs(entry.parent));
        QAction* action = nullptr;
        if (entry.submenu) {
            QMenu* menu =
                parentMenu ? parentMenu->addMenu(qs(entry.design)) : menuBar()->addMenu(qs(entry.design));
            menu->setObjectName(name + "Menu");
            menu->setToolTipsVisible(true);
            menus.insert(name, menu);
            action = menu->menuAction();
        } else {
            action =
                parentMenu ? parentMenu->addAction(qs(entry.design)) : menuBar()->addAction(qs(entry.design));
            const QString form = qs(entry.form);
            if (isAppWindow(form))
                connect(action, &QAction::triggered, this, [this, form] { openAppWindow(form); });
            else if (!form.isEmpty() && form != "FrmInfo")
                connect(action, &QAction::triggered, this, [this, form] { openForm(form); });
        }
        action->setObjectName(name);
        action->setProperty("form", qs(entry.form));
        actions_.insert(name, action);
        ruleEnabled_.insert(name, !entry.offAtCreate);
        if (entry.separatorAfter && parentMenu) parentMenu->addSeparator();
        applyEnabled(action);
    }

    connect(action("SmuConnect"), &QAction::triggered, this, &MainWindow::connectClicked);
    connect(action("SmnuWrite"), &QAction::triggered, this, &MainWindow::writeBoardClicked);
    connect(action("SmuNew"), &QAction::triggered, this, &MainWindow::newClicked);
    connect(action("Smuload"), &QAction::triggered, this, &MainWindow::loadClicked);
    connect(action("Smusave"), &QAction::triggered, this, &MainWindow::saveClicked);
    connect(action("smnuExit"), &QAction::triggered, this, &MainWindow::exitClicked);
    connect(action("mnuVer"), &QAction::triggered, this, &MainWindow::aboutClicked);
    connect(action("ssmnuEvaDts"), &QAction::triggered, this, [this] { editors::ExportEvaDts(editorContext_, this); });
    connect(action("SmnuReport"), &QAction::triggered, this, &MainWindow::reportClicked);
    action("mnuUndo")->setShortcut(QKeySequence::Undo);
    action("mnuRedo")->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(action("mnuUndo"), &QAction::triggered, this, [this] { history_->undo(); });
    connect(action("mnuRedo"), &QAction::triggered, this, [this] { history_->redo(); });
    connect(history_.get(), &editors::EditHistory::changed, this, &MainWindow::refreshUndoEntries);

    buildLanguageMenu(menus.value("mnuLingue"));
    buildComMenu(menus.value("mnuCom"));
    windowsMenu_ = menus.value("mnuWL");
    connect(windowsMenu_, &QMenu::aboutToShow, this, &MainWindow::refreshWindowList);
}

void MainWindow::buildLanguageMenu(QMenu* menu) {
    for (int i = 0; i < kLanguageEntries; ++i) {
        QAction* entry = menu->addAction(QString());
        entry->setObjectName(QStringLiteral("smnuLingue%1").arg(i));
        entry->setCheckable(true);
        entry->setVisible(i == 0);
        connect(entry, &QAction::triggered, this, [this, i] { languageChosen(i); });
        languageActions_.append(entry);
    }
}

void MainWindow::buildComMenu(QMenu* menu) {
    for (int i = 1; i <= 4; ++i) {
        QAction* entry = menu->addAction(QStringLiteral("COM&%1").arg(i));
        entry->setObjectName(QStringLiteral("mnuCox%1").arg(i));
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, i] { comPortChosen(i); });
        comActions_.append(entry);
    }
    menu->addSeparator();
    usbAction_ = menu->addAction("&USB");
    usbAction_->setObjectName("MnuUSB");
    usbAction_->setCheckable(true);
    connect(usbAction_, &QAction::triggered, this, &MainWindow::usbChosen);
    // Our own entry: the board simulated inside the program, for trying the tool without hardware.
    simAction_ = menu->addAction("Simulated board");
    simAction_->setObjectName("mnuSim");
    simAction_->setCheckable(true);
    connect(simAction_, &QAction::triggered, this, &MainWindow::selectSimulatedBoard);
}

void MainWindow::refreshLanguageMenu() {
    for (int i = 0; i < kLanguageEntries; ++i) {
        const auto& entry = settings_.Menu.entry(i);
        QAction* a = languageActions_[i];
        a->setText(qs(entry.caption));
        a->setVisible(i == 0 || entry.visible);
        a->setChecked(entry.checked);
    }
}

void MainWindow::refreshComChecks() {
    const bool com = config_.port == PortChoice::ComMenu;
    for (int i = 1; i <= 4; ++i)
        comActions_[i - 1]->setChecked(com && comMenu_->comChecked(i));
    usbAction_->setChecked(com && comMenu_->usbChecked());
    simAction_->setChecked(config_.port == PortChoice::Simulated);
    if (statusText_) statusText_->setText(statusText());
}

void MainWindow::refreshWindowList() {
    // The fixed entries (the parameter browser) stay; the list of open windows follows them.
    for (QAction* listed : std::exchange(windowListActions_, {})) {
        windowsMenu_->removeAction(listed);
        delete listed;
    }
    const auto subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty()) return;
    windowListActions_.append(windowsMenu_->addSeparator());
    QMdiSubWindow* active = mdi_->activeSubWindow();
    for (QMdiSubWindow* sub : subs) {
        QAction* entry = windowsMenu_->addAction(sub->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(sub == active);
        connect(entry, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
        windowListActions_.append(entry);
    }
}

void MainWindow::captionMenus() {
    for (const MenuEntry& entry : MenuEntries()) {
        std::string caption = MenuCaption(entry, messages_);
        if (caption.empty()) caption = entry.design; // a language file without the line
        QAction* a = action(entry.name);
        if (entry.name == "SmuConnect") continue; // its caption is the connection state
        a->setText(qs(caption));
    }
    refreshUndoEntries();
}

void MainWindow::refreshUndoEntries() {
    const QUndoStack& stack = history_->stack();
    setEntry("mnuUndo", stack.canUndo());
    setEntry("mnuRedo", stack.canRedo());
    action("mnuUndo")->setText(stack.canUndo() ? "&Undo " + stack.undoText() : QStringLiteral("&Undo"));
    action("mnuRedo")->setText(stack.canRedo() ? "&Redo " + stack.redoText() : QStringLiteral("&Redo"));
}

QAction* MainWindow::action(std::string_view entry) const {
    return actions_.value(qs(entry));
}

bool MainWindow::entryEnabled(std::string_view entry) const {
    return ruleEnabled_.value(qs(entry), false);
}

void MainWindow::setEntry(std::string_view entry, bool enabled) {
    const QString name = qs(entry);
    if (!actions_.contains(name)) return;
    ruleEnabled_[name] = enabled;
    applyEnabled(actions_.value(name));
}

void MainWindow::setMenuEnabled(const QString& entry, bool enabled) {
    setEntry(entry.toStdString(), enabled);
}

void MainWindow::applyEnabled(QAction* a) {
    const QString form = a->property("form").toString();
    const bool available = form.isEmpty() || form == "FrmInfo" || formAvailable(form);
    a->setEnabled(ruleEnabled_.value(a->objectName(), false) && available);
    a->setToolTip(available ? QString() : QString(kNotAvailable));
}

void MainWindow::DisableMenu() {
    vm::app::DisableMenu([this](std::string_view e, bool on) { setEntry(e, on); });
}

void MainWindow::EnableMenu() {
    vm::app::EnableMenu([this](std::string_view e, bool on) { setEntry(e, on); }, program_);
}

} // namespace vm::app
