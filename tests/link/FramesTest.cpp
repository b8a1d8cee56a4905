#include "Frames.h"
#include "ComMenuModel.h"
#include "LinkTexts.h"
#include "UnitReader.h"

#include <gtest/gtest.h>

namespace vm::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Frames, AreByteExact) {
    const Bytes ones(16, 1);
    std::array<std::uint8_t, 16> block{};
    block.fill(1);
    auto withOnes = [&](Bytes head, std::uint8_t sum) {
        head.insert(head.end(), ones.begin(), ones.end());
        head.push_back(sum);
        return head;
    };
    const std::pair<Frame, Bytes> cases[] = {
        // the worked examples: read a word at 0x0123, write 7 at 0x0010
        {BuildParamFrame({0x51, false, 0x00, 0x0123, 1, {}}), {0x51, 0x00, 0x23, 0x01, 0x75}},
        {BuildParamFrame({0x50, true, 0x00, 0x0010, 0, {7, 0, 0, 0}}), {0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7}},
        // command byte 127 is a read unless writing; written, it carries 16 bytes (sum 0x115)
        {BuildParamFrame({0x7F, false, 0x02, 0x0400, 15, {}}), {0x7F, 0x02, 0x00, 0x04, 0x85}},
        {BuildParamFrame({0x7F, true, 0x02, 0x0400, 15, ones}), withOnes({0xFF, 0x02, 0x00, 0x04}, 0x15)},
        // other-bank frames carry command and bank code
        {BuildBankParamFrame({0x51, false, 0x03, 0x0123, 1, {}}, 'B'),
         {0xF1, 0x03, 0x23, 0x01, 0x51, 'B', 0xAB}},
        {BuildBankParamFrame({0x51, true, 0x00, 0x0010, 1, {0x34, 0x12}}, 'B'),
         {0xF3, 0x00, 0x10, 0x00, 0xD1, 'B', 0x34, 0x12, 0x5C}},
        // memory blocks
        {BlockReadFrame(0x0C00), {0x5F, 0x00, 0x00, 0x0C, 0x6B}},
        {BlockWriteFrame(0x0010, block), withOnes({0xDF, 0x00, 0x10, 0x00}, 0xFF)},
        {ShortReadFrame(1920, 15), {0x5E, 0x00, 0x80, 0x07, 0xE5}},
        {ShortReadFrame(0x0010, 1), {0x50, 0x00, 0x10, 0x00, 0x60}},
        {SecondAreaReadFrame(32), {0x1F, 0x00, 0x20, 0x00, 0x3F}},
        {ByteWriteFrame(0x0010, 7), {0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7}},
    };
    for (const auto& [frame, expected] : cases)
        EXPECT_EQ(frame, expected);
    EXPECT_EQ(WriteAcknowledge(ByteWriteFrame(0x0010, 7)), 0xCE);
}

TEST(Frames, DataReplyNeedsExactLengthAndSum) {
    EXPECT_TRUE(IsValidDataReply(Bytes{0x34, 0x12, 0x46}, 2));
    EXPECT_FALSE(IsValidDataReply(Bytes{0x34, 0x12}, 2));             // short
    EXPECT_FALSE(IsValidDataReply(Bytes{0x34, 0x12, 0x00, 0x46}, 2)); // long
    EXPECT_FALSE(IsValidDataReply(Bytes{0x34, 0x12, 0x47}, 2));       // wrong sum
}

TEST(ComMenu, ComChoiceChecksOneEntryAndSaves) {
    int saves = 0;
    ComMenuModel menu([] { return std::string(); }, [&] { ++saves; });
    menu.load(2);
    EXPECT_TRUE(menu.comChecked(2));
    menu.comPortChosen(3);
    EXPECT_EQ(menu.comPort(), 3);
    EXPECT_TRUE(menu.comChecked(3));
    EXPECT_FALSE(menu.comChecked(2));
    EXPECT_EQ(saves, 1);

    // USB without an adapter keeps the port and checks nothing.
    const auto message = menu.usbChosen();
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, "Error");
    EXPECT_EQ(message->text, "USB port not available\rPlease select a different COM port");
    EXPECT_EQ(menu.comPort(), 3);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(menu.comChecked(i));
    EXPECT_FALSE(menu.usbChecked());
    EXPECT_EQ(saves, 1);
}

// The USB choice survives a restart: a COM-named adapter port is stored by its number, any other device as
// 0, which the settings file reads back.
TEST(ComMenu, UsbWithAdapterStoresItsComNumberOrZero) {
    for (const auto& [device, stored] : {std::pair{"COM12", 12}, {"/dev/ttyUSB0", kUsbComPort}}) {
        int saves = 0;
        ComMenuModel menu([device = device] { return std::string(device); }, [&] { ++saves; });
        menu.load(1);
        EXPECT_FALSE(menu.usbChosen().has_value());
        EXPECT_EQ(menu.comPort(), stored) << device;
        EXPECT_TRUE(menu.usbChecked());
        EXPECT_FALSE(menu.comChecked(1));
        EXPECT_EQ(saves, 1);
    }
    ComMenuModel restarted([] { return std::string(); }, [] {});
    restarted.load(kUsbComPort);
    EXPECT_TRUE(restarted.usbChecked());
    EXPECT_FALSE(ComNumberOf("COM").has_value());
    EXPECT_FALSE(ComNumberOf("COM3x").has_value());
}

} // namespace
} // namespace vm::link
