#include "ProgramState.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using vm::ProgramState;
using vm::CellPos::Status;
using vm::CellPos::Value;

struct RecordingEditor : vm::DeliveryTarget {
    std::vector<std::pair<int, vm::ParamData>> received;
    void deliver(int index, const vm::ParamData& value) override { received.emplace_back(index, value); }
};

void loadCell(ProgramState& s, int index, int address, std::uint8_t command, std::uint32_t initial = 0,
              std::uint8_t poll = 0, std::uint8_t page = 0) {
    std::array<std::uint8_t, 9> rec{static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address), command, poll, page};
    for (int b = 0; b < 4; ++b)
        rec[static_cast<std::size_t>(5 + b)] = static_cast<std::uint8_t>(initial >> (8 * b));
    s.FillCellFromMapRecord(index, 0, rec);
    s.BoardPresent[0] = true;
}

std::array<std::uint8_t, 4> valueBytes(ProgramState& s, int index) {
    const auto& c = s.cell(index);
    return {c.at(Value), c.at(Value + 1), c.at(Value + 2), c.at(Value + 3)};
}

// --- cell life cycle ---

TEST(ParamCellLifeCycle, SetParamValueWritesAllFourBytesAndMarksTheCellForWriting) {
    ProgramState s;
    loadCell(s, 1, 10, 0x50, 0x01020304);
    s.cell(1).at(Status) = vm::Valid;
    s.SetParamValue(1, 200);
    EXPECT_EQ(valueBytes(s, 1), (std::array<std::uint8_t, 4>{200, 0, 0, 0}));
    EXPECT_EQ(s.ParamValue(1, 0), 200);
    EXPECT_FALSE(s.ParamIsValid(1, 0));
    EXPECT_EQ(s.cell(1).status(), vm::WritePending | vm::Watched | vm::Pending);

    loadCell(s, 2, 12, 0x51);
    s.SetParamValue(2, 4660);
    EXPECT_EQ(valueBytes(s, 2), (std::array<std::uint8_t, 4>{0x34, 0x12, 0, 0}));
    s.SetParamValue(2, 7.9); // fractions are dropped
    EXPECT_EQ(s.ParamValue(2, 0), 7);
    loadCell(s, 8, 0, 0x53, 0xFFFFFFFF); // four bytes read unsigned
    EXPECT_EQ(s.ParamValue(8, 0), 4294967295.0);
}

TEST(ParamCellLifeCycle, IndexZeroAndIndexesOutsideTheTableAreNeverWrittenOrRead) {
    ProgramState s;
    s.BoardPresent[0] = true;
    s.WatchParam(0);
    const std::array<std::uint8_t, 9> rec{1, 2, 3, 4, 5, 6, 7, 8, 9};
    s.FillCellFromMapRecord(0, 0, rec);
    EXPECT_EQ(s.cell(0).bytes, vm::ParamCell{}.bytes);
    EXPECT_EQ(s.ParamValue(-1, 0), 0);
    EXPECT_EQ(s.ParamValue(vm::kParamIndexCount, 0), 0);
    EXPECT_EQ(s.ParamValue(1, 1), 0); // there is only bank 0
    EXPECT_FALSE(s.ParamIsValid(vm::kParamIndexCount, 0));
    EXPECT_EQ(s.ParamAddress(-5), 0);
}

TEST(ParamCellLifeCycle, WatchAndReleaseCountViewersAndTheLastReleaseClearsFlagsAndCountdown) {
    ProgramState s;
    loadCell(s, 3, 20, 0x50, 0, 0x35);
    s.BoardPresent[0] = false; // nothing without a board
    s.WatchParam(3);
    EXPECT_EQ(s.cell(3).status(), 0);
    s.BoardPresent[0] = true;
    s.WatchParam(3);
    s.WatchParam(3);
    s.cell(3).at(Status) |= vm::Valid;
    s.ReleaseParam(3);
    EXPECT_EQ(s.cell(3).at(vm::CellPos::WatchCount), 1);
    EXPECT_EQ(s.cell(3).status(), vm::Valid | vm::Pending | vm::Watched);
    EXPECT_EQ(s.cell(3).at(vm::CellPos::PollDivider), 0x35);
    s.ReleaseParam(3);
    s.ReleaseParam(3); // one release too many does not wrap
    EXPECT_EQ(s.cell(3).at(vm::CellPos::WatchCount), 0);
    EXPECT_EQ(s.cell(3).status(), 0);
    EXPECT_EQ(s.cell(3).at(vm::CellPos::PollDivider), 0x05); // reload kept, countdown restarts

    for (int i = 0; i < 300; ++i)
        s.WatchParam(3);
    EXPECT_EQ(s.cell(3).at(vm::CellPos::WatchCount), 255);
    s.ReleaseParam(3);
    EXPECT_TRUE(s.cell(3).has(vm::Watched)); // still watched by the others
}

// --- image writes ---

