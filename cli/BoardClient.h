#pragma once
// The board as the command line uses it: the link controller driven step by step, each step waiting on
// Qt's event loop (never busy) until the link reports the end or a bounded time runs out.

#include "ConfigView.h"
#include "Delivery.h"
#include "FormList.h"
#include "ProgramState.h"
#include "qt/LinkController.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

class QEventLoop;

namespace vm::cli {

// Upper bounds of the waits. The link has its own shorter time-outs per request and per block; these only
// make sure the program ends even if the link never reports back.
struct WaitLimits {
    int connectMs = 30000;
    int unitsMs = 30000;
    int transferMs = 300000;
    int perParamMs = 4000; // get/set: plus a base of connectMs / 10
};

class BoardClient : public QObject, public DeliveryTarget {
    Q_OBJECT
public:
    BoardClient(ProgramState& state, link::LinkOptions options, std::unique_ptr<link::SerialPort> port,
                WaitLimits limits = {});
    ~BoardClient() override;

    // Each returns false and sets lastError() on failure.
    bool connectBoard(link::ConnectPurpose purpose);
    bool readUnits(link::UnitReadResult& result);
    bool saveRead();   // areas A, B, C into ConfigImage, the second area into AuxImage
    bool writeBoard(); // areas A, B, C of ConfigImage to the board
    void disconnectBoard();
    // The line of the next connect (another device after the board came back); refused while connected.
    bool setPort(std::unique_ptr<link::SerialPort> port) { return link_->setPort(std::move(port)); }

    // Live reads and writes through the pump. `values` receives what the board delivered, by index.
    bool readParams(const std::vector<int>& indexes, std::map<int, ParamData>& values);
    // Each pair is an index and the value to write; the value must suit the parameter (see ParseLiveValue).
    bool writeParams(const std::vector<std::pair<int, ParamData>>& assignments,
                     const std::map<int, int>& mirrors, std::map<int, ParamData>& values);

    const std::string& lastError() const { return error_; }
    // How connect errors name the line ("/dev/ttyUSB0", "simulated board").
    void setPortLabel(std::string label) { portLabel_ = std::move(label); }
    // Called with (value, maximum) while a transfer runs.
    std::function<void(link::TransferKind, int, int)> onProgress;
    // Called when a transfer ends, before its result is handed back.
    std::function<void()> onTransferEnded;
    // Called with (values in, values asked for) while readParams waits.
    std::function<void(int, int)> onReadProgress;

    void deliver(int index, const ParamData& value) override;

private:
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    void wake();
    bool fail(std::string error);
    bool transfer(link::TransferKind kind, const std::function<void()>& start);

    ProgramState& state_;
    FormList forms_;
    WaitLimits limits_;
    std::unique_ptr<link::LinkController> link_;
    QEventLoop* waiting_ = nullptr;
    std::string error_;
    std::string portLabel_;
    std::string lastMessage_;
    std::string lostReason_;
    bool lost_ = false;
    int retriesAnswered_ = 0;

    // results of the step being waited for
    std::optional<bool> connectOk_;
    std::optional<link::UnitReadResult> units_;
    std::optional<std::pair<bool, std::string>> transferResult_;
    std::map<int, ParamData> delivered_;
    std::set<int> reading_; // asked for by readParams and not delivered yet
    int readTotal_ = 0;
};

// Checks a value typed for a live write against the parameter's cell: a decimal number that fits its
// width (4-byte values up to 2147483647), or for a text parameter at most its width of characters.
std::optional<ParamData> ParseLiveValue(const ParamCell& cell, const std::string& text, std::string& error);

} // namespace vm::cli
