#pragma once
// The board link: keeps ParamTable live over the serial line. One request in flight at a time; a pump
// tick every 40 ms sends the next pending cell; replies are checked, stored and delivered to every open
// form. Also runs the identification at connect, the unit reading after it and the whole-memory
// transfers. No Qt and no real time inside: bytes come from the SerialPort, time from the TimerService.

#include "LinkMonitor.h"
#include "LinkObserver.h"
#include "SerialPort.h"
#include "TimerService.h"
#include "WindowFill.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class ProgramState;
class FormList;
} // namespace vm

namespace vm::link {

class UnitReader;
class BlockTransfer;

inline constexpr int kPumpIntervalMs = 40;      // Timer1
inline constexpr int kReplyTimeoutMs = 1000;    // Timer2
inline constexpr int kSendIndicatorMs = 500;    // Timer3
inline constexpr int kReceiveIndicatorMs = 500; // Timer4
inline constexpr int kIdentTimeoutMs = 2000;    // Timer5
inline constexpr int kMaxChecksumRetries = 4;   // the reply after the fourth mismatch is dropped
inline constexpr int kBlockTimeoutMs = 3000;    // per block of a whole-memory transfer
inline constexpr int kBlockAttempts = 5;        // a block frame is sent this many times at most
// Replies carry no address, so after a fault a reply still on its way could be taken for a later request.
// Nothing is sent until the line has been quiet this long (a reply later than twice the time-out is
// taken as lost), and the value after that is trusted only when two reads of it agree.
inline constexpr int kLineGuardMs = 1000;
// The pause between the two reads of a confirmation: a reply queued behind a stale one shows up in it.
inline constexpr int kConfirmQuietMs = 100;
inline constexpr int kIdentAttempts = 3; // an identification record is asked this often before "Not Ready"
// Live requests in a row without a reply (about 10 s): the board is said to have stopped answering.
inline constexpr int kSilentRequests = 5;

struct LinkOptions {
    std::filesystem::path programDir; // where the parameter maps lie
    std::string programTitle;         // title of the transfer messages
    int blockAttempts = kBlockAttempts;
};

enum class ConnectPurpose {
    Edit,       // Connect: ConfigImage's configuration area is cleared, then the caller reads the units
    WriteBoard, // Write Board: ConfigImage is kept, then the caller writes it
};

enum class LinkState {
    Closed,        // no port open
    Identifying,   // identification requests running
    AwaitingRetry, // "Board Not Ready": waiting for answerRetry
    Pumping,       // connected, the pump runs (maybe paused while a transfer waits or runs)
    Transferring,  // a whole-memory transfer owns the port
    Disconnecting, // waiting for the request in flight before closing
};

// Whether replies can be trusted to belong to the request in flight.
enum class LineState {
    InStep,     // every reply is taken for the request in flight
    Settling,   // after a fault: input is discarded until the line has been quiet for a while
    Confirming, // the next value counts only when two reads of it, a quiet pause apart, agree
};

class LinkEngine {
public:
    LinkEngine(ProgramState& state, FormList& forms, TimerService& timers, LinkObserver& observer,
               LinkOptions options);
    ~LinkEngine();
    LinkEngine(const LinkEngine&) = delete;
    LinkEngine& operator=(const LinkEngine&) = delete;

    // The port used by the next connect (not owned). Ignored unless the link is Closed.
    void setPort(SerialPort* port);
    SerialPort* port() const { return port_; }
    // Where the live traffic is reported (not owned; nullptr: nowhere). Whole-memory blocks are not reported.
    void setTap(LinkTap* tap) { tap_ = tap; }

    // Opens the port (OpenPort), identifies the board (Identify), loads its parameter map and starts the
    // pump. Ends with observer.connectFinished. On success Online is True (and for Edit the configuration
    // area of ConfigImage is cleared) and indicators 1 and 2 are shown.
    void connect(ConnectPurpose purpose);
    // The answer to observer.askRetry: true repeats the request, false makes the connect fail.
    void answerRetry(bool retry);
    // Stops the pump, lets the request in flight end (reply or time-out), closes the port, Online False.
    // Ends with observer.disconnected(""). Abandons a running unit reading or transfer.
    void disconnect();

    // FrmRead: online watches 4779..4782 and 11733 1.1 s apart and waits for the four unit codes; offline
    // takes the stored UnitCodes and AuxImage byte 8. Ends with observer.unitsRead.
    void readUnits();
    // The board part of SaveConfiguration: online, reads areas A, B, C into ConfigImage and the second
    // area into AuxImage; offline, finishes at once. Ends with observer.transferFinished(Save, ...).
    void saveRead();
    // WriteSave: writes areas A, B, C of ConfigImage to the board. Ends with transferFinished(Write, ...).
    void writeBoard();

    LinkState state() const { return state_; }
    LineState lineState() const { return line_; }
    bool isConnected() const { return state_ == LinkState::Pumping || state_ == LinkState::Transferring; }
    bool linkFailed() const { return linkFailed_; } // LinkFailed
    bool transferRunning() const;

