#include "Binding.h"

#include "Messages.h"

namespace vm::editors {

QString Caption::text(const Messages& messages) const {
    if (message > 0) {
        const std::string& line = messages(message);
        if (!line.empty()) return QString::fromStdString(line);
    }
    return literal;
}

int Binding::storedFromControl(int controlValue) const {
    if (!itemValues.empty()) {
        if (controlValue >= 0 && controlValue < static_cast<int>(itemValues.size()))
            return itemValues[controlValue];
        return itemValues.front();
    }
    return controlValue + storedOffset;
}

int Binding::controlFromStored(int stored) const {
    if (!itemValues.empty()) {
        for (std::size_t i = 0; i < itemValues.size(); ++i)
            if (itemValues[i] == stored) return static_cast<int>(i);
        return -1;
    }
    return stored - storedOffset;
}

namespace {
Binding make(ControlKind kind, QString control, int controlIndex, int index, int mirror) {
    Binding b;
    b.kind = kind;
    b.control = std::move(control);
    b.controlIndex = controlIndex;
    b.index = index;
    b.mirror = mirror;
    return b;
}
} // namespace

Binding scrollBar(QString control, int controlIndex, int index, int mirror) {
    return make(ControlKind::ScrollBar, std::move(control), controlIndex, index, mirror);
}

Binding toggleSwitch(QString control, int controlIndex, int index, int mirror, unsigned bitMask) {
    return make(ControlKind::Toggle, std::move(control), controlIndex, index, mirror).bit(bitMask);
}

Binding checkBox(QString control, int controlIndex, int index, int mirror, unsigned bitMask) {
    return make(ControlKind::CheckBox, std::move(control), controlIndex, index, mirror).bit(bitMask);
}

Binding optionButton(QString control, int controlIndex, int index, int mirror, int choice) {
    Binding b = make(ControlKind::Option, std::move(control), controlIndex, index, mirror);
    b.choice = choice;
    return b;
}

Binding sliderSwitch(QString control, int controlIndex, int index, int mirror,
                     std::vector<Caption> positions) {
    Binding b = make(ControlKind::Slider, std::move(control), controlIndex, index, mirror);
    b.items = std::move(positions);
    return b;
}

Binding comboBox(QString control, int controlIndex, int index, int mirror, std::vector<Caption> entries) {
    Binding b = make(ControlKind::Combo, std::move(control), controlIndex, index, mirror);
    b.items = std::move(entries);
    return b;
}

Binding numberBox(QString control, int controlIndex, int index, int mirror, int min, int max) {
    return make(ControlKind::NumberBox, std::move(control), controlIndex, index, mirror).range(min, max);
}

Binding textBox(QString control, int controlIndex, int index, int mirror) {
    Binding b = make(ControlKind::TextBox, std::move(control), controlIndex, index, mirror);
    b.width = 0;
    return b;
}

Binding valueText(QString control, int controlIndex, int index) {
    return make(ControlKind::ValueText, std::move(control), controlIndex, index, 0);
}

} // namespace vm::editors
