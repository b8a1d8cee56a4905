#include "ComMenuModel.h"

#include "LinkTexts.h"

#include <charconv>

namespace vm::link {

std::optional<int> ComNumberOf(std::string_view device) {
    if (!device.starts_with("COM")) return std::nullopt;
    int number = 0;
    const char* end = device.data() + device.size();
    const auto [last, ec] = std::from_chars(device.data() + 3, end, number);
    if (ec != std::errc{} || last != end || number < 1 || number > 255) return std::nullopt;
    return number;
}

ComMenuModel::ComMenuModel(std::function<std::string()> findUsbPort, std::function<void()> saveSettings)
    : findUsbPort_(std::move(findUsbPort)), saveSettings_(std::move(saveSettings)) {}

void ComMenuModel::load(int comPort) {
    comPort_ = comPort;
    clearChecks();
    if (comPort == kUsbComPort)
        usbChecked_ = true;
    else if (comPort >= 1 && comPort <= 4)
        comChecked_[comPort - 1] = true;
}

void ComMenuModel::comPortChosen(int index) {
    comPort_ = index;
    clearChecks();
    if (index >= 1 && index <= 4) comChecked_[index - 1] = true;
    if (saveSettings_) saveSettings_();
}

std::optional<MenuMessage> ComMenuModel::usbChosen() {
    clearChecks();
    const std::string device = findUsbPort_ ? findUsbPort_() : std::string();
    if (device.empty()) return MenuMessage{texts::kUsbErrorTitle, texts::kUsbNotAvailable, 16};
    comPort_ = ComNumberOf(device).value_or(kUsbComPort);
    usbChecked_ = true;
    if (saveSettings_) saveSettings_();
    return std::nullopt;
}

void ComMenuModel::clearChecks() {
    comChecked_.fill(false);
    usbChecked_ = false;
}

} // namespace vm::link
