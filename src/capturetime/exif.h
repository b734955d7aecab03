#pragma once

// The capture time in EXIF: DateTimeOriginal, with OffsetTimeOriginal and
// SubSecTimeOriginal where they are present, from a TIFF structure.

#include <cstdint>
#include <optional>
#include <string_view>

#include "capturetime/capture_time.h"
#include "capturetime/file_bytes.h"

namespace capturetime {

// The longest text field taken, its padding and NUL counted: no field of
// interest is longer, and a longer one is read as no field at all.
inline constexpr std::uint32_t kMaxTextLength = 64;

// The TIFF structure of length bytes at start of the file (a TIFF or raw
// file, or the EXIF block of a JPEG, HEIF, PNG or WebP file): every offset in
// it counts from start and must stay within the length.
CaptureTime readExif(FileBytes& bytes, std::uint64_t start, std::uint64_t length);

// The same from a block that may begin with "Exif\0\0" (as PNG's eXIf and
// WebP's EXIF chunks sometimes do).
CaptureTime readExifBlock(FileBytes& bytes, std::uint64_t start, std::uint64_t length);

// The fields' texts, as EXIF writes them. Nothing when they do not form a
// time; the offset and the sub-seconds are left out when they are blank or
// malformed.
std::optional<platform::LocalDateTime> parseExifDateTime(
    std::string_view text);                                         // "YYYY:MM:DD HH:MM:SS"
std::optional<std::int32_t> parseUtcOffset(std::string_view text);  // "+09:00": seconds east of UTC
std::uint32_t parseSubSeconds(std::string_view digits);  // "123": 0.123 s in 100-ns ticks

// A wall time with its offset (if any) and sub-seconds as a capture time:
// the wall time as written, the offset kept beside it.
CaptureTime captureTimeOf(const platform::LocalDateTime& wall, std::optional<std::int32_t> offset,
                          std::uint32_t subSecondTicks);

}  // namespace capturetime
