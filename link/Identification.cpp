// Identification at connect: six identification records are read one byte each, the board is checked
// for compatibility, and the parameter map of its firmware is loaded.
#include "LinkEngine.h"

#include "LinkTexts.h"
#include "MapChecks.h"
#include "ParamMap.h"
#include "ProgramState.h"

#include <iterator>
#include <system_error>

namespace vm::link {

namespace {
constexpr int kBoardClass = 18;
} // namespace

void LinkEngine::Identify() {
    const MapLoadResult identMap = LoadIdentMap(program_, options_.programDir, 0);
    if (!identMap.ok) {
        observer_.showMessage(texts::kErrorTitle, identMap.error, kIconCritical);
        failConnect(ConnectOutcome::Failed, identMap.error);
        return;
    }
    identStep_ = 0;
    identValues_.fill(0);
    ReadIdentification();
}

void LinkEngine::ReadIdentification() {
    const auto& entry = program_.IdentMap[0][kIdentReadRecords[identStep_] - 1];
    req_ = Request{};
    req_.addrHigh = entry[0];
    req_.addrLow = entry[1];
    req_.command = entry[2] & 0x7F;
    req_.page = entry[6];
    req_.size = 0; // one byte, whatever the record's size code
    retryCount_ = 0;
    identTimeouts_ = 0;
    ++identGeneration_;
    SendRequest(); // restarts Timer5 with every frame
}

void LinkEngine::onIdentTimeout(std::uint64_t generation) {
    if (generation != identGeneration_ || state_ != LinkState::Identifying || !inFlight_ ||
        line_ == LineState::Settling)
        return;
    timer5_ = 0;
    requestTimedOut();
}

void LinkEngine::identificationReply(bool gotReply, std::uint8_t value) {
    stop(timer5_);
    stop(timer2_);
    ++identGeneration_;
    if (!gotReply) {
        state_ = LinkState::AwaitingRetry;
        observer_.askRetry(texts::kSerialTitle, texts::kBoardNotReady);
        return;
    }
    program_.BoardPresent[0] = true;
    identValues_[identStep_] = value;
    if (++identStep_ < static_cast<int>(std::size(kIdentReadRecords))) {
        ReadIdentification();
        return;
    }
    finishIdentification();
}

void LinkEngine::answerRetry(bool retry) {
    if (state_ != LinkState::AwaitingRetry) return;
    if (retry) {
        state_ = LinkState::Identifying;
        ReadIdentification();
        return;
    }
    linkFailed_ = true;
    failConnect(ConnectOutcome::Failed, "Board Not Ready");
}

void LinkEngine::finishIdentification() {
    program_.BoardRevision = identValues_[0];
    program_.BoardSoftware = identValues_[1];
    program_.BoardClass = identValues_[2];
    program_.BoardType = static_cast<std::uint16_t>(identValues_[3] + 256 * identValues_[4]);
    program_.SoftwareRelease = identValues_[5];

    // Each later failure replaces the message of an earlier one.
    std::string refusal;
    if (program_.BoardClass != kBoardClass) refusal = texts::kBoardNotCompatible;
    if (program_.BoardType != 482 && program_.BoardType != 617) refusal = texts::kBoardTypeNotCompatible;
    if (program_.BoardSoftware != program_.RequiredSoftware) refusal = texts::kBoardSoftwareNotCompatible;
    if (!refusal.empty()) {
        observer_.showMessage(texts::kErrorTitle, refusal, kIconCritical);
        failConnect(ConnectOutcome::Refused, refusal);
        return;
    }

    // A missing or empty map must not leave a connected link over an empty table: the connect fails and
    // the table keeps the map it had.
    const std::string name = ParamMapFileName(program_.BoardSoftware, program_.BoardRevision);
    const auto file = options_.programDir / name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        const std::string error = "Parameter map not found: " + name;
        observer_.showMessage(texts::kErrorTitle, error, kIconCritical);
        failConnect(ConnectOutcome::Failed, error);
        return;
    }
    const MapLoadResult map = LoadParamMap(program_, file, 0);
    if (!map.ok) {
        const std::string& error = map.error;
        // Back to the default map, so that the program still works offline.
        LoadParamMap(
            program_,
            options_.programDir / ParamMapFileName(program_.RequiredSoftware, program_.DefaultRevision), 0);
        observer_.showMessage(texts::kErrorTitle, error, kIconCritical);
        failConnect(ConnectOutcome::Failed, error);
        return;
    }

    stop(timer2_);
    program_.CurrentBank = 0;
    ShowLinkStatus(3);
    identifyMode_ = false;
    linkReady_ = true;
    linkCursor_ = 0;
    state_ = LinkState::Pumping;
    startPump();
    if (purpose_ == ConnectPurpose::Edit) program_.ClearConfigArea();
    program_.Online = true;
    ShowLinkStatus(1);
    ShowLinkStatus(2);
    observer_.connectFinished(ConnectOutcome::Connected, "");
}

} // namespace vm::link
