#pragma once

// Reads the numbers of the window settings file, one per line, the way a
// Pascal text file reads integers: lenient about blanks and the rest of a
// line, strict about the number itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_files.h"
#include "settings/in_out_error.h"

namespace settings {

// The longest run of characters taken as one number.
inline constexpr std::size_t kMaxNumberLength = 32;

// Parses one run of characters: an optional "+" or "-" and decimal digits, or
// a hexadecimal number without sign after "$", "x", "X", "0x" or "0X". The
// value must fit a signed 32-bit integer. False for anything else.
bool parseNumber(std::string_view text, std::int32_t& value);

class SettingsReader {
 public:
  explicit SettingsReader(platform::ReadStream& source) : source_(source) {}

  // Skips characters up to 32 (blanks, control characters, whole empty
  // lines); at the end of the file, or at a Ctrl-Z, the number is 0. Else
  // takes the run of characters above 32, at most 32 of them. Returns no
  // error, kNotANumber, or the system's code of a failed read.
  InOutCode readNumber(std::int32_t& value);

  // Reads up to and including the next LF, or to the end of the file. A CR
  // alone ends nothing.
  InOutCode skipLine();

  // Reads one line as it is, up to and including the next LF, or to the end
  // of the file (a Ctrl-Z ends it too), keeping at most limit bytes of it in
  // line.
  InOutCode readLine(std::string& line, std::size_t limit);

 private:
  // The next byte without taking it; -1 at the end of the file.
  InOutCode peek(int& byte);

  platform::ReadStream& source_;
  std::array<char, 512> buffer_{};
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool ended_ = false;  // the end of the file or a Ctrl-Z: for good
};

// Reads count numbers, each followed by the rest of its line, handing each
// to apply (with its index) before the next is read. Returns no error, or
// the first failure; the values handed over by then stay. The reader then
// stands at the line after the last value's.
InOutCode readSettings(SettingsReader& reader, std::size_t count,
                       const std::function<void(std::size_t, std::int32_t)>& apply);

}  // namespace settings
