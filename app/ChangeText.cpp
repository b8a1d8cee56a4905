#include "ChangeText.h"

#include "Catalogue.h"
#include "ConfigText.h"

namespace vm::app {

namespace {
constexpr int kDecimalPoint = 1823;

int decimals(const ProgramState& state) {
    const ParamCell& cell = state.cell(kDecimalPoint, 0);
    const double point = state.Online && cell.has(Valid) ? state.ParamValue(kDecimalPoint, 0)
                                                         : std::get<double>(state.imageData(kDecimalPoint));
    return static_cast<int>(point) & 3;
}
} // namespace

QString ParamTitle(int index) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    if (!info) return QString::number(index);
    return QString::number(index) + QLatin1Char(' ') +
           QString::fromLatin1(info->name.data(), static_cast<qsizetype>(info->name.size()));
}

QString ShownValue(const ProgramState& state, int index, const ParamData& value) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    if (!info) {
        if (const auto* text = std::get_if<std::string>(&value))
            return QString::fromStdString(QuotedText(*text));
        return QString::number(std::get<double>(value), 'f', 0);
    }
    return QString::fromStdString(ShownSettingValue(*info, value, info->money ? decimals(state) : 0));
}

QString BoardAnswer(const ProgramState& state, const Change& change) {
    switch (change.state) {
    case ChangeState::Offline:
        return QStringLiteral("offline");
    case ChangeState::Acknowledged:
        return QStringLiteral("acknowledged");
    case ChangeState::Sent:
        break;
    }
    return state.Online ? QStringLiteral("waiting") : QStringLiteral("not acknowledged");
}

} // namespace vm::app
