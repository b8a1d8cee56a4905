#pragma once
// The board link as a QObject: owns the engine, the Qt timer service and the serial port handed in by the
// caller (a real port, or the simulated board's in-process port), and turns the engine's notifications
// into signals. Used by the main window and by the command-line companion.

#include "LinkEngine.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

namespace vm::link {

class QtTimerService;

class LinkController : public QObject {
    Q_OBJECT
public:
    LinkController(ProgramState& state, FormList& forms, LinkOptions options, QObject* parent = nullptr);
    ~LinkController() override;

    // The port of the next connect. Refused (returns false) while a connection is open.
    bool setPort(std::unique_ptr<SerialPort> port);
    SerialPort* port() const { return port_.get(); }

    void
    connectBoard(ConnectPurpose purpose = ConnectPurpose::Edit); // -> connected / connectFailed / refused
    void disconnectBoard();                                      // -> disconnected
    void answerRetry(bool retry);                                // the answer to askRetry
    void readUnits();                                            // -> unitsRead
    void saveConfiguration();                                    // -> transferFinished(Save, ...)
    void writeBoard();                                           // -> transferFinished(Write, ...)

    bool isConnected() const { return engine_->isConnected(); }
    bool transferRunning() const { return engine_->transferRunning(); }
    LinkState linkState() const { return engine_->state(); }
    LinkEngine& engine() { return *engine_; }
    // The counts and the trace of the live traffic, for the whole run.
    LinkMonitor& monitor() { return monitor_; }

signals:
    void linkStatus(vm::link::LinkLamp lamp);
    void message(const QString& title, const QString& text, int icon);
    // Retry/Cancel question; answer with answerRetry (at once or later).
    void askRetry(const QString& title, const QString& text);
    void connected();
    void connectFailed(const QString& error);
    // Incompatible board: the message was already sent through `message`; the program is to end.
    void refused(const QString& text);
    // The link closed; `reason` is empty after disconnectBoard, else why the port was lost.
    void disconnected(const QString& reason);
    void firstUnitRead(int code); // the menus that depend on the first unit are set at once
    void unitsRead(const vm::link::UnitReadResult& result);
    void transferText(vm::link::TransferKind kind, const QString& text);
    void transferProgress(vm::link::TransferKind kind, int value, int maximum);
    void transferFinished(vm::link::TransferKind kind, bool ok, const QString& error);

private:
    class Bridge; // the engine's observer, emitting the signals above

    std::unique_ptr<Bridge> bridge_;
    std::unique_ptr<QtTimerService> timers_;
    std::unique_ptr<SerialPort> port_;
    LinkMonitor monitor_;
    std::unique_ptr<LinkEngine> engine_;
};

} // namespace vm::link
