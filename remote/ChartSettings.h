#pragma once
// What the temperature chart shows: which of the measured temperatures, over how long a time, sampled how
// often. Kept in "grafico.ini" beside the program's settings files, one "Key=value" line each, CR LF.

#include "ParamNames.h"
#include "ProgramState.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vm::editors {
class MainWindowHooks;
}

namespace vm::remote {

inline constexpr const char* kChartSettingsName = "grafico.ini";

// One measured temperature the board reports, in tenths of a degree.
struct TemperatureSeries {
    int param;
    int unit; // 1..4
    bool cold; // false: a boiler of a drink unit; true: the temperature of a cold unit
    const char* caption;
};
inline constexpr std::array<TemperatureSeries, 8> kTemperatureSeries = {{
    {param::MeasuredBoilerTemperature, 1, false, "Caldaia 1 Slave 1"},
    {param::MeasuredBoilerTemperature + 1, 1, false, "Caldaia 2 Slave 1"},
    {param::MeasuredBoilerTemperature + 2, 2, false, "Caldaia 1 Slave 2"},
    {param::MeasuredBoilerTemperature + 3, 2, false, "Caldaia 2 Slave 2"},
    {param::MeasuredColdTemperature, 1, true, "Freddo Slave 1"},
    {param::MeasuredColdTemperature + 1, 2, true, "Freddo Slave 2"},
    {param::MeasuredColdTemperature + 2, 3, true, "Freddo Slave 3"},
    {param::MeasuredColdTemperature + 3, 4, true, "Freddo Slave 4"},
}};

// Whether the machine has the unit of the series: boilers on drink units (types 1, 2), a cold-unit
// temperature on cold units (types 3..7).
bool SeriesFitted(const TemperatureSeries& series, const ProgramState& state);

struct ChartSettings {
    static constexpr int kMinSpanSeconds = 10, kMaxSpanSeconds = 3600;
    static constexpr int kMinSampleMs = 200, kMaxSampleMs = 60000;

    std::uint8_t seriesMask = 0xFF; // bit i: kTemperatureSeries[i] is shown
    int spanSeconds = 300;          // the time axis shows this much of the latest samples
    int sampleMs = 1000;            // one sample of every series this often

    bool shows(std::size_t series) const { return seriesMask & (1u << series); }
    bool operator==(const ChartSettings&) const = default;
};

// The settings in the file; defaults for a missing file or line, values out of range brought into it.
ChartSettings ReadChartSettings(const std::filesystem::path& file);
// Empty on success, otherwise why the file was not written.
std::string WriteChartSettings(const std::filesystem::path& file, const ChartSettings& settings);

// The settings of this run: read from the program's settings folder the first time, kept in memory when the
// program has none (tests).
ChartSettings CurrentChartSettings(editors::MainWindowHooks* hooks);
// Keeps the settings for this run and writes them to the settings folder; empty or why they were not written.
std::string StoreChartSettings(editors::MainWindowHooks* hooks, const ChartSettings& settings);

} // namespace vm::remote
