#pragma once
// A program folder of its own for every test (maps and language files copied beside a fake executable),
// dialogs answered by the test, and ports that fail.

#include "AppConfig.h"
#include "MainWindow.h"
#include "Screenshots.h"
#include "SerialPort.h"

#include <QTemporaryDir>

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
    bool shown(const QString& text) const {
        for (const auto& m : messages)
            if (m.text.contains(text)) return true;
        return false;
    }

    std::vector<ShownMessage> messages;
    int retryQuestions = 0;
    QString openAnswer, saveAnswer;
    FileDialogRequest lastOpen, lastSave;
};

// A port that cannot be opened.
class FailingPort final : public link::SerialPort {
public:
    bool open(std::string& error) override {
        error = "no such port";
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    void write(std::span<const std::uint8_t>) override {}
    std::size_t bytesWaiting() const override { return 0; }
    std::vector<std::uint8_t> readAll() override { return {}; }
    void setReceiveThreshold(int) override {}
    int receiveThreshold() const override { return 1; }
};

// A port that opens but where no board ever answers.
class SilentPort final : public link::SerialPort {
public:
    bool open(std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void write(std::span<const std::uint8_t>) override {}
    std::size_t bytesWaiting() const override { return 0; }
    std::vector<std::uint8_t> readAll() override { return {}; }
    void setReceiveThreshold(int) override {}
    int receiveThreshold() const override { return 1; }

private:
    bool open_ = false;
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
std::unique_ptr<WindowUnderTest>
MakeWindow(const ProgramFolder& folder, PortChoice port = PortChoice::Simulated,
           std::function<std::unique_ptr<link::SerialPort>()> portFactory = {});

} // namespace vm::app::test
