#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/os_error.h"

namespace settings {

// An input or output error of the settings file: the system's code of a
// failed file operation, or one of the reader's own. The two are numbered
// apart, so a Windows error 100 is a system error like any other, never the
// reader's "read past the end".
class InOutCode {
 public:
  enum class Source : std::uint8_t { None, System, Reader };

  constexpr InOutCode() = default;
  // 0 is no error.
  static constexpr InOutCode system(platform::OsErrorCode code) {
    return code == 0 ? InOutCode() : InOutCode(Source::System, code);
  }
  static constexpr InOutCode reader(std::uint32_t code) { return InOutCode(Source::Reader, code); }

  constexpr Source source() const { return source_; }
  constexpr std::uint32_t value() const { return value_; }
  constexpr explicit operator bool() const { return source_ != Source::None; }
  friend constexpr bool operator==(InOutCode, InOutCode) = default;

 private:
  constexpr InOutCode(Source source, std::uint32_t value) : source_(source), value_(value) {}
  Source source_ = Source::None;
  std::uint32_t value_ = 0;
};

// The reader's own errors.
inline constexpr InOutCode kReadPastEnd = InOutCode::reader(100);
inline constexpr InOutCode kDiskFull = InOutCode::reader(101);
inline constexpr InOutCode kNotANumber = InOutCode::reader(106);

// The message of an error: the fixed text of the codes that have one,
// "I/O エラー (code)" for the rest.
std::string inOutErrorMessage(InOutCode code);

// An input or output error of the settings file, raised inside a handler and
// shown by the event loop in the error box.
class InOutError : public std::runtime_error {
 public:
  explicit InOutError(InOutCode code) : std::runtime_error(inOutErrorMessage(code)), code_(code) {}
  InOutCode code() const noexcept { return code_; }

 private:
  InOutCode code_;
};

}  // namespace settings
