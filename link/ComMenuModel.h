#pragma once
// The Com menu without the menu: the chosen port number, the check marks of "COM&1".."COM&4" and "&USB",
// and the settings save after a choice.
//
// ComPort 1..4 (and higher) name the serial ports COM1.. (on Linux /dev/ttyS0..); ComPort 0 stands for
// "the first FTDI USB adapter", looked up again at every connect, because the device name such an
// adapter gets (/dev/ttyUSBn) is not a COM number and may change between runs. So the settings file keeps
// its line "Com=" and "Com=0" remembers the USB choice.

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace vm::link {

inline constexpr int kUsbComPort = 0;

struct MenuMessage {
    std::string title;
    std::string text;
    int icon = 16;
};

class ComMenuModel {
public:
    // `findUsbPort` returns the device of the first FTDI adapter, or "" when none is attached.
    // `saveSettings` is called after every choice that changes ComPort.
    ComMenuModel(std::function<std::string()> findUsbPort, std::function<void()> saveSettings);

    // Sets ComPort as read from the settings and the check mark that goes with it (USB for 0).
    void load(int comPort);

    // A COM entry (1..4) chosen.
    void mnuCox_Click(int index);
    // The USB entry chosen. Returns the message to show when no adapter is attached; ComPort and the
    // settings then stay unchanged and no entry carries a check mark.
    std::optional<MenuMessage> MnuUSB_Click();

    int comPort() const { return comPort_; }
    bool comChecked(int index) const { return index >= 1 && index <= 4 && comChecked_[index - 1]; }
    bool usbChecked() const { return usbChecked_; }

private:
    void clearChecks();

    std::function<std::string()> findUsbPort_;
    std::function<void()> saveSettings_;
    int comPort_ = 1;
    std::array<bool, 4> comChecked_{};
    bool usbChecked_ = false;
};

} // namespace vm::link
