#include "PortDiscovery.h"

#include "ComMenuModel.h"

#include <QSerialPortInfo>

namespace vm::link {

QString ComPortDeviceName(int comPort) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comPort);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comPort - 1);
#endif
}

QString FirstFtdiPortName() {
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (info.hasVendorIdentifier() && info.vendorIdentifier() == kFtdiVendorId)
            return info.systemLocation();
    return {};
}

QString ResolveComPort(int comPort) {
    return comPort == kUsbComPort ? FirstFtdiPortName() : ComPortDeviceName(comPort);
}

} // namespace vm::link
