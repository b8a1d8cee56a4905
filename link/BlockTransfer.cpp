#include "BlockTransfer.h"

#include "LinkEngine.h"
#include "LinkTexts.h"
#include "ProgramState.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vm::link {

namespace {
constexpr std::array<MemoryArea, 3> kAreas{kAreaA, kAreaB, kAreaC};
} // namespace

BlockTransfer::BlockTransfer(LinkEngine& engine, TransferKind kind) : engine_(engine), kind_(kind) {
    plan();
}

BlockTransfer::~BlockTransfer() {
    abort();
}

void BlockTransfer::plan() {
    const ProgramState& program = engine_.program_;
    for (int a = 0; a < static_cast<int>(kAreas.size()); ++a) {
        const MemoryArea area = kAreas[a];
        int address = area.first;
        for (int b = 0; b < area.blocks(); ++b, address += 16) {
            if (kind_ == TransferKind::Save) {
                frames_.push_back(
                    {Step::Read, a, address, 16, BlockReadFrame(static_cast<std::uint16_t>(address))});
            } else {
                std::array<std::uint8_t, 16> bytes{};
                std::copy_n(program.ConfigImage.begin() + address, 16, bytes.begin());
                frames_.push_back({Step::WriteBlock, a, address, 16,
                                   BlockWriteFrame(static_cast<std::uint16_t>(address), bytes)});
            }
        }
        if (area.tail() == 0) continue;
        if (kind_ == TransferKind::Save) {
            frames_.push_back({Step::Read, a, address, area.tail(),
                               ShortReadFrame(static_cast<std::uint16_t>(address), area.tail())});
        } else {
            for (int t = 0; t < area.tail(); ++t, ++address)
                frames_.push_back(
                    {Step::WriteByte, a, address, 1,
                     ByteWriteFrame(static_cast<std::uint16_t>(address), program.ConfigImage[address])});
        }
    }
    if (kind_ == TransferKind::Save) {
        for (int b = 0; b < kSecondAreaBlocks; ++b)
            frames_.push_back(
                {Step::ReadAux, -1, 16 * b, 16, SecondAreaReadFrame(static_cast<std::uint16_t>(16 * b))});
        scratch_ = program.ConfigImage;
        imageAtStart_ = program.ConfigImage;
        auxScratch_ = program.AuxImage;
    }
}

void BlockTransfer::start() {
    running_ = true;
    current_ = 0;
    if (kind_ == TransferKind::Save) {
        areaTotal_ = static_cast<int>(frames_.size());
        areaDone_ = 0;
        engine_.observer_.transferProgress(kind_, 0, areaTotal_);
    }
    send();
}

void BlockTransfer::abort() {
    running_ = false;
    ++generation_;
    for (TimerService::TimerId* timer : {&timeoutTimer_, &deferTimer_, &quietTimer_}) {
        if (*timer != 0) engine_.timers_.cancelTimer(*timer);
        *timer = 0;
    }
}

void BlockTransfer::send() {
    if (!running_) return;
    if (current_ >= frames_.size()) {
        finish(firstError_.empty(), firstError_);
        return;
    }
    const Frame_& f = frames_[current_];
    if (kind_ == TransferKind::Write && attempts_ == 0 &&
        (current_ == 0 || frames_[current_ - 1].area != f.area)) {
        const MemoryArea area = kAreas[f.area];
        areaTotal_ = area.blocks() + area.tail();
        areaDone_ = 0;
        engine_.observer_.transferProgress(kind_, 0, areaTotal_);
    }
    SerialPort& port = *engine_.port_;
    if (port.bytesWaiting() > 0) (void)port.readAll(); // late bytes of an earlier frame
    const std::uint64_t generation = ++generation_;
    if (timeoutTimer_ != 0) engine_.timers_.cancelTimer(timeoutTimer_);
    timeoutTimer_ = engine_.timers_.startTimer(kBlockTimeoutMs, [this, generation] { timedOut(generation); });
    writing_ = true;
    port.write(f.frame);
    writing_ = false;
    // A port may answer from inside write; taking that reply here would nest one frame inside the next.
    if (running_ && generation == generation_ && port.bytesWaiting() > 0 && deferTimer_ == 0)
        deferTimer_ = engine_.timers_.startTimer(0, [this] {
            deferTimer_ = 0;
            checkReply();
        });
}

void BlockTransfer::bytesArrived() {
    if (!running_ || writing_) return;
    if (quietTimer_ != 0) {
        sendWhenQuiet(); // still out of step: discarded, and the quiet pause starts again
        return;
    }
    checkReply();
}

