// The live link: pump, requests, replies, time-outs, connect and disconnect.
#include "LinkEngine.h"

#include "BlockTransfer.h"
#include "FormList.h"
#include "Frames.h"
#include "LinkTexts.h"
#include "ProgramState.h"
#include "UnitReader.h"

#include <utility>

namespace vm::link {

LinkEngine::LinkEngine(ProgramState& state, FormList& forms, TimerService& timers, LinkObserver& observer,
                       LinkOptions options)
    : program_(state), forms_(forms), timers_(timers), observer_(observer), options_(std::move(options)),
      fill_(state) {}

LinkEngine::~LinkEngine() {
    for (auto* id : {&timer1_, &timer2_, &timer3_, &timer4_, &timer5_, &quietTimer_})
        stop(*id);
    if (transfer_) transfer_->abort();
    unitReader_.reset();
    if (port_) {
        port_->onReceive = nullptr;
        port_->onLost = nullptr;
    }
}

void LinkEngine::setPort(SerialPort* port) {
    if (state_ != LinkState::Closed) return;
    if (port_) {
        port_->onReceive = nullptr;
        port_->onLost = nullptr;
    }
    port_ = port;
    if (port_) {
        port_->onReceive = [this] { onReceive(); };
        port_->onLost = [this](const std::string& reason) { onPortLost(reason); };
    }
}

bool LinkEngine::transferRunning() const {
    return state_ == LinkState::Transferring;
}

// --- timers ---

void LinkEngine::restart(TimerService::TimerId& id, int ms, std::function<void()> callback) {
    stop(id);
    id = timers_.startTimer(ms, std::move(callback));
}

void LinkEngine::stop(TimerService::TimerId& id) {
    if (id != 0) timers_.cancelTimer(id);
    id = 0;
}

void LinkEngine::ShowLinkStatus(int code) {
    observer_.linkStatus(code);
}

// --- the pump ---

void LinkEngine::startPump() {
    restart(timer1_, kPumpIntervalMs, [this] { pumpTick(); });
}

void LinkEngine::stopPump() {
    stop(timer1_);
}

void LinkEngine::pumpTick() {
    timer1_ = 0;
    if (state_ != LinkState::Pumping) return;
    if (linkReady_ && !pumpPaused_) PumpNext();
    if (state_ == LinkState::Pumping && timer1_ == 0) startPump();
}

void LinkEngine::PumpNext() {
    if (!port_ || inFlight_ || identifyMode_ || line_ == LineState::Settling || state_ != LinkState::Pumping)
        return;
    if (const auto block = fill_.next(0)) { // the blocks of a window being filled go first
        sendBlock(*block);
        return;
    }
    // Records fill indexes 1..RecordCount; index 0 is never filled. The whole range takes part.
    const int count = program_.RecordCount[0];
    for (;;) {
        if (linkCursor_ >= 1 && linkCursor_ <= count) {
            ParamCell& cell = program_.cell(linkCursor_, 0);
            if (cell.has(Pending)) {
                if (const auto block = fill_.next(linkCursor_)) {
                    sendBlock(*block); // the cursor stays: the pump goes on here afterwards
                    return;
                }
                std::uint8_t& divider = cell.at(CellPos::PollDivider);
                bool sitOut = false;
                if (divider != 0 && !cell.has(WritePending)) {
                    if (divider & 0xF0)
                        divider = static_cast<std::uint8_t>(divider - 16), sitOut = true;
                    else
                        divider = static_cast<std::uint8_t>((divider & 0x0F) * 17);
                }
                if (!sitOut) {
                    req_ = Request{};
                    req_.addrHigh = cell.at(CellPos::AddressHigh);
                    req_.addrLow = cell.at(CellPos::AddressLow);
                    req_.command = cell.at(CellPos::Command) & 0x7F;
                    req_.page = cell.at(CellPos::Page);
                    req_.size = cell.sizeCode();
                    req_.data.assign(cell.bytes.begin() + (CellPos::Value - 1),
                                     cell.bytes.begin() + (CellPos::Value - 1) + req_.size + 1);
                    req_.cellIndex = linkCursor_;
                    // A write request is consumed when its frame is built; it is put back if the board
                    // never acknowledges it.
                    req_.write = cell.has(WritePending);
                    cell.at(CellPos::Status) &= static_cast<std::uint8_t>(~WritePending);
                    SendRequest();
                    return;
                }
            }
        }
        ++linkCursor_;
        if (linkCursor_ > count) {
            cycleEnded();
            return;
        }
    }
}

void LinkEngine::cycleEnded() {
    linkCursor_ = 0;
    program_.CurrentBank = 0;
    fill_.endOfCycle();
}

void LinkEngine::sendBlock(const WindowFill::Block& block) {
    req_ = Request{};
    req_.command = static_cast<std::uint8_t>(0x50 | (block.count - 1));
    req_.addrLow = static_cast<std::uint8_t>(block.first & 0xFF);
    req_.addrHigh = static_cast<std::uint8_t>(block.first >> 8);
    req_.size = block.count - 1;
    req_.block = true;
    SendRequest();
}

void LinkEngine::blockArrived(const std::vector<std::uint8_t>& replyData) {
    linkReady_ = true;
    // Each cell is checked as it comes: a delivery may make a window write, release or close.
    for (const auto& [index, bytes] : fill_.arrived(replyData))
        if (storeReply(index, bytes)) NotifyForms(index, bytes);
    // The next block goes out at once rather than a tick later.
    if (state_ == LinkState::Pumping && !pumpPaused_ && fill_.next(0)) restart(timer1_, 0, [this] { pumpTick(); });
    checkIdle();
}

void LinkEngine::SendRequest() {
    if (!port_) return;
    inFlight_ = true;
    linkReady_ = false;
    if (line_ == LineState::Settling) {
        afterQuiet_ = AfterQuiet::Resend; // sent once the line is quiet
        return;
    }
    if (port_->isOpen() && port_->bytesWaiting() > 0) {
        // Bytes nobody asked for: some reply came late, and the next one may be out of step too.
        ShowLinkStatus(6);
        lineFault(AfterQuiet::Resend);
        return;
    }
    restart(timer3_, kSendIndicatorMs, [this] {
        timer3_ = 0;
        ShowLinkStatus(1);
    });
    ShowLinkStatus(4);
    linkReady_ = false;

    req_.data.resize(req_.size + 1);
    ParamRequest request{req_.command, req_.write,
                         req_.page,    static_cast<std::uint16_t>(req_.addrHigh * 256 + req_.addrLow),
                         req_.size,    req_.data};
    const Frame frame = BuildParamFrame(request);
    req_.checksum = frame.back();

    const std::uint64_t generation = ++generation_;
    restart(timer2_, kReplyTimeoutMs, [this, generation] { onReplyTimeout(generation); });
    if (identifyMode_) {
        const std::uint64_t ident = identGeneration_;
        restart(timer5_, kIdentTimeoutMs, [this, ident] { onIdentTimeout(ident); });
    }
    if (tap_) tap_->requestSent(timers_.nowMs(), frame, std::exchange(retrying_, false));
    port_->write(frame); // a port may answer from inside write: nothing may follow this line
}

void LinkEngine::discardWaiting() {
    if (port_ && port_->isOpen() && port_->bytesWaiting() > 0) (void)readPort(true);
}

std::vector<std::uint8_t> LinkEngine::readPort(bool discarded) {
    std::vector<std::uint8_t> bytes = port_->readAll();
    if (tap_) tap_->bytesRead(timers_.nowMs(), bytes, discarded);
    return bytes;
}

void LinkEngine::onReceive() {
    if (!port_ || state_ == LinkState::Closed) return;
    if (line_ == LineState::Settling) {
        // Still out of step: whatever arrives is thrown away and the quiet pause starts again. A first
        // read taken before it may have been a stale reply, so the confirmation starts over.
        discardWaiting();
        firstRead_.reset();
        waitForQuiet(afterQuiet_, quietMs_);
        return;
    }
    // A transfer waits for the reply of the request in flight (or its time-out) before it starts.
    if (state_ == LinkState::Transferring && !inFlight_) {
        if (transfer_) transfer_->bytesArrived();
        return;
    }
    if (!inFlight_) {
        // Nothing was asked: a late reply. The line is out of step until it has been quiet.
        ShowLinkStatus(6);
        lineFault(AfterQuiet::Resume);
        return;
    }
    const std::size_t waiting = port_->bytesWaiting();
    if (waiting == 0) return;
    if (!req_.write && waiting <= static_cast<std::size_t>(req_.size + 1)) return; // not complete yet
    handleReply(readPort(false));
}

void LinkEngine::handleReply(const std::vector<std::uint8_t>& reply) {
    stop(timer2_);
    unanswered_ = 0;
    restart(timer4_, kReceiveIndicatorMs, [this] {
        timer4_ = 0;
        ShowLinkStatus(2);
        ShowLinkStatus(3);
    });
    ShowLinkStatus(5);
    ShowLinkStatus(3);

    std::vector<std::uint8_t> replyData;
    bool match = false;
    if (!req_.write) {
        const auto count = static_cast<std::size_t>(req_.size + 1);
        replyData.assign(reply.begin(),
                         reply.begin() + static_cast<std::ptrdiff_t>(std::min(count, reply.size())));
        // Exactly the value bytes and their sum: with a stray byte in front the sum can still match a
        // shifted value.
        match = IsValidDataReply(reply, static_cast<int>(count));
    } else {
        replyData = req_.data;
        match = reply.size() == 1 && reply[0] == static_cast<std::uint8_t>(req_.checksum * 2);
    }

    if (!match && tap_) tap_->checksumFailed(timers_.nowMs());
    if (retryCount_ == kMaxChecksumRetries) {
        retryCount_ = 0;
        requestDropped();
        return;
    }
    if (!match) {
        ShowLinkStatus(6);
        ++retryCount_;
        lineFault(AfterQuiet::Resend);
        return;
    }
    if (line_ == LineState::Confirming) {
        // After a fault a reply may still be the late answer to an earlier request: the request is sent
        // again after a quiet pause, and the value counts only when both replies agree.
        const std::vector<std::uint8_t>& got = req_.write ? reply : replyData;
        if (!firstRead_) {
            firstRead_ = got;
            waitForQuiet(AfterQuiet::Resend, kConfirmQuietMs);
            return;
        }
        if (*firstRead_ != got) {
            ShowLinkStatus(6);
            ++retryCount_;
            lineFault(AfterQuiet::Resend);
            return;
        }
        firstRead_.reset();
        line_ = LineState::InStep;
    }
    retryCount_ = 0;
    inFlight_ = false;
    if (tap_) tap_->replyAccepted(timers_.nowMs());
    if (identifyMode_) {
        identificationReply(true, replyData[0]);
        return;
    }
    AcceptReply(replyData);
}

void LinkEngine::requestDropped() {
    inFlight_ = false;
    if (identifyMode_) {
        identificationReply(false, 0);
        return;
    }
    if (req_.write && req_.cellIndex > 0) // still to be written, even when nobody watches it any more
        program_.cell(req_.cellIndex, 0).at(CellPos::Status) |= WritePending | Pending;
    AcceptReply({});
}

// Stores a read's value in its cell; false when it must not be shown.
bool LinkEngine::storeReply(int index, const std::vector<std::uint8_t>& replyData) {
    if (index < 1 || index > program_.RecordCount[0]) return false;
    ParamCell& cell = program_.cell(index, 0);
    // A cell changed again while its request was on the way keeps the newer local value: it is
    // written next, and the reply's older value is neither stored nor shown.
    if (!cell.has(Pending) || replyData.empty() || cell.has(WritePending)) return false;
    std::uint8_t status = cell.status() | Valid;
    if (!(status & Watched)) status &= static_cast<std::uint8_t>(~Pending);
    if (cell.at(CellPos::PollDivider) == 0) status &= static_cast<std::uint8_t>(~Pending);
    cell.at(CellPos::Status) = status;
    for (int i = 0; i < cell.valueSize() && CellPos::Value + i <= kCellSize; ++i)
        cell.at(CellPos::Value + i) = i < static_cast<int>(replyData.size()) ? replyData[i] : 0;
    return true;
}

void LinkEngine::AcceptReply(const std::vector<std::uint8_t>& replyData) {
    if (req_.block) {
        blockArrived(replyData);
        return;
    }
    const int index = linkCursor_;
    const bool deliver = storeReply(index, replyData);
    ++linkCursor_;
    if (linkCursor_ > program_.RecordCount[0]) cycleEnded();
    linkReady_ = true;
    // The value is delivered before a waiting disconnect or transfer goes on; a form may react to it by
    // calling back into the link, which finds a consistent state.
    if (deliver) NotifyForms(index, replyData);
    checkIdle();
}

void LinkEngine::NotifyForms(int index, const std::vector<std::uint8_t>& data) {
    ParamData value;
    const int size = program_.cell(index, 0).sizeCode();
    if (size > 3) {
        value = std::string(data.begin(), data.end());
    } else {
        double number = 0, weight = 1;
        for (int i = 0; i <= size && i < static_cast<int>(data.size()); ++i, weight *= 256)
            number += data[i] * weight;
        value = number;
    }
    forms_.deliverToAll(index, value);
}

void LinkEngine::onReplyTimeout(std::uint64_t generation) {
    // A stale time-out never acts.
    if (generation != generation_ || !inFlight_ || line_ == LineState::Settling) return;
    timer2_ = 0;
    requestTimedOut();
}

void LinkEngine::requestTimedOut() {
    stop(timer2_);
    if (tap_) tap_->timedOut(timers_.nowMs());
    ShowLinkStatus(6);
    ShowLinkStatus(2);
    retryCount_ = 0;
    if (!resetPort()) return;
    if (identifyMode_) {
        lineFault(++identTimeouts_ < kIdentAttempts ? AfterQuiet::Resend : AfterQuiet::Abandon);
        return;
    }
    const bool resend = !pumpPaused_ && req_.cellIndex > 0 &&
                        (program_.cell(req_.cellIndex, 0).at(CellPos::PollDivider) & 0x02);
    lineFault(resend ? AfterQuiet::Resend : AfterQuiet::Abandon);
    // Said once; the pump goes on asking, and the board's next reply starts the count again.
    if (++unanswered_ == kSilentRequests)
        observer_.showMessage(texts::kSerialTitle, texts::kBoardSilent, kIconExclamation);
}

void LinkEngine::lineFault(AfterQuiet then) {
    firstRead_.reset();
    // The request in flight goes out again, now or at the pump's next tick; the second read of a
    // confirmation is no retry.
    retrying_ = then != AfterQuiet::Resume;
    waitForQuiet(then, kLineGuardMs);
}

void LinkEngine::waitForQuiet(AfterQuiet then, int quietMs) {
    line_ = LineState::Settling;
    afterQuiet_ = then;
    quietMs_ = quietMs;
    linkReady_ = false;
    ++generation_; // the reply time-out of the request in flight must not act any more
    stop(timer2_);
    stop(timer5_);
    discardWaiting();
    const std::uint64_t generation = ++quietGeneration_;
    restart(quietTimer_, quietMs, [this, generation] { onQuiet(generation); });
}

void LinkEngine::onQuiet(std::uint64_t generation) {
    if (generation != quietGeneration_ || line_ != LineState::Settling) return;
    quietTimer_ = 0;
    line_ = LineState::Confirming;
    AfterQuiet then = afterQuiet_;
    // A disconnect or transfer is waiting: the request is given up rather than sent again.
    if (then == AfterQuiet::Resend && pumpPaused_ && !identifyMode_) then = AfterQuiet::Abandon;
    switch (then) {
    case AfterQuiet::Resend:
        SendRequest();
        return;
    case AfterQuiet::Abandon:
        inFlight_ = false;
        if (identifyMode_) {
            identificationReply(false, 0);
            return;
        }
        if (req_.write && req_.cellIndex > 0)
            program_.cell(req_.cellIndex, 0).at(CellPos::Status) |= WritePending | Pending; // still to be written
        if (req_.block) (void)fill_.arrived({}); // the pump reads the cells one by one
        linkReady_ = true; // the cursor has not moved: the next tick asks the same cell again
        checkIdle();
        return;
    case AfterQuiet::Resume:
        linkReady_ = state_ == LinkState::Pumping;
        checkIdle();
        return;
    }
}

void LinkEngine::resetLine() {
    stop(quietTimer_);
    ++quietGeneration_;
    line_ = LineState::InStep;
    firstRead_.reset();
    retrying_ = false;
}

bool LinkEngine::resetPort() {
    port_->close();
    std::string error;
    if (!port_->open(error)) {
        onPortLost(error.empty() ? "the port could not be opened again" : error);
        return false;
    }
    return true;
}

// --- connect and disconnect ---

bool LinkEngine::OpenPort(std::string& error) {
    if (port_->isOpen()) return true;
    if (port_->open(error)) return true;
    if (error.empty()) error = "the serial port could not be opened";
    // The fixed message, and below it why this port failed and what to do about it.
    observer_.showMessage(texts::kPortErrorTitle, std::string(texts::kPortErrorText) + "\r\r" + error,
                          kIconCritical);
    linkFailed_ = true;
    return false;
}

void LinkEngine::connect(ConnectPurpose purpose) {
    if (state_ != LinkState::Closed) return;
    purpose_ = purpose;
    linkFailed_ = false;
    if (!port_) {
        observer_.showMessage(texts::kPortErrorTitle, texts::kPortErrorText, kIconCritical);
        failConnect(ConnectOutcome::Failed, "no serial port");
        return;
    }
    if (std::string error; !OpenPort(error)) {
        failConnect(ConnectOutcome::Failed, error);
        return;
    }
    port_->setReceiveThreshold(1);
    discardWaiting();
    state_ = LinkState::Identifying;
    identifyMode_ = true;
    linkReady_ = false;
    pumpPaused_ = false;
    retryCount_ = 0;
    unanswered_ = 0;
    linkCursor_ = 0;
    fill_.clear();
    resetLine();
    Identify();
}

void LinkEngine::failConnect(ConnectOutcome outcome, const std::string& error) {
    for (auto* id : {&timer1_, &timer2_, &timer3_, &timer4_, &timer5_, &quietTimer_})
        stop(*id);
    ++generation_;
    ++identGeneration_;
    resetLine();
    inFlight_ = false;
    identifyMode_ = false;
    linkReady_ = false;
    whenIdle_ = nullptr;
    if (port_ && port_->isOpen()) port_->close();
    state_ = LinkState::Closed;
    linkFailed_ = true;
    observer_.connectFinished(outcome, error);
}

void LinkEngine::disconnect() {
    switch (state_) {
    case LinkState::Closed:
        program_.Online = false;
        observer_.disconnected("");
        return;
    case LinkState::Disconnecting:
        return;
    case LinkState::Identifying:
    case LinkState::AwaitingRetry:
        failConnect(ConnectOutcome::Failed, "cancelled");
        program_.Online = false;
        observer_.disconnected("");
        return;
    case LinkState::Pumping:
    case LinkState::Transferring:
        break;
    }
    abortActivities("the link was closed");
    linkFailed_ = false;
    state_ = LinkState::Disconnecting;
    stopPump();
    pumpPaused_ = true;
    whenIdle([this] { closeLink(""); });
}

void LinkEngine::abortActivities(const std::string& why) {
    unitReader_.reset();
    if (state_ == LinkState::Transferring && transfer_) {
        transfer_->abort();
        const TransferKind kind = transfer_->kind();
        state_ = LinkState::Pumping;
        observer_.transferFinished(kind, false, why);
    }
}

void LinkEngine::whenIdle(std::function<void()> next) {
    whenIdle_ = std::move(next);
    checkIdle();
}

void LinkEngine::checkIdle() {
    if (inFlight_ || line_ == LineState::Settling || !whenIdle_) return;
    auto next = std::move(whenIdle_);
    whenIdle_ = nullptr;
    next();
}

void LinkEngine::closeLink(const std::string& reason) {
    for (auto* id : {&timer1_, &timer2_, &timer3_, &timer4_, &timer5_, &quietTimer_})
        stop(*id);
    ++generation_;
    resetLine();
    inFlight_ = false;
    identifyMode_ = false;
    linkReady_ = false;
    pumpPaused_ = false;
    whenIdle_ = nullptr;
    unitReader_.reset();
    if (port_ && port_->isOpen()) port_->close();
    state_ = LinkState::Closed;
    program_.Online = false;
    ShowLinkStatus(1);
    ShowLinkStatus(2);
    observer_.disconnected(reason);
}

void LinkEngine::onPortLost(const std::string& reason) {
    const std::string text = "Serial port lost\n" + reason;
    switch (state_) {
    case LinkState::Closed:
        return;
    case LinkState::Identifying:
    case LinkState::AwaitingRetry:
        observer_.showMessage(texts::kErrorTitle, text, kIconCritical);
        failConnect(ConnectOutcome::Failed, text);
        return;
    default:
        break;
    }
    abortActivities(text);
    observer_.showMessage(texts::kErrorTitle, text, kIconCritical);
    closeLink(reason.empty() ? "serial port lost" : reason);
}

// --- unit reading and transfers ---

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
        ShowLinkStatus(1);
        ShowLinkStatus(2);
        ShowLinkStatus(3);
    } else {
        ShowLinkStatus(1);
        ShowLinkStatus(2);
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