    // --- inner state, for diagnostics and tests ---
    int linkCursor() const { return linkCursor_; }
    bool linkReady() const { return linkReady_; }
    int retryCount() const { return retryCount_; }
    bool requestInFlight() const { return inFlight_; }
    // One pump step (what the Timer1 tick does when LinkReady is True).
    void PumpNext();

private:
    friend class UnitReader;
    friend class BlockTransfer;

    struct Request {
        std::uint8_t command = 0; // as stored in the cell, bit 7 clear
        bool write = false;
        std::uint8_t page = 0, addrLow = 0, addrHigh = 0;
        std::vector<std::uint8_t> data; // value bytes (write)
        int size = 0;                   // size code 0..15
        std::uint8_t checksum = 0;
        int cellIndex = 0; // the cell the request came from (0: identification or a block)
        bool block = false; // a block of configuration memory read to fill a window
    };

    // protocol
    void SendRequest();
    void onReceive();
    void onReplyTimeout(std::uint64_t generation);
    void handleReply(const std::vector<std::uint8_t>& reply);
    void AcceptReply(const std::vector<std::uint8_t>& replyData);
    bool storeReply(int index, const std::vector<std::uint8_t>& replyData);
    void sendBlock(const WindowFill::Block& block);
    void blockArrived(const std::vector<std::uint8_t>& replyData);
    void cycleEnded();
    void requestDropped();
    void requestTimedOut();
    // What happens to the request in flight once the line is quiet again.
    enum class AfterQuiet {
        Resend,  // the same frame again
        Abandon, // no answer: the pump meets the cell again (identification: "Board Not Ready")
        Resume,  // nothing was in flight
    };
    void lineFault(AfterQuiet then);
    void waitForQuiet(AfterQuiet then, int quietMs);
    void onQuiet(std::uint64_t generation);
    void resetLine();
    void NotifyForms(int index, const std::vector<std::uint8_t>& data);
    void ShowLinkStatus(int code);
    void pumpTick();
    void startPump();
    void stopPump();
    bool resetPort();
    void discardWaiting();
    std::vector<std::uint8_t> readPort(bool discarded);

    // identification
    bool OpenPort(std::string& error);
    void Identify();
    void ReadIdentification(); // sends the current identification record's request
    void identificationReply(bool gotReply, std::uint8_t value);
    void onIdentTimeout(std::uint64_t generation);
    void finishIdentification();
    void failConnect(ConnectOutcome outcome, const std::string& error);

    // suspension for transfers and disconnect
    void whenIdle(std::function<void()> next);
    void checkIdle();
    void resumeLive();
    void startTransfer(TransferKind kind);
    void transferDone(TransferKind kind, bool ok, const std::string& error);
    void abortActivities(const std::string& why);
    void closeLink(const std::string& reason);
    void onPortLost(const std::string& reason);

    // timers
    void restart(TimerService::TimerId& id, int ms, std::function<void()> callback);
    void stop(TimerService::TimerId& id);

    ProgramState& program_;
    FormList& forms_;
    TimerService& timers_;
    LinkObserver& observer_;
    LinkOptions options_;
    SerialPort* port_ = nullptr;
    LinkTap* tap_ = nullptr;
    bool retrying_ = false; // the next frame sent is a request again, after a fault

    LinkState state_ = LinkState::Closed;
    ConnectPurpose purpose_ = ConnectPurpose::Edit;
    bool linkFailed_ = false;
    bool identifyMode_ = false; // IdentifyMode
    bool linkReady_ = false;    // LinkReady
    bool pumpPaused_ = false;   // a transfer or disconnect waits for the request in flight
    bool inFlight_ = false;
    int linkCursor_ = 0;           // LinkCursor
    int retryCount_ = 0;           // RetryCount
    int unanswered_ = 0;           // live requests timed out in a row
    std::uint64_t generation_ = 0; // of the request in flight; stale time-outs compare against it
    LineState line_ = LineState::InStep;
    AfterQuiet afterQuiet_ = AfterQuiet::Resume;
    int quietMs_ = kLineGuardMs;
    std::uint64_t quietGeneration_ = 0;
    std::optional<std::vector<std::uint8_t>> firstRead_; // the first of the two reads of a confirmation
    Request req_;
    std::function<void()> whenIdle_;

    // identification progress
    int identStep_ = 0;
    int identTimeouts_ = 0;             // of the current record
    std::uint64_t identGeneration_ = 0; // of the identification request; stale Timer5 events compare it
    std::array<std::uint8_t, 6> identValues_{};

    TimerService::TimerId timer1_ = 0, timer2_ = 0, timer3_ = 0, timer4_ = 0, timer5_ = 0;
    TimerService::TimerId quietTimer_ = 0;

    WindowFill fill_;
    std::unique_ptr<UnitReader> unitReader_;
    std::unique_ptr<BlockTransfer> transfer_;
    // The previous transfer and reading, kept until the next one starts: a new one may be started from
    // the old one's final notification.
    std::unique_ptr<BlockTransfer> retiredTransfer_;
    std::unique_ptr<UnitReader> retiredReader_;
};

} // namespace vm::link
