#pragma once
// Filling a window at once. The pump reads one parameter per tick, so a window of 70 parameters would take
// about 3 s to show its values. When the pump meets a watched configuration parameter that was never read,
// every such parameter is grouped by 16-byte blocks of configuration memory, and each block that serves
// more than one of them (every block, when many wait) is read first, one right after the other; the pump
// then goes on where it was.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace vm {
class ProgramState;
}

namespace vm::link {

class WindowFill {
public:
    struct Block {
        int first; // board address
        int count; // 1..16 bytes
    };
    explicit WindowFill(const ProgramState& program) : program_(program) {}

    // The block to read next. When none is planned and the pump stands at a cell worth filling (`cursor`),
    // the blocks are planned first. nullopt: read the cell at the cursor as usual.
    std::optional<Block> next(int cursor);
    // The reply to the block `next` gave (empty: it got no valid reply, and no new plan is made until the
    // pump has walked the whole table). Returns the cells whose bytes are now all read, with their bytes.
    std::vector<std::pair<int, std::vector<std::uint8_t>>> arrived(std::span<const std::uint8_t> data);
    void endOfCycle() { resting_ = false; }
    void clear();

private:
    bool wants(int index) const;
    void plan();

    const ProgramState& program_;
    std::deque<Block> blocks_;
    std::vector<int> cells_;                       // waiting for the planned blocks
    std::map<int, std::vector<std::uint8_t>> read_; // the blocks read so far, by first address
    bool resting_ = false;
};

} // namespace vm::link
