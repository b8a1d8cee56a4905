#include "MenuBar.h"

#include "ChildWindows.h"
#include "MenuRules.h"
#include "MenuTree.h"

#include "ComMenuModel.h"
#include "EditHistory.h"
#include "LanguageMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace vm::app {

namespace {
constexpr const char* kNotAvailable = "not available yet";

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

MenuBar::MenuBar(QMenuBar* bar, editors::EditHistory& history) : history_(history) {
    build(bar);
}

void MenuBar::build(QMenuBar* bar) {
    QHash<QString, QMenu*> menus;
    for (const MenuEntry& entry : MenuEntries()) {
        const QString name = qs(entry.name);
        QMenu* parentMenu = entry.parent.empty() ? nullptr : menus.value(qs(entry.parent));
        QAction* action = nullptr;
        if (entry.submenu) {
            QMenu* menu = parentMenu ? parentMenu->addMenu(qs(entry.design)) : bar->addMenu(qs(entry.design));
            menu->setObjectName(name + "Menu");
            menu->setToolTipsVisible(true);
            menus.insert(name, menu);
            action = menu->menuAction();
        } else {
            action = parentMenu ? parentMenu->addAction(qs(entry.design)) : bar->addAction(qs(entry.design));
            const QString form = qs(entry.form);
            if (!form.isEmpty() && form != "FrmInfo")
                connect(action, &QAction::triggered, this, [this, form] { emit formChosen(form); });
        }
        action->setObjectName(name);
        action->setProperty("form", qs(entry.form));
        actions_.insert(name, action);
        ruleEnabled_.insert(name, !entry.offAtCreate);
        if (entry.separatorAfter && parentMenu) parentMenu->addSeparator();
        applyEnabled(action);
    }

    action("mnuUndo")->setShortcut(QKeySequence::Undo);
    action("mnuRedo")->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(action("mnuUndo"), &QAction::triggered, this, [this] { history_.undo(); });
    connect(action("mnuRedo"), &QAction::triggered, this, [this] { history_.redo(); });
    connect(&history_, &editors::EditHistory::changed, this, &MenuBar::refreshUndoEntries);

    buildLanguageMenu(menus.value("mnuLingue"));
    buildComMenu(menus.value("mnuCom"));
    windowsMenu_ = menus.value("mnuWL");
}

void MenuBar::buildLanguageMenu(QMenu* menu) {
    for (int i = 0; i < kLanguageEntries; ++i) {
        QAction* entry = menu->addAction(QString());
        entry->setObjectName(QStringLiteral("smnuLingue%1").arg(i));
        entry->setCheckable(true);
        entry->setVisible(i == 0);
        connect(entry, &QAction::triggered, this, [this, i] { emit languageChosen(i); });
        languageActions_.append(entry);
    }
}

void MenuBar::buildComMenu(QMenu* menu) {
    for (int i = 1; i <= 4; ++i) {
        QAction* entry = menu->addAction(QStringLiteral("COM&%1").arg(i));
        entry->setObjectName(QStringLiteral("mnuCox%1").arg(i));
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, i] { emit comPortChosen(i); });
        comActions_.append(entry);
    }
    menu->addSeparator();
    usbAction_ = menu->addAction("&USB");
    usbAction_->setObjectName("MnuUSB");
    usbAction_->setCheckable(true);
    connect(usbAction_, &QAction::triggered, this, &MenuBar::usbChosen);
    // Our own entry: the board simulated inside the program, for trying the tool without hardware.
    simAction_ = menu->addAction("Simulated board");
    simAction_->setObjectName("mnuSim");
    simAction_->setCheckable(true);
    connect(simAction_, &QAction::triggered, this, &MenuBar::simulatedBoardChosen);
}

// ---------------------------------------------------------------- captions and checks

void MenuBar::caption(const Messages& messages) {
    for (const MenuEntry& entry : MenuEntries()) {
        if (entry.name == "SmuConnect") continue;
        std::string caption = MenuCaption(entry, messages);
        if (caption.empty()) caption = entry.design; // a language file without the line
        action(entry.name)->setText(qs(caption));
    }
    refreshUndoEntries();
}

void MenuBar::setConnectCaption(bool connect) {
    action("SmuConnect")->setText(connect ? "Connect" : "DisConnect");
}

bool MenuBar::connectCaptionIsConnect() const {
    return action("SmuConnect")->text() == "Connect";
}

void MenuBar::showLanguages(const LanguageMenu& languages) {
    for (int i = 0; i < kLanguageEntries; ++i) {
        const auto& entry = languages.entry(i);
        QAction* a = languageActions_[i];
        a->setText(qs(entry.caption));
        a->setVisible(i == 0 || entry.visible);
        a->setChecked(entry.checked);
    }
}

void MenuBar::showPort(PortChoice choice, const link::ComMenuModel& com) {
    const bool fromMenu = choice == PortChoice::ComMenu;
    for (int i = 1; i <= 4; ++i)
        comActions_[i - 1]->setChecked(fromMenu && com.comChecked(i));
    usbAction_->setChecked(fromMenu && com.usbChecked());
    simAction_->setChecked(choice == PortChoice::Simulated);
}

void MenuBar::refreshUndoEntries() {
    const QUndoStack& stack = history_.stack();
    setEntry("mnuUndo", stack.canUndo());
    setEntry("mnuRedo", stack.canRedo());
    action("mnuUndo")->setText(stack.canUndo() ? "&Undo " + stack.undoText() : QStringLiteral("&Undo"));
    action("mnuRedo")->setText(stack.canRedo() ? "&Redo " + stack.redoText() : QStringLiteral("&Redo"));
}

// ---------------------------------------------------------------- enabling

QAction* MenuBar::action(std::string_view entry) const {
    return actions_.value(qs(entry));
}

bool MenuBar::entryEnabled(std::string_view entry) const {
    return ruleEnabled_.value(qs(entry), false);
}

void MenuBar::setEntry(std::string_view entry, bool enabled) {
    const QString name = qs(entry);
    if (!actions_.contains(name)) return;
    ruleEnabled_[name] = enabled;
    applyEnabled(actions_.value(name));
}

void MenuBar::applyEnabled(QAction* a) {
    const QString form = a->property("form").toString();
    const bool available = form.isEmpty() || form == "FrmInfo" || ChildWindows::formAvailable(form);
    a->setEnabled(ruleEnabled_.value(a->objectName(), false) && available);
    a->setToolTip(available ? QString() : QString(kNotAvailable));
}

void MenuBar::disableMenu() {
    DisableMenu([this](std::string_view e, bool on) { setEntry(e, on); });
}

void MenuBar::enableMenu(const ProgramState& state) {
    EnableMenu([this](std::string_view e, bool on) { setEntry(e, on); }, state);
}

void MenuBar::startupEnabling() {
    StartupEnabling([this](std::string_view e, bool on) { setEntry(e, on); });
}

void MenuBar::applyUnit1(int unitCode) {
    ApplyUnit1Menus([this](std::string_view e, bool on) { setEntry(e, on); }, unitCode);
}

} // namespace vm::app
