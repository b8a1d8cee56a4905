#pragma once
// SerialPort over QSerialPort: 19200 baud, 8 data bits, no parity, 1 stop bit, no flow control.

#include "SerialPort.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

namespace vm::link {

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QString portName, QObject* parent = nullptr);
    ~QtSerialPort() override;

    QString portName() const { return port_.portName(); }

    bool open(std::string& error) override;
    void close() override;
    bool isOpen() const override;
    void write(std::span<const std::uint8_t> bytes) override;
    std::size_t bytesWaiting() const override;
    std::vector<std::uint8_t> readAll() override;
    void setReceiveThreshold(int threshold) override { threshold_ = threshold; }
    int receiveThreshold() const override { return threshold_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString device_;
    int threshold_ = 1;
};

} // namespace vm::link
