#include "capturetime/photo_formats.h"

#include <cstring>

#include "capturetime/byte_cursor.h"
#include "capturetime/exif.h"

namespace capturetime {

namespace {

// Segments before the EXIF one: an EXIF writer puts it first, others put a
// few of their own before it. Its segment starts within the file's first
// 64 KiB, or it is not looked for.
constexpr int kMaxJpegSegments = 64;
constexpr std::uint64_t kJpegHead = 64 * 1024;

}  // namespace

CaptureTime readJpeg(FileBytes& bytes) {
  std::uint64_t at = 2;  // after SOI
  for (int n = 0; n < kMaxJpegSegments && at < kJpegHead; ++n) {
    // Fill bytes 0xFF may stand before a marker.
    const std::uint8_t* marker = bytes.view(at, 2);
    while (marker && marker[0] == 0xFF && marker[1] == 0xFF && at < kJpegHead) {
      marker = bytes.view(++at, 2);
    }
    if (!marker || marker[0] != 0xFF) return {};
    const std::uint8_t code = marker[1];
    // Markers without a length.
    if ((code >= 0xD0 && code <= 0xD8) || code == 0x01) {
      at += 2;
      continue;
    }
    // The image data or its end: no EXIF past here.
    if (code == 0xDA || code == 0xD9) return {};
    const std::uint8_t* lengthBytes = bytes.view(at + 2, 2);
    if (!lengthBytes) return {};
    const std::uint16_t length = ByteCursor(lengthBytes, 2).u16();
    if (length < 2) return {};
    if (code == 0xE1 && length >= 2 + 6 + 8) {
      const std::uint8_t* header = bytes.view(at + 4, 6);
      if (header && std::memcmp(header, "Exif\0", 5) == 0) {
        if (!FileBytes::within(at + 4, length - 2u, bytes.size())) return {};
        const CaptureTime time = readExif(bytes, at + 10, length - 2u - 6u);
        if (time.present()) return time;
      }
    }
    at += 2u + length;
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
