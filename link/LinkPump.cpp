// The pump: every 40 ms the next pending cell, from the cursor on, goes on the line; cells that were never
// read go back to back, and a watched configuration parameter never read is read with its 16-byte block.
#include "LinkEngine.h"

#include "ProgramState.h"

#include <algorithm>

namespace vm::link {

void LinkEngine::startPump() {
    restart(pumpTimer_, kPumpIntervalMs, [this] { pumpTick(); });
}

void LinkEngine::stopPump() {
    stop(pumpTimer_);
}

void LinkEngine::pumpTick() {
    pumpTimer_ = 0;
    if (state_ != LinkState::Pumping) return;
    if (linkReady_ && !pumpPaused_) requestNextCell();
    if (state_ == LinkState::Pumping && pumpTimer_ == 0) startPump();
}

void LinkEngine::requestNextCell() {
    if (!port_ || inFlight_ || identifyMode_ || guard_.settling() || state_ != LinkState::Pumping) return;
    if (const auto block = fill_.next(0)) { // the blocks of a window being filled go first
        sendBlock(*block);
        return;
    }
    if (program_.PendingChanges != seenPendingChanges_) {
        seenPendingChanges_ = program_.PendingChanges;
        firstReads_ = true;
    }
    if (firstReads_) {
        if (const int index = nextUnread(linkCursor_)) {
            linkCursor_ = index;
            if (const auto block = fill_.next(index)) {
                sendBlock(*block);
                return;
            }
            std::uint8_t& divider = program_.cell(index, 0).at(CellPos::PollDivider);
            if (divider != 0) divider = static_cast<std::uint8_t>((divider & 0x0F) * 17); // this is its pass
            sendCell(index);
            return;
        }
        firstReads_ = false; // every cell has been read once: the pump goes on at its tick
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
                    sendCell(linkCursor_);
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

void LinkEngine::sendCell(int index) {
    ParamCell& cell = program_.cell(index, 0);
    req_ = Request{};
    req_.addrHigh = cell.at(CellPos::AddressHigh);
    req_.addrLow = cell.at(CellPos::AddressLow);
    req_.command = cell.at(CellPos::Command) & 0x7F;
    req_.page = cell.at(CellPos::Page);
    req_.size = cell.sizeCode();
    req_.data.assign(cell.bytes.begin() + (CellPos::Value - 1),
                     cell.bytes.begin() + (CellPos::Value - 1) + req_.size + 1);
    req_.cellIndex = index;
    // A write request is consumed when its frame is built; it is put back if the board never acknowledges it.
    req_.write = cell.has(WritePending);
    cell.at(CellPos::Status) &= static_cast<std::uint8_t>(~WritePending);
    SendRequest();
}

int LinkEngine::nextUnread(int from) const {
    const int count = program_.RecordCount[0];
    if (count < 1) return 0;
    const int start = std::clamp(from, 1, count);
    for (int i = 0; i < count; ++i) {
        const int index = (start - 1 + i) % count + 1;
        const ParamCell& cell = program_.cell(index, 0);
        // A cell outside the map (no command byte) is left to the pump's own pass.
        if (cell.has(Pending) && !cell.has(Valid) && cell.at(CellPos::Command) != 0) return index;
    }
    return 0;
}

bool LinkEngine::moreFirstReads() {
    if (firstReads_ && nextUnread(linkCursor_) == 0) firstReads_ = false;
    return firstReads_;
}

void LinkEngine::sendNextNow() {
    if (state_ == LinkState::Pumping && !pumpPaused_ && linkReady_) requestNextCell();
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

} // namespace vm::link
