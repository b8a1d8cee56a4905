#include "WindowFill.h"

#include "ProgramState.h"

#include <algorithm>
#include <set>

namespace vm::link {

namespace {
constexpr int kConfigSpace = 5; // type code of the configuration memory
// The blocks of the save: 16 bytes from a multiple of 16, the memory's size being one too.
constexpr int kBlockBytes = 16;
static_assert(kConfigAreaSize % kBlockBytes == 0);
// A block that serves a single cell is left to the pump (the cell's own request is shorter), unless many cells
// wait: then reading them at the line's speed beats one pump tick each.
constexpr int kMinCellsPerBlock = 2;
constexpr std::size_t kManyCells = 8;

// First addresses of the blocks that hold a cell's bytes.
std::vector<int> blocksOf(const ParamCell& cell) {
    std::vector<int> firsts;
    const int last = cell.boardAddress() + cell.valueSize() - 1;
    for (int first = cell.boardAddress() / kBlockBytes * kBlockBytes; first <= last; first += kBlockBytes)
        firsts.push_back(first);
    return firsts;
}
} // namespace

void WindowFill::clear() {
    blocks_.clear();
    cells_.clear();
    read_.clear();
    resting_ = false;
}

// A watched configuration cell that was never read and has no write waiting.
bool WindowFill::wants(int index) const {
    const ParamCell& cell = program_.cell(index, 0);
    if (!cell.has(Pending) || !cell.has(Watched) || cell.has(Valid) || cell.has(WritePending)) return false;
    if (((cell.at(CellPos::Command) >> 4) & 0x07) != kConfigSpace || cell.at(CellPos::Page) != 0) return false;
    return cell.boardAddress() + cell.valueSize() <= kConfigAreaSize;
}

void WindowFill::plan() {
    cells_.clear();
    read_.clear();
    std::map<int, int> users; // block -> cells that need it
    std::vector<int> candidates;
    for (int index = 1; index <= program_.RecordCount[0]; ++index) {
        if (!wants(index)) continue;
        candidates.push_back(index);
        for (int first : blocksOf(program_.cell(index, 0)))
            ++users[first];
    }
    std::set<int> chosen;
    for (const auto& [first, count] : users)
        if (count >= kMinCellsPerBlock || candidates.size() >= kManyCells) chosen.insert(first);
    // Only cells whose every block is chosen are filled, and only the blocks they need are read: a block
    // that completes no cell would be read again at every plan.
    std::set<int> needed;
    for (int index : candidates) {
        const std::vector<int> firsts = blocksOf(program_.cell(index, 0));
        if (!std::ranges::all_of(firsts, [&](int first) { return chosen.contains(first); })) continue;
        cells_.push_back(index);
        needed.insert(firsts.begin(), firsts.end());
    }
    for (int first : needed)
        blocks_.push_back({first, kBlockBytes});
}

std::optional<WindowFill::Block> WindowFill::next(int cursor) {
    if (blocks_.empty() && !resting_ && cursor >= 1 && cursor <= program_.RecordCount[0] && wants(cursor))
        plan();
    if (blocks_.empty()) return std::nullopt;
    return blocks_.front();
}

std::vector<std::pair<int, std::vector<std::uint8_t>>> WindowFill::arrived(std::span<const std::uint8_t> data) {
    std::vector<std::pair<int, std::vector<std::uint8_t>>> complete;
    if (blocks_.empty()) return complete;
    const Block block = blocks_.front();
    blocks_.pop_front();
    if (data.size() != static_cast<std::size_t>(block.count)) {
        // Given up: the pump reads the cells one by one.
        clear();
        resting_ = true;
        return complete;
    }
    read_[block.first].assign(data.begin(), data.end());
    std::erase_if(cells_, [&](int index) {
        const ParamCell& cell = program_.cell(index, 0);
        const std::vector<int> firsts = blocksOf(cell);
        if (!std::ranges::all_of(firsts, [&](int first) { return read_.contains(first); })) return false;
        std::vector<std::uint8_t> bytes;
        for (int address = cell.boardAddress(); address < cell.boardAddress() + cell.valueSize(); ++address) {
            const std::vector<std::uint8_t>& got = read_.at(address / kBlockBytes * kBlockBytes);
            bytes.push_back(got.at(static_cast<std::size_t>(address % kBlockBytes)));
        }
        complete.emplace_back(index, std::move(bytes));
        return true;
    });
    if (blocks_.empty()) clear();
    return complete;
}

} // namespace vm::link
