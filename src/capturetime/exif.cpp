#include "capturetime/exif.h"

#include <array>
#include <cstring>

#include "capturetime/byte_cursor.h"
#include "capturetime/calendar.h"
#include "capturetime/date_digits.h"

namespace capturetime {

namespace {

constexpr std::uint16_t kExifIfdPointer = 0x8769;
constexpr std::uint16_t kDateTimeOriginal = 0x9003;
constexpr std::uint16_t kOffsetTimeOriginal = 0x9011;
constexpr std::uint16_t kSubSecTimeOriginal = 0x9291;

constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::uint16_t kTypeUndefined = 7;
constexpr std::uint16_t kTypeIfd = 13;

// IFD0 and the ones chained after it searched for the EXIF pointer; a chain
// that comes back on itself ends there too.
constexpr int kMaxChainedIfds = 8;

// A field's text without the NULs and blanks that pad it.
std::string_view trimmed(std::string_view text) {
  const auto pad = [](char c) { return c == '\0' || c == ' '; };
  while (!text.empty() && pad(text.front())) text.remove_prefix(1);
  while (!text.empty() && pad(text.back())) text.remove_suffix(1);
  return text;
}

struct Tiff {
  FileBytes& bytes;
  std::uint64_t start;
  std::uint64_t length;
  bool bigEndian;

  // count bytes at offset (from the TIFF header) within the structure.
  const std::uint8_t* at(std::uint64_t offset, std::size_t count) const {
    if (!FileBytes::within(offset, count, length)) return nullptr;
    return bytes.view(start + offset, count);
  }
};

struct Entry {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint32_t value = 0;            // as a number
  std::array<std::uint8_t, 4> raw{};  // as bytes: a short value stands here
};

// The entries of the IFD at offset, and the offset of the next one, handed
// to visit (which returns false to stop early). False when the IFD does not
// lie within the structure.
template <class Visit>
bool readIfd(const Tiff& tiff, std::uint32_t offset, std::uint32_t& next, Visit&& visit) {
  const std::uint8_t* head = tiff.at(offset, 2);
  if (!head) return false;
  const std::size_t count = ByteCursor(head, 2, tiff.bigEndian).u16();
  const std::size_t tableSize = count * 12 + 4;
  const std::uint8_t* table = tiff.at(std::uint64_t{offset} + 2, tableSize);
  if (!table) return false;
  // Copied: the visitor may read elsewhere and move the view.
  std::vector<std::uint8_t> copy(table, table + tableSize);
  ByteCursor cursor(copy.data(), copy.size(), tiff.bigEndian);
  for (std::size_t i = 0; i < count; ++i) {
    Entry entry;
    entry.tag = cursor.u16();
    entry.type = cursor.u16();
    entry.count = cursor.u32();
    std::memcpy(entry.raw.data(), copy.data() + cursor.position(), 4);
    entry.value = cursor.u32();
    if (!visit(entry)) break;
  }
  next = ByteCursor(copy.data() + count * 12, 4, tiff.bigEndian).u32();
  return true;
}

// An ASCII field's text; empty when it is not one or does not fit.
std::string textOf(const Tiff& tiff, const Entry& entry) {
  if ((entry.type != kTypeAscii && entry.type != kTypeUndefined) || entry.count == 0 ||
      entry.count > kMaxTextLength) {
    return {};
  }
  if (entry.count <= 4) return std::string(entry.raw.begin(), entry.raw.begin() + entry.count);
  const std::uint8_t* text = tiff.at(entry.value, entry.count);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text), entry.count);
}

}  // namespace

std::optional<platform::LocalDateTime> parseExifDateTime(std::string_view text) {
  text = trimmed(text);
  if (text.size() < 19) return std::nullopt;
  // The separators are ':' and ' ' by the standard; other single
  // characters some writers use are taken too.
  for (const std::size_t at : {4u, 7u, 10u, 13u, 16u}) {
    if (isDigit(text[at])) return std::nullopt;
  }
  const platform::LocalDateTime t{digitsAt(text, 0, 4),  digitsAt(text, 5, 2),
                                  digitsAt(text, 8, 2),  digitsAt(text, 11, 2),
                                  digitsAt(text, 14, 2), digitsAt(text, 17, 2)};
  if (!validDateTime(t)) return std::nullopt;
  return t;
}

