#include "ParamToolTip.h"

#include "Catalogue.h"

#include <bit>

namespace vm::editors {

namespace {

QString shown(int value, LabelFormat format) {
    return format == LabelFormat::Tenths ? QString::number(value / 10.0, 'f', 1) : QString::number(value);
}

// What the control can set, said the way the control shows it.
QString rangeText(const Binding& b, const catalogue::ParamInfo* info) {
    const bool oneBit = b.bitMask != 0 && std::has_single_bit(b.bitMask);
    switch (b.kind) {
    case ControlKind::Toggle:
    case ControlKind::CheckBox:
    case ControlKind::ListRow:
        return oneBit ? QStringLiteral("Range: off or on (bit %1)").arg(std::countr_zero(b.bitMask))
                      : QStringLiteral("Range: off or on");
    case ControlKind::Option:
        return QStringLiteral("Range: one of a set; this option stores %1").arg(b.choice);
    case ControlKind::Command:
        return QStringLiteral("Sends the command %1").arg(b.choice);
    case ControlKind::Slider:
    case ControlKind::Combo: {
        if (b.items.empty()) break;
        const auto valueOf = [&](std::size_t i) {
            return i < b.itemValues.size() ? b.itemValues[i] : static_cast<int>(i) + b.storedOffset;
        };
        return QStringLiteral("Range: %1 positions, stored as %2..%3")
            .arg(b.items.size())
            .arg(valueOf(0))
            .arg(valueOf(b.items.size() - 1));
    }
    case ControlKind::TextBox:
        return QStringLiteral("Range: a text of up to %1 characters").arg(info ? info->width : 16);
    case ControlKind::ValueText:
        return QStringLiteral("Range: shown only, the board counts it");
    case ControlKind::ScrollBar:
    case ControlKind::NumberBox:
        break;
    }
    QString text = QStringLiteral("Range: %1..%2").arg(shown(b.min, b.label), shown(b.max, b.label));
    if (b.label == LabelFormat::Money || (info && info->money)) text += QStringLiteral(" in the smallest currency unit");
    if (b.bitMask != 0 && !oneBit) text += QStringLiteral(" (bits 0x%1)").arg(b.bitMask, 0, 16);
    return text;
}

QString unitText(const Binding& b, const catalogue::ParamInfo* info) {
    if (b.label == LabelFormat::Money || (info && info->money))
        return QStringLiteral("Unit: an amount, shown with the machine's decimal point");
    if (b.label == LabelFormat::Tenths) return QStringLiteral("Unit: tenths, shown with one decimal");
    return {};
}

} // namespace

QString ParameterToolTip(const Binding& b, int index) {
    const catalogue::ParamInfo* info = index > 0 ? catalogue::find(index) : nullptr;
    QStringList lines;
    lines << (info ? QStringLiteral("%1 (parameter %2)").arg(QString::fromLatin1(info->name.data(),
                                                                                 static_cast<qsizetype>(info->name.size())))
                         .arg(index)
                   : QStringLiteral("No parameter for the window's present choice"));
    lines << rangeText(b, info);
    if (const QString unit = unitText(b, info); !unit.isEmpty()) lines << unit;
    if (info && !info->help.empty()) {
        QString help = QString::fromUtf8(info->help.data(), static_cast<qsizetype>(info->help.size()));
        help[0] = help[0].toUpper();
        lines << help + QLatin1Char('.');
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace vm::editors
