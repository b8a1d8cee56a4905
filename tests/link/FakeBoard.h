#pragma once
// A scripted board behind a FakePort: it answers parameter and memory frames from its own memory after a
// short delay, and a test can make any frame go wrong.

#include "FakePort.h"
#include "FakeTimerService.h"

#include <functional>
#include <numeric>

namespace vm::link::test {

enum class Fault {
    None,        // answer correctly
    NoReply,     // stay silent
    BadChecksum, // last byte wrong
    Short,       // drop the checksum byte
    Late,        // answer after 3.5 s
    WrongAck,    // a write acknowledged with a wrong byte
    Split,       // the reply in two pieces, 5 ms apart
    Extra,       // one byte too many, before the checksum
};

class FakeBoard {
public:
    static constexpr int kReplyDelayMs = 5;

    FakeBoard(FakePort& port, FakeTimerService& timers)
        : memory(65536), aux(256), port_(port), timers_(timers) {
        port_.onWrite = [this](const Bytes& frame) { received(frame); };
    }

    // Decides the fault of each frame; by default every frame is answered correctly.
    std::function<Fault(const Bytes& frame)> script;
    std::vector<std::uint8_t> memory; // by board address
    std::vector<std::uint8_t> aux;    // the second area (type code 1)
    int writes = 0;                   // memory writes carried out
    bool synchronous = false;         // answer from inside the port's write, as an in-process board may

    static std::uint8_t sum(const Bytes& bytes, std::size_t count) {
        return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.begin() + count, 0u));
    }
    static int address(const Bytes& frame) { return frame[2] | frame[3] << 8; }

    // Sets the identification answers of the records of the test identification map.
    void setIdentity(int revision, int software, int boardClass, int type, int release) {
        memory[kIdentBase + 10] = static_cast<std::uint8_t>(revision);
        memory[kIdentBase + 11] = static_cast<std::uint8_t>(software);
        memory[kIdentBase + 12] = static_cast<std::uint8_t>(boardClass);
        memory[kIdentBase + 13] = static_cast<std::uint8_t>(type & 0xFF);
        memory[kIdentBase + 14] = static_cast<std::uint8_t>(type >> 8);
        memory[kIdentBase + 18] = static_cast<std::uint8_t>(release);
    }
    static constexpr int kIdentBase = 0x7F00; // identification record k lies at kIdentBase + k

private:
    void received(const Bytes& frame) {
        const Fault fault = script ? script(frame) : Fault::None;
        const std::uint8_t command = frame[0];
        const int size = (command & 0x0F) + 1;
        auto& area = ((command >> 4) & 0x07) == 1 ? aux : memory;
        Bytes reply;
        if (command & 0x80) {
            if (fault == Fault::None || fault == Fault::Split || fault == Fault::Late) {
                for (int i = 0; i < size; ++i)
                    area[address(frame) + i] = frame[4 + i];
                ++writes;
            }
            reply = {static_cast<std::uint8_t>(frame.back() * 2)};
            if (fault == Fault::WrongAck || fault == Fault::BadChecksum) reply[0] ^= 0x55;
        } else {
            reply.assign(area.begin() + address(frame), area.begin() + address(frame) + size);
            if (fault == Fault::Extra) reply.push_back(0xEE);
            reply.push_back(sum(reply, static_cast<std::size_t>(size)));
            if (fault == Fault::BadChecksum) reply.back() ^= 0x01;
            if (fault == Fault::Short) reply.pop_back();
        }
        switch (fault) {
        case Fault::NoReply:
            return;
        case Fault::Late:
            deliverAfter(3500, reply);
            return;
        case Fault::Split: {
            const Bytes first(reply.begin(), reply.begin() + 1), rest(reply.begin() + 1, reply.end());
            deliverAfter(kReplyDelayMs, first);
            deliverAfter(2 * kReplyDelayMs, rest);
            return;
        }
        default:
            deliverAfter(kReplyDelayMs, reply);
        }
    }
    void deliverAfter(int ms, Bytes bytes) {
        if (synchronous) {
            port_.feed(bytes);
            return;
        }
        timers_.startTimer(ms, [this, bytes = std::move(bytes)] { port_.feed(bytes); });
    }

    FakePort& port_;
    FakeTimerService& timers_;
};

} // namespace vm::link::test
