#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "platform/file_time.h"

namespace stamping {

// The six fields of the time dialog, in order: year, month, day, hour,
// minute, second, as typed.
using TimeFieldTexts = std::array<std::string, 6>;

// A field's text read as a signed 32-bit integer: leading spaces, then an
// optional sign and decimal digits, or "$", "x", "X", "0x", "0X" and hex digits;
// nothing may trail.
std::optional<std::int32_t> readInteger(const std::string& text);

// Either the start time or the one message for the first bad field.
using ValidationResult = std::variant<platform::LocalDateTime, std::string>;

ValidationResult validateStartTime(const TimeFieldTexts& fields, std::uint16_t currentYear);

}  // namespace stamping
