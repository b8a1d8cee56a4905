#include "Frames.h"
#include "ComMenuModel.h"
#include "LinkTexts.h"
#include "UnitReader.h"

#include <gtest/gtest.h>

namespace vm::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Frames, WorkedExamplesAreByteExact) {
    ParamRequest read{0x51, false, 0x00, 0x0123, 1, {}};
    EXPECT_EQ(BuildParamFrame(read), (Bytes{0x51, 0x00, 0x23, 0x01, 0x75}));
    EXPECT_TRUE(IsValidDataReply(Bytes{0x34, 0x12, 0x46}, 2));

    ParamRequest write{0x50, true, 0x00, 0x0010, 0, {7, 0, 0, 0}};
    const Frame frame = BuildParamFrame(write);
    EXPECT_EQ(frame, (Bytes{0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7}));
    EXPECT_EQ(WriteAcknowledge(frame), 0xCE);
}

TEST(Frames, CommandByte127IsReadUnlessWriting) {
    ParamRequest request{0x7F, false, 0x02, 0x0400, 15, {}};
    EXPECT_EQ(BuildParamFrame(request), (Bytes{0x7F, 0x02, 0x00, 0x04, 0x85}));
    request.write = true;
    request.data.assign(16, 1);
    const Frame frame = BuildParamFrame(request);
    ASSERT_EQ(frame.size(), 4u + 16u + 1u);
    EXPECT_EQ(frame[0], 0xFF);
}

TEST(Frames, OtherBankFramesCarryCommandAndBankCode) {
    ParamRequest read{0x51, false, 0x03, 0x0123, 1, {}};
    EXPECT_EQ(BuildBankParamFrame(read, 'B'), (Bytes{0xF1, 0x03, 0x23, 0x01, 0x51, 'B', 0xAB}));
    ParamRequest write{0x51, true, 0x00, 0x0010, 1, {0x34, 0x12}};
    EXPECT_EQ(BuildBankParamFrame(write, 'B'), (Bytes{0xF3, 0x00, 0x10, 0x00, 0xD1, 'B', 0x34, 0x12, 0x5C}));
}

TEST(Frames, MemoryBlockFrames) {
    EXPECT_EQ(BlockReadFrame(0x0C00), (Bytes{0x5F, 0x00, 0x00, 0x0C, 0x6B}));
    EXPECT_EQ(ShortReadFrame(1920, 15), (Bytes{0x5E, 0x00, 0x80, 0x07, 0xE5}));
    EXPECT_EQ(ShortReadFrame(0x0010, 1), (Bytes{0x50, 0x00, 0x10, 0x00, 0x60}));
    EXPECT_EQ(SecondAreaReadFrame(32), (Bytes{0x1F, 0x00, 0x20, 0x00, 0x3F}));
    EXPECT_EQ(ByteWriteFrame(0x0010, 7), (Bytes{0xD0, 0x00, 0x10, 0x00, 0x07, 0xE7}));
    std::array<std::uint8_t, 16> bytes{};
    bytes.fill(1);
    const Frame block = BlockWriteFrame(0x0010, bytes);
    ASSERT_EQ(block.size(), 21u);
    EXPECT_EQ(block[0], 0xDF);
    EXPECT_EQ(block.back(), static_cast<std::uint8_t>(0xDF + 0x10 + 16));
}

TEST(Frames, DataReplyNeedsExactLengthAndSum) {
    EXPECT_FALSE(IsValidDataReply(Bytes{0x34, 0x12}, 2));             // short
    EXPECT_FALSE(IsValidDataReply(Bytes{0x34, 0x12, 0x00, 0x46}, 2)); // long
    EXPECT_FALSE(IsValidDataReply(Bytes{0x34, 0x12, 0x47}, 2));       // wrong sum
}

TEST(UnitMenu, EffectOfTheFirstUnitCode) {
    EXPECT_EQ(MenuEffectForUnitCode(1), UnitMenuEffect::EnableDrinks);
    EXPECT_EQ(MenuEffectForUnitCode(2), UnitMenuEffect::EnableDrinks);
    EXPECT_EQ(MenuEffectForUnitCode(3), UnitMenuEffect::DisableDrinks);
    EXPECT_EQ(MenuEffectForUnitCode(6), UnitMenuEffect::DisableDrinks);
    EXPECT_EQ(MenuEffectForUnitCode(7), UnitMenuEffect::DisableMost);
    EXPECT_EQ(MenuEffectForUnitCode(0), UnitMenuEffect::NoChange);
    EXPECT_EQ(MenuEffectForUnitCode(8), UnitMenuEffect::NoChange);
}

TEST(ComMenu, ComChoiceChecksOneEntryAndSaves) {
    int saves = 0;
    ComMenuModel menu([] { return std::string(); }, [&] { ++saves; });
    menu.load(2);
    EXPECT_TRUE(menu.comChecked(2));
    menu.mnuCox_Click(3);
    EXPECT_EQ(menu.comPort(), 3);
    EXPECT_TRUE(menu.comChecked(3));
    EXPECT_FALSE(menu.comChecked(2));
    EXPECT_FALSE(menu.usbChecked());
    EXPECT_EQ(saves, 1);
}

TEST(ComMenu, UsbWithoutAdapterKeepsPortAndChecksNothing) {
    int saves = 0;
    ComMenuModel menu([] { return std::string(); }, [&] { ++saves; });
    menu.mnuCox_Click(3);
    const auto message = menu.MnuUSB_Click();
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, "Error");
    EXPECT_EQ(message->text, "USB port not available\rPlease select a different COM port");
    EXPECT_EQ(menu.comPort(), 3);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(menu.comChecked(i));
    EXPECT_FALSE(menu.usbChecked());
    EXPECT_EQ(saves, 1);
}

TEST(ComMenu, UsbWithAdapterIsRememberedAsZero) {
    int saves = 0;
    ComMenuModel menu([] { return std::string("/dev/ttyUSB0"); }, [&] { ++saves; });
    menu.load(1);
    EXPECT_FALSE(menu.MnuUSB_Click().has_value());
    EXPECT_EQ(menu.comPort(), kUsbComPort);
    EXPECT_TRUE(menu.usbChecked());
    EXPECT_FALSE(menu.comChecked(1));
    EXPECT_EQ(saves, 1);
    ComMenuModel restarted([] { return std::string(); }, [] {});
    restarted.load(kUsbComPort);
    EXPECT_TRUE(restarted.usbChecked());
}

} // namespace
} // namespace vm::link
