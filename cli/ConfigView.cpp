#include "ConfigView.h"

#include "ConfigText.h"
#include "TelemetryFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace vm::cli {

ViewFile ReadViewFile(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    ViewFile file;
    if (extension != ".tlm") {
        ConfigReadResult read = ReadConfigFile(path);
        file.data = std::move(read.data);
        file.error = std::move(read.error);
        return file;
    }
    const TelemetryReadResult read = ReadTelemetryFile(path);
    file.telemetryOnly = true;
    file.error = read.error;
    for (int a = kTelemetryFirstAddress; read.ok() && a <= kTelemetryLastAddress; ++a)
        file.data.record[static_cast<std::size_t>(RecordPos::Image + a)] =
            read.record[static_cast<std::size_t>(TelemetryOffset(a))];
    return file;
}

std::vector<ViewParam> TelemetryParams(const std::vector<ViewParam>& params) {
    std::vector<ViewParam> kept;
    std::copy_if(params.begin(), params.end(), std::back_inserter(kept), [](const ViewParam& p) {
        return IsTelemetryAddress(p.address) && IsTelemetryAddress(p.address + p.width - 1);
    });
    return kept;
}

bool FileCarries(const ConfigFileData& file, const ViewParam& param) {
    return param.width >= 1 && param.address >= file.imageLoadFirst() &&
           param.address + param.width <= kConfigAreaSize;
}

ParamData ValueInFile(const ConfigFileData& file, const ViewParam& param) {
    if (param.isText) {
        std::string text;
        for (int i = 0; i < param.width; ++i)
            text.push_back(static_cast<char>(file.imageByte(param.address + i)));
        return text;
    }
    double value = 0;
    double scale = 1;
    for (int i = 0; i < param.width; ++i, scale *= 256)
        value += file.imageByte(param.address + i) * scale;
    return value;
}

std::string FormatValue(const ParamData& value) {
    if (const double* number = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", std::floor(*number));
        return text;
    }
    return QuotedText(std::get<std::string>(value));
}

std::vector<ShownParam> ShowConfig(const ConfigFileData& file, const std::vector<ViewParam>& params) {
    std::vector<ShownParam> shown;
    for (const ViewParam& param : params)
        if (FileCarries(file, param))
            shown.push_back({param.index, param.name, FormatValue(ValueInFile(file, param))});
    return shown;
}

std::vector<DiffParam> DiffConfigs(const ConfigFileData& a, const ConfigFileData& b,
                                   const std::vector<ViewParam>& params) {
    std::vector<DiffParam> differing;
    for (const ViewParam& param : params) {
        const bool inA = FileCarries(a, param);
        const bool inB = FileCarries(b, param);
        if (!inA && !inB) continue;
        const std::string valueA = inA ? FormatValue(ValueInFile(a, param)) : "-";
        const std::string valueB = inB ? FormatValue(ValueInFile(b, param)) : "-";
        if (valueA != valueB) differing.push_back({param.index, param.name, valueA, valueB});
    }
    return differing;
}

} // namespace vm::cli
