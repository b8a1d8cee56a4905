#pragma once
// Opening and closing the link. A connect opens the port and hands over to the identification; a
// disconnect lets the request in flight end first; a lost port ends everything at once. However the link
// ends (failed connect, disconnect, lost port) it goes through the one teardown, which lets go of the
// timers, the request in flight, the line guard and the port.

#include "LinkObserver.h"

#include <string>

namespace vm::link {

class LinkEngine;

enum class ConnectPurpose {
    Edit,       // Connect: ConfigImage's configuration area is cleared, then the caller reads the units
    WriteBoard, // Write Board: ConfigImage is kept, then the caller writes it
};

class LinkSession {
public:
    explicit LinkSession(LinkEngine& engine) : engine_(engine) {}

    void connect(ConnectPurpose purpose);
    void disconnect();
    // The port went away while open.
    void portLost(const std::string& reason);
    // The connect ends without a link: port error, no answer, refused board, missing map, cancelled.
    void failConnect(ConnectOutcome outcome, const std::string& error);

    ConnectPurpose purpose() const { return purpose_; }
    bool failed() const { return failed_; } // LinkFailed

private:
    bool openPort(std::string& error); // OpenPort
    // A running unit reading or transfer ends (a transfer with transferFinished(kind, false, why)).
    void abortActivities(const std::string& why);
    // The open link ends: teardown, Online False, indicators idle, observer.disconnected(reason).
    void close(const std::string& reason);
    void teardown();

    LinkEngine& engine_;
    ConnectPurpose purpose_ = ConnectPurpose::Edit;
    bool failed_ = false;
};

} // namespace vm::link
