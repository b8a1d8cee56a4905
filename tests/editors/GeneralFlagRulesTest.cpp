// The configuration window's rules for the two general flag bytes: the coupled machine, the code slider and
// the keyboard switches that clear each other's bits.

#include "machine/GeneralFlagRules.h"

#include <gtest/gtest.h>

namespace vm::editors::generalflags {
namespace {

TEST(GeneralFlagRules, TheCoupledMachineSetsBit7AndTheDurBitAndIsShownFromThem) {
    EXPECT_EQ(forMachine(3, {0x00, 0x00}), (Bytes{0x80, 0x10})); // DUR 400
    EXPECT_EQ(forMachine(4, {0x81, 0x01}), (Bytes{0x01, 0x11})); // DUR 700
    EXPECT_EQ(forMachine(1, {0xFF, 0x00}), (Bytes{0x7F, 0x00})); // KTR 921
    EXPECT_EQ(forMachine(0, {0xFF, 0x04}), (Bytes{0xFF, 0x04})); // none: nothing changes
    EXPECT_EQ(machinePosition(2, 0x80), 3);
    EXPECT_EQ(machinePosition(2, 0x7F), 4);
    EXPECT_EQ(machinePosition(3, 0x00), 1);
    EXPECT_EQ(machinePosition(4, 0x00), 2);
    EXPECT_EQ(machinePosition(0, 0x80), 0);
    EXPECT_EQ(machinePosition(6, 0x00), -1);
}

TEST(GeneralFlagRules, TheCodeSliderWritesBits1And5AndTheVerticalCBit) {
    EXPECT_EQ(forCode(0, 2, {0xFF, 0x04}), (Bytes{0xDD, 0x00}));
    EXPECT_EQ(forCode(1, 2, {0x20, 0x00}), (Bytes{0x02, 0x00}));
    EXPECT_EQ(forCode(2, 2, {0x40, 0x04}), (Bytes{0x62, 0x00}));
    EXPECT_EQ(forCode(3, 6, {0x40, 0x00}), (Bytes{0x22, 0x04})); // machine 6 loses bit 6
    EXPECT_EQ(codePosition({0x20, 0x04}), 0);
    EXPECT_EQ(codePosition({0x02, 0x04}), 1);
    EXPECT_EQ(codePosition({0x22, 0x00}), 2);
    EXPECT_EQ(codePosition({0x22, 0x04}), 3);
}

TEST(GeneralFlagRules, AKeyboardSwitchClearsTheBitsItExcludesOnTheCoupledMachine) {
    EXPECT_EQ(afterKeyboardSwitch(11, true, 2, {0xC4, 0x00}), (Bytes{0x04, 0x00}));
    EXPECT_EQ(afterKeyboardSwitch(11, false, 2, {0xC0, 0x00}), (Bytes{0xC0, 0x00})); // only when set
    EXPECT_EQ(afterKeyboardSwitch(11, false, 3, {0xFF, 0x00}), (Bytes{0x9D, 0x00})); // always on machine 3
    EXPECT_EQ(afterKeyboardSwitch(5, true, 3, {0x44, 0x00}), (Bytes{0x00, 0x00}));
    EXPECT_EQ(afterKeyboardSwitch(17, true, 6, {0x64, 0x14}), (Bytes{0x40, 0x10}));
    EXPECT_EQ(afterKeyboardSwitch(18, false, 1, {0x04, 0x00}), (Bytes{0x00, 0x00}));
    EXPECT_EQ(afterKeyboardSwitch(12, true, 1, {0x40, 0x00}), (Bytes{0x40, 0x00})); // not on machine 1
}

} // namespace
} // namespace vm::editors::generalflags
