#include "ValueWrite.h"

#include <algorithm>
#include <vector>

namespace vm::editors {

ParamData ValueBefore(const ProgramState& state, int index, int width) {
    const ParamCell& cell = state.cell(index, 0);
    const int address = state.ParamAddress(index);
    const auto byteAt = [&](int i) -> std::uint8_t {
        if (state.Online) return i < cell.valueSize() ? cell.at(CellPos::Value + i) : 0;
        return address + i < kImageSize ? state.ConfigImage[static_cast<std::size_t>(address + i)] : 0;
    };
    if (width == 0) {
        std::string text;
        for (int i = 0; i < cell.valueSize(); ++i)
            text.push_back(static_cast<char>(byteAt(i)));
        return text;
    }
    double value = 0;
    double weight = 1;
    for (int i = 0; i < width; ++i, weight *= 256)
        value += byteAt(i) * weight;
    return value;
}

bool WriteValue(EditorContext& ctx, const ValueWrite& w, std::string_view window, DeliveryTarget* writer) {
    ProgramState& state = ctx.state;
    if (w.index <= 0 || !ProgramState::isIndexInRange(w.index) || !state.IsParameter(w.index)) return false;
    const int mirror = ProgramState::isIndexInRange(w.mirror) ? w.mirror : 0;
    state.CurrentBank = 0;
    if (w.width == 0) {
        const auto* text = std::get_if<std::string>(&w.value);
        if (!text) return false;
        // The image routine pads the text with blanks over the parameter: that is what is written.
        std::string padded = text->substr(0, static_cast<std::size_t>(state.cell(w.index, 0).valueSize()));
        padded.resize(static_cast<std::size_t>(state.cell(w.index, 0).valueSize()), ' ');
        if (ctx.changes)
            ctx.changes->record(window, w.index, mirror, 0, ValueBefore(state, w.index, 0), padded);
        state.WriteImageText(w.index, mirror, padded, writer);
    } else {
        const auto* number = std::get_if<double>(&w.value);
        if (!number) return false;
        const int width = std::clamp(w.width, 1, 3);
        const auto value = static_cast<std::uint32_t>(
            std::clamp(*number, 0.0, static_cast<double>((1u << (8 * width)) - 1u)));
        if (ctx.changes)
            ctx.changes->record(window, w.index, mirror, width, ValueBefore(state, w.index, width),
                                static_cast<double>(value));
        switch (width) {
        case 1:
            state.WriteImageByte(w.index, mirror, value, writer);
            break;
        case 2:
            state.WriteImageWord(w.index, mirror, value, writer);
            break;
        default:
            state.WriteImage24(w.index, mirror, value, writer);
            break;
        }
    }
    // Offline the image routine refreshed only the writer; every other open window that shows the parameter
    // (a shared cell, the decimal point of money values) shows the new value too. Online the link delivers
    // the acknowledged value to every window.
    if (!state.Online)
        for (DeliveryTarget* form : std::vector<DeliveryTarget*>(ctx.forms.forms()))
            if (form != writer) state.NotifyEditor(w.index, form);
    return true;
}

} // namespace vm::editors
