#include "stamping/validation.h"

#include <limits>

#include "stamping/date_time.h"

namespace stamping {

namespace {

constexpr std::string_view kFieldMissing = "入力されてない箇所があります";
constexpr std::string_view kBreak = "\r\n\r\n";

// The input and range messages of one field, in field order.
struct FieldRule {
  std::string_view inputMessage;
  std::string_view rangeMessage;
  std::int32_t min;
  std::int32_t max;  // the year's upper bound is the current year instead
};

constexpr std::array<FieldRule, 6> kRules{{
    {"年の入力が間違ってます", "年の範囲が無効です", 1900, 0},
    {"月の入力が間違ってます", "月の範囲が無効です", 1, 12},
    {"日の入力が間違ってます", "日の範囲が無効です", 1, 31},
    {"時の入力が間違ってます", "時の範囲が無効です", 0, 23},
    {"分の入力が間違ってます", "分の範囲が無効です", 0, 59},
    {"秒の入力が間違ってます", "秒の範囲が無効です", 0, 59},
}};

std::string withFieldText(std::string_view message, const std::string& fieldText) {
  std::string text;
  text.reserve(message.size() + kBreak.size() + fieldText.size());
  text.append(message);
  text.append(kBreak);
  text.append(fieldText);
  return text;
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The message for a day that the month (or a common year's February) lacks,
// or empty when the day exists.
std::string_view missingDayMessage(int year, int month, int day) {
  if (day == 31 && (month == 2 || month == 4 || month == 6 || month == 9 || month == 11)) {
    return "その月の31日は無効です";
  }
  if (month == 2 && day == 30) return "その月の30日は無効です";
  if (month == 2 && day == 29 && !isLeapYear(year)) return "その月の29日は無効です";
  return {};
}

}  // namespace

std::optional<std::int32_t> readInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return std::nullopt;

  int base = 10;
  bool negative = false;
  if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
    base = 16;
    ++i;
  } else if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  } else if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;  // a sign or a prefix alone

  // Accumulated as a magnitude in 64 bits; stops as soon as it leaves the
  // 32-bit range, so any number of digits is safe.
  const std::int64_t limit =
      negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
               : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = hexDigitValue(text[i]);
    if (digit < 0 || digit >= base) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

ValidationResult validateStartTime(const TimeFieldTexts& fields, std::uint16_t currentYear) {
  for (const std::string& field : fields) {
    if (field.empty()) return std::string(kFieldMissing);
  }

  std::array<std::int32_t, 6> values{};
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const FieldRule& rule = kRules[f];
    const std::optional<std::int32_t> value = readInteger(fields[f]);
    if (!value) return withFieldText(rule.inputMessage, fields[f]);
    const std::int32_t max = f == 0 ? static_cast<std::int32_t>(currentYear) : rule.max;
    if (*value < rule.min || *value > max) return withFieldText(rule.rangeMessage, fields[f]);
    values[f] = *value;

    if (f == 2) {  // the day, once month and year are known to be good
      const std::string_view message = missingDayMessage(values[0], values[1], values[2]);
      if (!message.empty()) return std::string(message);
    }
  }
  return platform::LocalDateTime{values[0], values[1], values[2], values[3], values[4], values[5]};
}

}  // namespace stamping
