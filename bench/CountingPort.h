#pragma once
// A serial port that passes everything through to another one and counts the bytes in both directions and
// the frames written.

#include "SerialPort.h"

#include <memory>

namespace vm::bench {

class CountingPort : public link::SerialPort {
public:
    explicit CountingPort(std::unique_ptr<link::SerialPort> inner) : inner_(std::move(inner)) {
        inner_->onReceive = [this] {
            if (onReceive) onReceive();
        };
        inner_->onLost = [this](const std::string& reason) {
            if (onLost) onLost(reason);
        };
    }

    bool open(std::string& error) override { return inner_->open(error); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void write(std::span<const std::uint8_t> bytes) override {
        sent_ += bytes.size();
        ++frames_;
        inner_->write(bytes);
    }
    std::size_t bytesWaiting() const override { return inner_->bytesWaiting(); }
    std::vector<std::uint8_t> readAll() override {
        auto bytes = inner_->readAll();
        received_ += bytes.size();
        return bytes;
    }
    void setReceiveThreshold(int threshold) override { inner_->setReceiveThreshold(threshold); }
    int receiveThreshold() const override { return inner_->receiveThreshold(); }

    std::uint64_t sent() const { return sent_; }
    std::uint64_t received() const { return received_; }
    std::uint64_t frames() const { return frames_; }
    void resetCounts() { sent_ = received_ = frames_ = 0; }

private:
    std::unique_ptr<link::SerialPort> inner_;
    std::uint64_t sent_ = 0;
    std::uint64_t received_ = 0;
    std::uint64_t frames_ = 0;
};

} // namespace vm::bench
