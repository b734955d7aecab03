#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/file_time.h"

namespace stamping {

// The six fields of the time dialog, in order: year, month, day, hour,
// minute, second, as typed.
using TimeFieldTexts = std::array<std::string, 6>;

// A field's text read as a signed 32-bit integer: leading spaces, then an
// optional sign and decimal digits, or "$", "x", "X", "0x", "0X" and hex digits
// in either case; nothing may trail. A sign and a hex prefix are taken at
// their value ("+5" is 5, "$C" is 12). A value outside the signed 32-bit range
// fails the reading, hexadecimal ones too: "$FFFFFFFF" is not read as -1.
std::optional<std::int32_t> readInteger(std::string_view text);

// Either the start time (its six numbers are the validated fields) or the
// one message for the first bad field.
using ValidationResult = std::variant<platform::LocalDateTime, std::string>;

// The checks of the OK press, in field order; only the first failure gives
// its message. The year must lie between 1900 and the current year.
ValidationResult validateStartTime(const TimeFieldTexts& fields, std::uint16_t currentYear);

}  // namespace stamping
