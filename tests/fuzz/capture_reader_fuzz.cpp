// libFuzzer target for the capture time readers: any bytes, read as a file of
// any format, give a time or none, never a crash, a hang or a read outside
// the file; and a time only a valid calendar date can give.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "capturetime/capture_reader.h"
#include "fakes/memory_random_access.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fakes::MemoryRandomAccess file(std::string_view(reinterpret_cast<const char*>(data), size));
  const capturetime::CaptureTime time = capturetime::readCaptureTime(file);
  if (file.furthest > size) std::abort();
  if (time.kind == capturetime::CaptureTime::Kind::WallTime) {
    const platform::LocalDateTime& t = time.wall;
    if (t.year < 1601 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 ||
        t.hour > 23 || t.minute > 59 || t.second > 59 || time.subSecondTicks >= 10'000'000) {
      std::abort();
    }
  }
  return 0;
}
