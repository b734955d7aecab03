#include "capturetime/capture_reader.h"

#include <cstring>

#include "capturetime/byte_cursor.h"
#include "capturetime/exif.h"
#include "capturetime/file_bytes.h"
#include "capturetime/iso_boxes.h"
#include "capturetime/iso_formats.h"
#include "capturetime/photo_formats.h"

namespace capturetime {

namespace {

bool startsWith(const std::uint8_t* head, std::size_t size, std::string_view prefix) {
  return size >= prefix.size() && std::memcmp(head, prefix.data(), prefix.size()) == 0;
}

// The brands of still images in HEIF; others (isom, mp42, qt, 3gp...) are movies.
bool heifBrand(std::string_view brand) {
  for (const std::string_view still : {"heic", "heix", "heim", "heis", "mif1", "mif2", "avif"}) {
    if (brand == still) return true;
  }
  return false;
}

// The first box types of the ISO and QuickTime files (older QuickTime files
// start without ftyp).
bool firstBoxOfMovie(std::string_view type) {
  for (const std::string_view known : {"moov", "mdat", "wide", "free", "skip", "pnot", "uuid"}) {
    if (type == known) return true;
  }
  return false;
}

}  // namespace

CaptureTime readCaptureTime(platform::RandomAccessFile& file) {
  FileBytes bytes(file);
  const std::size_t size = bytes.size() < 16 ? static_cast<std::size_t>(bytes.size()) : 16;
  if (size < 8) return {};
  const std::uint8_t* head = bytes.view(0, size);
  if (!head) return {};
  if (head[0] == 0xFF && head[1] == 0xD8) return readJpeg(bytes);
  if (startsWith(head, size, "\x89PNG\r\n\x1a\n")) return readPng(bytes);
  if (startsWith(head, size, "FUJIFILMCCD-RAW ")) return readRaf(bytes);
  if (startsWith(head, size, "II") || startsWith(head, size, "MM")) {
    return readExif(bytes, 0, bytes.size());
  }
  if (startsWith(head, size, "RIFF") && size >= 12 && std::memcmp(head + 8, "WEBP", 4) == 0) {
    return readWebp(bytes);
  }
  const std::string_view type(reinterpret_cast<const char*>(head) + 4, 4);
  if (type == "ftyp") {
    const std::string_view brand(reinterpret_cast<const char*>(head) + 8, size >= 12 ? 4 : 0);
    return heifBrand(brand) ? readHeif(bytes) : readMovie(bytes);
  }
  if (firstBoxOfMovie(type)) return readMovie(bytes);
  return {};
}

CaptureTime readCaptureTimeOfFile(const std::string& path) {
  const std::unique_ptr<platform::RandomAccessFile> file = platform::openRandomAccess(path);
  if (!file) return {};
  return readCaptureTime(*file);
}

}  // namespace capturetime
