#include "LinkController.h"

#include "QtTimerService.h"
#include "SecretParams.h"

namespace vm::link {

class LinkController::Bridge : public LinkObserver {
public:
    explicit Bridge(LinkController& owner) : owner_(owner) {}

    void linkStatus(int code) override { emit owner_.linkStatus(code); }
    void showMessage(const std::string& title, const std::string& text, int icon) override {
        emit owner_.message(QString::fromStdString(title), QString::fromStdString(text), icon);
    }
    void askRetry(const std::string& title, const std::string& text) override {
        emit owner_.askRetry(QString::fromStdString(title), QString::fromStdString(text));
    }
    void connectFinished(ConnectOutcome outcome, const std::string& error) override {
        switch (outcome) {
        case ConnectOutcome::Connected:
            emit owner_.connected();
            break;
        case ConnectOutcome::Failed:
            emit owner_.connectFailed(QString::fromStdString(error));
            break;
        case ConnectOutcome::Refused:
            emit owner_.refused(QString::fromStdString(error));
            break;
        }
    }
    void disconnected(const std::string& reason) override {
        emit owner_.disconnected(QString::fromStdString(reason));
    }
    void transferProgress(TransferKind kind, int value, int maximum) override {
        emit owner_.transferProgress(kind, value, maximum);
    }
    void transferText(TransferKind kind, const std::string& text) override {
        emit owner_.transferText(kind, QString::fromStdString(text));
    }
    void firstUnitRead(int code) override { emit owner_.firstUnitRead(code); }
    void unitsRead(const UnitReadResult& result) override { emit owner_.unitsRead(result); }
    void transferFinished(TransferKind kind, bool ok, const std::string& error) override {
        emit owner_.transferFinished(kind, ok, QString::fromStdString(error));
    }

private:
    LinkController& owner_;
};

LinkController::LinkController(ProgramState& state, FormList& forms, LinkOptions options, QObject* parent)
    : QObject(parent), bridge_(std::make_unique<Bridge>(*this)), timers_(std::make_unique<QtTimerService>()),
      engine_(std::make_unique<LinkEngine>(state, forms, *timers_, *bridge_, std::move(options))) {
    engine_->setTap(&monitor_);
    monitor_.setSecrets([&state](int space, int address) { return IsSecretAddress(state, space, address); });
}

LinkController::~LinkController() {
    engine_.reset(); // detaches from the port before the port goes
    port_.reset();
}

bool LinkController::setPort(std::unique_ptr<SerialPort> port) {
    if (engine_->state() != LinkState::Closed) return false;
    engine_->setPort(port.get());
    port_ = std::move(port);
    return true;
}

void LinkController::connectBoard(ConnectPurpose purpose) {
    engine_->connect(purpose);
}
void LinkController::disconnectBoard() {
    engine_->disconnect();
}
void LinkController::answerRetry(bool retry) {
    engine_->answerRetry(retry);
}
void LinkController::readUnits() {
    engine_->readUnits();
}
void LinkController::saveConfiguration() {
    engine_->saveRead();
}
void LinkController::writeBoard() {
    engine_->writeBoard();
}

} // namespace vm::link
