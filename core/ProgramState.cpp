#include "ProgramState.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>

namespace vm {

ProgramState::ProgramState()
    : ParamTable(static_cast<std::size_t>(kBankCount) * kParamIndexCount), ConfigImage(kImageSize),
      AuxImage(kImageSize) {}

std::uint8_t& ProgramState::SlaveType(int unit) {
    assert(unit >= 1 && unit <= 4);
    switch (unit) {
    case 1:
        return SlaveType1;
    case 2:
        return SlaveType2;
    case 3:
        return SlaveType3;
    default:
        return SlaveType4;
    }
}

ParamCell& ProgramState::cell(int index, int bank) {
    assert(isIndexInRange(index) && isBankInRange(bank));
    if (!isIndexInRange(index) || !isBankInRange(bank)) {
        outOfRange_ = ParamCell{};
        return outOfRange_;
    }
    return ParamTable[static_cast<std::size_t>(bank) * kParamIndexCount + static_cast<std::size_t>(index)];
}

const ParamCell& ProgramState::cell(int index, int bank) const {
    assert(isIndexInRange(index) && isBankInRange(bank));
    static const ParamCell empty{};
    if (!isIndexInRange(index) || !isBankInRange(bank)) return empty;
    return ParamTable[static_cast<std::size_t>(bank) * kParamIndexCount + static_cast<std::size_t>(index)];
}

bool ProgramState::ParamIsValid(int index, int bank) const {
    if (!isIndexInRange(index) || !isBankInRange(bank)) return false;
    return cell(index, bank).has(Valid);
}

double ProgramState::ParamValue(int index, int bank) const {
    if (!isIndexInRange(index) || !isBankInRange(bank)) return 0;
    const ParamCell& c = cell(index, bank);
    double value = 0;
    double weight = 1;
    for (int i = 0; i < c.valueSize(); ++i) {
        value += c.at(CellPos::Value + i) * weight;
        weight *= 256;
    }
    return value;
}

void ProgramState::markForWriting(ParamCell& c) {
    // WritePending, Watched and Pending set; Valid cleared until the board confirms the value.
    c.at(CellPos::Status) = static_cast<std::uint8_t>((c.status() | 0x86) & 0xFE);
    ++PendingChanges;
}

void ProgramState::SetParamValue(int index, double value) {
    assert(isIndexInRange(index));
    if (index <= 0 || !isIndexInRange(index)) return;
    ParamCell& c = cell(index);
    if (c.isText()) {
        // A number written into a text cell is stored as its decimal text.
        SetParamValue(index, std::to_string(static_cast<long long>(std::isfinite(value) ? value : 0)));
        return;
    }
    assert(value >= 0 && value <= 4294967295.0);
    // All four value bytes are written whatever the size; they all lie inside the cell.
    const double whole = std::isfinite(value) ? std::clamp(std::floor(value), 0.0, 4294967295.0) : 0.0;
    const auto v = static_cast<std::uint32_t>(whole);
    for (int i = 0; i < 4; ++i)
        c.at(CellPos::Value + i) = static_cast<std::uint8_t>(v >> (8 * i));
    markForWriting(c);
}

void ProgramState::SetParamValue(int index, std::string_view text) {
    assert(isIndexInRange(index));
    if (index <= 0 || !isIndexInRange(index)) return;
    ParamCell& c = cell(index);
    if (!c.isText()) {
        // A number cell takes the number the text holds; a text that holds none changes nothing.
        std::uint32_t number = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec == std::errc{} && end != text.data()) SetParamValue(index, static_cast<double>(number));
        return;
    }
    // The characters replace value bytes from position 8 on; bytes past the end of the text keep theirs.
    const std::size_t room = kCellSize - CellPos::Value + 1;
    const std::size_t n = std::min(text.size(), room);
    for (std::size_t i = 0; i < n; ++i)
        c.at(CellPos::Value + static_cast<int>(i)) = static_cast<std::uint8_t>(text[i]);
    markForWriting(c);
}

void ProgramState::WatchParam(int index) {
    if (!isBankInRange(CurrentBank) || !BoardPresent[CurrentBank] || index <= 0 || !isIndexInRange(index))
        return;
    ParamCell& c = cell(index);
    // The count stops at 255 instead of wrapping to 0, which would drop the parameter from the poll.
    if (c.at(CellPos::WatchCount) < 255) ++c.at(CellPos::WatchCount);
    c.at(CellPos::Status) |= 0x06;
    ++PendingChanges;
}

void ProgramState::ReleaseParam(int index) {
    if (!isBankInRange(CurrentBank) || !BoardPresent[CurrentBank] || index <= 0 || !isIndexInRange(index))
        return;
    ParamCell& c = cell(index);
    std::uint8_t& count = c.at(CellPos::WatchCount);
    if (count == 1) {
        // Nobody watches any more, but a write still waiting goes out all the same.
        c.at(CellPos::Status) &= c.has(WritePending) ? 0xFA : 0xF8;
        c.at(CellPos::PollDivider) &= 0x0F;
    }
    if (count > 0) --count;
}

void ProgramState::RequestRead(int index) {
    if (!IsParameter(index)) return;
    std::uint8_t& status = cell(index, 0).at(CellPos::Status);
    status = static_cast<std::uint8_t>((status | Pending) & ~Valid);
    ++PendingChanges;
}

int ProgramState::ParamAddress(int index) const {
    if (!isIndexInRange(index)) return 0;
    return cell(index).boardAddress();
}