std::optional<std::int32_t> parseUtcOffset(std::string_view text) {
  text = trimmed(text);
  if (text == "Z") return 0;
  if (text.size() != 6 && text.size() != 5 && text.size() != 3) return std::nullopt;
  if (text[0] != '+' && text[0] != '-') return std::nullopt;
  const int hours = digitsAt(text, 1, 2);
  int minutes = 0;
  if (text.size() == 6) {
    if (text[3] != ':') return std::nullopt;
    minutes = digitsAt(text, 4, 2);
  } else if (text.size() == 5) {
    minutes = digitsAt(text, 3, 2);
  }
  // Zones lie between -12:00 and +14:00.
  if (hours < 0 || hours > 14 || minutes < 0 || minutes > 59) return std::nullopt;
  const std::int32_t seconds = hours * 3600 + minutes * 60;
  return text[0] == '-' ? -seconds : seconds;
}

std::uint32_t parseSubSeconds(std::string_view digits) {
  digits = trimmed(digits);
  std::uint32_t ticks = 0;
  std::uint32_t scale = 1'000'000;  // the first digit's tenths in 100-ns ticks
  for (const char c : digits) {
    if (!isDigit(c)) break;
    ticks += static_cast<std::uint32_t>(c - '0') * scale;
    scale /= 10;
    if (scale == 0) break;
  }
  return ticks;
}

CaptureTime captureTimeOf(const platform::LocalDateTime& wall, std::optional<std::int32_t> offset,
                          std::uint32_t subSecondTicks) {
  return CaptureTime::wallTime(wall, subSecondTicks, offset);
}

CaptureTime readExif(FileBytes& bytes, std::uint64_t start, std::uint64_t length) {
  const std::uint8_t* header = FileBytes::within(0, 8, length) ? bytes.view(start, 8) : nullptr;
  if (!header) return {};
  bool bigEndian = false;
  if (header[0] == 'M' && header[1] == 'M') {
    bigEndian = true;
  } else if (!(header[0] == 'I' && header[1] == 'I')) {
    return {};
  }
  ByteCursor cursor(header + 2, 6, bigEndian);
  const std::uint16_t magic = cursor.u16();
  // TIFF; Olympus' ORF ("RO", "RS") and Panasonic's RW2 (0x55) differ only here.
  if (magic != 42 && magic != 0x4F52 && magic != 0x5352 && magic != 0x55) return {};
  std::uint32_t ifd = cursor.u32();
  const Tiff tiff{bytes, start, length, bigEndian};

  std::optional<std::uint32_t> exifIfd;
  std::array<std::uint32_t, kMaxChainedIfds> seen{};
  for (int n = 0; n < kMaxChainedIfds && ifd != 0 && !exifIfd; ++n) {
    for (int i = 0; i < n; ++i) {
      if (seen[i] == ifd) return {};
    }
    seen[n] = ifd;
    std::uint32_t next = 0;
    const bool read = readIfd(tiff, ifd, next, [&exifIfd](const Entry& entry) {
      if (entry.tag == kExifIfdPointer && (entry.type == kTypeLong || entry.type == kTypeIfd) &&
          entry.count == 1) {
        exifIfd = entry.value;
        return false;
      }
      return true;
    });
    if (!read) return {};
    ifd = next;
  }
  if (!exifIfd) return {};

  std::string dateTime, offset, subSeconds;
  std::uint32_t unused = 0;
  readIfd(tiff, *exifIfd, unused, [&](const Entry& entry) {
    if (entry.tag == kDateTimeOriginal) dateTime = textOf(tiff, entry);
    if (entry.tag == kOffsetTimeOriginal) offset = textOf(tiff, entry);
    if (entry.tag == kSubSecTimeOriginal) subSeconds = textOf(tiff, entry);
    return true;
  });
  const std::optional<platform::LocalDateTime> wall = parseExifDateTime(dateTime);
  if (!wall) return {};
  return captureTimeOf(*wall, parseUtcOffset(offset), parseSubSeconds(subSeconds));
}

CaptureTime readExifBlock(FileBytes& bytes, std::uint64_t start, std::uint64_t length) {
  static constexpr char kExifHeader[] = "Exif\0\0";
  if (length >= 6) {
    if (const std::uint8_t* head = bytes.view(start, 6)) {
      if (std::memcmp(head, kExifHeader, 6) == 0) return readExif(bytes, start + 6, length - 6);
    }
  }
  return readExif(bytes, start, length);
}

}  // namespace capturetime
