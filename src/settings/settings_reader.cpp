#include "settings/settings_reader.h"

#include <algorithm>
#include <cstring>

namespace settings {

namespace {

constexpr int kEndOfFile = -1;
constexpr int kCtrlZ = 26;
constexpr int kBlank = 32;  // this and every code below it are skipped
constexpr int kLineFeed = 10;

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits into a magnitude no larger than limit; false for an empty text, a
// character that is no digit, or a value past the limit.
bool accumulate(std::string_view digits, std::uint32_t base, std::uint64_t limit,
                std::uint64_t& magnitude) {
  if (digits.empty()) return false;
  magnitude = 0;
  for (const char c : digits) {
    const int d = hexDigit(c);
    if (d < 0 || static_cast<std::uint32_t>(d) >= base) return false;
    magnitude = magnitude * base + static_cast<std::uint32_t>(d);
    if (magnitude > limit) return false;
  }
  return true;
}

}  // namespace

bool parseNumber(std::string_view text, std::int32_t& value) {
  constexpr std::uint64_t kMax = 2147483647u;
  std::uint64_t magnitude = 0;
  std::string_view hex;
  if (text.starts_with("$") || text.starts_with("x") || text.starts_with("X")) {
    hex = text.substr(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    hex = text.substr(2);
  }
  if (hex.data() != nullptr) {
    if (!accumulate(hex, 16, kMax, magnitude)) return false;
    value = static_cast<std::int32_t>(magnitude);
    return true;
  }
  const bool negative = text.starts_with("-");
  if (negative || text.starts_with("+")) text.remove_prefix(1);
  if (!accumulate(text, 10, negative ? kMax + 1 : kMax, magnitude)) return false;
  value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                   : static_cast<std::int32_t>(magnitude);
  return true;
}

InOutCode SettingsReader::peek(int& byte) {
  if (!ended_ && position_ == filled_) {
    std::size_t got = 0;
    if (const platform::OsErrorCode error = source_.read(buffer_.data(), buffer_.size(), got)) {
      return InOutCode::system(error);
    }
    position_ = 0;
    filled_ = std::min(got, buffer_.size());
    if (filled_ == 0) ended_ = true;
  }
  if (!ended_ && static_cast<unsigned char>(buffer_[position_]) == kCtrlZ) ended_ = true;
  byte = ended_ ? kEndOfFile : static_cast<unsigned char>(buffer_[position_]);
  return {};
}

InOutCode SettingsReader::readNumber(std::int32_t& value) {
  int byte = 0;
  for (;;) {
    if (const InOutCode error = peek(byte)) return error;
    if (byte == kEndOfFile) {
      value = 0;
      return {};
    }
    if (byte > kBlank) break;
    ++position_;
  }
  char text[kMaxNumberLength];
  std::size_t length = 0;
  while (length < kMaxNumberLength) {
    if (const InOutCode error = peek(byte)) return error;
    if (byte == kEndOfFile || byte <= kBlank) break;
    text[length++] = static_cast<char>(byte);
    ++position_;
  }
  if (!parseNumber(std::string_view(text, length), value)) return kNotANumber;
  return {};
}

InOutCode SettingsReader::skipLine() {
  for (;;) {
    int byte = 0;
    if (const InOutCode error = peek(byte)) return error;
    if (byte == kEndOfFile) return {};
    ++position_;
    if (byte == kLineFeed) return {};
  }
}

InOutCode readSettings(SettingsReader& reader, std::size_t count,
                       const std::function<void(std::size_t, std::int32_t)>& apply) {
  for (std::size_t index = 0; index < count; ++index) {
    std::int32_t value = 0;
    InOutCode error = reader.readNumber(value);
    if (!error) error = reader.skipLine();
    if (error) return error;
    apply(index, value);
  }
  return {};
}

InOutCode SettingsReader::readLine(std::string& line, std::size_t limit) {
  line.clear();
  for (;;) {
    int byte = 0;
    if (const InOutCode error = peek(byte)) return error;
    if (byte == kEndOfFile) return {};
    ++position_;
    if (line.size() < limit) line.push_back(static_cast<char>(byte));
    if (byte == kLineFeed) return {};
  }
}

}  // namespace settings
