#pragma once
// What the link engine tells the layer above it: indicator codes, messages to show, questions to ask,
// and the outcome of connects and transfers. Every call arrives on the engine's (the user interface's)
// thread; a handler may call back into the engine, but must not destroy it.

#include <array>
#include <cstdint>
#include <string>

namespace vm::link {

// Message box icon styles.
inline constexpr int kIconCritical = 16;
inline constexpr int kIconExclamation = 48;

enum class ConnectOutcome {
    Connected, // identified, map loaded, pump running, Online set
    Failed,    // port could not be opened, board did not answer (Cancel), map file missing; port closed
    Refused,   // incompatible board: the program is to end after the message was shown
};

enum class TransferKind { UnitRead, Save, Write };

struct UnitReadResult {
    std::array<std::uint8_t, 4> unitCodes{}; // SlaveType1..4, already stored in ProgramState
    std::uint8_t modelCode = 0;              // ModelCode, already stored in ProgramState
    bool online = false; // true: the main window's caption becomes title + "-Connected"
};

// The link's three lamps on the status bar (sending, receiving, fault), each lit or dark. The numbers are the
// lamp codes of the link's traces.
enum class LinkLamp { SendDark = 1, ReceiveDark = 2, FaultDark = 3, SendLit = 4, ReceiveLit = 5, FaultLit = 6 };

class LinkObserver {
public:
    virtual ~LinkObserver() = default;

    // A lamp to light or darken.
    virtual void linkStatus(LinkLamp lamp) { (void)lamp; }
    // A message box to show (title, text with CR/LF line breaks, icon kIconCritical or kIconExclamation).
    virtual void showMessage(const std::string& title, const std::string& text, int icon) {
        (void)title, (void)text, (void)icon;
    }
    // A Retry/Cancel question (exclamation icon). The engine waits, without blocking, until
    // LinkEngine::answerRetry is called; the answer may come from within this call or later.
    virtual void askRetry(const std::string& title, const std::string& text) { (void)title, (void)text; }

    // The end of a connect (LinkEngine::connect). `error` is empty on success.
    virtual void connectFinished(ConnectOutcome outcome, const std::string& error) {
        (void)outcome, (void)error;
    }
    // The connection ended: after LinkEngine::disconnect, or because the port was lost (`reason` not empty).
    virtual void disconnected(const std::string& reason) { (void)reason; }

    // Progress of the running transfer (value out of maximum).
    virtual void transferProgress(TransferKind kind, int value, int maximum) {
        (void)kind, (void)value, (void)maximum;
    }
    // A status text of the running transfer's window ("... DONE! ... ").
    virtual void transferText(TransferKind kind, const std::string& text) { (void)kind, (void)text; }
    // The code of the first coupled unit has arrived: the main window sets the menus that depend on it at
    // once, before the reading ends.
    virtual void firstUnitRead(int code) { (void)code; }
    // The unit reading ended, 1.2 s after the last unit code arrived (always successful; it can only be
    // abandoned by a disconnect).
    virtual void unitsRead(const UnitReadResult& result) { (void)result; }
    // A save read or a board write ended. For Save, ok = true means ConfigImage and AuxImage now hold the
    // board's memory and the file may be written; ok = false means nothing changed and no file is to be
    // written. `error` says what failed.
    virtual void transferFinished(TransferKind kind, bool ok, const std::string& error) {
        (void)kind, (void)ok, (void)error;
    }
};

} // namespace vm::link
