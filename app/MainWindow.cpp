// The main window (MDIForm1): construction and the commands of its menu bar, start-up, the status bar and
// caption, settings, languages and ports, messages, and closing. The connection is in MainWindowConnect.cpp,
// Write Board in MainWindowWrite.cpp, New, Load and Save in MainWindowFiles.cpp.

#include "MainWindow.h"

#include "BuiltInTexts.h"
#include "FrmInfo.h"
#include "Launcher.h"

#include "ComMenuModel.h"
#include "Languages.h"
#include "ParamMap.h"
#include "qt/LinkController.h"
#include "qt/PortDiscovery.h"

#include "EditHistory.h"
#include "RemoteWindows.h"
#include "audit/EvaDtsExport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>

namespace vm::app {

namespace {
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
    auto* area = new QMdiArea(this);
    area->setObjectName("MDIArea");
    area->setBackground(QColor(128, 128, 128));
    setCentralWidget(area);
    children_ = std::make_unique<ChildWindows>(area, editorContext_,
                                               [this](auto done) { readBoardMemory(std::move(done)); });
    menus_ = std::make_unique<MenuBar>(menuBar(), *history_);
    connectMenus();
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
    link_.reset();
}

void MainWindow::connectMenus() {
    MenuBar* m = menus_.get();
    connect(m->action("SmuConnect"), &QAction::triggered, this, &MainWindow::connectClicked);
    connect(m->action("SmnuWrite"), &QAction::triggered, this, &MainWindow::writeBoardClicked);
    connect(m->action("SmuNew"), &QAction::triggered, this, &MainWindow::newClicked);
    connect(m->action("Smuload"), &QAction::triggered, this, &MainWindow::loadClicked);
    connect(m->action("Smusave"), &QAction::triggered, this, &MainWindow::saveClicked);
    connect(m->action("smnuExit"), &QAction::triggered, this, &MainWindow::exitClicked);
    connect(m->action("mnuVer"), &QAction::triggered, this, &MainWindow::aboutClicked);
    connect(m->action("ssmnuEvaDts"), &QAction::triggered, this,
            [this] { editors::ExportEvaDts(editorContext_, this); });
    connect(m->action("SmnuReport"), &QAction::triggered, this, &MainWindow::reportClicked);
    connect(m, &MenuBar::formChosen, this, [this](const QString& form) { children_->open(form); });
    connect(m, &MenuBar::languageChosen, this, &MainWindow::languageChosen);
    connect(m, &MenuBar::comPortChosen, this, &MainWindow::comPortChosen);
    connect(m, &MenuBar::usbChosen, this, &MainWindow::usbChosen);
    connect(m, &MenuBar::simulatedBoardChosen, this, &MainWindow::selectSimulatedBoard);
    connect(m->windowsMenu(), &QMenu::aboutToShow, this,
            [this] { children_->listIn(menus_->windowsMenu()); });
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
    menus_->showLanguages(settings_.Menu);
    showPort();

    // SetBoardDefaults
    program_.DefaultBoardType = 482;
    program_.RequiredSoftware = 21;
    program_.DefaultRevision = 0;

    menus_->caption(messages_);

    // The default parameter map. Without it the tool still edits files offline; Connect refuses.
    const MapLoadResult map = WriteAddressMap(program_, config_.programDir, config_.settingsDir);
    if (!map.ok) {
        mapError_ = map.error.empty() ? "The parameter map could not be loaded." : map.error;
        message(qs(mapError_) + "\n\nThe program works offline only.", MessageIcon::Critical, kProgramTitle);
    }

    buildStatusBar();
    menus_->startupEnabling();
    setCaptionOffline();
    setState(AppState::Offline);
    return true;
}

QSize MainWindow::mainWindowSize() const {
    return children_->area()->viewport()->size();
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
    if (lamp == link::LinkLamp::ReceiveLit && statusText_ && !statusText_->text().isEmpty())
        statusText_->clear();
    indicators_.show(lamp);
}

void MainWindow::setCaptionOffline(const QString& fileTitle) {
    setWindowTitle(fileTitle.isEmpty() ? QString(kProgramTitle) + "-OFFLine"
                                       : QString(kProgramTitle) + "-OFFLine" + " / " + fileTitle);
}

void MainWindow::setCaptionConnected() {
    setWindowTitle(QString(kProgramTitle) + "-Connected");
}

void MainWindow::setState(AppState state) {
    state_ = state;
    emit appStateChanged(state);
}

// ---------------------------------------------------------------- files, folders, the About window

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
    menus_->showLanguages(settings_.Menu);
    menus_->caption(messages_);
    saveSettings();
    children_->retranslate();
}

void MainWindow::comPortChosen(int index) {
    config_.port = PortChoice::ComMenu;
    comMenu_->comPortChosen(index);
    showPort();
}

void MainWindow::usbChosen() {
    config_.port = PortChoice::ComMenu;
    if (auto problem = comMenu_->usbChosen())
        message(qs(problem->text), MessageIcon::Critical, qs(problem->title));
    showPort();
}

void MainWindow::selectSimulatedBoard() {
    config_.port = PortChoice::Simulated;
    showPort();
}

void MainWindow::showPort() {
    menus_->showPort(config_.port, *comMenu_);
    if (statusText_) statusText_->setText(statusText());
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
