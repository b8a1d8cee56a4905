#pragma once
// Finding the device behind a ComPort number: COM n is /dev/ttyS(n-1) on Linux (COMn elsewhere);
// ComPort 0 is the first USB adapter with FTDI's vendor id 0x0403.

#include <QString>

namespace vm::link {

inline constexpr quint16 kFtdiVendorId = 0x0403;

// "/dev/ttyS0" for 1 on Linux, "COM1" on Windows.
QString ComPortDeviceName(int comPort);
// The device of the first FTDI adapter attached, or an empty string.
QString FirstFtdiPortName();
// The device for a ComPort setting: 0 -> FirstFtdiPortName(), n -> ComPortDeviceName(n).
QString ResolveComPort(int comPort);

} // namespace vm::link