void BlockTransfer::checkReply() {
    if (!running_ || current_ >= frames_.size()) return;
    SerialPort& port = *engine_.port_;
    const Frame_& f = frames_[current_];
    const bool read = f.step == Step::Read || f.step == Step::ReadAux;
    const std::size_t needed = read ? static_cast<std::size_t>(f.count + 1) : 1;
    if (port.bytesWaiting() >= needed) replyArrived(port.readAll());
}

void BlockTransfer::timedOut(std::uint64_t generation) {
    if (!running_ || generation != generation_) return;
    timeoutTimer_ = 0;
    const bool partial = engine_.port_->bytesWaiting() > 0;
    badReply(partial, texts::kCommunicationError);
}

void BlockTransfer::replyArrived(const std::vector<std::uint8_t>& reply) {
    Frame_& f = frames_[current_];
    switch (f.step) {
    case Step::Read:
    case Step::ReadAux:
        if (!IsValidDataReply(reply, f.count)) {
            badReply(true, nullptr);
            return;
        }
        std::copy_n(reply.begin(), f.count,
                    (f.step == Step::Read ? scratch_ : auxScratch_).begin() + f.address);
        break;
    case Step::WriteBlock:
        if (reply.size() != 1 || reply.front() != WriteAcknowledge(f.frame)) {
            badReply(true, texts::kChecksumError);
            return;
        }
        break;
    case Step::WriteByte:
        break; // boards answer single-byte writes differently: any acknowledgement will do
    }
    engine_.showLamp(LinkLamp::SendLit);
    engine_.showLamp(LinkLamp::ReceiveLit);
    next();
}

void BlockTransfer::badReply(bool partial, const char* writeMessage) {
    const Frame_& f = frames_[current_];
    engine_.showLamp(LinkLamp::FaultLit);
    // A frame that is answered short, late, wrongly or not at all is sent again a few times: a block read
    // or a block write can be repeated without harm.
    if (++attempts_ < engine_.options_.blockAttempts) {
        sendWhenQuiet();
        return;
    }
    if (f.step == Step::WriteBlock || f.step == Step::WriteByte) {
        failWriteArea(writeMessage != nullptr ? writeMessage : texts::kCommunicationError);
        return;
    }
    const std::string what = f.step == Step::ReadAux ? "second area offset " : "address ";
    const std::string error = "Board memory could not be read (" + what + std::to_string(f.address) +
                              (partial ? ", bad reply" : ", no reply") +
                              "). The configuration was not saved.";
    engine_.observer_.showMessage(engine_.options_.programTitle, error, kIconCritical);
    if (!running_) return; // the handler of the message closed the link
    finish(false, error);
}

void BlockTransfer::sendWhenQuiet() {
    ++generation_; // the time-out of the frame given up must not act any more
    for (TimerService::TimerId* timer : {&timeoutTimer_, &deferTimer_, &quietTimer_})
        if (*timer != 0) engine_.timers_.cancelTimer(std::exchange(*timer, 0));
    SerialPort& port = *engine_.port_;
    if (port.bytesWaiting() > 0) (void)port.readAll();
    quietTimer_ = engine_.timers_.startTimer(kLineGuardMs, [this] {
        quietTimer_ = 0;
        send();
    });
}

void BlockTransfer::next() {
    attempts_ = 0;
    ++areaDone_;
    engine_.observer_.transferProgress(kind_, areaDone_, areaTotal_);
    ++current_;
    send();
}

void BlockTransfer::failWriteArea(const std::string& message) {
    engine_.observer_.showMessage(engine_.options_.programTitle, message, kIconCritical);
    if (!running_) return; // the handler of the message closed the link
    if (firstError_.empty()) firstError_ = message;
    // The rest of this area is skipped; the next area is still written.
    const int area = frames_[current_].area;
    while (current_ < frames_.size() && frames_[current_].area == area)
        ++current_;
    attempts_ = 0;
    sendWhenQuiet();
}

void BlockTransfer::finish(bool ok, const std::string& error) {
    abort();
    if (ok && kind_ == TransferKind::Save) {
        // An edit made while the board was being read changed the image after the copy was taken; it is
        // newer than the board's byte (its write is still pending) and is kept.
        const std::vector<std::uint8_t>& image = engine_.program_.ConfigImage;
        for (std::size_t a = 0; a < scratch_.size() && a < image.size(); ++a)
            if (image[a] != imageAtStart_[a]) scratch_[a] = image[a];
        engine_.program_.ConfigImage = std::move(scratch_);
        engine_.program_.AuxImage = std::move(auxScratch_);
    }
    engine_.transferDone(kind_, ok, error);
}

} // namespace vm::link
