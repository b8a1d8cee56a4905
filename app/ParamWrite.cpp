#include "ParamWrite.h"

#include "ValueWrite.h"

#include <vector>

namespace vm::app {

namespace {
std::uint32_t maxValue(int width) {
    return width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1u;
}

void showEverywhere(const ProgramState& state, const FormList& forms, int index) {
    if (state.Online) return; // the link delivers the acknowledged value
    for (DeliveryTarget* form : std::vector<DeliveryTarget*>(forms.forms()))
        state.NotifyEditor(index, form);
}
} // namespace

bool ParamWritable(const catalogue::ParamInfo& param) {
    return param.space == catalogue::Space::Configuration && (param.isText || param.width <= 3);
}

QString WriteParamText(ProgramState& state, const FormList& forms, const catalogue::ParamInfo& param,
                       const QString& typed, ChangeLog* log, std::string_view window) {
    if (!ParamWritable(param)) return QStringLiteral("Parameter %1 cannot be changed here.").arg(param.index);
    if (param.isText) {
        if (typed.size() > param.width)
            return QStringLiteral("Parameter %1 holds at most %2 characters.")
                .arg(param.index)
                .arg(param.width);
        for (QChar c : typed)
            if (c.unicode() < 32 || c.unicode() > 126)
                return QStringLiteral("The board cannot store the character \"%1\".").arg(c);
        return WriteParamData(state, forms, param, typed.toStdString(), log, window);
    }
    bool ok = false;
    const qulonglong value = typed.trimmed().toULongLong(&ok);
    if (!ok || value > maxValue(param.width))
        return QStringLiteral("Parameter %1 takes a whole number from 0 to %2.")
            .arg(param.index)
            .arg(maxValue(param.width));
    return WriteParamData(state, forms, param, static_cast<double>(value), log, window);
}

QString WriteParamData(ProgramState& state, const FormList& forms, const catalogue::ParamInfo& param,
                       const ParamData& value, ChangeLog* log, std::string_view window) {
    if (!ParamWritable(param)) return QStringLiteral("Parameter %1 cannot be changed here.").arg(param.index);
    if (!state.IsParameter(param.index))
        return QStringLiteral("The parameter map has no parameter %1.").arg(param.index);
    if (param.isText) {
        const auto* text = std::get_if<std::string>(&value);
        if (!text) return QStringLiteral("Parameter %1 is a text.").arg(param.index);
        std::string padded = text->substr(0, static_cast<std::size_t>(param.width));
        padded.resize(static_cast<std::size_t>(param.width), ' ');
        if (log)
            log->record(window, param.index, param.mirror, 0, editors::ValueBefore(state, param.index, 0),
                        padded);
        state.WriteImageText(param.index, param.mirror, *text, nullptr);
    } else {
        const auto* number = std::get_if<double>(&value);
        if (!number || *number < 0 || *number > maxValue(param.width))
            return QStringLiteral("Parameter %1 takes a whole number from 0 to %2.")
                .arg(param.index)
                .arg(maxValue(param.width));
        const auto v = static_cast<std::uint32_t>(*number);
        if (log)
            log->record(window, param.index, param.mirror, param.width,
                        editors::ValueBefore(state, param.index, param.width), static_cast<double>(v));
        switch (param.width) {
        case 1:
            state.WriteImageByte(param.index, param.mirror, v, nullptr);
            break;
        case 2:
            state.WriteImageWord(param.index, param.mirror, v, nullptr);
            break;
        default:
            state.WriteImage24(param.index, param.mirror, v, nullptr);
            break;
        }
    }
    showEverywhere(state, forms, param.index);
    if (param.mirror > 0) showEverywhere(state, forms, param.mirror);
    return {};
}

} // namespace vm::app
