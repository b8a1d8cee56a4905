// The live link steps aside: the unit reading after a connect, the whole-memory transfers, and the wait for
// the request in flight that a transfer or a disconnect begins with.
#include "LinkEngine.h"

#include "BlockTransfer.h"
#include "ProgramState.h"
#include "UnitReader.h"

#include <utility>

namespace vm::link {

void LinkEngine::whenIdle(std::function<void()> next) {
    whenIdle_ = std::move(next);
    checkIdle();
}

void LinkEngine::checkIdle() {
    if (inFlight_ || guard_.settling() || !whenIdle_) return;
    auto next = std::move(whenIdle_);
    whenIdle_ = nullptr;
    next();
}

void LinkEngine::readUnits() {
    if (state_ == LinkState::Transferring || state_ == LinkState::Disconnecting) return;
    if (unitReader_) unitReader_->cancel();
    retiredReader_ = std::move(unitReader_);
    const bool online = program_.Online && state_ == LinkState::Pumping;
    unitReader_ = std::make_unique<UnitReader>(*this, online);
    unitReader_->start();
}

void LinkEngine::saveRead() {
    startTransfer(TransferKind::Save);
}

void LinkEngine::writeBoard() {
    startTransfer(TransferKind::Write);
}

void LinkEngine::startTransfer(TransferKind kind) {
    if (state_ != LinkState::Pumping || !program_.Online) {
        if (kind == TransferKind::Save && state_ == LinkState::Closed)
            observer_.transferFinished(kind, true, ""); // offline: the image is saved as it is
        else
            observer_.transferFinished(kind, false, "not connected");
        return;
    }
    state_ = LinkState::Transferring;
    pumpPaused_ = true;
    linkReady_ = false;
    retiredTransfer_ = std::move(transfer_); // may still be on the stack: the caller can be its handler
    transfer_ = std::make_unique<BlockTransfer>(*this, kind);
    // The request in flight ends first (reply or time-out), so its bytes never mix with the blocks.
    // The receive notification stays on: the transfer takes its replies the moment they are complete.
    whenIdle([this] {
        discardWaiting();
        fill_.clear(); // blocks read before the transfer and after it must not make up one value
        transfer_->start();
    });
}

void LinkEngine::transferDone(TransferKind kind, bool ok, const std::string& error) {
    resumeLive();
    if (kind == TransferKind::Write) {
        showLamp(LinkLamp::SendDark);
        showLamp(LinkLamp::ReceiveDark);
        showLamp(LinkLamp::FaultDark);
    } else {
        showLamp(LinkLamp::SendDark);
        showLamp(LinkLamp::ReceiveDark);
    }
    observer_.transferFinished(kind, ok, error);
}

void LinkEngine::resumeLive() {
    // The live link comes back after every transfer, failed or not.
    state_ = LinkState::Pumping;
    if (port_ && port_->isOpen()) {
        discardWaiting();
        port_->setReceiveThreshold(1);
    }
    pumpPaused_ = false;
    linkReady_ = true;
    startPump();
}

} // namespace vm::link
