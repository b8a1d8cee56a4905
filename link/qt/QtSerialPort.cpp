#include "QtSerialPort.h"

#include "PortProblems.h"

namespace vm::link {

QtSerialPort::QtSerialPort(QString portName, QObject* parent) : QObject(parent) {
    port_.setPortName(portName);
    device_ = portName;
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    onReceive = nullptr;
    onLost = nullptr;
    if (port_.isOpen()) port_.close();
}

bool QtSerialPort::open(std::string& error) {
    if (port_.isOpen()) return true;
    if (port_.portName().isEmpty()) {
        error = "no port chosen";
        return false;
    }
    port_.setBaudRate(QSerialPort::Baud19200);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(0);
    // The name as given ("/dev/ttyUSB0", "COM3"); the serial library keeps only its last part.
    const std::string device = device_.toStdString();
    if (!port_.open(QIODevice::ReadWrite)) {
        const bool permissionOrBusy = port_.error() == QSerialPort::PermissionError;
        error = DescribePortFailure(device, ClassifyPortFailure(device, permissionOrBusy),
                                    port_.errorString().toStdString());
        return false;
    }
    // A device that ignored the settings would garble every frame: refuse it.
#ifdef Q_OS_UNIX
    const std::string problem = LineSettingsProblem(port_.handle());
#else
    const std::string problem;
#endif
    if (!problem.empty()) {
        port_.close();
        error = "Serial port " + device + " did not take 19200 baud, 8 data bits, no parity, 1 stop bit (" +
                problem + ").";
        return false;
    }
    return true;
}

void QtSerialPort::close() {
    if (port_.isOpen()) port_.close();
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

void QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) return;
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    // Out now, not when the event loop next comes round: whatever the windows do with the value just in would
    // otherwise hold the request back.
    port_.flush();
}

std::size_t QtSerialPort::bytesWaiting() const {
    return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

std::vector<std::uint8_t> QtSerialPort::readAll() {
    const QByteArray data = port_.readAll();
    return {data.begin(), data.end()};
}

void QtSerialPort::onReadyRead() {
    if (threshold_ >= 1 && onReceive) onReceive();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    // Only the errors that mean the device is gone end the connection; the port is closed first so that
    // no further signal arrives from it.
    if (error != QSerialPort::ResourceError && error != QSerialPort::DeviceNotFoundError &&
        error != QSerialPort::PermissionError)
        return;
    if (!port_.isOpen()) return; // an open that failed is reported through open()
    const std::string reason = port_.errorString().toStdString();
    port_.close();
    if (onLost) onLost(reason);
}

} // namespace vm::link
