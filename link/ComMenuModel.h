#pragma once
// The Com menu without the menu: the chosen port number, the check marks of "COM&1".."COM&4" and "&USB",
// and the settings save after a choice.
//
// ComPort 1..4 (and higher) name the serial ports COM1.. (on Linux /dev/ttyS0..). Choosing USB where the
// adapter's port is a COM port (Windows: "COM7") stores that number, as a COM choice would be stored. Where
// the adapter's device is not a COM number (Linux: /dev/ttyUSBn, which may change between runs) ComPort 0
// is stored: "the first FTDI USB adapter", looked up again at every connect, so "Com=0" in the settings
// file brings the USB choice back after a restart.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vm::link {

inline constexpr int kUsbComPort = 0;

// The number of a port named "COM<n>" (n 1..255), as a USB adapter's port is named on Windows.
std::optional<int> ComNumberOf(std::string_view device);

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
    void comPortChosen(int index);
    // The USB entry chosen. Returns the message to show when no adapter is attached; ComPort and the
    // settings then stay unchanged and no entry carries a check mark.
    std::optional<MenuMessage> usbChosen();

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
