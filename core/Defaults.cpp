#include "Defaults.h"

namespace vm {

std::optional<ParamData> DefaultValue(const catalogue::ParamInfo& param) {
    if (!param.hasDefault) return std::nullopt;
    if (param.isText) {
        std::string text(static_cast<std::size_t>(param.width), ' ');
        for (std::size_t i = 0; i < 4 && i < text.size(); ++i)
            text[i] = static_cast<char>((param.initial >> (8 * i)) & 0xFF);
        return text;
    }
    // The map carries four initial bytes; the parameter holds the first `width` of them.
    const std::uint64_t mask = (std::uint64_t{1} << (8 * param.width)) - 1;
    return static_cast<double>(param.initial & mask);
}

std::optional<ParamData> DefaultValue(int index) {
    const catalogue::ParamInfo* param = catalogue::find(index);
    return param ? DefaultValue(*param) : std::nullopt;
}

bool IsResettable(int index) {
    return DefaultValue(index).has_value();
}

ParamData ImageValue(const catalogue::ParamInfo& param, std::span<const std::uint8_t> image) {
    const auto byteAt = [&](int i) {
        const auto a = static_cast<std::size_t>(param.address + i);
        return a < image.size() ? image[a] : std::uint8_t{0};
    };
    if (param.isText) {
        std::string text;
        for (int i = 0; i < param.width; ++i)
            text.push_back(static_cast<char>(byteAt(i)));
        return text;
    }
    double value = 0;
    double weight = 1;
    for (int i = 0; i < param.width; ++i, weight *= 256)
        value += byteAt(i) * weight;
    return value;
}

bool DiffersFromDefault(int index, const ParamData& value) {
    const auto standard = DefaultValue(index);
    return standard && *standard != value;
}

bool DiffersFromDefault(int index, std::span<const std::uint8_t> image) {
    const catalogue::ParamInfo* param = catalogue::find(index);
    return param && DiffersFromDefault(index, ImageValue(*param, image));
}

} // namespace vm
