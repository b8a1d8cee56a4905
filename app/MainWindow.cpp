#include "MainWindow.h"

#include "BuiltInTexts.h"
#include "ChangesWindow.h"
#include "CompareWindow.h"
#include "FrmInfo.h"
#include "Launcher.h"
#include "MenuRules.h"
#include "MenuTree.h"
#include "ParamBrowser.h"
#include "ProgressWindow.h"

#include "ComMenuModel.h"
#include "Languages.h"
#include "ParamMap.h"
#include "qt/LinkController.h"
#include "qt/PortDiscovery.h"

#include "EditHistory.h"
#include "EditorBase.h"
#include "EditorRegistry.h"
#include "audit/EvaDtsExport.h"
#include "RemoteWindows.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

namespace vm::app {

namespace {
constexpr const char* kNotAvailable = "not available yet";

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

const char* AppStateName(AppState state) {
    switch (state) {
    case AppState::Offline:
        return "Offline";
    case AppState::Opening:
        return "Opening";
    case AppState::Reading:
        return "Reading";
    case AppState::Connected:
        return "Connected";
    case AppState::Writing:
        return "Writing";
    }
    return "?";
}

MainWindow::MainWindow(AppConfig config, QWidget* parent)
    : QMainWindow(parent), config_(std::move(config)),
      dialogs_(config_.dialogs ? config_.dialogs : std::make_shared<QtUserDialogs>(this)),
      changes_(program_), editorContext_{program_, messages_, forms_, this, &changes_},
      settingsFiles_(SettingsFilesFor(config_.settingsDir.empty() ? config_.programDir : config_.settingsDir,
                                      config_.executableName.toStdString())) {
    setObjectName("MDIForm1");
    forms_.setListener(&changes_);
    changes_.setFolder(dataFolder() / "changes");
    history_ = std::make_unique<editors::EditHistory>(editorContext_);
    remote::registerRemoteWindows();
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("MDIArea");
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    buildMenus();
    comMenu_ = std::make_unique<link::ComMenuModel>([] { return link::FirstFtdiPortName().toStdString(); },
                                                    [this] { saveSettings(); });
    setupLink();
    resize(1000, 720);
}

MainWindow::~MainWindow() {
    // The progress windows are children: they are deleted after this window is gone (also one whose
    // transfer ended and is only waiting to be deleted), and their notice must not reach it then.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, &QObject::destroyed, this, nullptr);
    // Editors release their parameters while the state and the link still exist.
    exiting_ = true;
    closeAllChildren();
    delete counterRead_; // it releases its parameters while the state still exists
    disconnect(history_.get(), nullptr, this, nullptr); // the menus go before the history empties
    link_.reset();
}

// ---------------------------------------------------------------- start-up

bool MainWindow::startUp() {
    program_.Online = false;
    setConnectCaption(true);

    // Settings and language.
    std::string languageWarning;
    if (!LoadSettings(settingsFiles_, config_.programDir, settings_) ||
        CheckLanguages(config_.programDir, settings_, messages_, BuiltInTexts(), &languageWarning) ==
            LanguageStatus::NoLanguageFile) {
        message(qs(kNoLanguageText), MessageIcon::Critical, qs(kNoLanguageTitle));
        return false;
    }
    if (!languageWarning.empty())
        message(qs(languageWarning), MessageIcon::Exclamation, qs(kWrongLanguageTitle));
    comMenu_->load(settings_.ComPort);
    refreshLanguageMenu();
    refreshComChecks();

    // SetBoardDefaults
    program_.DefaultBoardType = 482;
    program_.RequiredSoftware = 21;
    program_.DefaultRevision = 0;

    captionMenus();

    // The default parameter map. Without it the tool still edits files offline; Connect refuses.
    const MapLoadResult map = WriteAddressMap(program_, config_.programDir, config_.settingsDir);
    if (!map.ok) {
        mapError_ = map.error.empty() ? "The parameter map could not be loaded." : map.error;
        message(qs(mapError_) + "\n\nThe program works offline only.", MessageIcon::Critical, kProgramTitle);
    }

    buildStatusBar();
    StartupEnabling([this](std::string_view e, bool on) { setEntry(e, on); });
    setCaptionOffline();
    setState(AppState::Offline);
    return true;
}

// ---------------------------------------------------------------- menus

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

QSize MainWindow::mainWindowSize() const {
    return mdi_->viewport()->size();
}

// ---------------------------------------------------------------- status bar and caption

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    statusText_ = new QLabel(bar);
    statusText_->setObjectName("Panel1");
    statusText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addWidget(statusText_, 1);
    std::array<QLabel*, 3> lamps{};
    for (int i = 0; i < 3; ++i) {
        lamps[i] = new QLabel(bar);
        lamps[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 2));
        lamps[i]->setMinimumWidth(24);
        lamps[i]->setAlignment(Qt::AlignCenter);
        lamps[i]->setToolTip(i == 0 ? "Sending" : i == 1 ? "Receiving" : "Link error");
        bar->addPermanentWidget(lamps[i]);
    }
    indicators_.attach(lamps);
    statusText_->setText(statusText());
}

