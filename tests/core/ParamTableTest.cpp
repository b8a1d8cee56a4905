#include "ProgramState.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using vm::ProgramState;

struct RecordingEditor : vm::DeliveryTarget {
    std::vector<std::pair<int, vm::ParamData>> received;
    void deliver(int index, const vm::ParamData& value) override { received.emplace_back(index, value); }
};

void loadCell(ProgramState& s, int index, int address, std::uint8_t command, std::uint32_t initial = 0) {
    const std::array<std::uint8_t, 9> rec{static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
                                          command, 0, 0, static_cast<std::uint8_t>(initial),
                                          static_cast<std::uint8_t>(initial >> 8), static_cast<std::uint8_t>(initial >> 16),
                                          static_cast<std::uint8_t>(initial >> 24)};
    s.FillCellFromMapRecord(index, 0, rec);
    s.BoardPresent[0] = true;
}

TEST(ParamTable, OfflineWordWriteStoresLittleEndianAndNotifiesFullValue) {
    ProgramState s;
    loadCell(s, 5, 100, 0x51);
    RecordingEditor editor;
    s.WriteImageWord(5, 0, 300, &editor);
    EXPECT_EQ(s.ConfigImage[100], 44);
    EXPECT_EQ(s.ConfigImage[101], 1);
    ASSERT_EQ(editor.received.size(), 1u);
    EXPECT_EQ(std::get<double>(editor.received[0].second), 300);
}

} // namespace
