#include "WindowFill.h"

#include "BlockTransfer.h"
#include "FormList.h"
#include "LinkEngine.h"
#include "ProgramState.h"

#include <algorithm>
#include <array>
#include <map>

namespace vm::link {

namespace {
constexpr std::array<MemoryArea, 3> kFillAreas{kAreaA, kAreaB, kAreaC};
constexpr int kConfigSpace = 5;      // type code of the configuration memory
constexpr int kMinCellsPerBlock = 2; // for a single cell its own request is shorter than a block

// The area that holds the bytes [address, address + size), or nullptr.
const MemoryArea* areaOf(int address, int size) {
    for (const MemoryArea& area : kFillAreas)
        if (address >= area.first && address + size <= area.first + area.bytes) return &area;
    return nullptr;
}
} // namespace

WindowFill::WindowFill(LinkEngine& engine) : engine_(engine) {
    clear();
}

void WindowFill::clear() {
    blocks_.clear();
    cells_.clear();
    bytes_.assign(kConfigAreaSize, 0);
    known_.assign(kConfigAreaSize, false);
}

// A watched cell of the configuration memory that was never read and has no write waiting.
bool WindowFill::wants(int index) const {
    const ParamCell& cell = engine_.program_.cell(index, 0);
    if (!cell.has(Pending) || !cell.has(Watched) || cell.has(Valid) || cell.has(WritePending)) return false;
    if (((cell.at(CellPos::Command) >> 4) & 0x07) != kConfigSpace || cell.at(CellPos::Page) != 0) return false;
    return areaOf(cell.boardAddress(), cell.valueSize()) != nullptr;
}

void WindowFill::plan() {
    clear();
    const ProgramState& program = engine_.program_;
    // The blocks are those of the save: 16 bytes from the area's first address on, shorter at its end.
    std::map<int, std::pair<int, int>> blocks; // first address -> byte count, cells that need it
    std::vector<int> candidates;
    for (int index = 1; index <= program.RecordCount[0]; ++index) {
        if (!wants(index)) continue;
        candidates.push_back(index);
        const ParamCell& cell = program.cell(index, 0);
        const MemoryArea& area = *areaOf(cell.boardAddress(), cell.valueSize());
        const int end = cell.boardAddress() + cell.valueSize();
        for (int b = area.first + (cell.boardAddress() - area.first) / 16 * 16; b < end; b += 16) {
            auto& [count, users] = blocks[b];
            count = std::min(16, area.first + area.bytes - b);
            ++users;
        }
    }
    std::vector<int> chosen;
    for (const auto& [first, block] : blocks)
        if (block.second >= kMinCellsPerBlock) {
            blocks_.push_back({first, block.first});
            chosen.push_back(first);
        }
    const auto isChosen = [&](int first) { return std::binary_search(chosen.begin(), chosen.end(), first); };
    for (int index : candidates) {
        const ParamCell& cell = program.cell(index, 0);
        const MemoryArea& area = *areaOf(cell.boardAddress(), cell.valueSize());
        bool all = true;
        for (int b = area.first + (cell.boardAddress() - area.first) / 16 * 16;
             b < cell.boardAddress() + cell.valueSize(); b += 16)
            all = all && isChosen(b);
        if (all) cells_.push_back(index);
    }
}

bool WindowFill::sendNext(int index) {
    if (blocks_.empty()) {
        if (index < 1 || !wants(index)) return false;
        plan();
        if (blocks_.empty()) return false;
    }
    const Block block = blocks_.front();
    blocks_.erase(blocks_.begin());
    LinkEngine::Request& req = engine_.req_;
    req = LinkEngine::Request{};
    req.command = static_cast<std::uint8_t>(0x50 | (block.count - 1)); // 0x5F: the save's block read
    req.addrLow = static_cast<std::uint8_t>(block.first & 0xFF);
    req.addrHigh = static_cast<std::uint8_t>(block.first >> 8);
    req.size = block.count - 1;
    req.block = true;
    engine_.SendRequest();
    return true;
}

void WindowFill::blockArrived(const std::vector<std::uint8_t>& data) {
    const LinkEngine::Request& req = engine_.req_;
    const int first = req.addrHigh * 256 + req.addrLow;
    if (data.size() != static_cast<std::size_t>(req.size + 1)) return; // given up: the pump reads the cells
    for (std::size_t i = 0; i < data.size(); ++i) {
        bytes_[first + i] = data[i];
        known_[first + i] = true;
    }
    std::vector<int> complete;
    std::erase_if(cells_, [&](int index) {
        const ParamCell& cell = engine_.program_.cell(index, 0);
        const auto from = known_.begin() + cell.boardAddress();
        if (!std::all_of(from, from + cell.valueSize(), [](bool k) { return k; })) return false;
        complete.push_back(index);
        return true;
    });
    ProgramState& program = engine_.program_;
    for (int index : complete) {
        ParamCell& cell = program.cell(index, 0);
        // Written meanwhile, or already read, or released by a window that closed: the cell keeps its value.
        // Checked cell by cell, as a delivery may make a window write or close.
        if (!cell.has(Pending) || cell.has(Valid) || cell.has(WritePending)) continue;
        std::uint8_t status = cell.status() | Valid;
        if (!(status & Watched) || cell.at(CellPos::PollDivider) == 0) status &= static_cast<std::uint8_t>(~Pending);
        cell.at(CellPos::Status) = status;
        for (int i = 0; i < cell.valueSize(); ++i)
            cell.at(CellPos::Value + i) = bytes_[cell.boardAddress() + i];
        engine_.forms_.deliverToAll(index, program.cellData(index, 0));
    }
}

} // namespace vm::link
