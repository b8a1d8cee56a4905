#include "ChartSettings.h"

#include "EditorContext.h"
#include "FileIO.h"
#include "TextLines.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <span>

namespace vm::remote {

namespace {
constexpr std::size_t kLinesRead = 16;
constexpr std::uintmax_t kMaxChartSettingsSize = 65536; // a larger file is no settings file: ignored

std::optional<int> valueOf(const std::vector<std::string>& lines, std::string_view key) {
    for (const std::string& line : lines) {
        if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0 || line[key.size()] != '=')
            continue;
        const char* first = line.data() + key.size() + 1;
        const char* last = line.data() + line.size();
        int value = 0;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec == std::errc{} && end == last) return value;
        return std::nullopt;
    }
    return std::nullopt;
}

std::filesystem::path fileIn(editors::MainWindowHooks* hooks) {
    if (!hooks || hooks->settingsFolder().isEmpty()) return {};
    return std::filesystem::path(hooks->settingsFolder().toStdString()) / kChartSettingsName;
}

std::optional<ChartSettings>& runSettings() {
    static std::optional<ChartSettings> settings;
    return settings;
}
} // namespace

bool SeriesFitted(const TemperatureSeries& series, const ProgramState& state) {
    const int type = state.SlaveType(series.unit);
    return series.cold ? type >= 3 && type <= 7 : type == 1 || type == 2;
}

ChartSettings ReadChartSettings(const std::filesystem::path& file) {
    ChartSettings s;
    const auto lines = ReadTextLines(file, kLinesRead, kMaxChartSettingsSize);
    if (!lines) return s;
    if (const auto mask = valueOf(*lines, "Serie"); mask && *mask >= 0 && *mask <= 0xFF)
        s.seriesMask = static_cast<std::uint8_t>(*mask);
    if (const auto span = valueOf(*lines, "Durata"))
        s.spanSeconds = std::clamp(*span, ChartSettings::kMinSpanSeconds, ChartSettings::kMaxSpanSeconds);
    if (const auto sample = valueOf(*lines, "Campione"))
        s.sampleMs = std::clamp(*sample, ChartSettings::kMinSampleMs, ChartSettings::kMaxSampleMs);
    return s;
}

std::string WriteChartSettings(const std::filesystem::path& file, const ChartSettings& s) {
    const std::string text = "Serie=" + std::to_string(s.seriesMask) + "\r\nDurata=" + std::to_string(s.spanSeconds) +
                             "\r\nCampione=" + std::to_string(s.sampleMs) + "\r\n";
    return WriteFileReplacing(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

ChartSettings CurrentChartSettings(editors::MainWindowHooks* hooks) {
    if (!runSettings()) {
        const std::filesystem::path file = fileIn(hooks);
        runSettings() = file.empty() ? ChartSettings{} : ReadChartSettings(file);
    }
    return *runSettings();
}

std::string StoreChartSettings(editors::MainWindowHooks* hooks, const ChartSettings& settings) {
    runSettings() = settings;
    const std::filesystem::path file = fileIn(hooks);
    return file.empty() ? std::string() : WriteChartSettings(file, settings);
}

} // namespace vm::remote
