#pragma once
// A program folder of its own for every test (maps and language files copied beside a fake executable),
// dialogs answered by the test, and ports that fail.

#include "AppConfig.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Screenshots.h"
#include "SerialPort.h"
#include "SimulatedPortFactory.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace vm::app::test {

inline const std::filesystem::path kBinDir = VM_BIN_DIR;
inline const std::filesystem::path kSourceDir = VM_SOURCE_DIR;

struct ShownMessage {
    QString text;
    MessageIcon icon;
    QString title;
};

class FakeDialogs final : public UserDialogs {
public:
    void message(const QString& text, MessageIcon icon, const QString& title) override {
        messages.push_back({text, icon, title});
    }
    bool askRetry(const QString&, const QString&) override {
        ++retryQuestions;
        return false;
    }
    QString openFile(const FileDialogRequest& request) override {
        lastOpen = request;
        return openAnswer;
    }
    QString saveFile(const FileDialogRequest& request) override {
        lastSave = request;
        return saveAnswer;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        ++textQuestions;
        return textAnswer;
    }
    bool shown(const QString& text) const {
        for (const auto& m : messages)
            if (m.text.contains(text)) return true;
        return false;
    }

    std::vector<ShownMessage> messages;
    int retryQuestions = 0;
    int textQuestions = 0;
    std::optional<QString> textAnswer;
    QString openAnswer, saveAnswer;
    FileDialogRequest lastOpen, lastSave;
};

// A port where no board ever answers; with `opens` false it cannot even be opened.
class DeadPort final : public link::SerialPort {
public:
    explicit DeadPort(bool opens) : opens_(opens) {}
    bool open(std::string& error) override {
        if (!opens_) error = "no such port";
        return open_ = opens_;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void write(std::span<const std::uint8_t>) override {}
    std::size_t bytesWaiting() const override { return 0; }
    std::vector<std::uint8_t> readAll() override { return {}; }
    void setReceiveThreshold(int) override {}
    int receiveThreshold() const override { return 1; }

private:
    bool opens_;
    bool open_ = false;
};

// The program's simulated board on the maps of `mapsDir`, for a test that looks into and changes its memory.
class SimBoardPort final : public SimulatedBoardPort {
public:
    explicit SimBoardPort(const std::filesystem::path& mapsDir, const sim::BoardSettings& settings = {})
        : SimulatedBoardPort(settings) {
        std::string error;
        EXPECT_TRUE(loadMaps(mapsDir, error)) << error;
    }
    std::uint8_t configByte(int address) const {
        return board().memory().read(sim::kConfigSpace, static_cast<std::uint16_t>(address));
    }
};

// Answers the questions of the editors' message boxes (Yes/No) with `answer` and keeps what was asked.
class QuestionAnswerer {
public:
    explicit QuestionAnswerer(editors::MessageAnswer answer) : answer(answer) {
        previous_ = editors::setMessageHandler([this](const editors::MessageRequest& r) {
            asked.append(r.text);
            return r.buttons == editors::MessageButtons::YesNo ? this->answer : editors::MessageAnswer::Ok;
        });
    }
    ~QuestionAnswerer() { editors::setMessageHandler(std::move(previous_)); }
    editors::MessageAnswer answer;
    QStringList asked;

private:
    editors::MessageHandler previous_;
};

// <tmp>/prog holds the program's files; <tmp> is the parent folder with the shared settings.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withMaps = true, bool withLanguages = true);
    std::filesystem::path dir() const { return dir_; }
    std::filesystem::path parent() const { return dir_.parent_path(); }
    bool valid() const { return temp_.isValid(); }
    static std::vector<std::filesystem::path> mapFiles();

private:
    QTemporaryDir temp_;
    std::filesystem::path dir_;
};

struct WindowUnderTest {
    std::shared_ptr<FakeDialogs> dialogs = std::make_shared<FakeDialogs>();
    std::unique_ptr<MainWindow> window;
    int launcherCalls = 0;
};

// A main window on the folder, with fake dialogs and no launcher; not started up.
using PortFactory = std::function<std::unique_ptr<link::SerialPort>()>;
std::unique_ptr<WindowUnderTest> MakeWindow(const ProgramFolder& folder,
                                            PortChoice port = PortChoice::Simulated,
                                            PortFactory portFactory = {});

// A test with a complete program folder and a main window started up on it.
class AppTest : public ::testing::Test {
protected:
    MainWindow& start(PortChoice port = PortChoice::Simulated, PortFactory portFactory = {}) {
        t = MakeWindow(folder, port, std::move(portFactory));
        EXPECT_TRUE(t->window->startUp());
        return *t->window;
    }
    FakeDialogs& dialogs() { return *t->dialogs; }
    bool waitState(AppState state, int ms) {
        return WaitUntil([&] { return t->window->appState() == state; }, ms);
    }
    bool waitClosed(const char* form, int ms = 10000) {
        return WaitUntil([&] { return !t->window->findChild<QWidget*>(form); }, ms);
    }

    ProgramFolder folder;
    std::unique_ptr<WindowUnderTest> t;
};

} // namespace vm::app::test
