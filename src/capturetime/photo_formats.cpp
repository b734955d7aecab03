#include "capturetime/photo_formats.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "capturetime/byte_cursor.h"
#include "capturetime/exif.h"
#include "capturetime/memory_file.h"

namespace capturetime {

namespace {

// Segments before the EXIF one: an EXIF writer puts it first, but phones put
// segments of their own before it, 80 to 150 KiB of them (Huawei, Motorola).
// Only the segments' headers are read on the way, each segment passed over
// by its length: a seek, not a read, once it leaves the block in hand.
constexpr int kMaxJpegSegments = 64;
// Fill bytes 0xFF may stand before a marker; a longer run is no JPEG.
constexpr int kMaxFillBytes = 4096;

// Where RAF's header gives the embedded JPEG: its offset and length.
constexpr std::uint64_t kRafJpegPointer = 84;

constexpr std::string_view kRawProfileExif = "Raw profile type exif";

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// ImageMagick's raw profile text: "\n", the profile's name, "\n", its length
// in bytes (in blanks), "\n", then the bytes in hex, broken into lines.
// Empty when it is not one or its hex falls short of the length.
std::vector<std::uint8_t> rawProfileBytes(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == '\n') ++at;
  const std::size_t nameEnd = text.find('\n', at);
  if (nameEnd == std::string_view::npos) return {};
  at = nameEnd + 1;
  while (at < text.size() && text[at] == ' ') ++at;
  std::size_t length = 0;
  const std::size_t digitsStart = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - digitsStart < 9) {
    length = length * 10 + static_cast<std::size_t>(text[at++] - '0');
  }
  if (at == digitsStart || length == 0 || length > text.size() / 2) return {};
  std::vector<std::uint8_t> bytes;
  bytes.reserve(length);
  int high = -1;
  for (; at < text.size() && bytes.size() < length; ++at) {
    const int digit = hexDigit(text[at]);
    if (digit < 0) {
      if (text[at] == '\n' || text[at] == ' ') continue;
      return {};
    }
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  if (bytes.size() < length) return {};
  return bytes;
}

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

CaptureTime readRaf(FileBytes& bytes) {
  const std::uint8_t* pointer = bytes.view(kRafJpegPointer, 8);
  if (!pointer) return {};
  ByteCursor cursor(pointer, 8);
  const std::uint32_t offset = cursor.u32();
  const std::uint32_t length = cursor.u32();
  if (length < 4 || !FileBytes::within(offset, length, bytes.size())) return {};
  const std::uint8_t* soi = bytes.view(offset, 2);
  if (!soi || soi[0] != 0xFF || soi[1] != 0xD8) return {};
  return readJpeg(bytes, offset, std::uint64_t{offset} + length);
}

CaptureTime readPng(FileBytes& bytes) {
  std::uint64_t at = 8;  // after the signature
  // ImageMagick's tEXt raw profile, taken only where no eXIf chunk is found.
  std::vector<std::uint8_t> rawProfile;
  while (const std::uint8_t* head = bytes.view(at, 8)) {
    ByteCursor cursor(head, 8);
    const std::uint32_t length = cursor.u32();
    const std::string_view type = cursor.text(4);
    if (length > 0x7FFF'FFFFu) break;
    const std::uint64_t data = at + 8;
    if (!FileBytes::within(data, length, bytes.size())) break;
    if (type == "eXIf") return readExifBlock(bytes, data, length);
    if (type == "IEND") break;
    // Only tEXt: its zTXt form is zlib-compressed, and zlib is no part of
    // this program.
    if (type == "tEXt" && rawProfile.empty() && length > kRawProfileExif.size() + 1 &&
        length <= FileBytes::kMaxView) {
      if (const std::uint8_t* text = bytes.view(data, length)) {
        const std::string_view chunk(reinterpret_cast<const char*>(text), length);
        if (chunk.starts_with(kRawProfileExif) && chunk[kRawProfileExif.size()] == '\0') {
          rawProfile = rawProfileBytes(chunk.substr(kRawProfileExif.size() + 1));
        }
      }
    }
    at = data + length + 4;  // and the CRC
  }
  if (rawProfile.empty()) return {};
  MemoryFile file(rawProfile);
  FileBytes profile(file);
  return readExifBlock(profile, 0, profile.size());
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
