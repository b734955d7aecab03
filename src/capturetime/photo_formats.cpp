#include "capturetime/photo_formats.h"

#include <algorithm>
#include <cstring>

#include "capturetime/byte_cursor.h"
#include "capturetime/exif.h"

namespace capturetime {

namespace {

// Segments before the EXIF one: an EXIF writer puts it first, but phones put
// segments of their own before it, 80 to 150 KiB of them (Huawei, Motorola).
// Only the segments' headers are read on the way, each segment passed over
// by its length: a seek, not a read, once it leaves the block in hand.
constexpr int kMaxJpegSegments = 64;
// Fill bytes 0xFF may stand before a marker; a longer run is no JPEG.
constexpr int kMaxFillBytes = 4096;

}  // namespace

CaptureTime readJpeg(FileBytes& bytes, std::uint64_t start, std::uint64_t end) {
  end = std::min(end, bytes.size());
  // count bytes at offset within the JPEG.
  const auto at = [&bytes, end](std::uint64_t offset, std::size_t count) -> const std::uint8_t* {
    return FileBytes::within(offset, count, end) ? bytes.view(offset, count) : nullptr;
  };
  std::uint64_t segment = start + 2;  // after SOI
  for (int n = 0; n < kMaxJpegSegments; ++n) {
    const std::uint8_t* marker = at(segment, 2);
    for (int fill = 0; marker && marker[0] == 0xFF && marker[1] == 0xFF; ++fill) {
      if (fill == kMaxFillBytes) return {};
      marker = at(++segment, 2);
    }
    if (!marker || marker[0] != 0xFF) return {};
    const std::uint8_t code = marker[1];
    // Markers without a length.
    if ((code >= 0xD0 && code <= 0xD8) || code == 0x01) {
      segment += 2;
      continue;
    }
    // The image data or its end: no EXIF past here.
    if (code == 0xDA || code == 0xD9) return {};
    const std::uint8_t* lengthBytes = at(segment + 2, 2);
    if (!lengthBytes) return {};
    const std::uint16_t length = ByteCursor(lengthBytes, 2).u16();
    if (length < 2) return {};
    if (code == 0xE1 && length >= 2 + 6 + 8) {
      const std::uint8_t* header = at(segment + 4, 6);
      if (header && std::memcmp(header, "Exif\0", 5) == 0) {
        if (!FileBytes::within(segment + 4, length - 2u, end)) return {};
        const CaptureTime time = readExif(bytes, segment + 10, length - 2u - 6u);
        if (time.present()) return time;
      }
    }
    segment += 2u + length;
  }
  return {};
}

CaptureTime readPng(FileBytes& bytes) {
  std::uint64_t at = 8;  // after the signature
  while (const std::uint8_t* head = bytes.view(at, 8)) {
    ByteCursor cursor(head, 8);
    const std::uint32_t length = cursor.u32();
    const std::string_view type = cursor.text(4);
    if (length > 0x7FFF'FFFFu) return {};
    const std::uint64_t data = at + 8;
    if (!FileBytes::within(data, length, bytes.size())) return {};
    if (type == "eXIf") return readExifBlock(bytes, data, length);
    if (type == "IEND") return {};
    at = data + length + 4;  // and the CRC
  }
  return {};
}

CaptureTime readWebp(FileBytes& bytes) {
  const std::uint8_t* head = bytes.view(0, 12);
  if (!head) return {};
  // The RIFF size counts from byte 8; the file may be cut short of it.
  std::uint64_t end = 8 + std::uint64_t{ByteCursor(head + 4, 4, false).u32()};
  if (end > bytes.size()) end = bytes.size();
  std::uint64_t at = 12;
  while (FileBytes::within(at, 8, end)) {
    const std::uint8_t* chunk = bytes.view(at, 8);
    if (!chunk) return {};
    ByteCursor cursor(chunk, 8, false);
    const std::string_view type = cursor.text(4);
    const std::uint32_t length = cursor.u32();
    const std::uint64_t data = at + 8;
    if (!FileBytes::within(data, length, end)) return {};
    if (type == "EXIF") return readExifBlock(bytes, data, length);
    at = data + length + (length & 1u);  // chunks are padded to an even size
  }
  return {};
}

}  // namespace capturetime
