#pragma once
// The program-wide state of one run: the parameter table, the memory images, the unit codes and the
// identification data. Every layer shares one instance by reference; every test builds its own.

#include "Delivery.h"
#include "ParamCell.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr int kParamIndexCount = 33001; // indexes 0..33000; 0 is never filled
inline constexpr int kMaxRecords = 33000;
inline constexpr int kBankCount = 1;
inline constexpr int kImageSize = 40001;      // board addresses 0..40000
inline constexpr int kConfigAreaSize = 12928; // bytes 0..12927 of ConfigImage
inline constexpr int kMapRecordSize = 9;
inline constexpr int kIdentRecordCount = 20;
inline constexpr int kIdentRecordSize = 11;

class ProgramState {
public:
    ProgramState();

    // --- parameter table ---
    std::vector<ParamCell> ParamTable; // bank * kParamIndexCount + index
    std::array<std::uint16_t, kBankCount> RecordCount{};
    std::array<bool, kBankCount> BoardPresent{};
    std::uint8_t CurrentBank = 0;
    // Counts the calls that make a cell pending (watch, read request, write): when it moves, the link looks
    // for cells that were never read and reads them back to back.
    std::uint64_t PendingChanges = 0;

    // --- images ---
    std::vector<std::uint8_t> ConfigImage; // indexed by board address
    std::vector<std::uint8_t> AuxImage;

    // --- units and machine ---
    std::array<std::uint8_t, 4> UnitCodes{};
    std::uint8_t SlaveType1 = 0, SlaveType2 = 0, SlaveType3 = 0, SlaveType4 = 0;
    std::uint8_t ModelCode = 0;
    std::uint8_t CouplingType = 0;
    bool Online = false;

    // --- identification ---
    std::uint16_t DefaultBoardType = 482;
    std::uint16_t RequiredSoftware = 21;
    std::uint16_t DefaultRevision = 0;
    std::uint16_t BoardClass = 0; // identification record 12, as the connected board reported it
    std::uint16_t BoardType = 482;
    std::uint16_t BoardSoftware = 21;
    std::uint16_t BoardRevision = 0;
    double SoftwareRelease = 0;
    std::array<std::array<std::array<std::uint8_t, kIdentRecordSize>, kIdentRecordCount>, kBankCount>
        IdentMap{};

    // slave type of unit 1..4
    std::uint8_t& SlaveType(int unit);
    std::uint8_t SlaveType(int unit) const { return const_cast<ProgramState*>(this)->SlaveType(unit); }

    // --- cell access ---
    ParamCell& cell(int index, int bank);
    const ParamCell& cell(int index, int bank) const;
    ParamCell& cell(int index) { return cell(index, CurrentBank); }
    const ParamCell& cell(int index) const { return cell(index, CurrentBank); }
    static bool isIndexInRange(int index) { return index >= 0 && index < kParamIndexCount; }

    // --- cell routines ---
    bool ParamIsValid(int index, int bank) const;
    double ParamValue(int index, int bank) const;
    void SetParamValue(int index, double value);
    void SetParamValue(int index, std::string_view text);
    void WatchParam(int index);
    void ReleaseParam(int index);
    // Asks for a fresh read: the cell counts as unread until the board's answer arrives.
    void RequestRead(int index);
    int ParamAddress(int index) const;

    // The value of a cell as a window receives it: a number for 1..4 bytes, the text otherwise.
    ParamData cellData(int index, int bank) const;
    // The value of a parameter as the configuration image holds it (offline), over the parameter's width.
    ParamData imageData(int index) const;

    // Fills cell `index` of `bank` from one 9-byte record of a parameter map.
    void FillCellFromMapRecord(int index, int bank, std::span<const std::uint8_t, kMapRecordSize> record);
    // Zeroes every cell of the bank and its record count.
    void ClearBank(int bank);

    // --- image routines ---
    void WriteImageByte(int index, int twinIndex, std::uint32_t value, DeliveryTarget* editor);
    void WriteImageWord(int index, int twinIndex, std::uint32_t value, DeliveryTarget* editor);
    void WriteImage24(int index, int twinIndex, std::uint32_t value, DeliveryTarget* editor);
    // A text parameter: the characters over the parameter's width, blank-padded so that a shorter text
    // does not keep the tail of the old one.
    void WriteImageText(int index, int twinIndex, std::string_view text, DeliveryTarget* editor);
    // True when the loaded map defines the parameter (a cell with no command byte is no parameter).
    bool IsParameter(int index) const;
    void NotifyEditor(int index, DeliveryTarget* editor) const;

    // Clears the configuration area of ConfigImage (New, Connect).
    void ClearConfigArea();

private:
    static bool isBankInRange(int bank) { return bank >= 0 && bank < kBankCount; }
    void writeImage(int index, int twinIndex, std::uint32_t value, int width, DeliveryTarget* editor);
    void markForWriting(ParamCell& c);

    // Stands in for a cell asked for outside the table (a caller's fault), so that nothing outside the
    // table is ever read or written.
    ParamCell outOfRange_{};
};

} // namespace vm
