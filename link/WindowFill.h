#pragma once
// Filling a window at once: the parameters an editor window starts to watch are read from the board's
// configuration memory with the block reads of the save, a few requests instead of one per parameter.
// When the pump meets a watched cell that was never read, every such cell of the table is grouped by
// 16-byte block; each block that serves more than one cell is read, one request per pump tick, before
// the pump goes on. A cell whose write is pending, or that changed while its block was on the way, keeps
// its value.

#include "Frames.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vm::link {

class LinkEngine;

class WindowFill {
public:
    explicit WindowFill(LinkEngine& engine);

    // Called by the pump at a pending cell (or with -1 before it walks the table): sends the next block
    // read and returns true, or returns false when there is nothing to fill.
    bool sendNext(int index);
    // The data of the block request in flight (empty: it was given up). Stores and delivers the cells it
    // completes.
    void blockArrived(const std::vector<std::uint8_t>& data);
    void clear();

private:
    struct Block {
        int first;
        int count;
    };
    bool wants(int index) const;
    void plan();

    LinkEngine& engine_;
    std::vector<Block> blocks_; // still to be sent, in address order
    std::vector<int> cells_;    // the cells the blocks were planned for
    std::vector<std::uint8_t> bytes_;
    std::vector<bool> known_; // which bytes of the configuration area have arrived
};

} // namespace vm::link
