#pragma once
// Factory settings: the catalogue's initial values are the defaults of the configuration settings. Counters,
// the clock, commands, the alarm log, the board's identity and the settings that belong to the site (unit
// types, telemetry) have none; a reset to defaults never touches them.

#include "Catalogue.h"
#include "Delivery.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vm {

// The default of a parameter, or nothing when it has none (then it is not resettable). A number over the
// parameter's width; a text is its four initial characters followed by blanks, as a new board holds it.
std::optional<ParamData> DefaultValue(const catalogue::ParamInfo& param);
std::optional<ParamData> DefaultValue(int index);
bool IsResettable(int index);

// The parameter's value in an image indexed by board address (ConfigImage, or the image area of a
// configuration record); bytes beyond the image read as 0.
ParamData ImageValue(const catalogue::ParamInfo& param, std::span<const std::uint8_t> image);

// Whether a value, or the value an image holds, is another than the default. False for a parameter without
// a default: it cannot differ from a factory setting it does not have.
bool DiffersFromDefault(int index, const ParamData& value);
bool DiffersFromDefault(int index, std::span<const std::uint8_t> image);

} // namespace vm
