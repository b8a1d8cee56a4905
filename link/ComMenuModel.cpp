#include "ComMenuModel.h"

#include "LinkTexts.h"

namespace vm::link {

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

void ComMenuModel::mnuCox_Click(int index) {
    comPort_ = index;
    clearChecks();
    if (index >= 1 && index <= 4) comChecked_[index - 1] = true;
    if (saveSettings_) saveSettings_();
}

std::optional<MenuMessage> ComMenuModel::MnuUSB_Click() {
    clearChecks();
    const std::string device = findUsbPort_ ? findUsbPort_() : std::string();
    if (device.empty()) return MenuMessage{texts::kUsbErrorTitle, texts::kUsbNotAvailable, 16};
    comPort_ = kUsbComPort;
    usbChecked_ = true;
    if (saveSettings_) saveSettings_();
    return std::nullopt;
}

void ComMenuModel::clearChecks() {
    comChecked_.fill(false);
    usbChecked_ = false;
}

} // namespace vm::link
