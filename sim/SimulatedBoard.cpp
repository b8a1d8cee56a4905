#include "SimulatedBoard.h"

#include "DoseTest.h"

#include <algorithm>
#include <cmath>

namespace vm::sim {

SimulatedBoard::SimulatedBoard(BoardSettings settings)
    : settings_(settings), assembler_(settings.frameGapMs), faults_(settings.faults),
      clockStart_(settings.clockStart) {}

bool SimulatedBoard::loadMaps(const std::filesystem::path& mapsDir, std::string& error) {
    auto ident = ReadIdentMapFile(mapsDir / kIdentMapFileName, error);
    if (!ident) return false;
    identRecords_ = std::move(*ident);

    // A board whose own map is not installed still starts from the default one.
    std::string mapError;
    auto map = ReadParamMapFile(
        mapsDir / vm::ParamMapFileName(settings_.identity.software, settings_.identity.revision), mapError);
    if (!map) map = ReadParamMapFile(mapsDir / vm::ParamMapFileName(21, 0), mapError);
    mapRecords_ = map ? std::move(*map) : std::vector<MapRecord>{};

    for (const MapRecord& r : mapRecords_) {
        if (r.command == 0) continue;
        const int space = SpaceOfCommand(r.command);
        const int size = SizeOfCommand(r.command);
        for (int i = 0; i < size; ++i)
            memory_.write(space, static_cast<std::uint16_t>(r.address + i), i < 4 ? r.initial[i] : ' ');
    }
    InstallDemoData(memory_, locator(), clockStart_);
    applyIdentity();
    return true;
}

void SimulatedBoard::putIdentityByte(int record, std::uint8_t value) {
    if (record < 1 || record > static_cast<int>(identRecords_.size())) return;
    const IdentRecord& r = identRecords_[record - 1];
    memory_.write(SpaceOfCommand(r.command), r.address, value);
}

void SimulatedBoard::applyIdentity() {
    const BoardIdentity& id = settings_.identity;
    putIdentityByte(IdentSlot::Revision, static_cast<std::uint8_t>(id.revision));
    putIdentityByte(IdentSlot::Software, static_cast<std::uint8_t>(id.software));
    putIdentityByte(IdentSlot::BoardClass, static_cast<std::uint8_t>(id.boardClass));
    putIdentityByte(IdentSlot::TypeLow, static_cast<std::uint8_t>(id.boardType & 0xFF));
    putIdentityByte(IdentSlot::TypeHigh, static_cast<std::uint8_t>((id.boardType >> 8) & 0xFF));
    if (id.release) putIdentityByte(IdentSlot::Release, static_cast<std::uint8_t>(*id.release));
}

void SimulatedBoard::clearConfiguration() {
    memory_.fill(kConfigSpace, 0, kConfigAreaEnd, 0);
    applyIdentity();
}

std::vector<std::uint8_t> SimulatedBoard::answer(const Frame& frame, double nowMs) {
    const int space = frame.space();
    if (frame.isWrite()) {
        const auto count = static_cast<int>(frame.data.size());
        const bool setsClock = TouchesClock(locator(), space, frame.address, count);
        // The fields the tool does not write keep running: bring them up to date first.
        if (setsClock) WriteClock(memory_, locator(), clockAt(nowMs));
        memory_.writeRange(space, frame.address, frame.data);
        if (setsClock)
            if (const auto set = ReadClock(memory_, locator())) clockStart_ = *set - static_cast<std::int64_t>(nowMs / 1000);
        RunClearCommand(memory_, locator(), space, frame.address);
        RunDoseTestCommand(memory_, locator(), space, frame.address);
        return {static_cast<std::uint8_t>(2 * frame.checksum)};
    }
    const int size = frame.readSize();
    if (TouchesClock(locator(), space, frame.address, size)) WriteClock(memory_, locator(), clockAt(nowMs));
    if (TouchesTemperatures(locator(), space, frame.address, size)) WriteTemperatures(memory_, locator(), static_cast<std::int64_t>(nowMs));
    auto reply = memory_.readRange(space, frame.address, size);
    reply.push_back(Checksum(reply));
    return reply;
}

std::vector<Emission> SimulatedBoard::receive(std::span<const std::uint8_t> bytes, double nowMs) {
    if (disappeared_) return {};
    auto out = drain(nowMs); // a partial frame that went stale before these bytes is given up first
    assembler_.push(bytes, nowMs);
    auto more = drain(nowMs);
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

std::vector<Emission> SimulatedBoard::poll(double nowMs) {
    if (disappeared_) return {};
    return drain(nowMs);
}

std::vector<Emission> SimulatedBoard::drain(double nowMs) {
    std::vector<Emission> out;
    while (!disappeared_) {
        auto frame = assembler_.next(nowMs);
        if (!frame) break;
        ++stats_.frames;
        const int limit = settings_.faults.disappearAfter;
        if (limit > 0 && stats_.frames > static_cast<std::uint64_t>(limit)) {
            disappeared_ = true;
            assembler_.clear();
            break;
        }
        schedule(*frame, answer(*frame, nowMs), nowMs, out);
    }
    return out;
}

void SimulatedBoard::schedule(const Frame& frame, std::vector<std::uint8_t> reply, double nowMs,
                              std::vector<Emission>& out) {
    const bool wire = settings_.wireTime;
    const bool inOrder = wire || settings_.faults.lateInOrder;
    double start = nowMs + settings_.replyDelayMs;
    if (wire) start += frame.length * kByteTimeMs;
    if (inOrder) start = std::max(start, lineFreeMs_);
    double lastAt = start;
    const ReplyFault forced = faultHook ? faultHook(frame) : ReplyFault::None;

    if (forced == ReplyFault::Drop || faults_.strikes(FaultKind::Drop)) {
        ++stats_.dropped;
    } else {
        switch (forced) {
        case ReplyFault::CorruptChecksum:
            reply.back() ^= 0x55;
            break;
        case ReplyFault::DropChecksum:
            reply.pop_back();
            break;
        case ReplyFault::ExtraByte:
            reply.insert(reply.end() - 1, 0xEE);
            break;
        case ReplyFault::Late:
            start += kForcedLateMs;
            break;
        default:
            break;
        }
        if (faults_.strikes(FaultKind::CorruptChecksum)) {
            reply.back() ^= static_cast<std::uint8_t>(faults_.pick(FaultKind::CorruptChecksum, 1, 255));
            ++stats_.corrupted;
        }
        if (faults_.strikes(FaultKind::Trailing)) {
            const int extra = faults_.pick(FaultKind::Trailing, 1, 3);
            for (int i = 0; i < extra; ++i)
                reply.push_back(static_cast<std::uint8_t>(faults_.pick(FaultKind::Trailing, 0, 255)));
            ++stats_.trailing;
        }
        if (faults_.strikes(FaultKind::Late)) {
            start += faults_.pick(FaultKind::Late, kLateReplyMinMs, kLateReplyMaxMs);
            ++stats_.late;
        }
        // Pieces: the reply leaves in 2..4 parts with short pauses, as a busy firmware sends it.
        std::vector<std::size_t> cuts{0};
        if (forced == ReplyFault::Split && reply.size() > 1) {
            cuts.push_back(1);
        } else if (reply.size() > 1 && faults_.strikes(FaultKind::Split)) {
            const int pieces =
                faults_.pick(FaultKind::Split, 2, static_cast<int>(std::min<std::size_t>(4, reply.size())));
            for (int p = 1; p < pieces; ++p)
                cuts.push_back(reply.size() * p / pieces);
            ++stats_.split;
        }
        cuts.push_back(reply.size());
        double at = start;
        for (std::size_t p = 0; p + 1 < cuts.size(); ++p) {
            if (p > 0)
                at += forced == ReplyFault::Split ? kForcedSplitPauseMs : faults_.pick(FaultKind::Split, 2, 30);
            const auto first = reply.begin() + static_cast<std::ptrdiff_t>(cuts[p]);
            const auto last = reply.begin() + static_cast<std::ptrdiff_t>(cuts[p + 1]);
            if (wire) at += static_cast<double>(last - first) * kByteTimeMs;
            out.push_back({at, std::vector<std::uint8_t>(first, last)});
        }
        lastAt = at;
        ++stats_.answered;
    }

    if (faults_.strikes(FaultKind::Unsolicited)) {
        const int count = faults_.pick(FaultKind::Unsolicited, 1, 4);
        std::vector<std::uint8_t> noise;
        for (int i = 0; i < count; ++i)
            noise.push_back(static_cast<std::uint8_t>(faults_.pick(FaultKind::Unsolicited, 0, 255)));
        lastAt += faults_.pick(FaultKind::Unsolicited, 5, 40);
        if (wire) lastAt += count * kByteTimeMs;
        out.push_back({lastAt, std::move(noise)});
        ++stats_.unsolicited;
    }
    if (inOrder) lineFreeMs_ = lastAt;
}

} // namespace vm::sim
