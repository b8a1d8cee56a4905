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

Caption Caption::forElement(int i) const {
    Caption c = *this;
    c.literal.replace(QStringLiteral("{n}"), QString::number(i + 1));
    c.literal.replace(QStringLiteral("{i}"), QString::number(i));
    return c;
}

bool Binding::isSwitch() const {
    switch (kind) {
    case ControlKind::Toggle:
    case ControlKind::CheckBox:
    case ControlKind::Option:
    case ControlKind::Slider:
    case ControlKind::Combo:
    case ControlKind::ListRow:
        return isBit();
    default:
        return false;
    }
}

int Binding::storedFromControl(int controlValue) const {
    if (!itemValues.empty()) {
        if (controlValue >= 0 && controlValue < static_cast<int>(itemValues.size()))
            return itemValues[static_cast<std::size_t>(controlValue)];
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

Binding sliderSwitch(QString control, int controlIndex, int index, int mirror, std::vector<Caption> positions) {
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

Binding listRow(QString control, int row, int index, int mirror, unsigned bitMask) {
    return make(ControlKind::ListRow, std::move(control), row, index, mirror).bit(bitMask);
}

Binding commandButton(QString control, int controlIndex, int index, int value) {
    Binding b = make(ControlKind::Command, std::move(control), controlIndex, index, 0);
    b.choice = value;
    return b;
}

std::vector<Binding> controlArray(int count, const Binding& first) {
    std::vector<Binding> out;
    out.reserve(static_cast<std::size_t>(std::max(0, count)));
    for (int i = 0; i < count; ++i) {
        Binding b = first;
        b.controlIndex = first.controlIndex + i;
        b.index = first.index + i;
        if (first.mirror > 0) b.mirror = first.mirror + i;
        if (first.valueLabelIndex >= 0) b.valueLabelIndex = first.valueLabelIndex + i;
        b.caption = first.caption.forElement(i);
        out.push_back(std::move(b));
    }
    return out;
}

} // namespace vm::editors
