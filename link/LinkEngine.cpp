// The live link: requests, replies and their checks, time-outs and line faults, storing and delivering
// values.
#include "LinkEngine.h"

#include "BlockTransfer.h"
#include "FormList.h"
#include "Frames.h"
#include "LinkTexts.h"
#include "ProgramState.h"
#include "UnitReader.h"

#include <algorithm>
#include <utility>

namespace vm::link {

LinkEngine::LinkEngine(ProgramState& state, FormList& forms, TimerService& timers, LinkObserver& observer,
                       LinkOptions options)
    : program_(state), forms_(forms), timers_(timers), observer_(observer), options_(std::move(options)),
      guard_(timers, {.hold = [this] { holdRequest(); },
                      .discard = [this] { discardWaiting(); },
                      .quiet = [this](AfterQuiet then) { lineQuiet(then); }}),
      fill_(state) {}

LinkEngine::~LinkEngine() {
    stopTimers(); // the line guard stops its own
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
        port_->onLost = [this](const std::string& reason) { session_.portLost(reason); };
    }
}

bool LinkEngine::transferRunning() const {
    return state_ == LinkState::Transferring;
}

void LinkEngine::connect(ConnectPurpose purpose) {
    session_.connect(purpose);
}

void LinkEngine::disconnect() {
    session_.disconnect();
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

void LinkEngine::stopTimers() {
    for (auto* id : {&pumpTimer_, &replyTimer_, &sendLampTimer_, &receiveLampTimer_, &identTimer_})
        stop(*id);
}

void LinkEngine::showLamp(LinkLamp lamp) {
    observer_.linkStatus(lamp);
}

void LinkEngine::SendRequest() {
    if (!port_) return;
    inFlight_ = true;
    linkReady_ = false;
    if (guard_.settling()) {
        guard_.resendWhenQuiet();
        return;
    }
    if (port_->isOpen() && port_->bytesWaiting() > 0) {
        // Bytes nobody asked for: some reply came late, and the next one may be out of step too.
        showLamp(LinkLamp::FaultLit);
        lineFault(AfterQuiet::Resend);
        return;
    }
    restart(sendLampTimer_, kSendIndicatorMs, [this] {
        sendLampTimer_ = 0;
        showLamp(LinkLamp::SendDark);
    });
    showLamp(LinkLamp::SendLit);
    linkReady_ = false;

    req_.data.resize(req_.size + 1);
    ParamRequest request{req_.command, req_.write,
                         req_.page,    static_cast<std::uint16_t>(req_.addrHigh * 256 + req_.addrLow),
                         req_.size,    req_.data};
    const Frame frame = BuildParamFrame(request);
    req_.checksum = frame.back();

    const std::uint64_t generation = ++generation_;
    restart(replyTimer_, kReplyTimeoutMs, [this, generation] { onReplyTimeout(generation); });
    if (identifyMode_) {
        const std::uint64_t ident = identGeneration_;
        restart(identTimer_, kIdentTimeoutMs, [this, ident] { onIdentTimeout(ident); });
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
    if (guard_.settling()) { // still out of step
        guard_.inputWhileSettling();
        return;
    }
    // A transfer waits for the reply of the request in flight (or its time-out) before it starts.
    if (state_ == LinkState::Transferring && !inFlight_) {
        if (transfer_) transfer_->bytesArrived();
        return;
    }
    if (!inFlight_) {
        // Nothing was asked: a late reply. The line is out of step until it has been quiet.
        showLamp(LinkLamp::FaultLit);
        lineFault(AfterQuiet::Resume);
        return;
    }
    const std::size_t waiting = port_->bytesWaiting();
    if (waiting == 0) return;
    if (!req_.write && waiting <= static_cast<std::size_t>(req_.size + 1)) return; // not complete yet
    handleReply(readPort(false));
}

void LinkEngine::handleReply(const std::vector<std::uint8_t>& reply) {
    stop(replyTimer_);
    unanswered_ = 0;
    restart(receiveLampTimer_, kReceiveIndicatorMs, [this] {
        receiveLampTimer_ = 0;
        showLamp(LinkLamp::ReceiveDark);
        showLamp(LinkLamp::FaultDark);
    });
    showLamp(LinkLamp::ReceiveLit);
    showLamp(LinkLamp::FaultDark);

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
        showLamp(LinkLamp::FaultLit);
        ++retryCount_;
        lineFault(AfterQuiet::Resend);
        return;
    }
    // After a fault a reply may still be the late answer to an earlier request: the request is sent
    // again after a quiet pause, and the value counts only when both replies agree.
    switch (guard_.check(req_.write ? reply : replyData)) {
    case LineGuard::Verdict::Take:
        break;
    case LineGuard::Verdict::ReadAgain:
        return;
    case LineGuard::Verdict::Differs:
        showLamp(LinkLamp::FaultLit);
        ++retryCount_;
        lineFault(AfterQuiet::Resend);
        return;
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
    // The next cell never read goes on the line before this value is shown: the windows' work overlaps the
    // wire. (A form that changes that cell meanwhile keeps its value: the reply is not stored over a write.)
    if (moreFirstReads()) sendNextNow();
    // The value is delivered before a waiting disconnect or transfer goes on; a form may react to it by
    // calling back into the link, which finds a consistent state.
    if (deliver) NotifyForms(index, replyData);
    // What a window started to watch as it took the value is read now too, not a tick later.
    if (!inFlight_ && program_.PendingChanges != seenPendingChanges_) sendNextNow();
    checkIdle();
}

void LinkEngine::blockArrived(const std::vector<std::uint8_t>& replyData) {
    linkReady_ = true;
    // Each cell is checked as it comes: a delivery may make a window write, release or close.
    for (const auto& [index, bytes] : fill_.arrived(replyData))
        if (storeReply(index, bytes)) NotifyForms(index, bytes);
    // The next block, or the next cell never read, goes out at once rather than a tick later.
    if (moreFirstReads() || fill_.next(0)) sendNextNow();
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
    if (generation != generation_ || !inFlight_ || guard_.settling()) return;
    replyTimer_ = 0;
    requestTimedOut();
}

void LinkEngine::requestTimedOut() {
    stop(replyTimer_);
    if (tap_) tap_->timedOut(timers_.nowMs());
    showLamp(LinkLamp::FaultLit);
    showLamp(LinkLamp::ReceiveDark);
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
    // The request in flight goes out again, now or at the pump's next tick; the second read of a
    // confirmation is no retry.
    retrying_ = then != AfterQuiet::Resume;
    guard_.fault(then);
}

void LinkEngine::holdRequest() {
    linkReady_ = false;
    ++generation_; // the reply time-out of the request in flight must not act any more
    stop(replyTimer_);
    stop(identTimer_);
}

void LinkEngine::lineQuiet(AfterQuiet then) {
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
    guard_.reset();
    retrying_ = false;
}

bool LinkEngine::resetPort() {
    port_->close();
    std::string error;
    if (!port_->open(error)) {
        session_.portLost(error.empty() ? "the port could not be opened again" : error);
        return false;
    }
    return true;
}

// --- the request side of a session ---

void LinkEngine::beginLive() {
    identifyMode_ = true;
    linkReady_ = false;
    pumpPaused_ = false;
    retryCount_ = 0;
    unanswered_ = 0;
    linkCursor_ = 0;
    fill_.clear();
    firstReads_ = true; // what windows watch already is read as soon as the pump runs
    resetLine();
}

void LinkEngine::endLive() {
    stopTimers();
    ++generation_;
    ++identGeneration_;
    resetLine();
    inFlight_ = false;
    identifyMode_ = false;
    linkReady_ = false;
    pumpPaused_ = false;
    whenIdle_ = nullptr;
}

} // namespace vm::link
