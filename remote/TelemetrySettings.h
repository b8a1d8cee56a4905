#pragma once
// The telemetry module's settings as the GSM window keeps them: which parameters they are, in which order
// the window goes through them, and how a setting's bytes stand in the window's copy (the ".tlm" record)
// and turn into texts and numbers.

#include "TelemetryFile.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace vm::remote {

inline constexpr int kTelemetryPiece = 16; // characters of one text parameter

// Every setting, in the order the window shows them after a file was opened; "WriteAll" sends them in the
// same order.
const std::vector<int>& TelemetrySettingsOrder();

// The bytes of a setting in the record, least significant first (texts: their characters).
std::vector<std::uint8_t> SettingBytes(const TelemetryRecord& record, int index);
std::uint32_t SettingNumber(const TelemetryRecord& record, int index);
void StoreSettingBytes(TelemetryRecord& record, int index, const std::vector<std::uint8_t>& bytes);

// A number as `width` bytes, least significant first, and back.
std::vector<std::uint8_t> NumberBytes(std::uint32_t value, int width);
std::uint32_t BytesNumber(const std::vector<std::uint8_t>& bytes);
// The characters of a text setting up to its first NUL.
QString TextOfBytes(const std::vector<std::uint8_t>& bytes);
// A text cut to `width` characters and filled up with NULs.
std::vector<std::uint8_t> NulFilled(const QString& text, int width);
// Only the digits 0..9, at least one.
bool AllDigits(const QString& text);

} // namespace vm::remote
