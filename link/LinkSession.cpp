#include "LinkSession.h"

#include "BlockTransfer.h"
#include "LinkEngine.h"
#include "LinkTexts.h"
#include "ProgramState.h"
#include "UnitReader.h"

namespace vm::link {

bool LinkSession::openPort(std::string& error) {
    SerialPort& port = *engine_.port_;
    if (port.isOpen()) return true;
    if (port.open(error)) return true;
    if (error.empty()) error = "the serial port could not be opened";
    // The fixed message, and below it why this port failed and what to do about it.
    engine_.observer_.showMessage(texts::kPortErrorTitle, std::string(texts::kPortErrorText) + "\r\r" + error,
                                  kIconCritical);
    failed_ = true;
    return false;
}

void LinkSession::connect(ConnectPurpose purpose) {
    if (engine_.state_ != LinkState::Closed) return;
    purpose_ = purpose;
    failed_ = false;
    if (!engine_.port_) {
        engine_.observer_.showMessage(texts::kPortErrorTitle, texts::kPortErrorText, kIconCritical);
        failConnect(ConnectOutcome::Failed, "no serial port");
        return;
    }
    if (std::string error; !openPort(error)) {
        failConnect(ConnectOutcome::Failed, error);
        return;
    }
    engine_.port_->setReceiveThreshold(1);
    engine_.discardWaiting();
    engine_.state_ = LinkState::Identifying;
    engine_.beginLive();
    engine_.Identify();
}

void LinkSession::failConnect(ConnectOutcome outcome, const std::string& error) {
    teardown();
    failed_ = true;
    engine_.observer_.connectFinished(outcome, error);
}

void LinkSession::disconnect() {
    switch (engine_.state_) {
    case LinkState::Closed:
        engine_.program_.Online = false;
        engine_.observer_.disconnected("");
        return;
    case LinkState::Disconnecting:
        return;
    case LinkState::Identifying:
    case LinkState::AwaitingRetry:
        failConnect(ConnectOutcome::Failed, "cancelled");
        engine_.program_.Online = false;
        engine_.observer_.disconnected("");
        return;
    case LinkState::Pumping:
    case LinkState::Transferring:
        break;
    }
    abortActivities("the link was closed");
    failed_ = false;
    engine_.state_ = LinkState::Disconnecting;
    engine_.stopPump();
    engine_.pumpPaused_ = true;
    engine_.whenIdle([this] { close(""); });
}

void LinkSession::portLost(const std::string& reason) {
    const std::string text = "Serial port lost\n" + reason;
    switch (engine_.state_) {
    case LinkState::Closed:
        return;
    case LinkState::Identifying:
    case LinkState::AwaitingRetry:
        engine_.observer_.showMessage(texts::kErrorTitle, text, kIconCritical);
        failConnect(ConnectOutcome::Failed, text);
        return;
    default:
        break;
    }
    abortActivities(text);
    engine_.observer_.showMessage(texts::kErrorTitle, text, kIconCritical);
    close(reason.empty() ? "serial port lost" : reason);
}

void LinkSession::abortActivities(const std::string& why) {
    engine_.unitReader_.reset();
    if (engine_.state_ == LinkState::Transferring && engine_.transfer_) {
        engine_.transfer_->abort();
        const TransferKind kind = engine_.transfer_->kind();
        engine_.state_ = LinkState::Pumping;
        engine_.observer_.transferFinished(kind, false, why);
    }
}

void LinkSession::close(const std::string& reason) {
    engine_.unitReader_.reset();
    teardown();
    engine_.program_.Online = false;
    engine_.showLamp(LinkLamp::SendDark);
    engine_.showLamp(LinkLamp::ReceiveDark);
    engine_.observer_.disconnected(reason);
}

void LinkSession::teardown() {
    engine_.endLive();
    if (engine_.port_ && engine_.port_->isOpen()) engine_.port_->close();
    engine_.state_ = LinkState::Closed;
}

} // namespace vm::link
