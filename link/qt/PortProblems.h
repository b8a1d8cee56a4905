#pragma once
// Why a serial port cannot be used, in one line that says what to do about it on this system.

#include <string>

namespace vm::link {

enum class PortFailure { NoSuchDevice, InUse, NoPermission, Other };

// Tells the reasons apart by looking at the device itself: missing, not readable and writable by this
// user, or there and allowed (then another program holds it). `permissionOrBusy` is what the serial
// library reported: it does not separate the two.
PortFailure ClassifyPortFailure(const std::string& device, bool permissionOrBusy);

// The line shown to the user; `detail` is the serial library's own text, used for Other.
std::string DescribePortFailure(const std::string& device, PortFailure failure, const std::string& detail);

// Reads the line settings back from an open terminal device: empty when they are 19200 baud, 8 data bits,
// no parity and 1 stop bit, otherwise what the device reports instead.
std::string LineSettingsProblem(int fd);

} // namespace vm::link
