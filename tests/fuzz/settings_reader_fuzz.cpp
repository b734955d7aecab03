// libFuzzer target for the settings reader: any bytes give either eleven
// values or the input error 106 after fewer, never a crash or a read past
// the end, and the same result however the bytes arrive.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fakes/settings_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte chooses the piece size of the second reading.
  std::size_t chunk = 1;
  if (size > 0) {
    chunk = 1 + data[0] % 17;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const fakes::SettingsParse whole = fakes::parseSettings(bytes, 11);
  if (!whole.error) {
    if (whole.values.size() != 11) std::abort();
  } else if (whole.error != settings::kNotANumber || whole.values.size() >= 11) {
    std::abort();
  }
  const fakes::SettingsParse pieces = fakes::parseSettings(bytes, 11, chunk);
  if (pieces.error != whole.error || pieces.values != whole.values) std::abort();
  return 0;
}
