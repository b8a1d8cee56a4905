#pragma once
// The whole-memory transfers: the save read (areas A, B, C into ConfigImage, the second area into
// AuxImage) and the board write (areas A, B, C from ConfigImage), in 16-byte blocks and single-byte tails.
// One frame at a time; a reply is taken as soon as it is complete, with a 3 s limit per frame. A frame that
// gets no valid reply is sent again a few times before the transfer gives up, each time once the line has
// been quiet for a while: the rest of a bad reply, or a reply later than the limit, is never taken for the
// reply to a later frame.

#include "Frames.h"
#include "LinkObserver.h"
#include "TimerService.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm::link {

class LinkEngine;

struct MemoryArea {
    int first;
    int bytes;
    int blocks() const { return bytes / 16; }
    int tail() const { return bytes % 16; }
};

inline constexpr MemoryArea kAreaA{16, 1919};
inline constexpr MemoryArea kAreaB{3072, 751};
inline constexpr MemoryArea kAreaC{4976, 7951};
inline constexpr int kSecondAreaBlocks = 3; // AuxImage bytes 0..47

class BlockTransfer {
public:
    BlockTransfer(LinkEngine& engine, TransferKind kind);
    ~BlockTransfer();

    TransferKind kind() const { return kind_; }
    void start();
    // Stops at once, without any notification.
    void abort();
    // The port has new bytes.
    void bytesArrived();

private:
    enum class Step { Read, ReadAux, WriteBlock, WriteByte };
    struct Frame_ {
        Step step;
        int area;    // index into the areas (0..2), -1 for the second area
        int address; // board address (second area: offset into AuxImage)
        int count;   // bytes read or written
        Frame frame;
    };

    void plan();
    void send();
    void checkReply();
    void timedOut(std::uint64_t generation);
    void replyArrived(const std::vector<std::uint8_t>& reply);
    void badReply(bool partial, const char* writeMessage);
    void sendWhenQuiet();
    void next();
    void failWriteArea(const std::string& message);
    void finish(bool ok, const std::string& error);

    LinkEngine& engine_;
    TransferKind kind_;
    std::vector<Frame_> frames_;
    std::size_t current_ = 0;
    int attempts_ = 0;
    std::uint64_t generation_ = 0;
    TimerService::TimerId timeoutTimer_ = 0;
    TimerService::TimerId deferTimer_ = 0;
    TimerService::TimerId quietTimer_ = 0; // running while the line must stay quiet before the next frame
    bool running_ = false;
    bool writing_ = false; // inside SerialPort::write: a reply that comes from there is taken afterwards
    int areaDone_ = 0, areaTotal_ = 0; // progress
    std::string firstError_;
    std::vector<std::uint8_t> scratch_;      // the board's configuration memory as read (save)
    std::vector<std::uint8_t> imageAtStart_; // ConfigImage when the save began, to find edits made since
    std::vector<std::uint8_t> auxScratch_; // the second area as read (save)
};

} // namespace vm::link