QString MainWindow::portDescription() const {
    switch (config_.port) {
    case PortChoice::Simulated:
        return "Simulated board";
    case PortChoice::Device:
        return config_.device;
    case PortChoice::ComMenu:
        break;
    }
    return comMenu_->comPort() == link::kUsbComPort ? QStringLiteral("USB")
                                                    : QStringLiteral("COM%1").arg(comMenu_->comPort());
}

QString MainWindow::statusText() const {
    if (config_.port == PortChoice::Simulated) return "Simulated board (no real machine is connected)";
    return QStringLiteral("Port: %1").arg(portDescription());
}

void MainWindow::showLamp(link::LinkLamp lamp) {
    // A reply was taken from the board: the first panel's text is cleared then.
    if (lamp == link::LinkLamp::ReceiveLit && statusText_ && !statusText_->text().isEmpty()) statusText_->clear();
    indicators_.show(lamp);
}

void MainWindow::setCaptionOffline(const QString& fileTitle) {
    setWindowTitle(fileTitle.isEmpty() ? QString(kProgramTitle) + "-OFFLine"
                                       : QString(kProgramTitle) + "-OFFLine" + " / " + fileTitle);
}

void MainWindow::setCaptionConnected() {
    setWindowTitle(QString(kProgramTitle) + "-Connected");
}

void MainWindow::setConnectCaption(bool connectCaption) {
    action("SmuConnect")->setText(connectCaption ? "Connect" : "DisConnect");
}

bool MainWindow::connectCaptionIsConnect() const {
    return action("SmuConnect")->text() == "Connect";
}

void MainWindow::setState(AppState state) {
    state_ = state;
    emit appStateChanged(state);
}

// ---------------------------------------------------------------- child windows

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

QString MainWindow::chooseFile(const editors::FileChoice& choice) {
    FileDialogRequest request;
    request.title = choice.title;
    request.filter = choice.filter;
    request.initialName = choice.suggested;
    request.folder = dialogFolder();
    return choice.save ? dialogs_->saveFile(request) : dialogs_->openFile(request);
}

link::LinkMonitor* MainWindow::linkMonitor() {
    return link_ ? &link_->monitor() : nullptr;
}

std::filesystem::path MainWindow::dataFolder() const {
    if (!config_.dataDir.empty()) return config_.dataDir;
    return config_.settingsDir.empty() ? config_.programDir : config_.settingsDir;
}

QString MainWindow::settingsFolder() const {
    return QString::fromStdString(settingsFiles_.own.parent_path().string());
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

void MainWindow::aboutClicked() {
    // Opens once, as every other window: a second click brings the open one to the front.
    if (auto* open = findChild<FrmInfo*>("FrmInfo", Qt::FindDirectChildrenOnly); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    const QStringList parts = QCoreApplication::applicationVersion().split('.');
    const auto part = [&](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
    auto* info = new FrmInfo(kProgramTitle, VersionText(part(0), part(1), part(2)), this);
    info->show();
}

// ---------------------------------------------------------------- settings, languages, ports

void MainWindow::saveSettings() {
    settings_.ComPort = static_cast<std::uint8_t>(comMenu_->comPort());
    const std::string error = SaveSettings(settingsFiles_, settings_);
    (void)error; // settings that cannot be written are no reason to stop the user; they keep the old ones
}

void MainWindow::languageChosen(int index) {
    const LanguageStatus status =
        SwitchLanguage(config_.programDir, settings_, index, messages_, BuiltInTexts());
    if (status == LanguageStatus::WrongFile)
        message(qs(kWrongLanguageText), MessageIcon::Exclamation, qs(kWrongLanguageTitle));
    refreshLanguageMenu();
    captionMenus();
    saveSettings();
    retranslateChildren();
}

void MainWindow::comPortChosen(int index) {
    config_.port = PortChoice::ComMenu;
    comMenu_->comPortChosen(index);
    refreshComChecks();
}

void MainWindow::usbChosen() {
    config_.port = PortChoice::ComMenu;
    if (auto problem = comMenu_->usbChosen())
        message(qs(problem->text), MessageIcon::Critical, qs(problem->title));
    refreshComChecks();
}

void MainWindow::selectSimulatedBoard() {
    config_.port = PortChoice::Simulated;
    refreshComChecks();
}

void MainWindow::message(const QString& text, MessageIcon icon, const QString& title) {
    dialogs_->message(text, icon, title);
}

// ---------------------------------------------------------------- exit

void MainWindow::exitClicked() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!exiting_) {
        exiting_ = true;
        saveSettings();
        closeAllChildren();
        if (link_ && link_->isConnected()) link_->disconnectBoard();
        if (config_.launcher)
            config_.launcher(config_.programDir);
        else
            StartLauncher(config_.programDir);
    }
    event->accept();
}

} // namespace vm::app
