#pragma once
// MDIForm1: the multiple-document main window. Composes the menu bar (MenuBar) and the child windows
// (ChildWindows); owns the status bar with the link indicators, the window caption and the connection state;
// runs Connect, DisConnect, Write Board, New, Load and Save with their progress windows.

#include "AppConfig.h"
#include "BoardBackup.h"
#include "ChangeLog.h"
#include "ChildWindows.h"
#include "EditorContext.h"
#include "FormList.h"
#include "LinkIndicators.h"
#include "MenuBar.h"
#include "Messages.h"
#include "ProgramState.h"
#include "ServiceReport.h"
#include "Settings.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class QAction;
class QLabel;
class QMdiArea;

namespace vm::editors {
class EditHistory;
}

namespace vm::link {
class LinkController;
class ComMenuModel;
struct UnitReadResult;
enum class TransferKind;
} // namespace vm::link

namespace vm::app {

class ProgressWindow;

// The connection states of the main window.
enum class AppState { Offline, Opening, Reading, Connected, Writing };
const char* AppStateName(AppState state);

class MainWindow : public QMainWindow, public editors::MainWindowHooks {
    Q_OBJECT
public:
    explicit MainWindow(AppConfig config, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up (the window's load event): settings, language, board defaults, menus, start-up map,
    // status bar, enabling, caption. Returns false when the program cannot run (no language file).
    bool startUp();

    // --- commands (the menu handlers) ---
    void connectClicked(); // Connect or DisConnect, by the entry's caption
    void writeBoardClicked();
    void newClicked();
    void loadClicked();
    void saveClicked();
    void languageChosen(int index);
    void comPortChosen(int index);
    void usbChosen();
    void selectSimulatedBoard();
    void exitClicked();
    void aboutClicked();
    void reportClicked(); // File > Service report...
    // Opens the window of a menu entry (or brings it to the front): openForm, below with the hooks.

    void buildStatusBar();
    void DisableMenu() { menus_->disableMenu(); }
    void EnableMenu() { menus_->enableMenu(program_); }
    void showLamp(link::LinkLamp lamp);

    // --- MainWindowHooks ---
    void disableMenus() override { DisableMenu(); }
    void enableMenus() override { EnableMenu(); }
    void setMenuEnabled(const QString& entry, bool enabled) override {
        setEntry(entry.toStdString(), enabled);
    }
    QSize mainWindowSize() const override;
    QString chooseFile(const editors::FileChoice& choice) override;
    editors::EditorBase* openForm(const QString& formName) override { return children_->openForm(formName); }
    link::LinkMonitor* linkMonitor() override;
    QString settingsFolder() const override;

    // --- what tests and the screenshots look at ---
    AppState appState() const { return state_; }
    // A service report is being made (the board's values are read for it).
    bool reportRunning() const { return reporting_; }
    // The technician's name of the service reports, kept in the settings folder; empty until asked.
    QString technician() const;
    QAction* action(std::string_view entry) const { return menus_->action(entry); }
    // What the enabling rules say for an entry (a window that does not exist yet stays disabled anyway).
    bool entryEnabled(std::string_view entry) const { return menus_->entryEnabled(entry); }
    static bool formAvailable(const QString& formName) { return ChildWindows::formAvailable(formName); }
    QWidget* openWindow(const QString& formName) const { return children_->openWindow(formName); }
    QList<QWidget*> openWindows() const { return children_->openWindows(); }
    ProgramState& state() { return program_; }
    Messages& messages() { return messages_; }
    const LanguageSettings& languageSettings() const { return settings_; }
    QString title() const { return kProgramTitle; }
    QString statusText() const;
    std::string mapError() const { return mapError_; }
    link::LinkController* link() const { return link_.get(); }
    const std::vector<DeliveryTarget*>& forms() const { return forms_.forms(); }
    ChangeLog& changes() { return changes_; }
    editors::EditHistory& history() { return *history_; }
    // Where the program keeps what it writes for the user: the change logs.
    std::filesystem::path dataFolder() const;
    QMdiArea* mdiArea() const { return children_->area(); }
    void closeAllChildren() { children_->closeAll(); }

signals:
    // The state changed (tests wait on it).
    void appStateChanged(vm::app::AppState state);
    // FrmRead, Form1 or Form3 closed.
    void transferWindowClosed(const QString& formName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // construction
    void connectMenus();
    void setupLink();

    // state and captions
    void setState(AppState state);
    void setCaptionOffline(const QString& fileTitle = {});
    void setCaptionConnected();
    void setConnectCaption(bool connect) { menus_->setConnectCaption(connect); }
    void setEntry(std::string_view entry, bool enabled) { menus_->setEntry(entry, enabled); }
    // The Com menu's checks and the status bar's port.
    void showPort();

    // the connection (MainWindowConnect.cpp)
    std::unique_ptr<link::SerialPort> makePort();
    void beginOpening(bool forWrite);
    void onConnected();
    void onConnectFailed(const QString& error);
    void restoreAfterFailedOpen();
    void onRefused(const QString& text);
    void disconnectBoard();
    void onDisconnected(const QString& reason);
    void showFrmRead();
    void onUnitsRead(const link::UnitReadResult& result);
    void onTransferText(link::TransferKind kind, const QString& text);
    void onTransferProgress(link::TransferKind kind, int value, int maximum);
    void onTransferFinished(link::TransferKind kind, bool ok, const QString& error);
    void closeTransferWindow(QPointer<ProgressWindow>& window);

    // Write Board (MainWindowWrite.cpp): the board's configuration is read and saved as a backup first, then
    // written over.
    void showWriteWindow();
    void startBackup();
    void finishBackup(bool ok, const QString& error);
    void endWrite();
    void offerBackup(const QString& backup);
    bool askYesNo(const QString& text);
    std::filesystem::path backupFolder() const;
    // Reads the board's memory into the configuration image (the compare window), then calls back.
    void readBoardMemory(std::function<void(bool, const QString&)> done);

    // New, Load, Save (MainWindowFiles.cpp)
    QString dialogFolder() const;
    // Takes a configuration file as the one to edit and write (Load; the backup after a failed write).
    void loadConfiguration(const QString& path);
    void writeConfigFile();
    void finishSave();

    // the service report (ServiceReportFlow.cpp)
    void finishReport(const QString& path, ServiceReport report,
                      const std::vector<std::pair<int, double>>& sales);

    QString portDescription() const;

    void message(const QString& text, MessageIcon icon, const QString& title);
    void saveSettings();

    AppConfig config_;
    std::shared_ptr<UserDialogs> dialogs_;
    ProgramState program_;
    Messages messages_;
    FormList forms_;
    ChangeLog changes_; // the visit's record of every edit
    editors::EditorContext editorContext_;
    std::unique_ptr<editors::EditHistory> history_;
    LanguageSettings settings_;
    SettingsFiles settingsFiles_;
    std::unique_ptr<link::ComMenuModel> comMenu_;
    std::unique_ptr<link::LinkController> link_;

    AppState state_ = AppState::Offline;
    bool writeAfterOpen_ = false;
    std::optional<ImagesToWrite> toWrite_; // set while the board is read for the backup
    QString backupPath_;                   // the backup of the current Write Board
    std::function<void(bool, const QString&)> boardReadDone_;
    bool linkSpoke_ = false; // the link showed a message or asked a question during the current opening
    bool exiting_ = false;
    bool reporting_ = false;
    QPointer<QObject> counterRead_; // the sales counters read for a report
    std::string mapError_;
    QString fileTitle_; // ConfigFileTitle
    QString filePath_;  // ConfigFilePath

    QLabel* statusText_ = nullptr;
    LinkIndicators indicators_;

    QPointer<ProgressWindow> frmRead_;
    QPointer<ProgressWindow> form1_;
    QPointer<ProgressWindow> form3_;

    // Last, so that they go first: the menus stop listening to the history before it empties.
    std::unique_ptr<ChildWindows> children_;
    std::unique_ptr<MenuBar> menus_;
};

} // namespace vm::app