ParamData ProgramState::cellData(int index, int bank) const {
    if (!isIndexInRange(index) || !isBankInRange(bank)) return 0.0;
    const ParamCell& c = cell(index, bank);
    if (c.isText()) {
        std::string text;
        for (int i = 0; i < c.valueSize(); ++i)
            text.push_back(static_cast<char>(c.at(CellPos::Value + i)));
        return text;
    }
    return ParamValue(index, bank);
}

ParamData ProgramState::imageData(int index) const {
    if (!isIndexInRange(index)) return 0.0;
    const ParamCell& c = cell(index);
    const int address = c.boardAddress();
    const int width = std::max(0, std::min(c.valueSize(), kImageSize - address)); // never past the image
    if (c.isText()) {
        std::string text;
        for (int i = 0; i < width; ++i)
            text.push_back(static_cast<char>(ConfigImage[address + i]));
        return text;
    }
    double value = 0;
    double weight = 1;
    for (int i = 0; i < width; ++i) {
        value += ConfigImage[address + i] * weight;
        weight *= 256;
    }
    return value;
}

void ProgramState::FillCellFromMapRecord(int index, int bank,
                                         std::span<const std::uint8_t, kMapRecordSize> r) {
    if (index <= 0 || !isIndexInRange(index) || !isBankInRange(bank)) return;
    ParamCell& c = cell(index, bank);
    c.bytes = {r[0], r[1], r[2], r[3], 0, 0, r[4], r[5], r[6], r[7], r[8]};
    std::fill(c.bytes.begin() + 11, c.bytes.end(), std::uint8_t{0x20});
}

void ProgramState::ClearBank(int bank) {
    if (!isBankInRange(bank)) return;
    auto first = ParamTable.begin() + static_cast<std::ptrdiff_t>(bank) * kParamIndexCount;
    std::fill(first, first + kParamIndexCount, ParamCell{});
    RecordCount[bank] = 0;
}

void ProgramState::WriteImageByte(int index, int twinIndex, std::uint32_t value, DeliveryTarget* editor) {
    writeImage(index, twinIndex, value, 1, editor);
}

void ProgramState::WriteImageWord(int index, int twinIndex, std::uint32_t value, DeliveryTarget* editor) {
    writeImage(index, twinIndex, value, 2, editor);
}

void ProgramState::WriteImage24(int index, int twinIndex, std::uint32_t value, DeliveryTarget* editor) {
    writeImage(index, twinIndex, value, 3, editor);
}

void ProgramState::writeImage(int index, int twinIndex, std::uint32_t value, int width,
                              DeliveryTarget* editor) {
    CurrentBank = 0;
    assert(isIndexInRange(index) && index > 0);
    assert(value < (1u << (8 * width)));
    if (index <= 0 || !isIndexInRange(index)) return;
    // Without a map the cell has no address: nothing may land at byte 0 of the image.
    if (!IsParameter(index)) return;
    if (!IsParameter(twinIndex)) twinIndex = 0;
    value &= (1u << (8 * width)) - 1u;

    // A map may place a parameter beyond the image; only the bytes that fall inside it are kept.
    const auto storeInImage = [&](int param) {
        const int address = ParamAddress(param);
        for (int i = 0; i < width && address + i < kImageSize; ++i)
            ConfigImage[static_cast<std::size_t>(address + i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    storeInImage(index);
    // The mirror's bytes travel with the image too, so a configuration edited offline and written to a
    // board never carries a stale mirror.
    if (twinIndex > 0) storeInImage(twinIndex);
    if (!Online) {
        NotifyEditor(index, editor);
        return;
    }
    SetParamValue(index, static_cast<double>(value));
    if (twinIndex != 0) SetParamValue(twinIndex, static_cast<double>(value));
}

void ProgramState::WriteImageText(int index, int twinIndex, std::string_view text, DeliveryTarget* editor) {
    CurrentBank = 0;
    if (!IsParameter(index)) return;
    if (!IsParameter(twinIndex)) twinIndex = 0;
    const ParamCell& c = cell(index);
    const int room = std::max(0, std::min(c.valueSize(), kImageSize - c.boardAddress()));
    std::string padded(text.substr(0, static_cast<std::size_t>(room)));
    padded.resize(static_cast<std::size_t>(room), ' ');
    const auto storeInImage = [&](int param) {
        const int address = ParamAddress(param);
        for (std::size_t i = 0; i < padded.size() && address + static_cast<int>(i) < kImageSize; ++i)
            ConfigImage[static_cast<std::size_t>(address) + i] = static_cast<std::uint8_t>(padded[i]);
    };
    storeInImage(index);
    if (twinIndex > 0) storeInImage(twinIndex);
    if (!Online) {
        NotifyEditor(index, editor);
        return;
    }
    SetParamValue(index, std::string_view(padded));
    if (twinIndex != 0) SetParamValue(twinIndex, std::string_view(padded));
}

bool ProgramState::IsParameter(int index) const {
    return index > 0 && isIndexInRange(index) && cell(index, 0).at(CellPos::Command) != 0;
}

void ProgramState::NotifyEditor(int index, DeliveryTarget* editor) const {
    if (editor == nullptr || !isIndexInRange(index)) return;
    editor->deliver(index, imageData(index));
}

void ProgramState::ClearConfigArea() {
    std::fill_n(ConfigImage.begin(), kConfigAreaSize, std::uint8_t{0});
}

} // namespace vm
