#include "BoardClient.h"

#include "WatchSet.h"

#include <QEventLoop>
#include <QTimer>

#include <charconv>

namespace vm::cli {
namespace {

// How often "Board Not Ready" is answered with Retry before the connect gives up.
constexpr int kIdentRetries = 2;

// A message box text on one line: CR/LF become blanks, runs of blanks collapse, ends trimmed.
std::string oneLine(const QString& text) {
    return text.simplified().toStdString();
}

} // namespace

BoardClient::BoardClient(ProgramState& state, link::LinkOptions options,
                         std::unique_ptr<link::SerialPort> port, WaitLimits limits)
    : state_(state), limits_(limits),
      link_(std::make_unique<link::LinkController>(state, forms_, std::move(options))) {
    link_->setPort(std::move(port));
    forms_.add(this);

    using C = link::LinkController;
    connect(link_.get(), &C::message, this,
            [this](const QString&, const QString& text, int) { lastMessage_ = oneLine(text); });
    connect(link_.get(), &C::askRetry, this, [this](const QString&, const QString& text) {
        lastMessage_ = oneLine(text);
        const bool retry = retriesAnswered_++ < kIdentRetries;
        // Answered from the event loop, not from inside the engine's call.
        QTimer::singleShot(0, this, [this, retry] { link_->answerRetry(retry); });
    });
    connect(link_.get(), &C::connected, this, [this] {
        connectOk_ = true;
        wake();
    });
    connect(link_.get(), &C::connectFailed, this, [this](const QString& error) {
        connectOk_ = false;
        if (!error.isEmpty()) lastMessage_ = oneLine(error);
        wake();
    });
    connect(link_.get(), &C::refused, this, [this](const QString& text) {
        connectOk_ = false;
        lastMessage_ = "board not compatible: " + oneLine(text);
        wake();
    });
    connect(link_.get(), &C::disconnected, this, [this](const QString& reason) {
        if (!reason.isEmpty()) {
            lost_ = true;
            lostReason_ = oneLine(reason);
        }
        wake();
    });
    connect(link_.get(), &C::unitsRead, this, [this](const link::UnitReadResult& result) {
        units_ = result;
        wake();
    });
    connect(link_.get(), &C::transferProgress, this, [this](link::TransferKind kind, int value, int maximum) {
        if (onProgress) onProgress(kind, value, maximum);
    });
    connect(link_.get(), &C::transferFinished, this,
            [this](link::TransferKind, bool ok, const QString& error) {
                transferResult_ = std::make_pair(ok, oneLine(error));
                wake();
            });
}

BoardClient::~BoardClient() {
    forms_.remove(this);
    if (link_->isConnected()) disconnectBoard();
}

void BoardClient::wake() {
    if (waiting_) waiting_->quit();
}

bool BoardClient::fail(std::string error) {
    error_ = std::move(error);
    return false;
}

bool BoardClient::waitFor(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    QEventLoop* outer = waiting_;
    waiting_ = &loop;
    while (!done() && !lost_ && deadline.isActive())
        loop.exec();
    waiting_ = outer;
    return done();
}

bool BoardClient::connectBoard(link::ConnectPurpose purpose) {
    connectOk_.reset();
    lost_ = false; // a line lost earlier says nothing about this connection
    lostReason_.clear();
    retriesAnswered_ = 0;
    lastMessage_.clear();
    link_->connectBoard(purpose);
    std::string where = portLabel_.empty() ? "" : portLabel_ + ": ";
    if (!waitFor([this] { return connectOk_.has_value(); }, limits_.connectMs))
        return fail(where + (lost_ ? "connection lost: " + lostReason_
                                   : "no answer from the board while connecting"));
    if (!*connectOk_) {
        if (!portLabel_.empty() && lastMessage_.find(portLabel_) != std::string::npos) where.clear();
        return fail(where + (lastMessage_.empty() ? "could not connect to the board" : lastMessage_));
    }
    return true;
}

bool BoardClient::readUnits(link::UnitReadResult& result) {
    units_.reset();
    link_->readUnits();
    if (!waitFor([this] { return units_.has_value(); }, limits_.unitsMs))
        return fail(lost_ ? "connection lost: " + lostReason_
                          : "the board did not send its unit codes in time");
    result = *units_;
    return true;
}

bool BoardClient::transfer(link::TransferKind kind, const std::function<void()>& start) {
    transferResult_.reset();
    lastMessage_.clear();
    start();
    const char* what = kind == link::TransferKind::Save ? "reading the configuration memory"
                                                        : "writing the configuration memory";
    const bool ended = waitFor([this] { return transferResult_.has_value(); }, limits_.transferMs);
    if (onTransferEnded) onTransferEnded();
    if (!ended)
        return fail(lost_ ? "connection lost: " + lostReason_
                          : std::string("no end of ") + what + " in time");
    if (!transferResult_->first) {
        std::string why = !transferResult_->second.empty() ? transferResult_->second : lastMessage_;
        return fail(std::string(what) + " failed" + (why.empty() ? "" : ": " + why));
    }
    return true;
}

bool BoardClient::saveRead() {
    return transfer(link::TransferKind::Save, [this] { link_->saveConfiguration(); });
}

bool BoardClient::writeBoard() {
    return transfer(link::TransferKind::Write, [this] { link_->writeBoard(); });
}

void BoardClient::disconnectBoard() {
    if (link_->linkState() == link::LinkState::Closed) return;
    bool closed = false;
    auto connection =
        connect(link_.get(), &link::LinkController::disconnected, this, [&closed] { closed = true; });
    link_->disconnectBoard();
    // The request in flight ends with its reply or its 1 s time-out.
    waitFor([&] { return closed || link_->linkState() == link::LinkState::Closed; }, 5000);
    disconnect(connection);
}

void BoardClient::deliver(int index, const ParamData& value) {
    delivered_[index] = value;
    if (reading_.erase(index) && onReadProgress)
        onReadProgress(readTotal_ - static_cast<int>(reading_.size()), readTotal_);
    wake();
}

bool BoardClient::readParams(const std::vector<int>& indexes, std::map<int, ParamData>& values) {
    delivered_.clear();
    reading_ = {indexes.begin(), indexes.end()};
    readTotal_ = static_cast<int>(reading_.size());
    WatchSet watched(state_);
    watched.watch(indexes);
    const auto allArrived = [&] {
        for (int index : indexes)
            if (!delivered_.contains(index)) return false;
        return true;
    };
    const int limit = limits_.connectMs / 10 + limits_.perParamMs * static_cast<int>(indexes.size());
    const bool ok = waitFor(allArrived, limit);
    reading_.clear();
    watched.release();
    for (int index : indexes)
        if (delivered_.contains(index)) values[index] = delivered_[index];
    if (!ok) {
        for (int index : indexes)
            if (!delivered_.contains(index))
                return fail(lost_ ? "connection lost: " + lostReason_
                                  : "no answer from the board for parameter " + std::to_string(index));
    }
    return true;
}

bool BoardClient::writeParams(const std::vector<std::pair<int, ParamData>>& assignments,
                              const std::map<int, int>& mirrors, std::map<int, ParamData>& values) {
    delivered_.clear();
    std::vector<std::pair<int, ParamData>> expected;
    for (const auto& [index, value] : assignments) {
        expected.emplace_back(index, value);
        const auto mirror = mirrors.find(index);
        if (mirror != mirrors.end() && mirror->second != 0) expected.emplace_back(mirror->second, value);
    }
    for (const auto& [index, value] : expected) {
        if (const double* number = std::get_if<double>(&value))
            state_.SetParamValue(index, *number);
        else
            state_.SetParamValue(index, std::get<std::string>(value));
    }
    const auto allArrived = [&] {
        for (const auto& entry : expected)
            if (!delivered_.contains(entry.first)) return false;
        return true;
    };
    const int limit = limits_.connectMs / 10 + limits_.perParamMs * static_cast<int>(expected.size());
    const bool ok = waitFor(allArrived, limit);
    for (const auto& [index, value] : expected) {
        const auto it = delivered_.find(index);
        if (it == delivered_.end()) {
            if (!ok)
                return fail(lost_
                                ? "connection lost: " + lostReason_
                                : "no acknowledgement from the board for parameter " + std::to_string(index));
            continue;
        }
        values[index] = it->second;
        // A write whose acknowledgement was lost is read back by the pump instead: the board then says what
        // it really holds, which may not be the value asked for.
        bool same = it->second == value;
        if (!same && std::holds_alternative<std::string>(value) &&
            std::holds_alternative<std::string>(it->second))
            same = std::get<std::string>(it->second).starts_with(std::get<std::string>(value));
        if (!same)
            return fail("parameter " + std::to_string(index) + ": the board holds " +
                        FormatValue(it->second) + " instead of " + FormatValue(value));
    }
    return true;
}

std::optional<ParamData> ParseLiveValue(const ParamCell& cell, const std::string& text, std::string& error) {
    const int width = cell.valueSize();
    if (cell.isText()) {
        if (static_cast<int>(text.size()) > width) {
            error = "text longer than the parameter's " + std::to_string(width) + " characters";
            return std::nullopt;
        }
        return ParamData{text};
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    const std::uint64_t maximum = width >= 4 ? 2147483647ULL : (1ULL << (8 * width)) - 1;
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > maximum) {
        error = "value must be a whole number 0.." + std::to_string(maximum) + ", got \"" + text + "\"";
        return std::nullopt;
    }
    return ParamData{static_cast<double>(value)};
}

} // namespace vm::cli
