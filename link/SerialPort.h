#pragma once
// The serial line as the link sees it: fixed settings (19200 baud, 8 data bits, no parity, 1 stop bit),
// bytes in and out, and a receive notification that arrives on the same thread as the timers.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vm::link {

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the line with the fixed settings. On failure returns false and says why in `error`.
    virtual bool open(std::string& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    virtual std::size_t bytesWaiting() const = 0;
    virtual std::vector<std::uint8_t> readAll() = 0;

    // 1: onReceive is called whenever bytes arrive; 0: no notifications, the reader polls.
    virtual void setReceiveThreshold(int threshold) = 0;
    virtual int receiveThreshold() const = 0;

    // Called when bytes arrived (threshold 1 only).
    std::function<void()> onReceive;
    // Called once when the line is lost while open (adapter unplugged, device closed by the other side).
    std::function<void(const std::string& reason)> onLost;
};

} // namespace vm::link
