#pragma once
// The main window's menu bar: the menus built from the menu tree, their captions in the chosen language, the
// language and Com menus, Undo and Redo, and which entries are enabled. An entry is enabled when the enabling
// rules say so and the window it opens exists in this build. The main window answers the commands: it
// connects to the actions by entry name and to the signals below.

#include "AppConfig.h"
#include "Messages.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <string_view>

class QAction;
class QMenu;
class QMenuBar;

namespace vm {
class LanguageMenu;
class ProgramState;
} // namespace vm

namespace vm::editors {
class EditHistory;
}

namespace vm::link {
class ComMenuModel;
}

namespace vm::app {

class MenuBar : public QObject {
    Q_OBJECT
public:
    // Builds the menus into `bar`; Undo and Redo take back and make again the edits of `history`.
    MenuBar(QMenuBar* bar, editors::EditHistory& history);

    QAction* action(std::string_view entry) const;
    // What the enabling rules say for an entry (a window that does not exist yet stays disabled anyway).
    bool entryEnabled(std::string_view entry) const;
    void setEntry(std::string_view entry, bool enabled);
    // DisableMenù and EnableMenù of the enabling rules.
    void disableMenu();
    void enableMenu(const ProgramState& state);
    void startupEnabling();
    void applyUnit1(int unitCode);

    // Every entry's caption from the language table, but Connect's, which is the connection state.
    void caption(const Messages& messages);
    void setConnectCaption(bool connect); // "Connect" or "DisConnect"
    bool connectCaptionIsConnect() const;
    void showLanguages(const LanguageMenu& languages);
    // The checks of the Com menu: the port chosen there, or the simulated board.
    void showPort(PortChoice choice, const link::ComMenuModel& com);

    // Window > the menu that lists the open windows below its fixed entries.
    QMenu* windowsMenu() const { return windowsMenu_; }

signals:
    // An entry that opens a window (the About window aside).
    void formChosen(const QString& formName);
    void languageChosen(int index);
    void comPortChosen(int index);
    void usbChosen();
    void simulatedBoardChosen();

private:
    void build(QMenuBar* bar);
    void buildLanguageMenu(QMenu* menu);
    void buildComMenu(QMenu* menu);
    // Undo and Redo name the edit they take back or make again.
    void refreshUndoEntries();
    void applyEnabled(QAction* action);

    editors::EditHistory& history_;
    QHash<QString, QAction*> actions_;
    QHash<QString, bool> ruleEnabled_; // what the enabling rules last said
    QList<QAction*> languageActions_;
    QList<QAction*> comActions_; // COM1..COM4
    QAction* usbAction_ = nullptr;
    QAction* simAction_ = nullptr;
    QMenu* windowsMenu_ = nullptr;
};

} // namespace vm::app
