#pragma once
// A SerialPort in memory: the test (or the scripted board) feeds bytes in and reads the frames written.

#include "SerialPort.h"

#include <functional>
#include <utility>
#include <vector>

namespace vm::link::test {

using Bytes = std::vector<std::uint8_t>;

class FakePort : public SerialPort {
public:
    bool open(std::string& error) override {
        if (failOpen) {
            error = "port busy";
            return false;
        }
        open_ = true;
        ++openCount;
        return true;
    }
    void close() override {
        open_ = false;
        input_.clear();
        ++closeCount;
    }
    bool isOpen() const override { return open_; }
    void write(std::span<const std::uint8_t> bytes) override {
        written.emplace_back(bytes.begin(), bytes.end());
        if (onWrite) onWrite(written.back());
    }
    std::size_t bytesWaiting() const override { return input_.size(); }
    std::vector<std::uint8_t> readAll() override { return std::exchange(input_, {}); }
    void setReceiveThreshold(int threshold) override { threshold_ = threshold; }
    int receiveThreshold() const override { return threshold_; }

    // Bytes arriving from the board.
    void feed(const Bytes& bytes) {
        if (!open_) return;
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        if (threshold_ >= 1 && onReceive) onReceive();
    }
    void lose(const std::string& reason) {
        open_ = false;
        if (onLost) onLost(reason);
    }

    bool failOpen = false;
    int openCount = 0, closeCount = 0;
    std::vector<Bytes> written;
    std::function<void(const Bytes&)> onWrite;

private:
    bool open_ = false;
    int threshold_ = 1;
    Bytes input_;
};

} // namespace vm::link::test
