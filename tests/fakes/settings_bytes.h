#pragma once

// The settings reader over bytes in memory, delivered in pieces, for the
// reader's tests and its fuzz target.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "settings/settings_reader.h"

namespace fakes {

// A ReadStream over bytes in memory, handing out at most chunk bytes per
// read (0: as many as asked for).
class MemoryReadStream : public platform::ReadStream {
 public:
  explicit MemoryReadStream(std::string_view bytes, std::size_t chunk = 0)
      : bytes_(bytes), chunk_(chunk) {}
  platform::OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = std::min(capacity, bytes_.size());
    if (chunk_ > 0) got = std::min(got, chunk_);
    if (got > 0) std::memcpy(buffer, bytes_.data(), got);
    bytes_.remove_prefix(got);
    return 0;
  }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
};

// What a whole file gives: the values read before the first failure, and its
// code (0 when all were read).
struct SettingsParse {
  std::vector<std::int32_t> values;
  settings::InOutCode error;
};

inline SettingsParse parseSettings(std::string_view bytes, std::size_t count,
                                   std::size_t chunk = 0) {
  MemoryReadStream stream(bytes, chunk);
  settings::SettingsReader reader(stream);
  SettingsParse result;
  result.error = settings::readSettings(
      reader, count, [&](std::size_t, std::int32_t value) { result.values.push_back(value); });
  return result;
}

}  // namespace fakes