TEST(ImageWrites, OfflineWritesStoreParameterAndTwinInTheImageAndNotifyOnlyTheParameter) {
    ProgramState s;
    loadCell(s, 5, 200, 0x52);
    loadCell(s, 6, 300, 0x52);
    s.ConfigImage[203] = 0x77;
    RecordingEditor editor;
    s.WriteImage24(5, 6, 0x123456, &editor);
    EXPECT_EQ(s.ConfigImage[200], 0x56);
    EXPECT_EQ(s.ConfigImage[201], 0x34);
    EXPECT_EQ(s.ConfigImage[202], 0x12);
    EXPECT_EQ(s.ConfigImage[203], 0x77); // the next parameter's byte is not touched
    EXPECT_EQ(s.ConfigImage[300], 0x56); // the twin's bytes, so a saved file carries both copies
    EXPECT_EQ(s.ConfigImage[302], 0x12);
    EXPECT_EQ(s.cell(5).status(), 0);
    EXPECT_EQ(s.cell(6).status(), 0);
    ASSERT_EQ(editor.received.size(), 1u);
    EXPECT_EQ(editor.received[0].first, 5);
    EXPECT_EQ(std::get<double>(editor.received[0].second), 0x123456);

    s.WriteImageByte(5, 0, 9, nullptr); // no window to tell
    EXPECT_EQ(s.ConfigImage[200], 9);
    EXPECT_EQ(s.ConfigImage[201], 0x34);

    loadCell(s, 25, 1000, 0x44); // a 5-byte text is notified with the image text
    std::copy_n("HELLO", 5, s.ConfigImage.begin() + 1000);
    s.NotifyEditor(25, &editor);
    EXPECT_EQ(std::get<std::string>(editor.received.at(1).second), "HELLO");
}

TEST(ImageWrites, OnlineWritesMarkTheCellAndItsTwinAndKeepTheImageInStepWithoutNotifying) {
    ProgramState s;
    s.Online = true;
    s.CurrentBank = 0;
    loadCell(s, 10, 500, 0x51);
    loadCell(s, 10 + 4782, 900, 0x51);
    RecordingEditor editor;
    s.WriteImageWord(10, 10 + 4782, 1000, &editor);
    EXPECT_TRUE(editor.received.empty());
    EXPECT_EQ(s.ConfigImage[500], 1000 % 256);
    EXPECT_EQ(s.ConfigImage[501], 1000 / 256);
    EXPECT_EQ(s.ParamValue(10, 0), 1000);
    EXPECT_EQ(s.ParamValue(10 + 4782, 0), 1000);
    EXPECT_TRUE(s.cell(10).has(vm::WritePending));
    EXPECT_TRUE(s.cell(10 + 4782).has(vm::WritePending));
    EXPECT_EQ(s.ConfigImage[900], 1000 % 256); // the twin's image bytes are kept in step too
    EXPECT_EQ(s.ConfigImage[901], 1000 / 256);

    loadCell(s, 11, 600, 0x50);
    s.WriteImageByte(11, 0, 17, &editor);
    EXPECT_EQ(s.ParamValue(11, 0), 17);
    EXPECT_EQ(s.cell(0).status(), 0); // twin index 0 means none
}

TEST(ImageWrites, ParametersAtTheEndOrBeyondTheImageAreWrittenOnlyInsideIt) {
    ProgramState s;
    loadCell(s, 12, vm::kImageSize - 1, 0x51); // the word's second byte would be past the image
    RecordingEditor editor;
    s.WriteImageWord(12, 0, 0x0102, &editor);
    EXPECT_EQ(s.ConfigImage[vm::kImageSize - 1], 0x02);
    EXPECT_EQ(std::get<double>(editor.received.at(0).second), 0x02);

    loadCell(s, 13, 0xFFFF, 0x52); // a map address that has no image byte at all
    s.WriteImage24(13, 0, 0x010203, &editor);
    EXPECT_EQ(std::get<double>(editor.received.at(1).second), 0);
}

// --- text cells ---

TEST(TextCells, ATextReplacesOnlyItsOwnBytesAndStopsAtTheEndOfTheCell) {
    ProgramState s;
    loadCell(s, 20, 700, 0x4F); // 16-byte text
    loadCell(s, 21, 800, 0x50, 0x55);
    s.SetParamValue(20, std::string_view("ABCD"));
    s.SetParamValue(20, std::string_view("xy"));
    EXPECT_TRUE(s.cell(20).has(vm::WritePending));
    EXPECT_EQ(std::get<std::string>(s.cellData(20, 0)), "xyCD" + std::string(12, ' '));
    s.SetParamValue(20, std::string(40, 'Z'));
    EXPECT_EQ(std::get<std::string>(s.cellData(20, 0)), std::string(16, 'Z'));
    EXPECT_EQ(s.cell(21).at(vm::CellPos::AddressHigh), 800 >> 8); // the next cell is intact
    EXPECT_EQ(s.ParamValue(21, 0), 0x55);
}

TEST(TextCells, NumbersAndTextsCrossIntoTheOtherKindOfCellByTheirMeaning) {
    ProgramState s;
    loadCell(s, 23, 700, 0x47); // 8-byte text
    s.SetParamValue(23, 42.0);
    EXPECT_EQ(std::get<std::string>(s.cellData(23, 0)).substr(0, 2), "42");

    loadCell(s, 24, 710, 0x51);
    s.SetParamValue(24, std::string_view("1234"));
    EXPECT_EQ(s.ParamValue(24, 0), 1234);
    s.cell(24).at(Status) = vm::Valid;
    s.SetParamValue(24, std::string_view("abc")); // no number in it: nothing changes
    EXPECT_EQ(s.ParamValue(24, 0), 1234);
    EXPECT_TRUE(s.ParamIsValid(24, 0));
}

} // namespace
